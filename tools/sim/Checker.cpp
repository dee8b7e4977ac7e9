#include "tools/sim/Checker.h"

#include <algorithm>
#include <array>
#include <vector>

namespace skelda::sim {

namespace {

const char kRanks[] = "A23456789TJQK";
const char kSuits[] = "CDHS";

std::string Name(TCard c) {
    std::string s;
    s += c.Rank < 13 ? kRanks[c.Rank] : '?';
    s += c.Suit < 4 ? kSuits[c.Suit] : '?';
    return s;
}

std::string Names(const TCardList& list) {
    std::string s;
    for (const TCard& c : list) s += (s.empty() ? "" : " ") + Name(c);
    return s;
}

// Points of a card as the score counts them.
int Points(TCard c) {
    if (c.Rank == 0) return (c.Flags & AceLow) ? 5 : 15;
    return c.Rank >= 10 ? 10 : 5;
}

bool Consecutive(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    for (size_t i = 1; i < v.size(); ++i)
        if (v[i] != v[i - 1] + 1) return false;
    return true;
}

bool ValidMeld(const TCardList& m) {
    if (m.size() < 3) return false;
    if (std::all_of(m.begin(), m.end(), [&](TCard c) { return c.Rank == m[0].Rank; })) return true;
    if (!std::all_of(m.begin(), m.end(), [&](TCard c) { return c.Suit == m[0].Suit; }))
        return false;
    std::vector<int> low, high;
    for (const TCard& c : m) {
        low.push_back(c.Rank + 1);
        high.push_back(c.Rank == 0 ? 14 : c.Rank + 1);
    }
    return Consecutive(low) || Consecutive(high);
}

}  // namespace

std::string CheckTable(const Game& g) {
    std::array<int, 52> seen{};
    std::string bad;
    auto count = [&](TCard c, const char* where) {
        if (c.Rank >= 13 || c.Suit >= 4) {
            bad += std::string(" a card outside the deck in ") + where + ";";
            return;
        }
        ++seen[c.Suit * 13 + c.Rank];
    };
    if (g.NextCard < 0 || g.NextCard > 52) return "next card " + std::to_string(g.NextCard);
    for (int i = g.NextCard; i < 52; ++i) count(g.Deck[i], "the stock");
    for (const TCard& c : g.YourHand) count(c, "your hand");
    for (const TCard& c : g.OpponentHand) count(c, "the opponent's hand");
    for (const TCard& c : g.DiscardPile) count(c, "the discard pile");
    for (const TCardList& m : g.Melds)
        for (const TCard& c : m) count(c, "a meld");
    for (int k = 0; k < 52; ++k)
        if (seen[k] != 1) {
            const TCard c{static_cast<uint8_t>(k / 13), static_cast<uint8_t>(k % 13), 0};
            bad += " " + Name(c) +
                   (seen[k] ? " lies in " + std::to_string(seen[k]) + " places;" : " is missing;");
        }
    for (const TCardList& m : g.Melds)
        if (!ValidMeld(m)) bad += " invalid meld [" + Names(m) + "];";
    return bad.empty() ? bad : "table:" + bad;
}

std::string CheckRoundScores(const Game& g) {
    int melded[2] = {0, 0};  // the human's, the computer's
    for (const TCardList& m : g.Melds)
        for (const TCard& c : m) melded[(c.Flags & Yours) ? 0 : 1] += Points(c);
    int deadwood[2] = {0, 0};
    for (const TCard& c : g.YourHand) deadwood[0] += Points(c);
    for (const TCard& c : g.OpponentHand) deadwood[1] += Points(c);
    if (g.YourScores.empty() || g.OpponentScores.empty()) return "scores: no round score entered";
    const int you = g.YourScores.back(), them = g.OpponentScores.back();
    if (you != melded[0] - deadwood[0] || them != melded[1] - deadwood[1])
        return "scores: entered " + std::to_string(you) + " / " + std::to_string(them) +
               ", melds minus deadwood give " + std::to_string(melded[0] - deadwood[0]) + " / " +
               std::to_string(melded[1] - deadwood[1]);
    return std::string();
}

}  // namespace skelda::sim
