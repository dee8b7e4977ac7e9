// The option commands that only change a setting: Your Name and the two odds bounds.
#include "game/Game.h"
#include "persist/SavedGameFormat.h"

namespace skelda {

namespace {

// Whole decimal numbers only; anything else (and anything past 32 bits) gives 0.
int64_t WholeNumber(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size() || text.size() - i > 10) return 0;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        v = v * 10 + (text[i] - '0');
    }
    return negative ? -v : v;
}

}  // namespace

void Game::YourName1Click() {
    const auto answer = host.InputBox("Change Username", "Enter your new name", PlayerName);
    PlayerName = CutText(answer.value_or(PlayerName), SavedMaxName);
    host.Settings().WriteText("Username", PlayerName);
}

void Game::OddsDialog(bool pickup) {
    const char* const title = pickup ? "Pickup more than one card" : "Easy dumb moves";
    uint32_t& bound = pickup ? OddPickup : OddEasy;
    const std::string range =
        "The range must be a whole number between 2 and " + std::to_string(MaxOdds);
    for (;;) {
        const std::string current = std::to_string(bound);
        const auto answer = host.InputBox(
            title,
            "Enter the maximum random number.\r\nSmaller number means more of a chance the "
            "computer does this action",
            current);
        const int64_t n = WholeNumber(answer.value_or(current));
        if (n >= 2 && n <= static_cast<int64_t>(MaxOdds)) {
            bound = static_cast<uint32_t>(n);
            host.Settings().WriteNumber(pickup ? "OddPickup" : "OddEasy", bound);
            return;
        }
        ShowError(range);
        // Cancel keeps a bound that is out of range (a hand-edited store) rather than
        // asking for ever.
        if (!answer) return;
    }
}

}  // namespace skelda
