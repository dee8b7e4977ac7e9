// Shared drawing helpers (canvas, card outline, suit symbols, rank marks) and the
// public face and back entry points.
#include "cards/CardArt.h"

#include <QTransform>
#include <algorithm>
#include <cmath>

#include "cards/CardArtPaint.h"

namespace skelda {
namespace cardart {

qreal SaneRatio(qreal devicePixelRatio) {
    if (!std::isfinite(devicePixelRatio) || devicePixelRatio <= 0) return 1.0;
    return std::clamp(devicePixelRatio, qreal(0.5), qreal(8.0));
}

QImage NewCanvas(int w, int h, qreal devicePixelRatio) {
    const qreal r = SaneRatio(devicePixelRatio);
    QImage img(qMax(1, qRound(w * r)), qMax(1, qRound(h * r)), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(r);
    img.fill(Qt::transparent);
    return img;
}

void BeginPainter(QPainter& p, QImage& canvas) {
    p.begin(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

Edge CardEdge() {
    const CardStyle style = CurrentCardStyle();
    if (style.fourColour || style.largeIndices) return {QColor(0x1a, 0x1a, 0x1a), 1.5};
    return {QColor(0x55, 0x55, 0x55), 1.0};
}

QPainterPath CardOutline() {
    const qreal w = CardEdge().width;
    QPainterPath path;
    path.addRoundedRect(QRectF(w / 2, w / 2, CardArtWidth - w, CardArtHeight - w), 5 - w / 2,
                        5 - w / 2);
    return path;
}

void DrawBlankCard(QPainter& p) {
    p.save();
    const Edge edge = CardEdge();
    p.setPen(QPen(edge.color, edge.width));
    p.setBrush(Qt::white);
    p.drawPath(CardOutline());
    p.restore();
}

QColor SuitColor(int suit) {
    return (suit == 1 || suit == 2) ? QColor(0xd0, 0x10, 0x28) : QColor(0x14, 0x14, 0x18);
}

// Clubs green and Diamonds blue, each at least 4.5:1 against the white face.
QColor FourColourSuitColor(int suit) {
    if (suit == 0) return QColor(0x00, 0x75, 0x30);
    if (suit == 1) return QColor(0x00, 0x48, 0xc8);
    return SuitColor(suit);
}

namespace {

// A heart pointing down, 1 unit high, centred on the origin.
QPainterPath HeartPath() {
    QPainterPath path;
    path.moveTo(0, 0.5);
    path.cubicTo(-0.14, 0.30, -0.5, 0.10, -0.5, -0.22);
    path.arcTo(QRectF(-0.5, -0.5, 0.5, 0.52), 180, -180);
    path.arcTo(QRectF(0.0, -0.5, 0.5, 0.52), 180, -180);
    path.cubicTo(0.5, 0.10, 0.14, 0.30, 0, 0.5);
    path.closeSubpath();
    return path;
}

QPainterPath DiamondPath() {
    QPainterPath path;
    path.moveTo(0, -0.5);
    path.quadTo(0.16, -0.2, 0.38, 0);
    path.quadTo(0.16, 0.2, 0, 0.5);
    path.quadTo(-0.16, 0.2, -0.38, 0);
    path.quadTo(-0.16, -0.2, 0, -0.5);
    path.closeSubpath();
    return path;
}

// The flared stem under a club or a spade, from the symbol's middle to its foot.
QPainterPath StemPath(qreal top) {
    QPainterPath path;
    path.moveTo(-0.05, top);
    path.quadTo(-0.04, 0.38, -0.2, 0.5);
    path.lineTo(0.2, 0.5);
    path.quadTo(0.04, 0.38, 0.05, top);
    path.closeSubpath();
    return path;
}

// Boolean operations flatten curves at a fixed tolerance, so they are done on the
// shapes blown up a hundredfold and the result is shrunk back.
QPainterPath Unite(const QPainterPath& a, const QPainterPath& b) {
    const QTransform up = QTransform::fromScale(100, 100);
    const QTransform down = QTransform::fromScale(0.01, 0.01);
    return down.map(up.map(a).united(up.map(b)).simplified());
}

QPainterPath ClubPath() {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const qreal r = 0.225;
    path.addEllipse(QPointF(0, -0.26), r, r);
    path.addEllipse(QPointF(-0.255, 0.09), r, r);
    path.addEllipse(QPointF(0.255, 0.09), r, r);
    QPainterPath core;
    core.addEllipse(QPointF(0, 0.02), 0.12, 0.14);
    core.addPath(StemPath(0.0));
    return Unite(path, core);
}

QPainterPath SpadePath() {
    // An upside-down heart, a little flatter, lifted to leave room for the stem.
    QTransform flip;
    flip.translate(0, -0.1);
    flip.scale(1.0, -0.8);
    QPainterPath body = flip.map(HeartPath());
    return Unite(body, StemPath(0.1));
}

// Rank marks as centre lines in a box 8 units high.
QPainterPath RankCentreLines(int rank) {
    QPainterPath p;
    switch (rank) {
        case 0:  // A
            p.moveTo(0, 8);
            p.lineTo(2.4, 0);
            p.lineTo(4.8, 8);
            p.moveTo(0.9, 5.3);
            p.lineTo(3.9, 5.3);
            break;
        case 1:  // 2
            p.moveTo(0.25, 2.0);
            p.cubicTo(0.4, -0.55, 4.5, -0.7, 4.45, 2.25);
            p.cubicTo(4.4, 4.1, 1.3, 5.4, 0.05, 8);
            p.lineTo(4.75, 8);
            break;
        case 2:  // 3
            p.moveTo(0.2, 1.25);
            p.cubicTo(1.0, -0.45, 4.45, -0.45, 4.3, 1.95);
            p.cubicTo(4.2, 3.45, 2.8, 3.8, 1.7, 3.8);
            p.cubicTo(3.3, 3.8, 4.65, 4.5, 4.6, 5.95);
            p.cubicTo(4.5, 8.7, 0.8, 8.75, 0.0, 6.75);
            break;
        case 3:  // 4
            p.moveTo(3.5, 8);
            p.lineTo(3.5, 0);
            p.lineTo(0, 5.6);
            p.lineTo(4.9, 5.6);
            break;
        case 4:  // 5
            p.moveTo(4.3, 0);
            p.lineTo(0.75, 0);
            p.lineTo(0.45, 3.75);
            p.cubicTo(1.3, 2.9, 4.65, 2.75, 4.65, 5.45);
            p.cubicTo(4.65, 8.65, 0.8, 8.7, 0.0, 6.85);
            break;
        case 5:  // 6
            p.moveTo(4.25, 1.0);
            p.cubicTo(3.3, -0.5, 0.1, -0.4, 0.1, 4.6);
            p.addEllipse(QRectF(0.1, 3.2, 4.6, 4.8));
            break;
        case 6:  // 7
            p.moveTo(0, 0);
            p.lineTo(4.7, 0);
            p.cubicTo(3.0, 2.4, 2.0, 4.8, 1.8, 8);
            break;
        case 7:  // 8
            p.addEllipse(QRectF(0.35, 0, 4.1, 3.75));
            p.addEllipse(QRectF(0.0, 3.75, 4.8, 4.25));
            break;
        case 8: {  // 9: a 6 turned half round
            QTransform t(-1, 0, 0, -1, 4.8, 8);
            p = t.map(RankCentreLines(5));
            break;
        }
        case 9:  // 10
            // Set close, so that it takes little more room than one figure.
            p.moveTo(0, 1.3);
            p.lineTo(1.3, 0);
            p.lineTo(1.3, 8);
            p.addEllipse(QRectF(3.0, 0, 3.3, 8));
            break;
        case 10:  // J
            p.moveTo(1.6, 0);
            p.lineTo(4.3, 0);
            p.moveTo(3.6, 0);
            p.lineTo(3.6, 5.6);
            p.cubicTo(3.6, 8.7, 0.1, 8.7, 0.0, 5.9);
            break;
        case 11:  // Q
            p.addEllipse(QRectF(0, 0, 5.0, 8));
            p.moveTo(2.9, 5.4);
            p.lineTo(5.1, 8.5);
            break;
        case 12:  // K
            p.moveTo(0, 0);
            p.lineTo(0, 8);
            p.moveTo(4.6, 0);
            p.lineTo(0.2, 5.0);
            p.moveTo(1.7, 3.4);
            p.lineTo(4.8, 8);
            break;
        default: break;
    }
    return p;
}

}  // namespace

QPainterPath SuitPath(int suit) {
    // The outlines are constant; building the club and the spade takes boolean path
    // operations, so they are built once (thread-safely) and shared.
    static const QPainterPath shapes[4] = {ClubPath(), DiamondPath(), HeartPath(), SpadePath()};
    return suit >= 0 && suit < 4 ? shapes[suit] : QPainterPath();
}

void DrawPip(QPainter& p, int suit, QPointF center, qreal height, bool inverted,
             const QColor& color) {
    p.save();
    p.translate(center);
    if (inverted) p.rotate(180);
    p.scale(height, height);
    p.fillPath(SuitPath(suit), color);
    p.restore();
}

void DrawRank(QPainter& p, int rank, QPointF center, qreal height, const QColor& color) {
    const QPainterPath lines = RankCentreLines(rank);
    if (lines.isEmpty()) return;
    // The stroke is a fifth of the glyph's height: bold enough to read at 10 pixels.
    const qreal strokeUnits = 1.75;
    const qreal scale = height / (8.0 + strokeUnits);
    const QRectF box = lines.boundingRect();
    p.save();
    p.translate(center);
    p.scale(scale, scale);
    p.translate(-box.center());
    QPen pen(color, strokeUnits, Qt::SolidLine, Qt::FlatCap, Qt::SvgMiterJoin);
    pen.setMiterLimit(2.5);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(lines);
    p.restore();
}

void DrawCornerIndex(QPainter& p, int suit, int rank, const QColor& color, qreal size) {
    // In a 16-unit square: the rank high on the left, the suit low on the right, each as
    // large as the square allows without the two touching or the card's rounded corner
    // clipping them.
    p.save();
    p.scale(size, size);
    DrawRank(p, rank, QPointF(4.65, 6.0), 8.7, color);
    DrawPip(p, suit, QPointF(11.75, 11.75), 8.4, false, color);
    p.restore();
}

void DrawLargeCornerIndex(QPainter& p, int suit, int rank, const QColor& color) {
    DrawRank(p, rank, QPointF(8.0, 8.2), 12.4, color);
    DrawPip(p, suit, QPointF(8.0, 22.6), 11.5, false, color);
}

void DrawCornerIndices(QPainter& p, int suit, int rank, const QColor& color, bool large) {
    for (int corner = 0; corner < 2; ++corner) {
        p.save();
        if (corner == 1) {
            p.translate(CardArtWidth, CardArtHeight);
            p.rotate(180);
        }
        if (large)
            DrawLargeCornerIndex(p, suit, rank, color);
        else
            DrawCornerIndex(p, suit, rank, color);
        p.restore();
    }
}

void DrawFace(QPainter& p, int suit, int rank, bool withIndices, QColor color, bool largeIndices) {
    if (!color.isValid()) color = SuitColor(suit);
    DrawBlankCard(p);
    if (withIndices) DrawCornerIndices(p, suit, rank, color, largeIndices);
    if (rank >= 10)
        DrawCourt(p, suit, rank, color);
    else
        DrawPips(p, suit, rank, color);
}

}  // namespace cardart

namespace {
CardStyle& Style() {
    static CardStyle style;
    return style;
}
}  // namespace

void SetCardStyle(CardStyle style) {
    Style() = style;
}

CardStyle CurrentCardStyle() {
    return Style();
}

QPixmap CardFacePixmap(int suit, int rank, qreal devicePixelRatio) {
    if (suit < 0 || suit > 3 || rank < 0 || rank > 12) return {};
    QImage img = cardart::NewCanvas(CardArtWidth, CardArtHeight, devicePixelRatio);
    QPainter p;
    cardart::BeginPainter(p, img);
    const CardStyle style = Style();
    cardart::DrawFace(p, suit, rank, true,
                      style.fourColour ? cardart::FourColourSuitColor(suit) : QColor(),
                      style.largeIndices);
    p.end();
    return QPixmap::fromImage(img);
}

QPixmap CardBackPixmap(int backId, qreal devicePixelRatio) {
    if (backId < 0 || backId >= CardBackCount) return {};
    QImage img = cardart::NewCanvas(CardArtWidth, CardArtHeight, devicePixelRatio);
    QPainter p;
    cardart::BeginPainter(p, img);
    cardart::DrawBack(p, backId);
    p.end();
    return QPixmap::fromImage(img);
}

}  // namespace skelda
