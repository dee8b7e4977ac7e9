#include "opponent/MasterTurn.h"

#include "game/Game.h"
#include "opponent/SeatView.h"

namespace skelda {

namespace {

int IndexOf(const TCardList& list, TCard c) {
    for (size_t i = 0; i < list.size(); ++i)
        if (SameCard(list[i], c)) return static_cast<int>(i);
    return -1;
}

}  // namespace

TCard MasterTurn::Draw() {
    Game& g = g_;
    if (!g.DiscardPile.empty()) {
        const master::DrawDecision d = master::DecideDraw(ComputerSeatView(g, false));
        const int top = static_cast<int>(g.DiscardPile.size()) - 1;
        const int i = d.pileIndex;
        if (i == top) {
            // The top discard alone, as the other levels take it.
            const TCard x = g.DiscardPile.back();
            obtained_ = x;
            fromPile_ = true;
            g.LastComputerTurn.taken = {x};
            g.WriteLog(g.OpponentName + " picks up the " + CardName(x, " Of "));
            g.host.DrawPickupMarker(top * CardStep, 32);
            g.host.Pause(4096);
            AppendCard(g.OpponentHand, x);
            g.DiscardPile.pop_back();
            return obtained_;
        }
        if (i >= 0 && i < top && g.CanTakeDiscards(i, g.OpponentHand)) {
            g.PickupIndex = i;
            g.DiscardRunTaken = true;
            const size_t n = g.OpponentHand.size();
            g.LastComputerTurn.taken.assign(g.DiscardPile.begin() + i, g.DiscardPile.end());
            g.TakeDiscards(g.OpponentHand);
            obtained_ = g.OpponentHand[n];
            fromPile_ = deep_ = true;
            g.WriteLog(g.OpponentName + " picks up the " + CardName(obtained_, " Of "));
            g.HavePickedCard = false;
            return obtained_;
        }
    }
    g.WriteLog("Computer draws");
    bool got = false;
    const TCard card = g.TakeFromStock(got);
    if (!got) {
        g.WriteLog("The last card was drawn");
        if (!g.EndRound(StockEmpty)) g.NewRound();
        return obtained_;
    }
    AppendCard(g.OpponentHand, card);
    g.LastComputerTurn.drewFromStock = true;
    obtained_ = card;
    return obtained_;
}

bool MasterTurn::Meld() {
    Game& g = g_;
    SeatView v = ComputerSeatView(g, true);
    if (fromPile_) v.keep = IndexOf(v.hand, obtained_);
    if (deep_) v.mustMeld = v.keep;
    plan_ = master::DecideMeldAndDiscard(v);
    planned_ = true;

    bool melded = false;
    for (const TCardList& planned : plan_.melds) {
        // The cards as they are held, flags and all; the plan names them only.
        TCardList meld;
        for (const TCard& c : planned) {
            const int at = IndexOf(g.OpponentHand, c);
            if (at >= 0) meld.push_back(g.OpponentHand[static_cast<size_t>(at)]);
        }
        if (meld.size() != planned.size() || !Game::IsValidMeld(meld)) continue;
        if (Game::HoldsAceAndTwo(meld[0].Suit, meld, {}))
            for (TCard& c : meld) c.Flags |= AceLow;
        g.AddMeld(meld);
        g.LastComputerTurn.melded.push_back(meld);
        for (const TCard& c : meld) g.OpponentHand = RemoveCard(g.OpponentHand, c);
        melded = true;
    }
    for (const TCard& planned : plan_.layOffs) {
        const int at = IndexOf(g.OpponentHand, planned);
        if (at < 0) continue;
        const TCard card = g.OpponentHand[static_cast<size_t>(at)];
        for (TCardList& meld : g.Melds) {
            if (!Game::CanLayOff(meld, card)) continue;
            g.AddToMeld(meld, card);
            g.LastComputerTurn.laidOff.push_back(card);
            if (Game::HoldsAceAndTwo(card.Suit, meld, {}))
                for (TCard& c : meld) c.Flags |= AceLow;
            g.OpponentHand = RemoveCard(g.OpponentHand, card);
            break;
        }
    }
    if (g.OpponentHand.empty()) g.ShowOpponentFloating();
    return melded;
}

void MasterTurn::Discard() {
    Game& g = g_;
    if (g.OpponentHand.empty()) return;  // floating: nothing to throw
    const int at = planned_ && plan_.discards ? IndexOf(g.OpponentHand, plan_.discard) : -1;
    if (at < 0) {
        // A plan that no longer fits the hand: the ordinary discard.
        g.ComputerDiscard(obtained_);
        return;
    }
    TCard card = g.OpponentHand[static_cast<size_t>(at)];
    card.Flags &= ~MustMeld;
    AppendCard(g.DiscardPile, card);
    g.LastComputerTurn.discarded = true;
    g.LastComputerTurn.discard = card;
    g.WriteLog(g.OpponentName + " discarded a " + CardName(card, " Of "));
    g.OpponentHand = RemoveCard(g.OpponentHand, card);
    if (!g.OpponentHand.empty()) return;
    g.WriteLog(g.OpponentName + " went out");
    if (!g.EndRound(ComputerWentOut)) g.NewRound();
}

}  // namespace skelda
