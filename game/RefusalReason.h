// Why a move was refused, in the player's terms: "7♦ 9♦ 10♦ is not a run: the 8♦ is
// missing". The message boxes keep their own texts; these lines go beside the pile.
#pragma once

#include <string>
#include <vector>

#include "game/Card.h"

namespace skelda {

class Game;

// Why the cards do not make a meld of their own ("K♥ A♥ 2♥ is not a run: it goes around
// the corner ..."); empty when they do.
std::string WhyNotMeld(const TCardList& cards);
// Why the card cannot be laid off on the meld; empty when it can.
std::string WhyNotLayOff(const TCardList& meld, TCard card);

// Why the Meld command refuses in the game's present state, and why Discard does; empty
// when it would not refuse.
std::string WhyMeldRefused(const Game& game);
std::string WhyDiscardRefused(const Game& game);

}  // namespace skelda
