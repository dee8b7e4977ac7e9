#include "opponent/Playout.h"

#include <bit>

namespace skelda::master {

namespace {

constexpr Mask kRank(int r) {
    return Bit(r) | Bit(13 + r) | Bit(26 + r) | Bit(39 + r);
}
constexpr Mask kAces = kRank(0);
constexpr Mask kFaces = kRank(10) | kRank(11) | kRank(12);

uint32_t SuitBits(Mask m, int suit) {
    return static_cast<uint32_t>(m >> (13 * suit)) & 0x1FFFu;
}

// Value v of a run (0..13, 13 the Ace read high) as a card id of the suit.
int RunCard(int suit, int v) {
    return suit * 13 + (v == 13 ? 0 : v);
}

Mask RunMask(int suit, int lo, int hi) {
    Mask m = 0;
    for (int v = lo; v <= hi; ++v) m |= Bit(RunCard(suit, v));
    return m;
}

// The maximal runs of three or more among a suit's cards; an Ace serves one run only.
int RunsOf(Mask hand, Mask* out) {
    int n = 0;
    for (int s = 0; s < 4; ++s) {
        const uint32_t bits = SuitBits(hand, s);
        if (std::popcount(bits) < 3) continue;
        const uint32_t ext = bits | ((bits & 1u) << 13);
        int lo[8], hi[8], k = 0;
        for (int v = 0; v < 14 && k < 8;) {
            if (!(ext & (1u << v))) {
                ++v;
                continue;
            }
            int w = v;
            while (w + 1 < 14 && (ext & (1u << (w + 1)))) ++w;
            lo[k] = v;
            hi[k] = w;
            ++k;
            v = w + 1;
        }
        // The Ace read low and read high: one run only may have it.
        if (k > 0 && lo[0] == 0 && hi[k - 1] == 13) {
            const int low = hi[0] - lo[0] + 1, high = hi[k - 1] - lo[k - 1] + 1;
            if (k == 1)
                hi[0] = 12;  // the whole suit, read low
            else if (low >= 3 && high >= 3 && low >= 4)
                lo[0] = 1;
            else if (low >= 3 && high >= 3)
                hi[k - 1] = 12;
        }
        for (int j = 0; j < k; ++j)
            if (hi[j] - lo[j] >= 2) out[n++] = RunMask(s, lo[j], hi[j]);
    }
    return n;
}

int SetsOf(Mask hand, Mask* out) {
    int n = 0;
    for (int r = 0; r < 13; ++r) {
        const Mask m = hand & kRank(r);
        if (Count(m) >= 3) out[n++] = m;
    }
    return n;
}

int MeldsPoints(const Mask* m, int n) {
    int p = 0;
    for (int i = 0; i < n; ++i) p += HandPoints(m[i]);
    return p;
}

}  // namespace

Mask MaskOf(const TCardList& cards) {
    Mask m = 0;
    for (const TCard& c : cards)
        if (c.Rank < 13 && c.Suit < 4) m |= Bit(CardId(c));
    return m;
}

int Points(int id) {
    const int r = id % 13;
    return r == 0 ? 15 : r >= 10 ? 10 : 5;
}

int HandPoints(Mask hand) {
    return 15 * Count(hand & kAces) + 10 * Count(hand & kFaces) +
           5 * Count(hand & ~(kAces | kFaces));
}

Mask TableMelds::LayOffMask() const {
    Mask m = 0;
    for (int r = 0; r < 13; ++r)
        if (sets & (1u << r)) m |= kRank(r);
    for (int i = 0; i < runCount; ++i) {
        const TableRun& run = runs[i];
        if (run.lo > 0) m |= Bit(RunCard(run.suit, run.lo - 1));
        if (run.hi < 13) m |= Bit(RunCard(run.suit, run.hi + 1));
    }
    return m & ~onTable;
}

int TableMelds::AddMeld(Mask meld, bool aceLow) {
    if (!meld) return 0;
    onTable |= meld;
    const int first = std::countr_zero(meld);
    if ((meld & kRank(first % 13)) == meld) {
        sets |= static_cast<uint16_t>(1u << (first % 13));
        return HandPoints(meld);
    }
    const int suit = first / 13;
    const uint32_t bits = SuitBits(meld, suit);
    int lo, hi;
    if ((bits & 3u) == 3u || (bits & 1u) == 0) {
        lo = std::countr_zero(bits);
        hi = 31 - std::countl_zero(bits);
    } else {  // the Ace read high
        lo = std::countr_zero(bits & ~1u);
        hi = 13;
    }
    if (runCount < 26)
        runs[runCount++] =
            TableRun{static_cast<int8_t>(suit), static_cast<int8_t>(lo), static_cast<int8_t>(hi)};
    int points = HandPoints(meld);
    if (lo == 0 && aceLow) points -= 10;
    return points;
}

int TableMelds::LayOff(int id) {
    if (onTable & Bit(id)) return 0;
    const int r = id % 13, suit = id / 13;
    if (sets & (1u << r)) {
        onTable |= Bit(id);
        return Points(id);
    }
    for (int i = 0; i < runCount; ++i) {
        TableRun& run = runs[i];
        if (run.suit != suit) continue;
        if (run.lo > 0 && RunCard(suit, run.lo - 1) == id) {
            --run.lo;
            onTable |= Bit(id);
            return run.lo == 0 ? 5 : Points(id);  // an Ace below a 2 counts low
        }
        if (run.hi < 13 && RunCard(suit, run.hi + 1) == id) {
            ++run.hi;
            onTable |= Bit(id);
            return Points(id);
        }
    }
    return 0;
}

bool CanTake(Mask handAndTaken, int bottom, const TableMelds& table) {
    const int r = bottom % 13, suit = bottom / 13;
    if (Count(handAndTaken & kRank(r)) >= 3) return true;
    const uint32_t bits = SuitBits(handAndTaken, suit);
    for (int low = r - 2; low <= r; ++low) {
        if (low < 0 || low + 2 > 12) continue;
        if ((bits & (7u << low)) == (7u << low)) return true;
    }
    const uint32_t top = (1u << 11) | (1u << 12) | 1u;
    if ((r == 11 || r == 12 || r == 0) && (bits & top) == top) return true;
    return (table.LayOffMask() & Bit(bottom)) != 0;
}

int FindMelds(Mask hand, Mask out[kMaxMelds], int order) {
    Mask a[kMaxMelds], b[kMaxMelds];
    int na = RunsOf(hand, a);
    Mask rest = hand;
    for (int i = 0; i < na; ++i) rest &= ~a[i];
    na += SetsOf(rest, a + na);
    int nb = SetsOf(hand, b);
    rest = hand;
    for (int i = 0; i < nb; ++i) rest &= ~b[i];
    nb += RunsOf(rest, b + nb);
    const bool useA = order == 1 || (order == 0 && MeldsPoints(a, na) >= MeldsPoints(b, nb));
    const Mask* src = useA ? a : b;
    const int n = useA ? na : nb;
    for (int i = 0; i < n; ++i) out[i] = src[i];
    return n;
}

Mask LayOffsAfter(const TableMelds& table, Mask hand) {
    TableMelds t = table;
    Mask laid = 0;
    for (Mask can = hand & t.LayOffMask(); can; can = (hand & ~laid) & t.LayOffMask()) {
        const int id = std::countr_zero(can);
        t.LayOff(id);
        laid |= Bit(id);
    }
    return laid;
}

void PlayState::TakePile(int side, int i) {
    for (int k = i; k < pileCount; ++k) hand[side] |= Bit(pile[k]);
    pileCount = i;
}

bool PlayState::DrawStock(int side, int* card) {
    if (stockCount == 0) {
        over = true;
        return false;
    }
    const int id = stock[--stockCount];
    hand[side] |= Bit(id);
    if (card) *card = id;
    return true;
}

void PlayState::Meld(int side, const Mask* melds, int count, Mask layOffs) {
    for (int i = 0; i < count; ++i) {
        points[side] += table.AddMeld(melds[i], aceLow[side]);
        hand[side] &= ~melds[i];
    }
    layOffs &= hand[side];
    for (bool progress = true; layOffs && progress;) {
        progress = false;
        for (Mask can = layOffs & table.LayOffMask(); can; can &= can - 1) {
            const int id = std::countr_zero(can);
            const int p = table.LayOff(id);
            if (!(table.onTable & Bit(id))) continue;
            points[side] += p;
            hand[side] &= ~Bit(id);
            layOffs &= ~Bit(id);
            progress = true;
        }
    }
}

void PlayState::Discard(int side, int id) {
    hand[side] &= ~Bit(id);
    pile[pileCount++] = static_cast<uint8_t>(id);
    if (hand[side] == 0) over = true;
}

int PolicyDraw(const PlayState& s, int side) {
    Mask taken = s.hand[side];
    int best = -1;
    for (int i = s.pileCount - 1; i >= 0; --i) {
        taken |= Bit(s.pile[i]);
        if (CanTake(taken, s.pile[i], s.table)) best = i;
    }
    return best;
}

void PolicyMeld(PlayState& s, int side) {
    Mask melds[kMaxMelds];
    const int n = FindMelds(s.hand[side], melds);
    s.Meld(side, melds, n, s.hand[side]);
}

int PolicyDiscard(const PlayState& s, int side, Mask keep) {
    const Mask hand = s.hand[side];
    int best = -1, max = -1000;
    for (Mask m = hand & ~keep; m; m &= m - 1) {
        const int id = std::countr_zero(m);
        const int r = id % 13, suit = id / 13;
        int score = 2 * Points(id) - 15 * (Count(hand & kRank(r)) - 1);
        const uint32_t bits = SuitBits(hand, suit) & ~(1u << r);
        // Neighbours within two ranks, the Ace read low and high.
        const uint32_t ext = bits | ((bits & 1u) << 13);
        const int v = r;
        const uint32_t window = (v >= 2 ? 0x1Fu << (v - 2) : 0x1Fu >> (2 - v));
        score -= 7 * std::popcount(ext & window);
        if (r == 0) score -= 7 * std::popcount(ext & (0x1Fu << 11));
        if (score > max) {
            max = score;
            best = id;
        }
    }
    if (best < 0 && hand) best = std::countr_zero(hand);
    return best;
}

void PolicyTurn(PlayState& s, int side) {
    const int i = PolicyDraw(s, side);
    Mask keep = 0;
    if (i >= 0) {
        keep = Bit(s.pile[i]);
        s.TakePile(side, i);
    } else if (!s.DrawStock(side)) {
        return;
    }
    PolicyMeld(s, side);
    if (s.hand[side] == 0) return;  // floating
    s.Discard(side, PolicyDiscard(s, side, keep));
}

void PlayOut(PlayState& s, int side, int maxTurns) {
    for (int t = 0; t < maxTurns && !s.over; ++t) {
        PolicyTurn(s, side);
        side ^= 1;
    }
}

}  // namespace skelda::master
