// What one seat at the table may know: its own hand, everything face up (the melds, the
// discard pile, the cards that ever lay on the pile and so where they went), the counts of
// the stock and of the other hand, and the scores. The Master level and the hint decide on
// this and nothing else, so they cannot peek.
#pragma once

#include <cstdint>
#include <vector>

#include "game/Card.h"

namespace skelda {

class Game;

enum class Seat : uint8_t { Computer, Human };

struct SeatView {
    Seat seat = Seat::Computer;
    TCardList hand;           // the seat's hand, flags cleared
    TCardList opponentKnown;  // the other hand's cards that came from the pile
    int opponentCount = 0;    // cards in the other hand
    int stockCount = 0;
    TCardList pile;                        // the discard pile, bottom first, flags cleared
    std::vector<TCardList> melds;          // the melds, in table order, with their flags
    int myTotal = 0, opponentTotal = 0;    // game totals before this round
    int myPoints = 0, opponentPoints = 0;  // this round's meld points so far
    bool drawn = false;     // the seat has drawn this turn: meld and discard are next
    int mustMeld = -1;      // index in `hand` of the pickup's card that has to be melded
    int keep = -1;          // index in `hand` of a card that must not be discarded this turn
    TCardList binding;      // every hand card that has to go into a meld before the discard
    bool topBinds = false;  // the top discard carries that obligation into the hand

    // A hash of everything in the view: the seed of the engine's own generator.
    uint64_t Hash() const;
};

// The view of the computer's seat (`drawn`: after its draw this turn) and of the human's.
SeatView ComputerSeatView(const Game& g, bool drawn);
SeatView HumanSeatView(const Game& g);

}  // namespace skelda
