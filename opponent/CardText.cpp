#include "opponent/CardText.h"

namespace skelda {

std::string ShortCardName(TCard c) {
    static const char* const ranks[13] = {"A", "2", "3",  "4", "5", "6", "7",
                                          "8", "9", "10", "J", "Q", "K"};
    static const char* const suits[4] = {"\u2663", "\u2666", "\u2665", "\u2660"};
    return std::string(ranks[c.Rank % 13]) + suits[c.Suit % 4];
}

std::string ShortCardNames(const TCardList& cards) {
    std::string out;
    for (const TCard& c : cards) out += (out.empty() ? "" : " ") + ShortCardName(c);
    return out;
}

}  // namespace skelda
