// The computer's melds and lay-offs: the first valid triple of its hand in index order
// (every further one after a run pickup), else one card laid off on a table meld.
#include "game/Game.h"

namespace skelda {

bool Game::ComputerMeld() {
    bool melded = false;
    TCardList candidate(3);
    // The bounds are read again on every step: after a meld the search goes on in the
    // shortened hand from the triple after the one just laid down.
    for (size_t i = 0; i < OpponentHand.size(); ++i)
        for (size_t j = i + 1; j < OpponentHand.size(); ++j)
            for (size_t k = j + 1; k < OpponentHand.size(); ++k) {
                candidate[0] = OpponentHand[i];
                candidate[1] = OpponentHand[j];
                candidate[2] = OpponentHand[k];
                if (!IsValidMeld(candidate)) continue;
                melded = true;
                if (HoldsAceAndTwo(candidate[0].Suit, candidate, {}))
                    for (TCard& c : candidate) c.Flags |= AceLow;
                AddMeld(candidate);
                LastComputerTurn.melded.push_back(candidate);
                OpponentHand = RemoveCard(OpponentHand, candidate[2]);
                OpponentHand = RemoveCard(OpponentHand, candidate[1]);
                OpponentHand = RemoveCard(OpponentHand, candidate[0]);
                if (OpponentHand.empty()) ShowOpponentFloating();
                if (!DiscardRunTaken) return true;
            }
    ComputerLayOff();
    if (OpponentHand.empty()) ShowOpponentFloating();
    return melded;
}

void Game::ComputerLayOff() {
    for (size_t h = OpponentHand.size(); h-- > 0;)
        for (TCardList& meld : Melds) {
            const TCard card = OpponentHand[h];
            if (!CanLayOff(meld, card)) continue;
            AddToMeld(meld, card);
            LastComputerTurn.laidOff.push_back(card);
            if (HoldsAceAndTwo(card.Suit, meld, {}))
                for (TCard& c : meld) c.Flags |= AceLow;
            OpponentHand = RemoveCard(OpponentHand, card);
            return;
        }
}

void Game::ShowOpponentFloating() {
    ShowInfo(
        "Opponent is floating! You get another turn until you or opponent goes out with a "
        "discard");
}

}  // namespace skelda
