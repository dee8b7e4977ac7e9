#include "opponent/Master.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <ctime>

#include "opponent/Playout.h"

namespace skelda::master {

namespace {

constexpr int kMaxTurns = 60;    // a playout still open after this many turns is scored as it is
constexpr int kFirstRound = 12;  // samples every meld-and-discard candidate gets
constexpr int kFinalists = 6;    // candidates that go on to the full sample count

std::function<void(double)>& Observer() {
    static std::function<void(double)> observer;
    return observer;
}

// The engine's own generator (splitmix64), seeded from the view: the game's generator
// is never touched, and the same view always gives the same samples.
struct Rng {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(((Next() >> 32) * n) >> 32); }
};

// Processor time of this thread: the decision's own cost, whatever else the machine runs.
double ThreadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return 1e3 * static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_nsec);
}

class Stopwatch {
public:
    double Ms() const { return ThreadMs() - start_; }
    ~Stopwatch() {
        if (Observer()) Observer()(Ms());
    }

private:
    double start_ = ThreadMs();
};

// The position as the seat sees it, with the unknown cards still to be dealt.
struct Setup {
    PlayState base;
    uint8_t unknown[52];
    int unknownCount = 0;
    int opponentUnknown = 0;  // unknown cards in the other hand
    int stockCount = 0;
};

Setup MakeSetup(const SeatView& v) {
    Setup su;
    PlayState& b = su.base;
    b.hand[0] = MaskOf(v.hand);
    b.hand[1] = MaskOf(v.opponentKnown);
    b.aceLow[0] = v.seat == Seat::Computer;
    b.aceLow[1] = v.seat != Seat::Computer;
    for (const TCardList& m : v.melds) b.table.AddMeld(MaskOf(m), false);
    b.points[0] = v.myPoints;
    b.points[1] = v.opponentPoints;
    Mask known = b.hand[0] | b.hand[1] | b.table.onTable;
    for (const TCard& c : v.pile) {
        if (known & Bit(CardId(c))) continue;
        b.pile[b.pileCount++] = static_cast<uint8_t>(CardId(c));
        known |= Bit(CardId(c));
    }
    for (int id = 0; id < 52; ++id)
        if (!(known & Bit(id))) su.unknown[su.unknownCount++] = static_cast<uint8_t>(id);
    su.opponentUnknown = std::clamp(v.opponentCount - Count(b.hand[1]), 0, su.unknownCount);
    su.stockCount = std::clamp(v.stockCount, 0, su.unknownCount - su.opponentUnknown);
    return su;
}

void Deal(const Setup& su, Rng& rng, PlayState& s) {
    s = su.base;
    uint8_t ids[52];
    std::copy(su.unknown, su.unknown + su.unknownCount, ids);
    const int n = su.unknownCount;
    for (int i = 0; i < n; ++i) std::swap(ids[i], ids[i + static_cast<int>(rng.Below(n - i))]);
    for (int i = 0; i < su.opponentUnknown; ++i) s.hand[1] |= Bit(ids[i]);
    s.stockCount = su.stockCount;
    for (int i = 0; i < su.stockCount; ++i) s.stock[i] = ids[su.opponentUnknown + i];
}

double Value(const SeatView& v, const PlayState& s, const Tuning& tuning) {
    if (!tuning.gameChance) return 0.5 + (s.RoundScore(0) - s.RoundScore(1)) / 400.0;
    return WinChance(v.myTotal + s.RoundScore(0), v.opponentTotal + s.RoundScore(1));
}

int IdAt(const SeatView& v, int index) {
    return index >= 0 && index < static_cast<int>(v.hand.size()) ? CardId(v.hand[index]) : -1;
}

struct Option {
    Mask melds[kMaxMelds];
    int count = 0;
    Mask layOffs = 0;
    Mask Placed() const {
        Mask m = layOffs;
        for (int i = 0; i < count; ++i) m |= melds[i];
        return m;
    }
};

struct Candidate {
    int option;
    int discard;  // card id, -1: none (floating)
    double sum = 0;
};

void AddOption(std::vector<Option>& options, const TableMelds& table, Mask hand, const Mask* melds,
               int count, bool layOff) {
    Option o;
    TableMelds t = table;
    Mask rest = hand;
    for (int i = 0; i < count; ++i) {
        o.melds[o.count++] = melds[i];
        t.AddMeld(melds[i], false);
        rest &= ~melds[i];
    }
    if (layOff) o.layOffs = LayOffsAfter(t, rest);
    for (const Option& x : options)
        if (x.count == o.count && x.Placed() == o.Placed() && x.layOffs == o.layOffs) return;
    options.push_back(o);
}

