// Short card names for advice lines: "7♦", "10♣", "K♠".
#pragma once

#include <string>

#include "game/Card.h"

namespace skelda {

std::string ShortCardName(TCard c);
// The cards' short names separated by blanks.
std::string ShortCardNames(const TCardList& cards);

}  // namespace skelda
