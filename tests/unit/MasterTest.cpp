// The Master level and the hint: they decide on one seat's knowledge only, they leave the
// game alone, a Master game replays from its seed, and Master's turn looks like any other.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "game/Game.h"
#include "game/Random.h"
#include "opponent/Hint.h"
#include "opponent/Master.h"
#include "opponent/SeatView.h"
#include "tests/unit/TestCards.h"
#include "tests/unit/TestSession.h"
#include "tools/sim/NullHost.h"
#include "tools/sim/Players.h"
#include "tools/sim/Simulator.h"

using namespace skelda;

namespace {

// Everything of the state that a decision could read or change.
std::string Snapshot(const Game& g) {
    std::ostringstream s;
    auto cards = [&](const TCardList& l) {
        for (const TCard& c : l) s << CardText(c) << ' ';
        s << '|';
    };
    for (const TCard& c : g.Deck) s << CardText(c) << ' ';
    s << g.NextCard << '|';
    cards(g.YourHand);
    cards(g.OpponentHand);
    cards(g.DiscardPile);
    for (const TCardList& m : g.Melds) cards(m);
    for (int x : g.RankInterest) s << x << ',';
    for (int x : g.SuitInterest) s << x << ',';
    for (int x : g.SeenCards) s << x;
    for (int x : g.MeldedCards) s << x;
    s << g.PickupIndex << g.TurnPhase << g.HumansTurn << g.HavePickedCard << g.PickedExtras
      << g.StatusPrompt << RandSeed();
    return s.str();
}

std::string Describe(const HintAdvice& a) {
    return std::to_string(a.kind) + " " + std::to_string(a.pileIndex) + " " + Text(a.cards) + " " +
           std::to_string(a.meldIndex) + " " + a.reason;
}

std::string Describe(const master::MeldPlan& p) {
    std::string s;
    for (const TCardList& m : p.melds) s += Text(m) + " | ";
    return s + "off " + Text(p.layOffs) + " discard " + (p.discards ? CardText(p.discard) : "-") +
           " " + std::to_string(p.chance);
}

// Deals the cards the seat cannot know (the stock and the other hand's cards that never
// lay face up) anew among the same places.
void ReshuffleUnseen(Game& g, TCardList& otherHand, uint32_t salt) {
    std::vector<TCard*> places;
    for (int i = g.NextCard; i < 52; ++i) places.push_back(&g.Deck[static_cast<size_t>(i)]);
    for (TCard& c : otherHand)
        if (!g.SeenCards[RankMajorIndex(c)]) places.push_back(&c);
    std::vector<TCard> cards;
    for (TCard* p : places) cards.push_back(*p);
    uint32_t x = salt * 2654435761u + 1;
    for (size_t i = cards.size(); i > 1; --i) {
        x = x * 1664525u + 1013904223u;
        std::swap(cards[i - 1], cards[(x >> 8) % i]);
    }
    for (size_t i = 0; i < places.size(); ++i) {
        cards[i].Flags = places[i]->Flags;
        *places[i] = cards[i];
    }
}

struct Counts {
    int computer = 0, human = 0;
};

// Plays self-play games (Master against the Master engine on the human's side) and, at
// every turn of either side, checks that the seat's decisions do not change when the
// cards it cannot know are dealt anew, and that the hint changes nothing.
Counts CheckBlindness(uint32_t firstSeed, int games) {
    Counts n;
    for (int k = 0; k < games; ++k) {
        SetRandSeed(firstSeed + static_cast<uint32_t>(k));
        NullHost host;
        Game g(host);
        g.AILevel = MasterLevel;
        g.PlayerName = "Sim";
        g.PickOpponentName();
        g.ComputerFirst = g.RandomFirstPlayer();
        g.NewGame(false);
        sim::Table table(g, [](sim::Move) {});
        const auto player = sim::MakePlayer("master");
        for (int step = 0; step < 3000 && g.GameInPlay(); ++step) {
            if (g.timers.Timer1) {
                g.Timer1Timer();
                continue;
            }
            if (g.timers.Timer4) {
                if (!g.DiscardPile.empty() && !g.OpponentHand.empty()) {
                    const auto before = master::DecideDraw(ComputerSeatView(g, false));
                    Game other(g);
                    ReshuffleUnseen(other, other.YourHand, static_cast<uint32_t>(step));
                    const auto after = master::DecideDraw(ComputerSeatView(other, false));
                    EXPECT_EQ(before.pileIndex, after.pileIndex)
                        << "game " << k << " step " << step;
                    EXPECT_EQ(before.chance, after.chance);
                    // The meld and discard after a draw from the stock, both ways.
                    if (g.NextCard < 52) {
                        Game drawn(g);
                        drawn.OpponentHand.push_back(drawn.Deck[drawn.NextCard++]);
                        const auto plan =
                            master::DecideMeldAndDiscard(ComputerSeatView(drawn, true));
                        ReshuffleUnseen(drawn, drawn.YourHand, static_cast<uint32_t>(step) + 7);
                        const auto plan2 =
                            master::DecideMeldAndDiscard(ComputerSeatView(drawn, true));
                        EXPECT_EQ(Describe(plan), Describe(plan2)) << "game " << k;
                    }
                    ++n.computer;
                }
                g.Timer4Timer();
                continue;
            }
            if (!g.HumansTurn || (g.TurnPhase != 1 && g.TurnPhase != 2)) break;
            const std::string state = Snapshot(g);
            const HintAdvice hint = ComputeHint(g);
            EXPECT_EQ(state, Snapshot(g)) << "the hint changed the game";
            EXPECT_NE(hint.kind, HintAdvice::None);
            Game other(g);
            ReshuffleUnseen(other, other.OpponentHand, static_cast<uint32_t>(step));
            EXPECT_EQ(Describe(hint), Describe(ComputeHint(other))) << "game " << k;
            ++n.human;
            if (g.TurnPhase == 1)
                player->Draw(table);
            else
                player->MeldAndDiscard(table);
        }
    }
    return n;
}

}  // namespace