// A meld of three that holds the card `must`, when the decompositions found none.
bool TripleWith(Mask hand, int must, Mask& out) {
    for (Mask a = hand & ~Bit(must); a; a &= a - 1)
        for (Mask b = a & (a - 1); b; b &= b - 1) {
            const Mask m = Bit(must) | (a & -a) | (b & -b);
            Mask found[kMaxMelds];
            if (FindMelds(m, found) == 1 && found[0] == m) {
                out = m;
                return true;
            }
        }
    return false;
}

TCardList InHandOrder(const SeatView& v, Mask m) {
    TCardList out;
    for (const TCard& c : v.hand)
        if (m & Bit(CardId(c))) out.push_back(c);
    return out;
}

}  // namespace

Tuning& SeatTuning(Seat seat) {
    static Tuning tunings[2];
    return tunings[seat == Seat::Computer ? 0 : 1];
}

void SetDecisionObserver(std::function<void(double)> observer) {
    Observer() = std::move(observer);
}

double WinChance(int mine, int theirs) {
    if ((mine >= 500 || theirs >= 500) && mine != theirs) return mine > theirs ? 1.0 : 0.0;
    const double lead = mine - theirs;
    const double toGo = std::max(0, 500 - std::max(mine, theirs));
    // Rounds left, roughly, and the spread of the difference over them.
    const double rounds = 0.5 + toGo / 55.0;
    const double sigma = 50.0 * std::sqrt(rounds);
    return 0.5 * std::erfc(-lead / (sigma * std::sqrt(2.0)));
}

DrawDecision DecideDraw(const SeatView& v) {
    const Stopwatch clock;
    const Tuning& tuning = SeatTuning(v.seat);
    const Setup su = MakeSetup(v);
    const PlayState& b = su.base;
    std::vector<int> choices = {-1};
    Mask taken = b.hand[0];
    for (int i = b.pileCount - 1; i >= 0; --i) {
        taken |= Bit(b.pile[i]);
        // Only a card that melds or lays off at once is taken, the top card too: taking
        // cards that go round between the hands would let a round run for ever.
        if (CanTake(taken, b.pile[i], b.table)) choices.push_back(i);
    }
    std::vector<double> sums(choices.size(), 0.0);
    Rng rng{v.Hash()};
    PlayState sample, s;
    int done = 0;
    for (; done < tuning.samples; ++done) {
        if (done > 0 && clock.Ms() > kDeadlineMs) break;
        Deal(su, rng, sample);
        for (size_t c = 0; c < choices.size(); ++c) {
            s = sample;
            Mask keep = 0;
            if (choices[c] < 0) {
                s.DrawStock(0);
            } else {
                keep = Bit(s.pile[choices[c]]);
                s.TakePile(0, choices[c]);
            }
            if (!s.over) {
                PolicyMeld(s, 0);
                if (s.hand[0]) s.Discard(0, PolicyDiscard(s, 0, keep));
                if (!s.over) PlayOut(s, 1, kMaxTurns);
            }
            sums[c] += Value(v, s, tuning);
        }
    }
    DrawDecision d;
    size_t best = 0;
    for (size_t c = 1; c < choices.size(); ++c)
        if (sums[c] > sums[best]) best = c;
    const double n = std::max(done, 1);
    d.stockChance = sums[0] / n;
    d.chance = sums[best] / n;
    // The pile index in the game's pile: the view's pile is the game's, flags aside.
    d.pileIndex = choices[best];
    return d;
}

