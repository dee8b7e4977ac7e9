// What the computer takes at the start of its turn: a run from inside the discard pile,
// the top discard, or a card from the stock.
#include <cstdlib>

#include "game/Game.h"

namespace skelda {

TCard Game::ComputerDraw(bool topCardLaysOff) {
    TCard obtained{0, 0, NoCard};

    if (!DiscardPile.empty()) {
        // The scan takes the deepest card the coin lets it look at and the rule allows.
        for (int i = 0; i < static_cast<int>(DiscardPile.size()); ++i) {
            if (!OddChance(OddPickup)) continue;
            if (!CanTakeDiscards(i, OpponentHand)) continue;
            PickupIndex = i;
            DiscardRunTaken = true;
            const size_t n = OpponentHand.size();
            LastComputerTurn.taken.assign(DiscardPile.begin() + i, DiscardPile.end());
            TakeDiscards(OpponentHand);
            obtained = OpponentHand[n];
            WriteLog(OpponentName + " picks up the " + CardName(obtained, " Of "));
            HavePickedCard = false;
            return obtained;
        }

        const TCard x = DiscardPile.back();
        bool wanted = false;
        switch (AILevel) {
            case 0: wanted = OddChance(OddEasy); break;
            case 1: wanted = FitsHand(x); break;
            case 2: wanted = FitsHand(x) || ConnectsToHand(x); break;
            case 3: wanted = DiscardScore(x) < 5 || FitsHand(x) || ConnectsToHand(x); break;
            default: break;
        }
        if (wanted || topCardLaysOff) {
            obtained = x;
            LastComputerTurn.taken = {x};
            WriteLog(OpponentName + " picks up the " + CardName(x, " Of "));
            host.DrawPickupMarker(static_cast<int>(DiscardPile.size() - 1) * CardStep, 32);
            host.Pause(4096);
            AppendCard(OpponentHand, x);
            DiscardPile.pop_back();
            return obtained;
        }
    }

    WriteLog("Computer draws");
    bool got = false;
    const TCard card = TakeFromStock(got);
    if (!got) {
        WriteLog("The last card was drawn");
        if (!EndRound(StockEmpty)) NewRound();
        return obtained;
    }
    AppendCard(OpponentHand, card);
    LastComputerTurn.drewFromStock = true;
    return card;
}

// A partner in the hand: a card of the suit within two ranks (Ace low), or of the rank.
bool Game::FitsHand(TCard x) const {
    for (const TCard& h : OpponentHand)
        if (h.Suit == x.Suit && std::abs(RunValue(h, false) - RunValue(x, false)) <= 2) return true;
    for (const TCard& h : OpponentHand)
        if (h.Rank == x.Rank) return true;
    return false;
}

// Two cards of the rank, or a neighbour of the suit with the Ace read low or high.
bool Game::ConnectsToHand(TCard x) const {
    int sameRank = 0;
    for (const TCard& h : OpponentHand)
        if (h.Rank == x.Rank) ++sameRank;
    if (sameRank >= 2) return true;
    for (bool aceHigh : {false, true})
        for (const TCard& h : OpponentHand)
            if (h.Suit == x.Suit && std::abs(RunValue(h, aceHigh) - RunValue(x, aceHigh)) == 1)
                return true;
    return false;
}

}  // namespace skelda
