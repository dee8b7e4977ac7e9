// What the table shows the human beside the discard pile, under the line about the
// computer's last turn: a hint (its marks on the table and one line of reason) or why
// a move was just refused. Kept in memory only, for the state it was given in: the
// next change of the cards or the turn puts it out of date.
#pragma once

#include <string>

#include "game/Card.h"
#include "game/TakeBack.h"

namespace skelda {

struct TableAdvice {
    std::string line;     // the line beside the pile; empty: none
    bool stock = false;   // a hint to draw from the stock
    int pileIndex = -1;   // a hint to take the pile from this card (0 = bottom)
    TCardList handCards;  // hand cards a hint means to meld, lay off or discard
    int meldIndex = -1;   // the meld a hinted lay-off goes on
    TurnSnapshot givenAt;
};

}  // namespace skelda
