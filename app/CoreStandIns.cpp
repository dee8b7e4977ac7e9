// Stand-ins for menu commands of the game that land with the saved-games and scores
// work. Each is compiled only while the core does not define it yet (see
// app/CMakeLists.txt), so the real one takes over without an edit here.
#include <unistd.h>

#include <string>

#include "game/Game.h"
#include "game/Random.h"

namespace skelda {

namespace {
[[maybe_unused]] void OddsBox(Game& g, const std::string& caption, uint32_t& field,
                              const char* valueName) {
    for (;;) {
        const auto answer = g.host.InputBox(
            caption,
            "Enter the maximum random number.\r\nSmaller number means more of a chance the "
            "computer does this action",
            std::to_string(field));
        const std::string text = answer.value_or(std::to_string(field));
        int64_t n = 0;
        bool ok = !text.empty() && text.size() <= 11;
        for (size_t i = 0; ok && i < text.size(); ++i) {
            if (text[i] == '-' && i == 0 && text.size() > 1) continue;
            ok = text[i] >= '0' && text[i] <= '9';
        }
        if (ok) n = std::stoll(text);
        if (ok && n >= 2 && n <= MaxOdds) {
            field = static_cast<uint32_t>(n);
            g.host.Settings().WriteNumber(valueName, field);
            return;
        }
        g.host.MessageBox(
            "Skelda", "The range must be a whole number between 2 and " + std::to_string(MaxOdds),
            Icon::Error, Buttons::Ok);
    }
}
}  // namespace

#ifndef SKELDA_CORE_HAS_OddsDialog
void Game::OddsDialog(bool pickup) {
    if (pickup)
        OddsBox(*this, "Pickup more than one card", OddPickup, "OddPickup");
    else
        OddsBox(*this, "Easy dumb moves", OddEasy, "OddEasy");
}
#endif

#ifndef SKELDA_CORE_HAS_YourName1Click
void Game::YourName1Click() {
    std::string name =
        host.InputBox("Change Username", "Enter your new name", PlayerName).value_or(PlayerName);
    if (name.size() > 255) name.resize(255);
    PlayerName = name;
    host.Settings().WriteText("Username", PlayerName);
}
#endif

#ifndef SKELDA_CORE_HAS_OnlineTopTenScores1Click
void Game::OnlineTopTenScores1Click() {
    const double x = static_cast<double>(getpid()) + RandomFraction();
    host.OpenWebAddress("https://scores.skelda.example/skeldaScores/?pid=" + std::to_string(x));
}
#endif

}  // namespace skelda
