// The table in words: what the screen reader's objects and the listening keys say.
#include <gtest/gtest.h>

#include "TestCards.h"
#include "TestSession.h"
#include "game/TableWords.h"

using namespace skelda;

TEST(TableWords, CardsAndMeldsAsAPlayerSaysThem) {
    EXPECT_EQ(SpokenCard(Cards("7H")[0]), "Seven of Hearts");
    EXPECT_EQ(SpokenCard(Cards("TC")[0]), "Ten of Clubs");
    EXPECT_EQ(SpokenCard(Cards("AS")[0]), "Ace of Spades");
    // Melds lie sorted by rank; a run is read in its own order, the Ace high above a King.
    EXPECT_EQ(SpokenMeld(Cards("7D 8D 9D")), "Run: Seven, Eight, Nine of Diamonds");
    EXPECT_EQ(SpokenMeld(Cards("AH QH KH")), "Run: Queen, King, Ace of Hearts");
    EXPECT_EQ(SpokenMeld(Cards("AH 2H 3H")), "Run: Ace, Two, Three of Hearts");
    EXPECT_EQ(SpokenMeld(Cards("QC QH QS")), "Set of Queens");
    EXPECT_EQ(SpokenMeld(Cards("6C 6H 6S 6D")), "Set of Sixes");
    // Not a meld: the cards one by one.
    EXPECT_EQ(SpokenMeld(Cards("TD")), "Ten of Diamonds");
    EXPECT_EQ(SpokenMeld(Cards("2C 9H")), "Two of Clubs, Nine of Hearts");
}

TEST(TableWords, TheTableOfAnArrangedRound) {
    TestSession s(7);
    const std::string out = s.Run(
        "set opponent-name LILA\n"
        "set round-number 2\n"
        "set your-scores 35\n"
        "set opponent-scores 20\n"
        "set your-hand 7H 9C/1 KS\n"
        "set opponent-hand 2C 3C 4D 5S 8S\n"
        "set discard-pile 3S 7C\n"
        "set next-card 31\n"
        // The computer's run with the human's Ten laid off, the computer's set, the
        // human's own run.
        "set melds 7D 8D 9D TD/4 | QC QH QS | 2H/4 3H/4 4H/4\n");
    ASSERT_EQ(out.find("ERROR"), std::string::npos) << out;
    const Game& g = s.game();

    EXPECT_EQ(StockWords(g), "Stock, 21 cards");
    EXPECT_EQ(PileWords(g), "Discard pile, 2 cards");
    EXPECT_EQ(OpponentHandWords(g), "LILA holds 5 cards");
    EXPECT_EQ(HandWords(g), "Your hand, 3 cards");
    EXPECT_EQ(PositionWords(2, 9), "card 3 of 9");
    EXPECT_EQ(MeldListWords(g, false), "LILA's melds, 2");
    EXPECT_EQ(MeldListWords(g, true), "Your melds, 2");

    // Each side lists the melds it has cards in; a meld both played into says the whole.
    ASSERT_EQ(SideMelds(g, false), (std::vector<size_t>{0, 1}));
    ASSERT_EQ(SideMelds(g, true), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(SideMeldWords(g.Melds[0], false),
              "Run: Seven, Eight, Nine of Diamonds (in Run: Seven, Eight, Nine, Ten of Diamonds)");
    EXPECT_EQ(SideMeldWords(g.Melds[0], true),
              "Ten of Diamonds (in Run: Seven, Eight, Nine, Ten of Diamonds)");
    EXPECT_EQ(SideMeldWords(g.Melds[1], false), "Set of Queens");

    // Melds: you 5 + 15 = 20 against 20 in hand; LILA 15 + 30 = 45.
    EXPECT_EQ(ScoreWords(g),
              "Round 2. You 35, LILA 20. This round: you 0 points, LILA melded 45 points.");
    EXPECT_EQ(TableReading(g),
              "Round 2. You 35, LILA 20. This round: you 0 points, LILA melded 45 points. "
              "Stock, 21 cards. Discard pile, 2 cards, top card Seven of Clubs. "
              "LILA holds 5 cards. "
              "LILA's melds: Run: Seven, Eight, Nine of Diamonds (in Run: Seven, Eight, Nine, "
              "Ten of Diamonds); Set of Queens. "
              "Your melds: Ten of Diamonds (in Run: Seven, Eight, Nine, Ten of Diamonds); "
              "Run: Two, Three, Four of Hearts.");
    EXPECT_EQ(HandReading(g),
              "Your hand, 3 cards: Seven of Hearts, Nine of Clubs (lifted), King of Spades.");

    // An empty table says so rather than "0 cards".
    TestSession empty(7);
    empty.Run("set next-card 52\nset opponent-name LILA\n");
    EXPECT_EQ(StockWords(empty.game()), "Stock, empty");
    EXPECT_EQ(PileWords(empty.game()), "Discard pile, empty");
    EXPECT_EQ(HandReading(empty.game()), "Your hand is empty.");
    EXPECT_EQ(MeldListWords(empty.game(), true), "Your melds, none");
}

TEST(TableWords, APickupOfSeveralCardsNamesThemAll) {
    const std::string line = "LILA picks up the 7 Of Hearts";
    EXPECT_EQ(PickupWords(line, Cards("7H")), line);
    EXPECT_EQ(PickupWords(line, Cards("7H 9C KS")),
              "LILA picks up the 7 Of Hearts, taking 3 cards: Seven of Hearts, Nine of Clubs, "
              "King of Spades");
}
