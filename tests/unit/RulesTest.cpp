// Card values, card lists, meld shapes and the game-in-play test.
#include <gtest/gtest.h>

#include <sstream>

#include "game/Game.h"
#include "tests/unit/TestCards.h"
#include "tools/cli/CardText.h"
#include "tools/cli/CliHost.h"

using namespace skelda;

namespace {

struct Table {
    std::ostringstream out;
    CliHost host{out, std::make_unique<MemorySettings>(), "/nonexistent"};
    Game game{host};
};

}  // namespace

TEST(CardValue, AcesTensAndCourtCards) {
    EXPECT_EQ(CardValue({Hearts, Ace, 0}), 15);
    EXPECT_EQ(CardValue({Hearts, Ace, AceLow}), 5);
    EXPECT_EQ(CardValue({Hearts, 9, 0}), 5);  // the Ten
    EXPECT_EQ(CardValue({Hearts, 10, 0}), 10);
    EXPECT_EQ(CardValue({Hearts, King, Yours | Selected}), 10);
    EXPECT_EQ(HandPoints(Cards("KC AH 2D")), 30);
    EXPECT_EQ(RunValue({Spades, Ace, 0}, false), 1);
    EXPECT_EQ(RunValue({Spades, Ace, 0}, true), 14);
    EXPECT_EQ(RunValue({Spades, King, 0}, false), 13);
}

TEST(CardLists, RemoveSortAndContainIgnoreFlags) {
    const TCardList hand = Cards("5H 7C/1 9D 7C KS");
    EXPECT_EQ(Text(RemoveCard(hand, {Clubs, 6, 0})), "5H 9D 7C KS");
    EXPECT_EQ(Text(RemoveCard(hand, {Spades, 1, 0})), Text(hand));
    EXPECT_TRUE(ContainsCard(hand, {Diamonds, 8, Selected}));
    EXPECT_FALSE(ContainsCard(hand, {Diamonds, 7, 0}));
    TCardList sorted = Cards("KS 5H AD 5C AC");
    SortByRank(sorted);
    // Exchange sort: equal ranks do not keep their order.
    EXPECT_EQ(Text(sorted), "AD AC 5C 5H KS");
}

TEST(Melds, SetsAndRunsBothWaysRound) {
    EXPECT_TRUE(Game::IsRun(Cards("AH 2H 3H")));
    EXPECT_TRUE(Game::IsRun(Cards("QH KH AH")));
    EXPECT_TRUE(Game::IsRun(Cards("KH AH QH JH")));
    EXPECT_FALSE(Game::IsRun(Cards("KH AH 2H")));
    EXPECT_FALSE(Game::IsRun(Cards("5H 6H 7D")));
    EXPECT_FALSE(Game::IsRun(Cards("5H 6H 6H")));
    EXPECT_FALSE(Game::IsRun(Cards("5H 6H")));
    EXPECT_TRUE(Game::IsRun(Cards("AS 2S 3S 4S 5S 6S 7S 8S 9S TS JS QS KS")));
    EXPECT_TRUE(Game::IsSet(Cards("7C 7D 7S")));
    EXPECT_TRUE(Game::IsSet(Cards("7C 7D 7S 7H")));
    EXPECT_FALSE(Game::IsValidMeld(Cards("7C 7D")));
    EXPECT_FALSE(Game::IsValidMeld(Cards("7C 7D 8D")));
}

TEST(Melds, LayOffOnRunsAndSets) {
    const TCardList run = Cards("5H 6H 7H");
    EXPECT_TRUE(Game::CanLayOff(run, {Hearts, 3, 0}));
    EXPECT_TRUE(Game::CanLayOff(run, {Hearts, 7, 0}));
    EXPECT_FALSE(Game::CanLayOff(run, {Hearts, 8, 0}));
    EXPECT_FALSE(Game::CanLayOff(run, {Hearts, 5, 0}));  // already there
    EXPECT_FALSE(Game::CanLayOff(run, {Clubs, 7, 0}));
    const TCardList set = Cards("7H 7D 7C");
    EXPECT_TRUE(Game::CanLayOff(set, {Spades, 6, 0}));
    EXPECT_FALSE(Game::CanLayOff(set, {Spades, 7, 0}));
    EXPECT_FALSE(Game::CanLayOff(set, {Hearts, 6, 0}));
    EXPECT_TRUE(Game::CanLayOff(Cards("JH QH KH"), {Hearts, Ace, 0}));
    EXPECT_TRUE(Game::HoldsAceAndTwo(Spades, Cards("2S 3S 4S"), Cards("AS")));
    EXPECT_FALSE(Game::HoldsAceAndTwo(Spades, Cards("2S 3S 4S"), Cards("AS 2S")));
}

