// The five bands of the table and the areas inside them, worked out from the size of
// the window's client area alone, so the layout can be checked without a screen.
#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>

namespace skelda {

constexpr int StatusBarHeight = 19;
constexpr int GroupCaptionHeight = 15;  // a paint box starts this far below its group box's top
constexpr int GroupBorder = 2;          // ... and this far in from its sides and bottom
constexpr int StockAreaWidth = 311;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int MinButtonHeight = 19;  // as low as a button goes to stay clear of the stock

struct Bands {
    QRect paintBox1;  // the computer's hand strip
    QRect groupBox1;  // the computer's melds
    QRect groupBox4;  // stock, discard pile and the two buttons
    QRect groupBox2;  // the human's melds
    QRect statusBar;
    QRect groupBox3;  // the human's hand
};

// h = height div 5: three bands of h at the top, the hand band of h at the bottom with
// the status line right above it, and the human's melds taking what is left.
Bands FormResize(int clientWidth, int clientHeight);

// The paint box filling a group box, in the group box's coordinates.
QRect InnerArea(const QRect& groupBox);
// The stock and the discard pile inside the middle band, in its coordinates.
QRect StockArea(const QRect& groupBox4);
QRect PileArea(const QRect& groupBox4);
// "&Meld" and "&Discard", in the middle band's coordinates: their own places, or, in a
// band too short for them there, raised just enough to lie whole inside the band, and in
// a shorter one lowered in height (down to MinButtonHeight) so as to stay below the
// stock's cards. Only a band too short even for that (a table that does not fit) puts
// them over the cards.
QRect MeldButtonRect();
QRect DiscardButtonRect();
QRect MeldButtonRect(const QRect& groupBox4);
QRect DiscardButtonRect(const QRect& groupBox4);

// Table Size: 0 is "Fit to Window", else a percentage of the steps below. The table is
// laid out in logical pixels and drawn at a scale. Fit takes the largest scale, in whole
// hundredths, at which the table fits the window; a chosen step is used while it fits,
// and while it does not the table is drawn as Fit (the choice is kept).
constexpr int TableSizeFit = 0;
constexpr int TableSizeSteps[] = {100, 125, 150, 175, 200};
// The narrowest logical table: the stock area, a pile of 20 cards and the lines beside it.
constexpr int MinTableWidth = 1000;
constexpr qreal MinTableScale = 0.25;  // Fit in a window too small for anything
constexpr qreal MaxTableScale = 8.0;
// A stored value that is not one of the choices reads as Fit.
int TableSizeFromStored(uint32_t stored);
// Whether a logical table of this size has a place for everything: at least MinTableWidth
// wide, every band tall enough for whole cards (the hand's raised and lowered ones, one
// card in each meld area, so a long column folds as it does in any area), and the buttons
// below the stock's cards.
bool TableFits(QSize logical);
// The least logical height that fits.
int FitHeight();
qreal FitScale(QSize client);
// Whether a step (a percentage) fits a client area.
bool StepFits(int step, QSize client);
qreal TableScale(int tableSize, QSize client);
// The logical table for a client area at a scale.
QSize LogicalSize(QSize client, qreal scale);
// A logical rectangle of the table on the screen: its edges scaled and rounded, and the
// table's own right and bottom edges on the client area's, so neighbours share edges.
QRect ScreenRect(const QRect& logical, qreal scale, QSize logicalSize, QSize client);

}  // namespace skelda
