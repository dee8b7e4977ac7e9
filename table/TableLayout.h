// The five bands of the table and the areas inside them, worked out from the size of
// the window's client area alone, so the layout can be checked without a screen.
#pragma once

#include <QRect>

namespace skelda {

constexpr int StatusBarHeight = 19;
constexpr int GroupCaptionHeight = 15;  // a paint box starts this far below its group box's top
constexpr int GroupBorder = 2;          // ... and this far in from its sides and bottom
constexpr int StockAreaWidth = 311;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

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
// "&Meld" and "&Discard", in the middle band's coordinates.
QRect MeldButtonRect();
QRect DiscardButtonRect();

}  // namespace skelda
