// The counted discard-pile rule against the plain enumeration, and the computer's
// scoring and partner tests.
#include <gtest/gtest.h>

#include <climits>

#include "game/CanTakeDiscardsLiteral.h"
#include "game/Random.h"
#include "tests/unit/TestCards.h"
#include "tools/cli/CardText.h"
#include "tools/sim/NullHost.h"

using namespace skelda;

namespace {

TCard C(const std::string& text) {
    return Cards(text).at(0);
}

struct Table {
    NullHost host;
    Game g{host};
};

// A card drawn with replacement, so positions may hold the same card twice; now and then
// one from outside the deck, as a damaged saved game could hold.
TCard AnyCard(bool foreign) {
    TCard c{static_cast<uint8_t>(Random(4)), static_cast<uint8_t>(Random(13)),
            static_cast<uint8_t>(Random(16))};
    if (foreign && Random(40) == 0) c.Rank = static_cast<uint8_t>(13 + Random(3));
    return c;
}

TCardList AnyCards(uint32_t n, bool foreign) {
    TCardList list;
    for (uint32_t i = 0; i < n; ++i) list.push_back(AnyCard(foreign));
    return list;
}

// Mostly real melds (runs and sets of three to five), some short or mixed lists.
TCardList AnyMeld() {
    const uint8_t suit = static_cast<uint8_t>(Random(4));
    const uint32_t len = 3 + Random(3);
    TCardList m;
    switch (Random(4)) {
        case 0:
        case 1: {
            const uint32_t start = Random(14 - len);
            for (uint32_t k = 0; k < len; ++k)
                m.push_back({suit, static_cast<uint8_t>((start + k) % 13), 0});
            break;
        }
        case 2: {
            const uint8_t rank = static_cast<uint8_t>(Random(13));
            for (uint32_t k = 0; k < len && k < 4; ++k) m.push_back({uint8_t(k), rank, 0});
            break;
        }
        default: m = AnyCards(1 + Random(4), false);
    }
    return m;
}

}  // namespace

TEST(CanTakeDiscards, CountingAgreesWithTheEnumerationOnRandomPositions) {
    Table a, b;
    SetRandSeed(20261208);
    long positions = 0, taken = 0;
    for (int round = 0; round < 15000; ++round) {
        // Shapes from play (a dealt deck: no repeats) and crafted ones (repeats, flags,
        // cards outside the deck).
        const bool crafted = round % 3 == 0;
        TCardList hand, pile;
        std::vector<TCardList> melds;
        if (crafted) {
            hand = AnyCards(Random(14), true);
            pile = AnyCards(1 + Random(14), true);
        } else {
            TCardList deck;
            for (uint8_t s = 0; s < 4; ++s)
                for (uint8_t r = 0; r < 13; ++r) deck.push_back({s, r, 0});
            for (size_t i = 0; i < deck.size(); ++i) std::swap(deck[i], deck[Random(52)]);
            const uint32_t h = Random(16), p = 1 + Random(20);
            hand.assign(deck.begin(), deck.begin() + h);
            pile.assign(deck.begin() + h, deck.begin() + h + p);
        }
        for (uint32_t k = Random(4); k > 0; --k) melds.push_back(AnyMeld());
        a.g.Melds = b.g.Melds = melds;
        for (int i = -1; i <= static_cast<int>(pile.size()); ++i) {
            a.g.DiscardPile = b.g.DiscardPile = pile;
            const bool fast = a.g.CanTakeDiscards(i, hand);
            const bool literal = CanTakeDiscardsLiteral(b.g, i, hand);
            ++positions;
            taken += fast;
            ASSERT_EQ(fast, literal)
                << "index " << i << " hand " << testing::PrintToString(hand.size());
            for (size_t k = 0; k < pile.size(); ++k)
                ASSERT_EQ(a.g.DiscardPile[k].Flags, b.g.DiscardPile[k].Flags)
                    << "pile flags differ at " << k << " for index " << i;
        }
    }
    // Both answers occur often enough for the comparison to mean something.
    EXPECT_GT(taken, positions / 10);
    EXPECT_LT(taken, positions * 9 / 10);
}

TEST(CanTakeDiscards, EdgesOfTheRunsAndRepeats) {
    Table t;
    auto take = [&](const std::string& hand, const std::string& pile, int i) {
        t.g.DiscardPile = Cards(pile);
        const bool got = t.g.CanTakeDiscards(i, Cards(hand));
        EXPECT_EQ(got, (t.g.DiscardPile[i].Flags & MustMeld) != 0);
        return got;
    };
    EXPECT_TRUE(take("QS KS", "AS 2C", 0));   // Queen-King-Ace
    EXPECT_FALSE(take("KS 2S", "AS 2C", 0));  // never round the corner
    EXPECT_TRUE(take("2S 3S", "AS 2C", 0));   // Ace low
    EXPECT_TRUE(take("", "5H 9C 6H 7H", 0));  // all three from the pile
    EXPECT_TRUE(take("7C", "7H 7C", 0));      // the same 7 of Clubs twice makes a "set"
    EXPECT_FALSE(take("7H 6H", "7H 2C", 0));  // a repeated 7 of Hearts is no run
    EXPECT_FALSE(take("5H 6H", "7H 2C", 1));  // the 2 of Clubs fits nothing
}

