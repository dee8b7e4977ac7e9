// Hints: a player who does nothing but what `hint` says plays only moves the game accepts,
// and asking changes nothing: a twin game from the same seed, making the same moves
// without asking, prints the same events and ends in the same state.
#include <gtest/gtest.h>

#include <sstream>

#include "TestSession.h"
#include "tools/cli/CardText.h"

using namespace skelda;

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string x; in >> x;) w.push_back(x);
    return w;
}

// The commands that carry out a HINT line in `g`: selections first (the selected cards
// lowered, the advised ones lifted), then the step.
std::vector<std::string> Follow(const std::string& hint, const Game& g) {
    const std::vector<std::string> w = Words(hint.substr(0, hint.find('"')));
    std::vector<std::string> cmds;
    if (w.size() < 2 || w[0] != "HINT") return cmds;
    if (w[1] == "draw-stock") return {"stock"};
    if (w[1] == "take-pile" && w.size() == 3) return {"pile " + w[2]};
    TCardList cards;
    const size_t last = w[1] == "lay-off" ? w.size() - 1 : w.size();
    for (size_t i = 2; i < last; ++i)
        if (auto c = ParseCard(w[i])) cards.push_back(*c);
    if (cards.empty()) return cmds;
    for (size_t i = 0; i < g.YourHand.size(); ++i) {
        const bool want = ContainsCard(cards, g.YourHand[i]);
        if (want != ((g.YourHand[i].Flags & Selected) != 0))
            cmds.push_back("select " + std::to_string(i));
    }
    cmds.push_back(w[1] == "discard" ? "discard" : "meld");
    return cmds;
}

std::string WithoutAdvice(const std::string& state) {
    std::string s = state;
    for (const char* key : {",\"adviceLine\":", ",\"canTakeBack\":", ",\"hintUsed\":"}) {
        const size_t at = s.find(key);
        if (at == std::string::npos) continue;
        size_t end = s.find(",\"", at + 1);
        if (end == std::string::npos) end = s.size() - 1;
        s.erase(at, end - at);
    }
    return s;
}

}  // namespace

TEST(Hint, FollowingHintsPlaysOnlyAcceptedMovesAndAskingChangesNothing) {
    for (uint32_t seed : {3u, 41u}) {
        // The game asked for a hint before each of the human's steps. The generator is
        // the process's one, so the twin plays afterwards.
        std::vector<std::pair<std::string, std::string>> played;  // command, its events
        std::string endState;
        {
            TestSession asks(seed);
            const std::string start = "set player-name PAT\nstartup\nrun";
            played.emplace_back(start, asks.Run(start));
            int hints = 0;
            for (int step = 0; step < 600 && asks.game().RoundNumber <= 2; ++step) {
                Game& g = asks.game();
                if (!g.GameInPlay()) break;
                std::vector<std::string> cmds = {"run"};
                if (g.HumansTurn && !g.timers.Timer1 && !g.timers.Timer4 &&
                    (g.TurnPhase == 1 || g.TurnPhase == 2)) {
                    const std::string hint = asks.Run("hint");
                    ASSERT_EQ(hint.rfind("HINT ", 0), 0u) << hint;
                    ASSERT_EQ(hint.find("HINT none"), std::string::npos)
                        << "seed " << seed << ": " << hint;
                    EXPECT_TRUE(g.HintUsed);
                    EXPECT_FALSE(g.AdviceLine().empty());
                    cmds = Follow(hint, g);
                    ASSERT_FALSE(cmds.empty()) << hint;
                    ++hints;
                }
                for (const std::string& c : cmds) {
                    played.emplace_back(c, asks.Run(c));
                    ASSERT_EQ(played.back().second.find("MSG error"), std::string::npos)
                        << "seed " << seed << ": a hinted move was refused: " << c << "\n"
                        << played.back().second;
                }
            }
            EXPECT_GT(hints, 20) << "seed " << seed;
            endState = WithoutAdvice(asks.cli->StateJson());
        }
        TestSession plays(seed);
        for (const auto& [command, events] : played)
            ASSERT_EQ(plays.Run(command), events) << "seed " << seed << ": " << command;
        EXPECT_EQ(WithoutAdvice(plays.cli->StateJson()), endState);
        EXPECT_FALSE(plays.game().HintUsed);
    }
}
