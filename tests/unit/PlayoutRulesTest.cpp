// The Master engine's rules on bit masks against the game's own rules, on random tables:
// the discard-pile rule, lay-offs, and the melds it finds in a hand.
#include <gtest/gtest.h>

#include "game/Game.h"
#include "game/Random.h"
#include "opponent/Playout.h"
#include "tests/unit/TestCards.h"
#include "tools/sim/NullHost.h"

using namespace skelda;
using namespace skelda::master;

namespace {

// A shuffled deck dealt into a hand, a pile and melds of every kind (long runs, runs
// with the Ace low or high, sets of three and four).
struct Position {
    TCardList hand, pile;
    std::vector<TCardList> melds;
};

Position RandomPosition() {
    TCardList deck;
    for (uint8_t s = 0; s < 4; ++s)
        for (uint8_t r = 0; r < 13; ++r) deck.push_back({s, r, 0});
    for (size_t i = deck.size(); i > 1; --i) std::swap(deck[i - 1], deck[Random(uint32_t(i))]);
    Position p;
    Mask used = 0;
    const int melds = static_cast<int>(Random(6));
    for (int m = 0; m < melds; ++m) {
        const TCard c = deck[Random(52)];
        TCardList meld;
        if (Random(2)) {
            for (uint8_t s = 0; s < 4; ++s)
                if (!(used & Bit(c.Rank + 13 * s))) meld.push_back({s, c.Rank, 0});
            if (meld.size() == 4 && Random(2)) meld.pop_back();
        } else {
            const int len = 3 + static_cast<int>(Random(4));
            for (int k = 0; k < len; ++k) {
                const uint8_t r = static_cast<uint8_t>((c.Rank + k) % 13);
                if (k > 0 && r == 0 && c.Rank + k > 13) break;  // never round the corner
                if (used & Bit(c.Suit * 13 + r)) break;
                meld.push_back({c.Suit, r, 0});
            }
        }
        if (!Game::IsValidMeld(meld)) continue;
        for (const TCard& x : meld) used |= Bit(CardId(x));
        p.melds.push_back(meld);
    }
    const uint32_t handSize = Random(16), pileSize = Random(20);
    for (const TCard& c : deck) {
        if (used & Bit(CardId(c))) continue;
        if (p.hand.size() < handSize)
            p.hand.push_back(c);
        else if (p.pile.size() < pileSize)
            p.pile.push_back(c);
    }
    return p;
}

}  // namespace

TEST(PlayoutRules, AgreeWithTheGamesRules) {
    SetRandSeed(2024);
    NullHost host;
    Game g(host);
    int takes = 0, layOffs = 0, melds = 0;
    for (int n = 0; n < 4000; ++n) {
        const Position p = RandomPosition();
        g.Melds = p.melds;
        g.DiscardPile = p.pile;
        TableMelds table;
        for (const TCardList& m : p.melds) table.AddMeld(MaskOf(m), false);

        Mask taken = MaskOf(p.hand);
        for (int i = static_cast<int>(p.pile.size()) - 1; i >= 0; --i) {
            taken |= Bit(CardId(p.pile[i]));
            const bool game = g.CanTakeDiscards(i, p.hand);
            ASSERT_EQ(CanTake(taken, CardId(p.pile[i]), table), game)
                << "hand " << Text(p.hand) << " pile " << Text(p.pile) << " at " << i;
            takes += game;
        }
        for (int id = 0; id < 52; ++id) {
            if (table.onTable & Bit(id)) continue;
            bool game = false;
            for (const TCardList& m : p.melds) game = game || Game::CanLayOff(m, CardOf(id));
            ASSERT_EQ((table.LayOffMask() & Bit(id)) != 0, game) << Text({CardOf(id)});
            layOffs += game;
        }

        // Every meld found is a meld of the hand's own cards, none shares a card, and a
        // hand that holds some meld of three gets at least one.
        bool anyTriple = false;
        for (size_t a = 0; a < p.hand.size(); ++a)
            for (size_t b = a + 1; b < p.hand.size(); ++b)
                for (size_t c = b + 1; c < p.hand.size(); ++c)
                    anyTriple = anyTriple || Game::IsValidMeld({p.hand[a], p.hand[b], p.hand[c]});
        for (int order : {0, 1, 2}) {
            Mask found[kMaxMelds];
            const int count = FindMelds(MaskOf(p.hand), found, order);
            Mask seen = 0;
            for (int k = 0; k < count; ++k) {
                TCardList cards;
                for (int id = 0; id < 52; ++id)
                    if (found[k] & Bit(id)) cards.push_back(CardOf(id));
                EXPECT_TRUE(Game::IsValidMeld(cards)) << Text(cards);
                EXPECT_EQ(found[k] & ~MaskOf(p.hand), 0u);
                EXPECT_EQ(found[k] & seen, 0u);
                seen |= found[k];
            }
            EXPECT_EQ(count > 0, anyTriple) << Text(p.hand) << " order " << order;
            melds += count;
        }
    }
    // The positions exercised every branch, not only the easy answers.
    EXPECT_GT(takes, 2000);
    EXPECT_GT(layOffs, 2000);
    EXPECT_GT(melds, 2000);
}