TEST(OddChance, OddDrawsBelowTheBoundAndOneDrawPerCall) {
    SetRandSeed(99);
    for (uint32_t bound : {0u, 1u}) {
        const uint32_t before = RandSeed();
        EXPECT_FALSE(Game::OddChance(bound));
        EXPECT_EQ(RandSeed(), before * 134775813u + 1u);
    }
    auto rate = [](uint32_t bound) {
        int yes = 0;
        for (int i = 0; i < 60000; ++i) yes += Game::OddChance(bound);
        return yes / 60000.0;
    };
    EXPECT_NEAR(rate(2), 0.5, 0.01);
    EXPECT_NEAR(rate(4), 0.5, 0.01);
    EXPECT_NEAR(rate(3), 1.0 / 3, 0.01);
    EXPECT_NEAR(rate(5), 0.4, 0.01);
    EXPECT_NEAR(rate(MaxOdds), 0.5, 0.01);
}

TEST(DiscardScore, PointsAgainstPartnersMemoryAndBehaviour) {
    Table t;
    Game& g = t.g;
    g.OpponentHand = Cards("KC 7D 2H");
    // An unpaired King: 2 x 10 + 3 - 5 (not seen); an unpaired 7: 2 x 5 - 5.
    EXPECT_EQ(g.DiscardScore(C("KC")), 18);
    EXPECT_EQ(g.DiscardScore(C("7D")), 5);
    // A same-suit card within two ranks counts twice; an Ace once, and only for a 2 or 3
    // (low) or a Queen or King (high).
    g.OpponentHand = Cards("5S 7S AS 3S QS");
    EXPECT_EQ(g.DiscardScore(C("5S")), 10 - 7 * 4 - 5);  // 7S twice, 3S twice
    EXPECT_EQ(g.DiscardScore(C("AS")), 30 - 7 * 2 - 5);  // 3S low, QS high
    g.OpponentHand = Cards("AS 4S");
    EXPECT_EQ(g.DiscardScore(C("AS")), 30 - 5);
    // Same rank, the memory tables and the behaviour.
    g.OpponentHand = Cards("9C 9D");
    g.RankInterest[8] = 2;
    g.SuitInterest[Clubs] = -1;
    g.SeenCards[RankMajorIndex(C("9H"))] = 1;
    g.SeenCards[RankMajorIndex(C("9S"))] = 1;
    EXPECT_EQ(g.DiscardScore(C("9C")), 10 - 15 + 20 - 5 - 25);
    g.AIBehaviour = 0;
    EXPECT_EQ(g.DiscardScore(C("9C")), 10 - 15 + 20 - 5 - 25 - 5);
    g.AIBehaviour = 2;
    EXPECT_EQ(g.DiscardScore(C("9C")), 10 - 15 + 20 - 5 - 25 + 5);
    g.AIBehaviour = 7;
    EXPECT_EQ(g.DiscardScore(C("9C")), 10 - 15 + 20 - 5 - 25);
    // Counters from a damaged saved game do not overflow.
    g.RankInterest[8] = INT32_MAX;
    g.SuitInterest[Clubs] = INT32_MAX;
    EXPECT_EQ(g.DiscardScore(C("9C")), INT32_MAX);
    g.RankInterest[8] = INT32_MIN;
    g.SuitInterest[Clubs] = INT32_MIN;
    EXPECT_EQ(g.DiscardScore(C("9C")), INT32_MIN);
}

TEST(SeenScore, TwoSeenOfTheRankAndTheCardItself) {
    Table t;
    Game& g = t.g;
    EXPECT_EQ(g.SeenScore(C("4D")), 5);
    g.SeenCards[RankMajorIndex(C("4D"))] = 1;
    EXPECT_EQ(g.SeenScore(C("4D")), 0);
    g.SeenCards[RankMajorIndex(C("4S"))] = 1;
    EXPECT_EQ(g.SeenScore(C("4D")), 20);
    EXPECT_EQ(g.SeenScore(C("4H")), 25);
}

TEST(Partners, FitsAndConnects) {
    Table t;
    Game& g = t.g;
    g.OpponentHand = Cards("KH 3C 8D");
    EXPECT_TRUE(g.FitsHand(C("AC")));         // 3 of Clubs, two ranks up
    EXPECT_FALSE(g.FitsHand(C("AH")));        // the King is no partner here ...
    EXPECT_TRUE(g.ConnectsToHand(C("AH")));   // ... but connects read Ace-high
    EXPECT_TRUE(g.FitsHand(C("8S")));         // one of its rank fits
    EXPECT_FALSE(g.ConnectsToHand(C("8S")));  // two are needed to connect
    g.OpponentHand = Cards("8D 8C");
    EXPECT_TRUE(g.ConnectsToHand(C("8S")));
    EXPECT_FALSE(g.ConnectsToHand(C("TD")));  // two ranks away fits but does not connect
    EXPECT_TRUE(g.FitsHand(C("TD")));
}
