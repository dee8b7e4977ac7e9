// The record of the computer's last turn: which cards the table marks, and the one line
// that says what the computer took, melded, laid off and discarded.
#include "game/Game.h"

namespace skelda {

namespace {

// "7♦" style: the rank's figure or letter and the suit's sign.
std::string ShortName(TCard c) {
    static const char* const ranks[13] = {"A", "2", "3",  "4", "5", "6", "7",
                                          "8", "9", "10", "J", "Q", "K"};
    static const char* const suits[4] = {"\u2663", "\u2666", "\u2665", "\u2660"};
    return std::string(ranks[c.Rank % 13]) + suits[c.Suit % 4];
}

std::string ShortNames(const TCardList& cards) {
    std::string out;
    for (const TCard& c : cards) out += (out.empty() ? "" : " ") + ShortName(c);
    return out;
}

}  // namespace

bool ComputerTurnRecord::Marks(TCard c) const {
    if (!recorded || !marked) return false;
    if (ContainsCard(taken, c) || ContainsCard(laidOff, c)) return true;
    for (const TCardList& m : melded)
        if (ContainsCard(m, c)) return true;
    return false;
}

std::string Game::ComputerTurnSummary() const {
    const ComputerTurnRecord& r = LastComputerTurn;
    if (!r.recorded) return {};
    std::vector<std::string> parts;
    if (r.taken.size() == 1)
        parts.push_back("took the " + CardName(r.taken[0], " of ") + " from the pile");
    else if (r.taken.size() > 1)
        parts.push_back("took " + std::to_string(r.taken.size()) + " cards from the pile");
    else if (r.drewFromStock)
        parts.push_back("drew from the stock");
    if (!r.melded.empty()) {
        std::string s = "melded ";
        for (size_t i = 0; i < r.melded.size(); ++i) s += (i ? ", " : "") + ShortNames(r.melded[i]);
        parts.push_back(s);
    }
    if (!r.laidOff.empty()) parts.push_back("laid off " + ShortNames(r.laidOff));
    if (r.discarded)
        parts.push_back("discarded the " + CardName(r.discard, " of "));
    else if (OpponentHand.empty() && !parts.empty())
        parts.push_back("is floating");
    if (parts.empty()) return {};
    std::string line = OpponentName + " ";
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) line += i + 1 == parts.size() ? " and " : ", ";
        line += parts[i];
    }
    return line;
}

void Game::ForgetComputerTurn() {
    if (!LastComputerTurn.recorded || !LastComputerTurn.marked) return;
    LastComputerTurn.marked = false;
    // The marks lie on the computer's hand and melds only.
    host.Repaint(Area::PaintBox1);
    host.Repaint(Area::PaintBox2);
}

}  // namespace skelda