TEST(Master, DecidesOnWhatItsSeatMayKnowAndTheHintChangesNothing) {
    const Counts n = CheckBlindness(4100, 12);
    // Enough positions of both seats to mean something.
    EXPECT_GT(n.computer, 500);
    EXPECT_GT(n.human, 1000);
}

TEST(Master, AGameReplaysFromItsSeedAndTheOtherLevelsPlayAsBefore) {
    sim::SimOptions o;
    o.games = 3;
    o.seed = 11;
    o.level = MasterLevel;
    o.check = true;
    const sim::SimResult a = sim::RunSimulation(o);
    const sim::SimResult b = sim::RunSimulation(o);
    EXPECT_TRUE(a.violation.empty()) << a.violation;
    EXPECT_EQ(a.signature, b.signature);
    EXPECT_EQ(a.rounds, b.rounds);
    EXPECT_EQ(a.turns, b.turns);
    o.seed = 12;
    EXPECT_NE(sim::RunSimulation(o).signature, a.signature);
    EXPECT_FALSE(a.decisionMs.empty());

    // The four levels before Master: the signatures they gave before it came.
    o.games = 60;
    o.seed = 77;
    o.check = false;
    const uint32_t before[4] = {0xa9ab6dcbu, 0xcb204ad9u, 0x002ddf26u, 0x8d0f7d88u};
    for (int level = 0; level < 4; ++level) {
        o.level = level;
        EXPECT_EQ(sim::RunSimulation(o).signature, before[level]) << "level " << level;
    }
}

