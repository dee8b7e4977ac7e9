// The felt of the table: its colour with a fine fibre texture and a gentle shade towards the
// window's edges. No picture of the whole table is kept: each part is put together when it
// is drawn, row by row, from a few small tiles of the texture shaded in steps, which stay in
// the processor's cache. At a high pixel ratio that is faster than copying a kept picture,
// and it takes a fraction of the memory.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;

namespace skelda {

class Felt {
public:
    // The felt for a table of `pixels` device pixels at `ratio` device pixels per logical
    // one, in `colour`. The tiles are made again only when the colour or the ratio changes.
    void Prepare(QColor colour, QSize pixels, qreal ratio);

    // Draws the part `part` (device pixels of the table) with the painter, whose device
    // pixel (0, 0) lies at the table's device pixel `origin`.
    void Draw(QPainter& p, const QRect& part, QPoint origin);

    // The part as a picture.
    QImage Picture(const QRect& part) const;

    // How many shade steps the felt has, from the lightest (the middle) to the darkest.
    static constexpr int Steps = 32;

private:
    // Writes the table's device pixels [x0, x1) of row y to `out`.
    void Row(int y, int x0, int x1, QRgb* out) const;

    QColor colour_;
    qreal ratio_ = 0;
    QSize pixels_;
    int tileWidth_ = 0, tileHeight_ = 0;  // the tiles' size in device pixels
    std::vector<QRgb> tiles_;             // one tile per step, one after the other
    QImage rows_;                         // a few rows put together before they are drawn
};

}  // namespace skelda
