// Cards as text for the headless driver: rank letter, suit letter, and "/flags" when
// the flags are not 0 ("TH", "AS/6").
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "game/Card.h"

namespace skelda {

std::string CardText(TCard c);
std::optional<TCard> ParseCard(const std::string& text);
// Blank-separated cards; nothing when any of them is malformed.
std::optional<TCardList> ParseCards(const std::string& text);
std::string JsonString(const std::string& s);

// JSON pieces of the driver's state and the inspector's output.
std::string CardsJson(const TCardList& list);
std::string MarksJson(const std::array<uint8_t, 52>& marks);  // 52 characters of 0 and 1
inline const char* JsonBool(bool b) {
    return b ? "true" : "false";
}
template <typename C>
std::string NumbersJson(const C& list) {
    std::string s = "[";
    bool first = true;
    for (auto v : list) {
        s += (first ? "" : ",") + std::to_string(v);
        first = false;
    }
    return s + "]";
}

}  // namespace skelda
