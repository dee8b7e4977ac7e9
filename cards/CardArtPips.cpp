// The number cards: the classic pip layouts for 2 to 10 and the aces, with the large
// ornate Ace of Spades.
#include <array>
#include <vector>

#include "cards/CardArt.h"
#include "cards/CardArtPaint.h"

namespace skelda::cardart {
namespace {

constexpr qreal ColLeft = 23.0;
constexpr qreal ColMid = CardArtWidth / 2.0;
constexpr qreal ColRight = CardArtWidth - ColLeft;
constexpr qreal RowTop = 16.5;
constexpr qreal RowBottom = CardArtHeight - RowTop;
constexpr qreal RowMid = CardArtHeight / 2.0;
constexpr qreal PipHeight = 13.0;

qreal Between(qreal a, qreal b, qreal t) {
    return a + (b - a) * t;
}

// Pip centres for a number card of `count` pips (2 .. 10), in the usual arrangement.
std::vector<QPointF> PipLayout(int count) {
    const qreal third1 = Between(RowTop, RowBottom, 1.0 / 3);
    const qreal third2 = Between(RowTop, RowBottom, 2.0 / 3);
    std::vector<QPointF> pts;
    auto pair = [&](qreal y) {
        pts.emplace_back(ColLeft, y);
        pts.emplace_back(ColRight, y);
    };
    switch (count) {
        case 2: pts = {{ColMid, RowTop}, {ColMid, RowBottom}}; break;
        case 3: pts = {{ColMid, RowTop}, {ColMid, RowMid}, {ColMid, RowBottom}}; break;
        case 4:
        case 5:
            pair(RowTop);
            pair(RowBottom);
            if (count == 5) pts.emplace_back(ColMid, RowMid);
            break;
        case 6:
        case 7:
        case 8:
            pair(RowTop);
            pair(RowMid);
            pair(RowBottom);
            if (count >= 7) pts.emplace_back(ColMid, Between(RowTop, RowMid, 0.5));
            if (count == 8) pts.emplace_back(ColMid, Between(RowMid, RowBottom, 0.5));
            break;
        case 9:
        case 10:
            pair(RowTop);
            pair(third1);
            pair(third2);
            pair(RowBottom);
            if (count == 9) pts.emplace_back(ColMid, RowMid);
            if (count == 10) {
                pts.emplace_back(ColMid, Between(RowTop, third1, 0.5));
                pts.emplace_back(ColMid, Between(third2, RowBottom, 0.5));
            }
            break;
        default: break;
    }
    return pts;
}

void DrawAceOfSpades(QPainter& p) {
    const QPointF c(ColMid, RowMid - 1);
    const qreal h = 42;
    // A thin ornamental ring behind the pip.
    p.save();
    p.setPen(QPen(QColor(0x14, 0x14, 0x18), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c + QPointF(0, 1), 23, 23);
    p.setPen(QPen(QColor(0x14, 0x14, 0x18), 0.5, Qt::DotLine));
    p.drawEllipse(c + QPointF(0, 1), 21.2, 21.2);
    p.restore();

    DrawPip(p, 3, c, h);

    // A white line inside the blade, and a small white spade and stars as ornament.
    p.save();
    p.translate(c + QPointF(0, -1.6));
    p.setClipRect(QRectF(-30, -30, 60, 35));
    p.scale(h * 0.8, h * 0.8);
    p.setPen(QPen(Qt::white, 0.9 / (h * 0.8)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(SuitPath(3));
    p.restore();
    DrawPip(p, 3, c + QPointF(0, -3), 12, false, Qt::white);
    DrawPip(p, 3, c + QPointF(0, -3.3), 8.5);
    for (int side = -1; side <= 1; side += 2) {
        p.save();
        p.setPen(QPen(Qt::white, 0.9, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath curl;
        curl.moveTo(c + QPointF(side * 2.5, 6.5));
        curl.cubicTo(c + QPointF(side * 7, 3.5), c + QPointF(side * 12, 6),
                     c + QPointF(side * 9.5, 9.5));
        curl.cubicTo(c + QPointF(side * 8, 11), c + QPointF(side * 6.3, 9),
                     c + QPointF(side * 8, 8.2));
        p.drawPath(curl);
        p.restore();
    }
}

}  // namespace

void DrawPips(QPainter& p, int suit, int rank, const QColor& color) {
    if (rank == 0) {
        if (suit == 3)
            DrawAceOfSpades(p);
        else
            DrawPip(p, suit, QPointF(ColMid, RowMid), 26, false, color);
        return;
    }
    for (const QPointF& pt : PipLayout(rank + 1))
        DrawPip(p, suit, pt, rank >= 8 ? PipHeight - 1 : PipHeight, pt.y() > RowMid + 0.5, color);
}

}  // namespace skelda::cardart
