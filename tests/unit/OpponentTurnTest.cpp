// The computer's meld search, discard step and turn driver, called directly on arranged
// hands where a transcript would need a long set-up.
#include <gtest/gtest.h>

#include "game/Game.h"
#include "game/Random.h"
#include "tests/unit/TestCards.h"
#include "tools/cli/CardText.h"
#include "tools/sim/NullHost.h"

using namespace skelda;

namespace {

std::string Melds(const Game& g) {
    std::string s;
    for (const TCardList& m : g.Melds) s += (s.empty() ? "" : " | ") + Text(m);
    return s;
}

// Counts the floating messages and notes whether "Save Game" was on at each box.
class WatchingHost : public NullHost {
public:
    Answer MessageBox(const std::string& title, const std::string& text, Icon icon,
                      Buttons buttons) override {
        if (text.rfind("Opponent is floating!", 0) == 0) ++floating;
        if (game) saveGameAtBox.push_back(game->controls.SaveGame1);
        return NullHost::MessageBox(title, text, icon, buttons);
    }
    const Game* game = nullptr;
    int floating = 0;
    std::vector<bool> saveGameAtBox;
};

struct Table {
    WatchingHost host;
    Game g{host};
    Table() {
        host.game = &g;
        g.OpponentName = "MARY";
    }
};

}  // namespace

TEST(ComputerMeld, AfterARunPickupTheSearchGoesOnFromTheTripleAfterTheMeld) {
    Table t;
    t.g.DiscardRunTaken = true;
    t.g.OpponentHand = Cards("KC KD KH 7C 7D 7H");
    EXPECT_TRUE(t.g.ComputerMeld());
    // The Sevens now stand at 0 to 2, which the search has passed.
    EXPECT_EQ(Melds(t.g), "KC KD KH");
    EXPECT_EQ(Text(t.g.OpponentHand), "7C 7D 7H");

    Table u;
    u.g.DiscardRunTaken = true;
    u.g.OpponentHand = Cards("KC KD KH JS 7C 7D 7H");
    EXPECT_TRUE(u.g.ComputerMeld());
    EXPECT_EQ(Melds(u.g), "KC KD KH | 7C 7D 7H");
    EXPECT_EQ(Text(u.g.OpponentHand), "JS");
}

TEST(ComputerMeld, AnOrdinaryTurnLaysDownOneMeldAndNoLayOff) {
    Table t;
    t.g.Melds = {Cards("5H 6H 7H")};
    t.g.OpponentHand = Cards("9S 8H 9C 9D 9H KD KC KS");
    EXPECT_TRUE(t.g.ComputerMeld());
    // The first three Nines in hand order; the fourth and the 8 of Hearts stay.
    EXPECT_EQ(Melds(t.g), "5H 6H 7H | 9S 9C 9D");
    EXPECT_EQ(Text(t.g.OpponentHand), "8H 9H KD KC KS");
    // Next turn without a new meld: one lay-off, the card nearest the end first.
    t.g.OpponentHand = Cards("8H 9H 2C");
    EXPECT_FALSE(t.g.ComputerMeld());
    EXPECT_EQ(Melds(t.g), "5H 6H 7H | 9S 9C 9D 9H");
    EXPECT_EQ(Text(t.g.OpponentHand), "8H 2C");
    EXPECT_EQ(t.host.floating, 0);
}

TEST(ComputerMeld, FloatingAfterARunPickupIsAnnouncedTwice) {
    Table t;
    t.g.DiscardRunTaken = true;
    t.g.OpponentHand = Cards("4D 4S 4C");
    EXPECT_TRUE(t.g.ComputerMeld());
    EXPECT_EQ(t.host.floating, 2);
    Table u;
    u.g.OpponentHand = Cards("4D 4S 4C");
    EXPECT_TRUE(u.g.ComputerMeld());
    EXPECT_EQ(u.host.floating, 1);
    // A lay-off of the last card floats once too.
    Table v;
    v.g.Melds = {Cards("4D 4S 4C")};
    v.g.OpponentHand = Cards("4H");
    EXPECT_FALSE(v.g.ComputerMeld());
    EXPECT_EQ(v.host.floating, 1);
}

TEST(ComputerDiscard, KeepsTheObtainedCardAndClearsThePickupMark) {
    Table t;
    Game& g = t.g;
    // Every other card scores at the floor: the obtained card at index 0 still stays.
    g.RankInterest.fill(-1000);
    g.OpponentHand = Cards("KS 4D 5C");
    g.ComputerDiscard(Cards("KS")[0]);
    EXPECT_EQ(Text(g.OpponentHand), "KS 5C");
    EXPECT_EQ(Text(g.DiscardPile), "4D");
    // The card a pickup obliged to meld loses the mark when it is thrown.
    g.RankInterest.fill(0);
    g.OpponentHand = Cards("QH/8 4D 5C");
    g.ComputerDiscard(Cards("5C")[0]);
    EXPECT_EQ(Text(g.DiscardPile), "4D QH");
    // An empty hand throws nothing.
    g.OpponentHand.clear();
    g.ComputerDiscard(Cards("5C")[0]);
    EXPECT_EQ(Text(g.DiscardPile), "4D QH");
}

TEST(ComputerDiscard, LevelsOutsideTheTableScoreLikeMedium) {
    for (uint8_t level : {1, 4, 200}) {
        Table t;
        t.g.AILevel = level;
        t.g.OpponentHand = Cards("7C KD 4H 2S");
        t.g.ComputerDiscard(Cards("2S")[0]);
        EXPECT_EQ(Text(t.g.DiscardPile), "KD") << int(level);
    }
}

