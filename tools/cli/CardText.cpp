#include "tools/cli/CardText.h"

#include <cstdio>
#include <sstream>

namespace skelda {

namespace {
const char kRanks[] = "A23456789TJQK";
const char kSuits[] = "CDHS";
}  // namespace

std::string CardText(TCard c) {
    std::string s;
    s += c.Rank < 13 ? kRanks[c.Rank] : '?';
    s += c.Suit < 4 ? kSuits[c.Suit] : '?';
    if (c.Flags) s += "/" + std::to_string(c.Flags);
    return s;
}

std::optional<TCard> ParseCard(const std::string& text) {
    if (text.size() < 2) return std::nullopt;
    const char* r =
        std::char_traits<char>::find(kRanks, 13, static_cast<char>(std::toupper(text[0])));
    const char* s =
        std::char_traits<char>::find(kSuits, 4, static_cast<char>(std::toupper(text[1])));
    if (!r || !s) return std::nullopt;
    TCard c{static_cast<uint8_t>(s - kSuits), static_cast<uint8_t>(r - kRanks), 0};
    if (text.size() == 2) return c;
    if (text[2] != '/' || text.size() > 6) return std::nullopt;
    int flags = 0;
    for (size_t i = 3; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        flags = flags * 10 + (text[i] - '0');
    }
    if (text.size() == 3 || flags > 255) return std::nullopt;
    c.Flags = static_cast<uint8_t>(flags);
    return c;
}

std::optional<TCardList> ParseCards(const std::string& text) {
    std::istringstream in(text);
    TCardList out;
    std::string word;
    while (in >> word) {
        auto c = ParseCard(word);
        if (!c) return std::nullopt;
        out.push_back(*c);
    }
    return out;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char ch : s) {
        switch (ch) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            default:
                if (ch < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", ch);
                    out += buf;
                } else {
                    out += static_cast<char>(ch);
                }
        }
    }
    return out + "\"";
}

std::string CardsJson(const TCardList& list) {
    std::string s = "[";
    for (size_t i = 0; i < list.size(); ++i) s += (i ? "," : "") + JsonString(CardText(list[i]));
    return s + "]";
}

std::string MarksJson(const std::array<uint8_t, 52>& marks) {
    std::string s;
    for (uint8_t m : marks) s += m ? '1' : '0';
    return JsonString(s);
}

}  // namespace skelda