MeldPlan DecideMeldAndDiscard(const SeatView& v) {
    const Stopwatch clock;
    const Tuning& tuning = SeatTuning(v.seat);
    const Setup su = MakeSetup(v);
    const PlayState& b = su.base;
    const Mask hand = b.hand[0];
    const int must = IdAt(v, v.mustMeld);
    const int keep = IdAt(v, v.keep);
    // Every card that has to be placed this turn.
    const Mask bound = MaskOf(v.binding) | (must >= 0 ? Bit(must) : 0);

    std::vector<Option> options;
    for (int order : {1, 2}) {
        Mask d[kMaxMelds];
        const int n = FindMelds(hand, d, order);
        AddOption(options, b.table, hand, d, n, true);
        if (!tuning.holdBack) continue;
        AddOption(options, b.table, hand, d, n, false);
        for (int skip = 0; skip < n; ++skip) {
            Mask fewer[kMaxMelds];
            int k = 0;
            for (int i = 0; i < n; ++i)
                if (i != skip) fewer[k++] = d[i];
            AddOption(options, b.table, hand, fewer, k, true);
        }
    }
    if (tuning.holdBack) {
        AddOption(options, b.table, hand, nullptr, 0, true);
        AddOption(options, b.table, hand, nullptr, 0, false);
    }
    if (must >= 0) {
        bool any = false;
        for (const Option& o : options) any = any || (o.Placed() & Bit(must));
        Mask triple = 0;
        if (!any && TripleWith(hand, must, triple))
            AddOption(options, b.table, hand, &triple, 1, true);
    }
    Mask fullest = 0;
    for (const Option& o : options)
        if (Count(o.Placed()) > Count(fullest)) fullest = o.Placed();

    std::vector<Candidate> cands;
    for (size_t i = 0; i < options.size(); ++i) {
        const Option& o = options[i];
        // The bound cards are placed, and placed first: in a new meld, or laid off on a
        // meld that is on the table already.
        if ((o.Placed() & bound) != bound) continue;
        if (o.layOffs & bound & ~b.table.LayOffMask()) continue;
        const Mask rest = hand & ~o.Placed();
        if (!rest) {
            cands.push_back({static_cast<int>(i), -1});
            continue;
        }
        for (Mask m = rest; m; m &= m - 1) {
            const int id = std::countr_zero(m);
            if (id == keep && rest != Bit(id)) continue;
            cands.push_back({static_cast<int>(i), id});
        }
    }
    // A card taken from the pile goes onto the table this turn whenever it can: every
    // turn then either shortens the stock or adds to the table, and a round cannot run
    // for ever with cards going round between the hands.
    if (keep >= 0) {
        auto placesKeep = [&](const Candidate& c) {
            return (options[static_cast<size_t>(c.option)].Placed() & Bit(keep)) != 0;
        };
        if (std::any_of(cands.begin(), cands.end(), placesKeep))
            std::erase_if(cands, [&](const Candidate& c) { return !placesKeep(c); });
    }
    MeldPlan plan;
    if (cands.empty()) {
        // Nothing fits the rules as the view reads them: throw the first card.
        if (!v.hand.empty()) {
            plan.discards = true;
            plan.discard = v.hand[0];
        }
        return plan;
    }

    Rng rng{v.Hash()};
    const int count = tuning.samples;
    std::vector<PlayState> samples(static_cast<size_t>(count));
    for (PlayState& s : samples) Deal(su, rng, s);
    auto play = [&](Candidate& c, const PlayState& sample) {
        PlayState s = sample;
        const Option& o = options[static_cast<size_t>(c.option)];
        s.Meld(0, o.melds, o.count, o.layOffs);
        if (c.discard >= 0) s.Discard(0, c.discard);
        if (!s.over) PlayOut(s, 1, kMaxTurns);
        // Points put on the table now tip the balance between candidates that the
        // samples cannot tell apart.
        c.sum += Value(v, s, tuning) + tuning.placeBonus * HandPoints(o.Placed());
    };
    // Every candidate on the first samples, the best few on all of them. Past the
    // deadline no further sample is begun.
    const int first =
        cands.size() > static_cast<size_t>(kFinalists) ? std::min(kFirstRound, count) : 0;
    int done = 0;
    for (; done < first; ++done) {
        if (done > 0 && clock.Ms() > kDeadlineMs) break;
        for (Candidate& c : cands) play(c, samples[static_cast<size_t>(done)]);
    }
    if (first > 0) {
        std::stable_sort(cands.begin(), cands.end(),
                         [](const Candidate& x, const Candidate& y) { return x.sum > y.sum; });
        cands.resize(kFinalists);
    }
    for (; done < count; ++done) {
        if (done > 0 && clock.Ms() > kDeadlineMs) break;
        for (Candidate& c : cands) play(c, samples[static_cast<size_t>(done)]);
    }
    size_t best = 0;
    for (size_t c = 1; c < cands.size(); ++c)
        if (cands[c].sum > cands[best].sum) best = c;

    const Option& o = options[static_cast<size_t>(cands[best].option)];
    TableMelds t = b.table;
    for (int i = 0; i < o.count; ++i) {
        plan.melds.push_back(InHandOrder(v, o.melds[i]));
        t.AddMeld(o.melds[i], false);
    }
    // Lay-offs in an order that works: a card goes on once its neighbour is there.
    for (Mask left = o.layOffs; left;) {
        bool progress = false;
        for (const TCard& c : v.hand) {
            const int id = CardId(c);
            if (!(left & Bit(id)) || !(t.LayOffMask() & Bit(id))) continue;
            t.LayOff(id);
            plan.layOffs.push_back(c);
            left &= ~Bit(id);
            progress = true;
        }
        if (!progress) break;
    }
    if (cands[best].discard >= 0) {
        plan.discards = true;
        plan.discard = CardOf(cands[best].discard);
    }
    plan.chance = cands[best].sum / std::max(done, 1);
    if (Count(o.Placed()) < Count(fullest)) {
        const Mask thrown = cands[best].discard >= 0 ? Bit(cands[best].discard) : 0;
        plan.heldBack = InHandOrder(v, fullest & ~o.Placed() & ~thrown);
    }
    return plan;
}

}  // namespace skelda::master
