#include "opponent/SeatView.h"

#include "game/Game.h"

namespace skelda {

namespace {

bool Valid(TCard c) {
    return c.Rank < 13 && c.Suit < 4;
}

TCardList Plain(const TCardList& cards) {
    TCardList out;
    out.reserve(cards.size());
    for (TCard c : cards)
        if (Valid(c)) out.push_back(TCard{c.Suit, c.Rank, 0});
    return out;
}

// Everything face up, and what follows from it. Every card that ever lay on the pile is
// marked in SeenCards (the pile is painted after every discard), and melded cards are
// marked too; a marked card that is neither on the pile, nor in a meld, nor in the seat's
// own hand can only be in the other hand, which took it from the pile.
void FillCommon(const Game& g, const TCardList& own, const TCardList& other, bool yoursIsMine,
                SeatView& v) {
    v.hand = Plain(own);
    v.opponentCount = static_cast<int>(other.size());
    v.stockCount = g.NextCard >= 0 && g.NextCard < 52 ? 52 - g.NextCard : 0;
    v.pile = Plain(g.DiscardPile);
    std::array<bool, 52> placed{};
    for (const TCard& c : v.hand) placed[RankMajorIndex(c)] = true;
    for (const TCard& c : v.pile) placed[RankMajorIndex(c)] = true;
    for (const TCardList& m : g.Melds) {
        TCardList meld;
        for (TCard c : m) {
            if (!Valid(c)) continue;
            placed[RankMajorIndex(c)] = true;
            const uint8_t flags = c.Flags & (AceLow | Yours);
            meld.push_back(TCard{c.Suit, c.Rank, flags});
            (((flags & Yours) != 0) == yoursIsMine ? v.myPoints : v.opponentPoints) += CardValue(c);
        }
        v.melds.push_back(meld);
    }
    for (uint8_t r = 0; r < 13; ++r)
        for (uint8_t s = 0; s < 4; ++s) {
            const TCard c{s, r, 0};
            if (g.SeenCards[RankMajorIndex(c)] && !placed[RankMajorIndex(c)])
                v.opponentKnown.push_back(c);
        }
    // A position set up by hand may mark more than the other hand holds.
    if (static_cast<int>(v.opponentKnown.size()) > v.opponentCount)
        v.opponentKnown.resize(static_cast<size_t>(v.opponentCount));
    const int you = g.YourTotal(), them = g.OpponentTotal();
    v.myTotal = yoursIsMine ? you : them;
    v.opponentTotal = yoursIsMine ? them : you;
}

void Mix(uint64_t& h, uint64_t x) {
    h ^= x + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
}

void MixCards(uint64_t& h, const TCardList& cards) {
    Mix(h, cards.size());
    for (const TCard& c : cards) Mix(h, (uint64_t{c.Suit} << 16) | (c.Rank << 8) | c.Flags);
}

}  // namespace

SeatView ComputerSeatView(const Game& g, bool drawn) {
    SeatView v;
    v.seat = Seat::Computer;
    v.drawn = drawn;
    FillCommon(g, g.OpponentHand, g.YourHand, false, v);
    return v;
}

SeatView HumanSeatView(const Game& g) {
    SeatView v;
    v.seat = Seat::Human;
    v.drawn = g.TurnPhase == 2;
    FillCommon(g, g.YourHand, g.OpponentHand, true, v);
    TCardList own = Plain(g.YourHand);
    for (size_t i = 0; i < g.YourHand.size() && i < own.size(); ++i)
        if (g.YourHand[i].Flags & MustMeld) {
            v.mustMeld = v.keep = static_cast<int>(i);
            v.binding.push_back(own[i]);
        }
    // After a pickup the taken cards stand at the end of the hand, the pile ends where
    // they were taken, and the last of them has lain on the pile: it stays this turn (a
    // card taken and thrown back would only pass the turn).
    if (v.keep < 0 && g.TurnPhase == 2 && !own.empty() &&
        g.PickupIndex == static_cast<int>(g.DiscardPile.size()) &&
        g.SeenCards[RankMajorIndex(own.back())] && g.HavePickedCard)
        v.keep = static_cast<int>(own.size()) - 1;
    // A card the computer looked at deep in the pile keeps the mark; taken as the top
    // card it binds the human all the same.
    v.topBinds = !g.DiscardPile.empty() && (g.DiscardPile.back().Flags & MustMeld);
    return v;
}

uint64_t SeatView::Hash() const {
    uint64_t h = 0x243F6A8885A308D3ull;
    Mix(h, static_cast<uint64_t>(seat));
    MixCards(h, hand);
    MixCards(h, opponentKnown);
    MixCards(h, pile);
    MixCards(h, binding);
    Mix(h, topBinds ? 1 : 0);
    for (const TCardList& m : melds) MixCards(h, m);
    for (int x : {opponentCount, stockCount, myTotal, opponentTotal, myPoints, opponentPoints,
                  drawn ? 1 : 0, mustMeld, keep})
        Mix(h, static_cast<uint64_t>(static_cast<int64_t>(x)));
    return h;
}

}  // namespace skelda
