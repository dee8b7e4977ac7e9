// Cards as text for the headless driver: rank letter, suit letter, and "/flags" when
// the flags are not 0 ("TH", "AS/6").
#pragma once

#include <optional>
#include <string>

#include "game/Card.h"

namespace skelda {

std::string CardText(TCard c);
std::optional<TCard> ParseCard(const std::string& text);
// Blank-separated cards; nothing when any of them is malformed.
std::optional<TCardList> ParseCards(const std::string& text);
std::string JsonString(const std::string& s);

}  // namespace skelda