TEST(Primitives, HandIndexStaysInsideTheList) {
    Table t;
    EXPECT_EQ(t.game.HandIndexAt(0, 7), 0);
    EXPECT_EQ(t.game.HandIndexAt(15, 7), 0);
    EXPECT_EQ(t.game.HandIndexAt(16, 7), 1);
    EXPECT_EQ(t.game.HandIndexAt(1000, 7), 6);
    EXPECT_EQ(t.game.HandIndexAt(-1, 7), 0);
    EXPECT_EQ(t.game.HandIndexAt(-40, 7), 0);
}

TEST(Primitives, StockRunsDryForGood) {
    Table t;
    t.game.NewDeck();
    bool got = false;
    for (int i = 0; i < 52; ++i) {
        t.game.TakeFromStock(got);
        EXPECT_TRUE(got);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.game.TakeFromStock(got).Flags, NoCard);
        EXPECT_FALSE(got);
    }
    EXPECT_EQ(t.game.NextCard, 52);
}

TEST(Primitives, RoundScoreByOwnership) {
    Table t;
    Game& g = t.game;
    g.YourHand = Cards("KC AH 2D");
    EXPECT_EQ(g.RoundScore(true), -30);
    g.Melds = {Cards("AS/6 2S 3S 4S"), Cards("JH/4 QH KH")};
    g.OpponentHand = Cards("5C");
    EXPECT_EQ(g.MeldPoints(true), 15);
    EXPECT_EQ(g.MeldPoints(false), 35);
    EXPECT_EQ(g.RoundScore(true), -15);
    EXPECT_EQ(g.RoundScore(false), 30);
}

TEST(Primitives, GameInPlayAtTheTarget) {
    Table t;
    Game& g = t.game;
    g.RoundActive = false;
    EXPECT_FALSE(g.GameInPlay());
    g.YourScores = {510};
    g.OpponentScores = {20};
    EXPECT_FALSE(g.GameInPlay());
    g.RoundActive = true;
    EXPECT_TRUE(g.GameInPlay());
    g.RoundActive = false;
    g.YourScores = {499};
    g.OpponentScores = {499};
    EXPECT_TRUE(g.GameInPlay());
    g.OpponentScores = {500};
    EXPECT_FALSE(g.GameInPlay());
}

TEST(NewGame, AnsweredNoChangesNothingAndRoundsCountInTheSettings) {
    Table t;
    Game& g = t.game;
    g.YourScores = {40};
    g.OpponentScores = {10};
    g.RoundNumber = 1;
    g.NewGame(true);  // the default answer is No
    EXPECT_EQ(g.YourScores.size(), 1u);
    EXPECT_EQ(g.RoundNumber, 1);
    EXPECT_FALSE(g.timers.Timer1);

    g.GamesPlayed = -1;
    t.host.answers.push_back({"yes", ""});
    const bool firstBefore = g.ComputerFirst;
    g.NewGame(true);
    EXPECT_TRUE(g.YourScores.empty());
    EXPECT_EQ(g.RoundNumber, 1);
    EXPECT_EQ(g.GamesPlayed, 1);
    EXPECT_EQ(t.host.Settings().ReadNumber("GamesPlayed"), 1u);
    EXPECT_NE(g.ComputerFirst, firstBefore);
    g.GamesPlayed = 41;
    g.NewRound();
    EXPECT_EQ(t.host.Settings().ReadNumber("GamesPlayed"), 42u);
    EXPECT_EQ(g.ComputerFirst, firstBefore);
}

TEST(NewDeck, OrderedClubsToSpades) {
    Table t;
    t.game.NewDeck();
    EXPECT_EQ(CardText(t.game.Deck[0]), "AC");
    EXPECT_EQ(CardText(t.game.Deck[12]), "KC");
    EXPECT_EQ(CardText(t.game.Deck[13]), "AD");
    EXPECT_EQ(CardText(t.game.Deck[51]), "KS");
}
