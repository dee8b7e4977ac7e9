// Advice on the human's next step, worked out from what the human may know.
#pragma once

#include <string>

#include "game/Card.h"

namespace skelda {

class Game;

struct HintAdvice {
    enum Kind { None, DrawStock, TakePile, Meld, LayOff, Discard } kind = None;
    int pileIndex =
        -1;           // TakePile: index in Game::DiscardPile (0 = bottom) of the card to take from
    TCardList cards;  // Meld: the cards of the new meld; LayOff/Discard: the one card
    int meldIndex = -1;  // LayOff: index in Game::Melds of the meld that takes it
    std::string reason;  // one line, e.g. "Take the pile from the 7♦: it completes 7♦ 8♦ 9♦"
};

// The next step for the human, from the human's knowledge only. Changes nothing in the
// game: not its state, not its generator (Random), not the computer's memory.
HintAdvice ComputeHint(const Game& game);

}  // namespace skelda
