// The built-in card pictures and table icons, drawn as vectors so they stay sharp at
// any device pixel ratio. Every card picture is 71 x 96 logical pixels.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace skelda {

constexpr int CardArtWidth = 71;
constexpr int CardArtHeight = 96;
constexpr int CardBackCount = 12;

// How the faces are drawn for players who see less well: four suit colours (Clubs green,
// Diamonds blue) and large corner indices. Both off by default. Process-wide, as the
// pictures are: set it, then draw the faces again.
struct CardStyle {
    bool fourColour = false;
    bool largeIndices = false;
};
void SetCardStyle(CardStyle style);
CardStyle CurrentCardStyle();

// suit 0 Clubs .. 3 Spades, rank 0 Ace .. 12 King. A suit, rank or back number out of range
// gives a null pixmap. Each call draws afresh: callers keep what they reuse.
QPixmap CardFacePixmap(int suit, int rank, qreal devicePixelRatio = 1.0);
QPixmap CardBackPixmap(int backId, qreal devicePixelRatio = 1.0);  // 0 .. 11
QPixmap EmptySlotPixmap(qreal devicePixelRatio = 1.0);             // the dotted empty place
QPixmap StockEndPixmap(qreal devicePixelRatio = 1.0);              // the cross under the stock
QPixmap RingPixmap(qreal devicePixelRatio = 1.0);                  // the ring

QIcon ProgramIcon();
QPixmap OpponentAheadPixmap(qreal devicePixelRatio = 1.0);   // 32 x 32 smiling face
QPixmap OpponentBehindPixmap(qreal devicePixelRatio = 1.0);  // 32 x 32 frowning face
QPixmap PickupMarkerPixmap(qreal devicePixelRatio = 1.0);    // 16 x 16 green arrow

}  // namespace skelda
