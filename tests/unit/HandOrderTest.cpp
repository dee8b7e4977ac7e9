// The human's own order of the hand: moving cards within it changes only the order, keeps
// every flag, and an order that does not name every card once changes nothing.
#include <gtest/gtest.h>

#include "TestCards.h"
#include "TestSession.h"

namespace skelda {

TEST(HandOrder, MovesOnlyTheOrderAndRefusesWhatIsNoOrder) {
    EXPECT_EQ(MoveWithin(5, {0}, 3), (std::vector<int>{1, 2, 0, 3, 4}));
    EXPECT_EQ(MoveWithin(5, {4, 1}, 0), (std::vector<int>{1, 4, 0, 2, 3}));
    EXPECT_EQ(MoveWithin(5, {1, 2}, 5), (std::vector<int>{0, 3, 4, 1, 2}));
    EXPECT_EQ(MoveWithin(3, {2}, 99), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(MoveWithin(3, {7, -1}, 1), (std::vector<int>{0, 1, 2}));

    TestSession s(7);
    Game& g = s.game();
    g.YourHand = Cards("5H 6H 7S 9D");
    g.YourHand[1].Flags |= Selected;
    g.YourHand[2].Flags |= MustMeld;
    const TCardList before = g.YourHand;
    for (const std::vector<int>& bad : std::vector<std::vector<int>>{
             {0, 1, 2}, {0, 1, 2, 2}, {0, 1, 2, 4}, {-1, 0, 1, 2}, {0, 1, 2, 3, 0}}) {
        EXPECT_FALSE(g.ArrangeHand(bad));
        EXPECT_EQ(Text(g.YourHand), Text(before));
    }
    ASSERT_TRUE(g.ArrangeHand({3, 0, 2, 1}));
    EXPECT_EQ(Text(g.YourHand), "9D 5H 7S/8 6H/1");  // the flags go with their cards
}

}  // namespace skelda
