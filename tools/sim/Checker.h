// Invariants of a position, worked out independently of the rules code: every card of
// the deck lies in exactly one place, every meld on the table is a set or a run, and a
// round's scores are its melded points less the points left in hand.
#pragma once

#include <string>

#include "game/Game.h"

namespace skelda::sim {

// An empty string when the table is sound, else what is wrong.
std::string CheckTable(const Game& g);
// Call when the round's scores have just been entered (before the hands are cleared).
std::string CheckRoundScores(const Game& g);

}  // namespace skelda::sim
