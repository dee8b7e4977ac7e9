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

// Fit takes the largest step that leaves a logical table of 1280 x 720; fixed sizes are
// what they say, and a damaged stored value reads as Fit.
TEST(Layout, TableScaleAndButtonsInShortBands) {
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(1366, 705)), 1.0);
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(1920, 1050)), 1.25);
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(2560, 1400)), 1.75);
    EXPECT_DOUBLE_EQ(TableScale(TableSizeFit, QSize(3840, 2130)), 2.0);
    EXPECT_DOUBLE_EQ(TableScale(150, QSize(800, 500)), 1.5);
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
    // 136 high (1366 x 705 less the menu): the buttons rise to lie 2 pixels above the edge.
    EXPECT_EQ(MeldButtonRect(QRect(0, 272, 1366, 136)), QRect(8, 109, 75, 25));
    EXPECT_EQ(DiscardButtonRect(QRect(0, 272, 1366, 136)), QRect(88, 109, 75, 25));
    EXPECT_EQ(MeldButtonRect(QRect(0, 296, 1366, 148)), QRect(8, 120, 75, 25));
}

}  // namespace
