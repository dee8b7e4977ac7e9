// The discard-pile rule written out as the plain enumeration of every triple. The game
// uses the counting form in MeldRules.cpp; this one is the reference the tests and the
// benchmark hold it against, and the fallback for cards outside the deck.
#pragma once

#include "game/Game.h"

namespace skelda {

// Same contract as Game::CanTakeDiscards, marking the card at `index` MustMeld when true.
bool CanTakeDiscardsLiteral(Game& game, int index, const TCardList& hand);

}  // namespace skelda