TEST(Timer4Timer, SaveGameIsOffDuringTheTurnAndOnAfterIt) {
    Table t;
    Game& g = t.g;
    g.OddPickup = 0;
    g.Deck[0] = Cards("7H")[0];
    g.NextCard = 0;
    g.OpponentHand = Cards("7C 7D");
    g.DiscardPile = Cards("2S");
    g.SwitchTimer(TimerId::Timer4, true);
    g.Timer4Timer();
    // The floating message came up in the middle of the turn.
    ASSERT_EQ(t.host.floating, 1);
    EXPECT_EQ(t.host.saveGameAtBox, std::vector<bool>{false});
    EXPECT_TRUE(g.controls.SaveGame1);
    EXPECT_FALSE(g.timers.Timer4);
    EXPECT_TRUE(g.HumansTurn);
    EXPECT_EQ(g.TurnPhase, 1);
    // A tick with the timer off does nothing.
    g.OpponentHand = Cards("7S");
    g.Timer4Timer();
    EXPECT_EQ(Text(g.OpponentHand), "7S");
}

TEST(Timer4Timer, EasyDrawsItsCoinsEvenWhenTheTopCardLaysOff) {
    // How many numbers a turn draws: one per pile index for the pickup scan, and at Easy
    // one for the top card and one for the discard, whatever the top card does.
    auto draws = [](uint8_t level) {
        Table t;
        Game& g = t.g;
        g.AILevel = level;
        g.OddPickup = 0;  // every scan coin false
        g.OddEasy = 0;    // every Easy coin false
        g.Melds = {Cards("5H 6H 7H")};
        g.OpponentHand = Cards("3D 9S");
        g.DiscardPile = Cards("2C KD 8H");
        g.SwitchTimer(TimerId::Timer4, true);
        SetRandSeed(12345);
        g.Timer4Timer();
        EXPECT_EQ(Text(g.Melds[0]), "5H 6H 7H 8H");
        uint32_t s = 12345;
        for (int n = 0; n < 100; ++n, s = s * 134775813u + 1u)
            if (s == RandSeed()) return n;
        return -1;
    };
    EXPECT_EQ(draws(1), 3);
    EXPECT_EQ(draws(0), 5);
}

// The table marks what the computer took, melded and laid off in its last turn and says
// it in one line, until the human acts again.
TEST(ComputerTurnRecord, NamesTheTurnAndIsForgottenAtTheHumansNextAction) {
    Table t;
    Game& g = t.g;
    g.OddPickup = 0;  // no pickup from inside the pile
    g.NewDeck();
    g.NextCard = 20;
    g.Melds = {Cards("5S 6S 7S")};
    g.OpponentHand = Cards("7D 8D KC 8S QH");
    g.DiscardPile = Cards("2C 9D");
    g.SwitchTimer(TimerId::Timer4, true);
    g.Timer4Timer();
    const ComputerTurnRecord& r = g.LastComputerTurn;
    ASSERT_TRUE(r.recorded);
    EXPECT_EQ(Text(r.taken), "9D");
    ASSERT_EQ(r.melded.size(), 1u);
    EXPECT_EQ(Text(r.melded[0]), "7D 8D 9D");
    EXPECT_TRUE(r.laidOff.empty()) << "one meld and no lay-off in an ordinary turn";
    ASSERT_TRUE(r.discarded);
    EXPECT_TRUE(r.Marks(Cards("9D")[0]) && r.Marks(Cards("7D")[0]));
    EXPECT_FALSE(r.Marks(Cards("5S")[0]));
    EXPECT_FALSE(r.Marks(Cards("8S")[0]));
    EXPECT_EQ(g.ComputerTurnSummary(),
              "MARY took the 9 of Diamonds from the pile, melded 7\u2666 8\u2666 9\u2666 and "
              "discarded the " +
                  CardName(r.discard, " of "));

    // A pile run and a stock draw read their own way.
    g.LastComputerTurn = ComputerTurnRecord{};
    g.LastComputerTurn.recorded = true;
    g.LastComputerTurn.taken = Cards("7D 8D 9D 2H 3C 4C 5C KC");
    g.LastComputerTurn.melded = {Cards("7D 8D 9D")};
    g.LastComputerTurn.discarded = true;
    g.LastComputerTurn.discard = Cards("KC")[0];
    EXPECT_EQ(g.ComputerTurnSummary(),
              "MARY took 8 cards from the pile, melded 7\u2666 8\u2666 9\u2666 and discarded the "
              "King of Clubs");
    g.LastComputerTurn = ComputerTurnRecord{};
    g.LastComputerTurn.recorded = true;
    g.LastComputerTurn.drewFromStock = true;
    g.LastComputerTurn.laidOff = Cards("8S");
    g.LastComputerTurn.discarded = true;
    g.LastComputerTurn.discard = Cards("TH")[0];
    EXPECT_EQ(g.ComputerTurnSummary(),
              "MARY drew from the stock, laid off 8\u2660 and discarded the Ten of Hearts");

    // The human's draw is the next action: the marks go, but the line stays through the
    // human's whole turn, and the computer's next turn names itself afresh.
    const std::string line = g.ComputerTurnSummary();
    g.YourHand = Cards("4H JD");
    ASSERT_TRUE(g.HumansTurn);
    g.PaintBox5MouseUp(MouseButton::Left, 10, 10);
    EXPECT_FALSE(g.LastComputerTurn.Marks(Cards("8S")[0]));
    EXPECT_EQ(g.ComputerTurnSummary(), line);
    g.YourHand.front().Flags |= Selected;
    g.Button2Click();
    EXPECT_EQ(g.ComputerTurnSummary(), line) << "the line stays until the computer plays";
    g.Timer4Timer();
    EXPECT_TRUE(g.LastComputerTurn.marked);
    EXPECT_NE(g.ComputerTurnSummary(), line);
}
