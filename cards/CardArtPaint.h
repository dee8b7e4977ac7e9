// Drawing helpers shared by the card-picture files. Everything here paints in logical
// pixels on a QPainter whose device carries the device pixel ratio.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

namespace skelda::cardart {

// A ratio the pictures can be drawn at: NaN and absurd values fall back to sane ones.
qreal SaneRatio(qreal devicePixelRatio);

// A transparent canvas of w x h logical pixels at the given ratio.
QImage NewCanvas(int w, int h, qreal devicePixelRatio);

// A painter on the canvas with antialiasing switched on.
void BeginPainter(QPainter& p, QImage& canvas);

// The card's outline: 71 x 96 with rounded corners, inset half a pixel so its 1-pixel
// border lies on whole pixels.
QPainterPath CardOutline();
// A white card with its thin border.
void DrawBlankCard(QPainter& p);

QColor SuitColor(int suit);  // red for Diamonds and Hearts, near-black for Clubs and Spades
QColor FourColourSuitColor(int suit);  // Clubs green, Diamonds blue, Hearts red, Spades black
// The outline of a card: grey and thin; in the low-vision style (either option of CardStyle
// on) dark and wide enough that, on any table colour and drawn at any scale, the edge or the
// white face beside it stands out from the felt by at least 3:1.
struct Edge {
    QColor color;
    qreal width;
};
Edge CardEdge();

// Suit symbol, 1 unit high, centred on the origin (width is 0.8 to 1 unit).
QPainterPath SuitPath(int suit);
// A suit pip of the given height centred at `center`, upside down when `inverted`.
void DrawPip(QPainter& p, int suit, QPointF center, qreal height, bool inverted,
             const QColor& color);
inline void DrawPip(QPainter& p, int suit, QPointF center, qreal height, bool inverted = false) {
    DrawPip(p, suit, center, height, inverted, SuitColor(suit));
}

// The rank mark (A, 2 .. 10, J, Q, K) as stroked centre lines, drawn so the stroked glyph
// is `height` high with its box centred at `center`. Needs no font.
void DrawRank(QPainter& p, int rank, QPointF center, qreal height, const QColor& color);

// The corner index of a face: the rank and its suit, both inside the square of 16 x `size`
// logical pixels at the painter's origin. At size 1 that is the corner an overlapped card
// leaves showing in the hand, on the pile and in a meld column, so every card reads there.
void DrawCornerIndex(QPainter& p, int suit, int rank, const QColor& color, qreal size = 1.0);
// The large corner index: the rank over the suit down the 16-unit strip that cards lying
// side by side leave showing (the hand, the pile), each half as large again as in the
// square; where only the 16-unit square shows (a meld column) the rank does.
void DrawLargeCornerIndex(QPainter& p, int suit, int rank, const QColor& color);
// Both corner indices of a face, the second one rotated half a turn.
void DrawCornerIndices(QPainter& p, int suit, int rank, const QColor& color, bool large = false);

// The whole face of one card, in a 71 x 96 logical box at the painter's origin.
// `withIndices` false leaves out the corner marks (small icon renderings). The suit's
// marks are drawn in `color`, SuitColor(suit) when it is invalid, and the corner indices
// large with `largeIndices` (see DrawLargeCornerIndex).
void DrawFace(QPainter& p, int suit, int rank, bool withIndices = true, QColor color = {},
              bool largeIndices = false);
void DrawPips(QPainter& p, int suit, int rank, const QColor& color);
void DrawCourt(QPainter& p, int suit, int rank, const QColor& color);
void DrawBack(QPainter& p, int backId);

}  // namespace skelda::cardart
