// The generator against values worked out by hand.
#include <gtest/gtest.h>

#include "game/Random.h"

using namespace skelda;

TEST(Random, AdvancesTheSeedAndTakesTheUpperHalfOfTheProduct) {
    SetRandSeed(0);
    // seed 0 -> 1; 1 * 52 >> 32 = 0
    EXPECT_EQ(Random(52), 0u);
    EXPECT_EQ(RandSeed(), 1u);
    // seed 1 -> 134775814; 134775814 * 52 = 7008342328, >> 32 = 1
    EXPECT_EQ(Random(52), 1u);
    EXPECT_EQ(RandSeed(), 134775814u);
    // 134775814 * 134775813 + 1 mod 2^32 = 3698175007; * 100 >> 32 = 86
    EXPECT_EQ(Random(100), 86u);
    EXPECT_EQ(RandSeed(), 3698175007u);
}

TEST(Random, WrapsModulo2To32AndStaysBelowTheBound) {
    SetRandSeed(0xFFFFFFFFu);
    // 0xFFFFFFFF * 134775813 + 1 = -134775813 + 1 mod 2^32 = 4160191484
    EXPECT_EQ(Random(4294967295u), 4160191483u);
    EXPECT_EQ(RandSeed(), 4160191484u);
    SetRandSeed(12345);
    for (int i = 0; i < 10000; ++i) EXPECT_LT(Random(7), 7u);
    EXPECT_EQ(Random(0), 0u);
    EXPECT_EQ(Random(1), 0u);
}

TEST(Random, RangeIsHalfOpen) {
    SetRandSeed(7);
    for (int i = 0; i < 1000; ++i) {
        const int r = RandomRange(10, 12);
        EXPECT_TRUE(r == 10 || r == 11);
    }
}