TEST(Master, ItsTurnLooksAndSoundsLikeAnyOtherLevels) {
    // The same position at Medium and at Master: the top discard completes a run, and
    // the last card goes out.
    auto turn = [](int level) {
        TestSession s(3);
        s.Run("sound on\nset opponent-name MARY\nodd-pickup 0\nlevel " + std::to_string(level) +
              "\nset melds 2C 3C 4C\nset opponent-hand 7H 8H KC\n"
              "set your-hand 9H/1 5C 6S\nset discard-pile 2S\nset humans-turn 1\nset phase 2\n"
              "discard\n");
        const std::string out = s.Run("tick Timer4\n");
        return out;
    };
    const std::string medium = turn(1);
    const std::string masterOut = turn(MasterLevel);
    // Card names aside, the same events in the same order. (The sound of a lost round is
    // drawn at random from three, and Medium's coins have moved the generator on.)
    const std::regex card("(Ace|[2-9]|Ten|Jack|Queen|King) (of|Of) (Clubs|Diamonds|Hearts|Spades)");
    const std::regex lost("SOUND 1[0-2] played");
    auto kinds = [&](const std::string& out) {
        return std::regex_replace(std::regex_replace(out, card, "C"), lost, "SOUND lost");
    };
    EXPECT_EQ(kinds(medium), kinds(masterOut)) << medium << "\n---\n" << masterOut;
    EXPECT_NE(masterOut.find("LOG \"T - MARY picks up the 9 Of Hearts\"\nPAUSE 4096"),
              std::string::npos)
        << masterOut;
    EXPECT_NE(masterOut.find("MARY melded: 7 of Hearts, 8 of Hearts, 9 of Hearts"),
              std::string::npos);
    EXPECT_NE(masterOut.find("MARY went out"), std::string::npos);
}

TEST(Hint, LeadsTheHumanThroughATurnStepByStep) {
    TestSession s(5);
    s.Run(
        "sound off\nset opponent-name MARY\nset melds 2C 3C 4C\n"
        "set opponent-hand 5H 9S JD QH 2H 6C 8S\nset your-hand 7D 8D KC 2S 5C\n"
        "set discard-pile 4S 9D\nset seen 4S 9D\nset next-card 20\nset humans-turn 1\nset phase "
        "1\n");
    Game& g = s.game();
    HintAdvice a = ComputeHint(g);
    ASSERT_EQ(a.kind, HintAdvice::TakePile) << a.reason;
    EXPECT_EQ(a.pileIndex, 1);
    EXPECT_EQ(
        a.reason.rfind("Take the pile from the 9\u2666: it completes 7\u2666 8\u2666 9\u2666", 0),
        0u)
        << a.reason;
    s.Run("pile 1\n");
    a = ComputeHint(g);
    ASSERT_EQ(a.kind, HintAdvice::Meld) << a.reason;
    EXPECT_EQ(Text(a.cards), "7D 8D 9D");
    s.Run("select 0\nselect 1\nselect 5\nmeld\n");
    ASSERT_EQ(g.Melds.size(), 2u);
    // The 5 of Clubs goes on 2-3-4 of Clubs.
    a = ComputeHint(g);
    ASSERT_EQ(a.kind, HintAdvice::LayOff) << a.reason;
    EXPECT_EQ(Text(a.cards), "5C");
    EXPECT_EQ(a.meldIndex, 0);
    s.Run("select 2\nmeld\n");
    a = ComputeHint(g);
    ASSERT_EQ(a.kind, HintAdvice::Discard) << a.reason;
    ASSERT_EQ(a.cards.size(), 1u);
    for (size_t i = 0; i < g.YourHand.size(); ++i)
        if (SameCard(g.YourHand[i], a.cards[0])) s.Run("select " + std::to_string(i) + "\n");
    s.Run("discard\n");
    EXPECT_TRUE(SameCard(g.DiscardPile.back(), a.cards[0]));
    // The computer's turn is next: nothing to advise.
    EXPECT_EQ(ComputeHint(g).kind, HintAdvice::None);
}
