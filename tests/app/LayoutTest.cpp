// The five bands for several window sizes.
#include <gtest/gtest.h>

#include "table/TableLayout.h"

using namespace skelda;

namespace {

void ExpectStacked(int w, int height) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(height));
    const Bands b = FormResize(w, height);
    const int h = height / 5;
    EXPECT_EQ(b.paintBox1, QRect(0, 0, w, h));
    EXPECT_EQ(b.groupBox1, QRect(0, h, w, h));
    EXPECT_EQ(b.groupBox4, QRect(0, 2 * h, w, h));
    EXPECT_EQ(b.groupBox3, QRect(0, height - h, w, h));
    // The status line runs between the human's melds and hand.
    EXPECT_EQ(b.statusBar, QRect(0, height - h - 19, w, 19));
    EXPECT_EQ(b.groupBox2.top(), 3 * h);
    EXPECT_EQ(b.groupBox2.top() + b.groupBox2.height(), b.statusBar.top());
    EXPECT_EQ(b.groupBox2.width(), w);
}

TEST(Layout, BandsForSeveralWindowSizes) {
    ExpectStacked(1280, 781);
    ExpectStacked(1920, 1056);
    ExpectStacked(800, 579);
    ExpectStacked(1024, 700);
    // 781 div 5 = 156: the melds area gets what the rounding and the status line leave.
    EXPECT_EQ(FormResize(1280, 781).groupBox2.height(), 781 - 156 - 19 - 3 * 156);
}

TEST(Layout, TinyWindowsGiveEmptyButValidAreas) {
    const Bands b = FormResize(40, 30);
    EXPECT_GE(b.groupBox2.height(), 0);
    EXPECT_GE(InnerArea(b.groupBox1).height(), 0);
    EXPECT_GE(PileArea(b.groupBox4).width(), 0);
    const Bands none = FormResize(-5, -5);
    EXPECT_EQ(none.paintBox1.height(), 0);
}

TEST(Layout, AreasInsideTheGroupBoxes) {
    const QRect g(0, 312, 1280, 156);
    EXPECT_EQ(InnerArea(g), QRect(2, 15, 1276, 139));
    EXPECT_EQ(StockArea(g), QRect(2, 15, 311, 139));
    EXPECT_EQ(PileArea(g), QRect(313, 15, 965, 139));
    EXPECT_EQ(MeldButtonRect(), QRect(8, 120, 75, 25));
    EXPECT_EQ(DiscardButtonRect(), QRect(88, 120, 75, 25));
}

// Fit takes the largest scale in hundredths at which the table fits; fixed sizes are what
// they say while they fit, and a damaged stored value reads as Fit.
TEST(Layout, TableScaleAndButtonsInShortBands) {
    // The least table: bands of 132, the human's melds holding a whole card, the buttons
    // 19 high under the stock's cards; one pixel less and the melds or buttons have no room.
    EXPECT_EQ(FitHeight(), 660);
    EXPECT_TRUE(TableFits(QSize(MinTableWidth, 660)));
    EXPECT_FALSE(TableFits(QSize(MinTableWidth, 659)));
    EXPECT_FALSE(TableFits(QSize(MinTableWidth - 1, 2000)));
    for (int h = 660; h < 1400; ++h) EXPECT_TRUE(TableFits(QSize(MinTableWidth, h))) << h;
    const Bands least = FormResize(MinTableWidth, 660);
    EXPECT_EQ(InnerArea(least.groupBox2).height(), 96);
    EXPECT_EQ(InnerArea(least.groupBox3).height(), 96 + 8 + 11);
    EXPECT_EQ(MeldButtonRect(least.groupBox4), QRect(8, 111, 75, 19));

    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(1366, 705)), 1.06);
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(1920, 1050)), 1.59);
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(2560, 1400)), 2.12);
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(3840, 2130)), 3.22);
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(900, 2000)), 0.9);  // narrow: the width
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(10, 10)), MinTableScale);
    EXPECT_DOUBLE_EQ(TableScale(150, QSize(1920, 1050)), 1.5);
    EXPECT_DOUBLE_EQ(TableScale(150, QSize(1366, 705)), 1.06) << "150% does not fit: Fit";
    EXPECT_TRUE(StepFits(100, QSize(1366, 705)));
    EXPECT_FALSE(StepFits(125, QSize(1366, 705)));
    EXPECT_EQ(TableSizeFromStored(175), 175);
    EXPECT_EQ(TableSizeFromStored(130), TableSizeFit);
    EXPECT_EQ(TableSizeFromStored(0xFFFFFFFFu), TableSizeFit);
    EXPECT_EQ(LogicalSize(QSize(1920, 1050), 1.25), QSize(1536, 840));
    // Neighbouring rectangles share their edges on the screen; the table's own right and
    // bottom edges lie on the client area's.
    const QSize logical(1536, 840), client(1920, 1050);
    EXPECT_EQ(ScreenRect(QRect(0, 0, 311, 100), 1.25, logical, client).right() + 1,
              ScreenRect(QRect(311, 0, 50, 100), 1.25, logical, client).left());
    EXPECT_EQ(ScreenRect(QRect(0, 700, 1536, 140), 1.25, logical, client).bottom(), 1049);
    // In a short band the buttons rise to lie 2 pixels above its edge, in a shorter one
    // they keep below the stock's cards (which end at 111) and lose height, and only in a
    // band too short for that too do they rise over the cards.
    EXPECT_EQ(MeldButtonRect(QRect(0, 296, 1366, 148)), QRect(8, 120, 75, 25));
    EXPECT_EQ(MeldButtonRect(QRect(0, 280, 1366, 140)), QRect(8, 113, 75, 25));
    EXPECT_EQ(MeldButtonRect(QRect(0, 272, 1366, 136)), QRect(8, 111, 75, 23));
    EXPECT_EQ(DiscardButtonRect(QRect(0, 272, 1366, 136)), QRect(88, 111, 75, 23));
    EXPECT_EQ(MeldButtonRect(QRect(0, 250, 1366, 125)), QRect(8, 98, 75, 25));
}

}  // namespace
