// Take Back over whole games of random play: every action taken back puts the state back
// exactly as it was before that action (a forced meld together with its pickup), all the
// way to the start of the turn or to the draw from the stock, and no further.
#include <gtest/gtest.h>

#include <random>

#include "TestSession.h"

using namespace skelda;

namespace {

// The state without what a take-back leaves as it is: what the computer has seen stays
// seen, and the line beside the pile belongs to the moment.
std::string Comparable(CliSession& cli) {
    std::string s;
    for (const auto& [k, v] : cli.StateFields())
        if (k != "seenCards" && k != "adviceLine" && k != "canTakeBack") s += k + "=" + v + ";";
    return s;
}

bool HoldsMustMeld(const Game& g) {
    for (const TCard& c : g.YourHand)
        if (c.Flags & MustMeld) return true;
    return false;
}

struct Undo {
    std::string before;
    bool pickup = false;
    bool forced = false;
};

}  // namespace

TEST(TakeBack, EveryActionGoesBackExactlyToTheStartOfTheTurnOrTheDraw) {
    std::mt19937 pick(2026);
    TestSession s(8);
    s.Run("startup\nrun");
    int takenBack = 0, forced = 0, turns = 0;
    for (; turns < 150 && s.game().GameInPlay() && s.game().RoundNumber <= 3; ++turns) {
        Game& g = s.game();
        if (!(g.HumansTurn && g.TurnPhase == 1 && !g.timers.Timer1 && !g.timers.Timer4)) {
            s.Run("run");
            continue;
        }
        std::vector<Undo> undo;
        auto act = [&](const std::string& command, bool pickup = false) {
            const std::string before = Comparable(*s.cli);
            const bool must = HoldsMustMeld(g);
            s.Run(command);
            if (Comparable(*s.cli) == before) return;
            undo.push_back({before, pickup, must && !HoldsMustMeld(g)});
        };
        auto selectSome = [&](int times) {
            for (int k = 0; k < times && !g.YourHand.empty(); ++k)
                act("select " + std::to_string(pick() % g.YourHand.size()));
        };
        selectSome(static_cast<int>(pick() % 3));
        // Draw, or take the pile from a card that may be taken.
        if (pick() % 2 == 0 && !g.DiscardPile.empty()) {
            act("pile " + std::to_string(pick() % g.DiscardPile.size()), true);
        }
        if (g.TurnPhase == 1) {
            s.Run("stock");
            undo.clear();
        }
        if (g.TurnPhase != 2) continue;
        // The card a pickup obliged goes first: alone onto a meld, or in a triple.
        if (HoldsMustMeld(g)) {
            for (size_t i = 0; i < g.YourHand.size(); ++i)
                if (g.YourHand[i].Flags & Selected) act("select " + std::to_string(i));
            size_t must = 0;
            while (!(g.YourHand[must].Flags & MustMeld)) ++must;
            std::vector<size_t> chosen = {must};
            const TCard m = g.YourHand[must];
            bool laysOff = false;
            for (const TCardList& meld : g.Melds) laysOff = laysOff || Game::CanLayOff(meld, m);
            for (size_t a = 0; a < g.YourHand.size() && !laysOff && chosen.size() == 1; ++a)
                for (size_t b = a + 1; b < g.YourHand.size() && chosen.size() == 1; ++b) {
                    if (a == must || b == must) continue;
                    TCardList t = {m, g.YourHand[a], g.YourHand[b]};
                    for (TCard& c : t) c.Flags = 0;
                    if (Game::IsValidMeld(t)) chosen = {must, a, b};
                }
            for (size_t i : chosen) act("select " + std::to_string(i));
            act("meld");
        }
        // Melds and lay-offs of random selections, most of them refused.
        for (int k = 0; k < 12 && !g.YourHand.empty() && !g.timers.Timer4; ++k) {
            selectSome(1 + static_cast<int>(pick() % 3));
            act("meld");
        }
        if (g.timers.Timer4) continue;  // a meld emptied the hand: the turn is over
        // Take everything back, checking each step.
        while (!undo.empty()) {
            ASSERT_TRUE(s.game().CanTakeBack());
            const std::string out = s.Run("take-back");
            ASSERT_EQ(out.rfind("LOG \"T - You took back ", 0), 0u) << out;
            Undo u = undo.back();
            undo.pop_back();
            if (u.forced) {
                ++forced;
                while (!undo.empty() && !u.pickup) {
                    u = undo.back();
                    undo.pop_back();
                }
            }
            ASSERT_EQ(Comparable(*s.cli), u.before) << "turn " << turns << ": " << out;
            ++takenBack;
        }
        EXPECT_EQ(s.Run("take-back"), "ERROR \"nothing to take back\"\n");
        // End the turn: meld what may be melded is not needed; discard one card.
        if (g.TurnPhase == 1) continue;  // back before a pickup: draw next time round
        for (size_t i = 0; i < g.YourHand.size(); ++i)
            if (g.YourHand[i].Flags & Selected) s.Run("select " + std::to_string(i));
        if (HoldsMustMeld(g)) continue;
        s.Run("select 0\ndiscard");
        EXPECT_FALSE(g.CanTakeBack());
        EXPECT_EQ(s.Run("take-back"), "ERROR \"nothing to take back\"\n");
    }
    EXPECT_GT(takenBack, 100);
    EXPECT_GT(forced, 0) << "no pickup forced a meld in these games";
}
