// The court cards: a framed portrait of a Jack, Queen or King, drawn as its top half and
// repeated upside down below a dividing line, as on double-headed playing cards.
#include <utility>

#include "cards/CardArt.h"
#include "cards/CardArtPaint.h"

namespace skelda::cardart {
namespace {

const QColor Ink(0x2a, 0x22, 0x20);
const QColor Gold(0xe8, 0xb5, 0x22);
const QColor Skin(0xf8, 0xd9, 0xb4);
const QColor Cream(0xfb, 0xf4, 0xdf);
const QColor Red(0xc8, 0x20, 0x30);
const QColor Blue(0x23, 0x55, 0xa8);
const QColor Navy(0x1c, 0x27, 0x4a);
const QColor Yellow(0xf2, 0xc9, 0x4c);
const QColor Silver(0xcf, 0xd6, 0xde);

struct Palette {
    QColor robe, accent, hair;
};

Palette PaletteFor(int suit, int rank) {
    // Robe and trimming per suit; queens wear them the other way round.
    static const QColor robes[4] = {Blue, Red, Red, Navy};
    static const QColor accents[4] = {Red, Yellow, Blue, Yellow};
    static const QColor hairs[4] = {QColor(0x6b, 0x3e, 0x1f), QColor(0xc8, 0x87, 0x1e),
                                    QColor(0xd9, 0xa4, 0x20), QColor(0x3a, 0x2a, 0x1a)};
    Palette pal{robes[suit], accents[suit], hairs[suit]};
    if (rank == 11) std::swap(pal.robe, pal.accent);
    if (rank == 12 && suit == 2) pal.hair = QColor(0xe8, 0xe4, 0xdc);  // a grey-bearded king
    return pal;
}

void Outlined(QPainter& p, const QPainterPath& path, const QColor& fill, qreal width = 0.6) {
    p.setPen(QPen(Ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath Ellipse(QPointF c, qreal rx, qreal ry) {
    QPainterPath path;
    path.addEllipse(c, rx, ry);
    return path;
}

void DrawKingSword(QPainter& p) {
    QPainterPath blade;
    blade.moveTo(-14, -35.5);
    blade.lineTo(-12.8, -33.5);
    blade.lineTo(-12.8, -12);
    blade.lineTo(-15.2, -12);
    blade.lineTo(-15.2, -33.5);
    blade.closeSubpath();
    Outlined(p, blade, Silver, 0.5);
    QPainterPath guard;
    guard.addRoundedRect(QRectF(-18, -12.5, 8, 2), 0.8, 0.8);
    Outlined(p, guard, Gold, 0.5);
}

void DrawJackHalberd(QPainter& p, const Palette& pal) {
    QPainterPath staff;
    staff.addRect(QRectF(13, -31, 1.6, 31));
    Outlined(p, staff, QColor(0x8a, 0x5a, 0x2b), 0.5);
    QPainterPath head;
    head.moveTo(13.8, -36.5);
    head.lineTo(16, -31);
    head.lineTo(13.8, -29.5);
    head.lineTo(11.6, -31);
    head.closeSubpath();
    Outlined(p, head, Silver, 0.5);
    QPainterPath tassel = Ellipse(QPointF(13.8, -28.5), 1.8, 1.2);
    Outlined(p, tassel, pal.accent, 0.5);
}

void DrawQueenFlower(QPainter& p) {
    p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath stem;
    stem.moveTo(11, -7.5);
    stem.cubicTo(11.5, -13, 9.5, -17, 10, -21);
    p.drawPath(stem);
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(10, -22.5);
        p.rotate(i * 72);
        Outlined(p, Ellipse(QPointF(0, -1.9), 1.3, 1.9), QColor(0xe5, 0x4b, 0x6a), 0.4);
        p.restore();
    }
    Outlined(p, Ellipse(QPointF(10, -22.5), 1.1, 1.1), Gold, 0.4);
}

void DrawRobe(QPainter& p, const Palette& pal, int rank) {
    QPainterPath robe;
    robe.moveTo(-4, -13.5);
    robe.lineTo(4, -13.5);
    robe.cubicTo(9, -13.5, 14, -13, 15.5, -10.5);
    robe.lineTo(17, 0.5);
    robe.lineTo(-17, 0.5);
    robe.lineTo(-15.5, -10.5);
    robe.cubicTo(-14, -13, -9, -13.5, -4, -13.5);
    robe.closeSubpath();
    Outlined(p, robe, pal.robe);

    // Sleeve seams, and trimmings that differ per rank.
    p.setPen(QPen(Ink, 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(-10.5, -12.8), QPointF(-11.5, 0));
    p.drawLine(QPointF(10.5, -12.8), QPointF(11.5, 0));
    p.setPen(QPen(Gold, 1.0));
    for (int side = -1; side <= 1; side += 2)
        p.drawLine(QPointF(side * 13.5, -11.8), QPointF(side * 14.5, 0));

    // The front panel in the accent colour with gold studs.
    QPainterPath front;
    front.moveTo(-6.5, -13.5);
    front.lineTo(6.5, -13.5);
    front.lineTo(4, 0.5);
    front.lineTo(-4, 0.5);
    front.closeSubpath();
    Outlined(p, front, pal.accent);
    p.setPen(Qt::NoPen);
    p.setBrush(Gold);
    for (qreal y = -10; y < 0; y += 3.2) p.drawEllipse(QPointF(0, y), 0.9, 0.9);
    if (rank == 12) {  // a sash over the shoulder
        QPainterPath sash;
        sash.moveTo(-11, -13);
        sash.lineTo(-7.5, -13.4);
        sash.lineTo(13.5, 0.5);
        sash.lineTo(9, 0.5);
        sash.closeSubpath();
        Outlined(p, sash, Gold, 0.5);
    } else if (rank == 10) {  // a belt with a buckle
        QPainterPath belt;
        belt.addRect(QRectF(-17, -3.2, 34, 2.2));
        Outlined(p, belt, QColor(0x6d, 0x4c, 0x41), 0.5);
        QPainterPath buckle;
        buckle.addRect(QRectF(-1.6, -3.6, 3.2, 3));
        Outlined(p, buckle, Gold, 0.5);
    }

    if (rank == 12) {  // an ermine collar
        QPainterPath collar;
        collar.moveTo(-9, -13.3);
        collar.quadTo(0, -9, 9, -13.3);
        collar.quadTo(0, -15.2, -9, -13.3);
        collar.closeSubpath();
        Outlined(p, collar, Qt::white, 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        for (qreal x = -6; x <= 6; x += 3) p.drawEllipse(QPointF(x, -12.3), 0.45, 0.7);
    } else if (rank == 11) {  // a lace collar
        p.setPen(QPen(Ink, 0.4));
        p.setBrush(Qt::white);
        for (qreal x = -6; x <= 6; x += 2.4) p.drawEllipse(QPointF(x, -13), 1.4, 1.4);
    } else {
        QPainterPath collar;
        collar.moveTo(-5, -13.5);
        collar.lineTo(0, -9.5);
        collar.lineTo(5, -13.5);
        collar.closeSubpath();
        Outlined(p, collar, Gold, 0.5);
    }
}

void DrawHead(QPainter& p) {
    QPainterPath neck;
    neck.addRect(QRectF(-2, -15.5, 4, 2.5));
    Outlined(p, neck, Skin, 0.5);
    Outlined(p, Ellipse(QPointF(0, -20), 5.0, 5.9), Skin);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(-1.9, -20.8), 0.65, 0.55);
    p.drawEllipse(QPointF(1.9, -20.8), 0.65, 0.55);
    p.setPen(QPen(Ink, 0.45, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(0, -20.3), QPointF(-0.5, -18.3));
    p.drawLine(QPointF(-2.6, -22.2), QPointF(-1.2, -22.4));
    p.drawLine(QPointF(1.2, -22.4), QPointF(2.6, -22.2));
    p.setPen(QPen(QColor(0xb0, 0x20, 0x30), 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-1.1, -16.6), QPointF(1.1, -16.6));
}

void DrawKing(QPainter& p, const Palette& pal) {
    DrawKingSword(p);
    DrawRobe(p, pal, 12);
    DrawHead(p);
    // Beard and moustache.
    QPainterPath beard;
    beard.moveTo(-5, -19);
    beard.cubicTo(-5.3, -12.5, -2, -10, 0, -9.5);
    beard.cubicTo(2, -10, 5.3, -12.5, 5, -19);
    beard.cubicTo(3.5, -16.5, 2, -17.8, 0, -17.5);
    beard.cubicTo(-2, -17.8, -3.5, -16.5, -5, -19);
    beard.closeSubpath();
    Outlined(p, beard, pal.hair, 0.5);
    p.setPen(QPen(Ink, 0.45, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-1, -16.3), QPointF(1, -16.3));
    // Crown.
    QPainterPath crown;
    crown.moveTo(-5.8, -24.5);
    crown.lineTo(-6.6, -32.5);
    crown.lineTo(-3.2, -28.6);
    crown.lineTo(0, -34.5);
    crown.lineTo(3.2, -28.6);
    crown.lineTo(6.6, -32.5);
    crown.lineTo(5.8, -24.5);
    crown.closeSubpath();
    Outlined(p, crown, Gold);
    p.setPen(QPen(Ink, 0.4));
    p.setBrush(Red);
    p.drawEllipse(QPointF(0, -26.3), 1.1, 1.1);
    p.setBrush(Blue);
    p.drawEllipse(QPointF(-3.5, -26.1), 0.8, 0.8);
    p.drawEllipse(QPointF(3.5, -26.1), 0.8, 0.8);
    p.setBrush(Gold);
    for (QPointF tip : {QPointF(-6.6, -32.8), QPointF(0, -34.8), QPointF(6.6, -32.8)})
        p.drawEllipse(tip, 0.8, 0.8);
    // The hand on the sword.
    Outlined(p, Ellipse(QPointF(-14, -10), 1.8, 1.6), Skin, 0.5);
}

void DrawQueen(QPainter& p, const Palette& pal) {
    // Long hair behind the head, falling to the shoulders.
    QPainterPath hair;
    hair.moveTo(-7.5, -11);
    hair.cubicTo(-9.5, -18, -8.5, -27.5, 0, -27.5);
    hair.cubicTo(8.5, -27.5, 9.5, -18, 7.5, -11);
    hair.closeSubpath();
    Outlined(p, hair, pal.hair, 0.5);
    DrawRobe(p, pal, 11);
    DrawHead(p);
    // A fringe and a tiara with three pearls.
    QPainterPath fringe;
    fringe.moveTo(-5, -21.5);
    fringe.cubicTo(-5, -26.5, 5, -26.5, 5, -21.5);
    fringe.cubicTo(3, -24, -3, -24, -5, -21.5);
    fringe.closeSubpath();
    Outlined(p, fringe, pal.hair, 0.4);
    QPainterPath tiara;
    tiara.moveTo(-5.5, -25);
    tiara.lineTo(-6, -29.5);
    tiara.quadTo(-3, -28, 0, -31.5);
    tiara.quadTo(3, -28, 6, -29.5);
    tiara.lineTo(5.5, -25);
    tiara.quadTo(0, -26.5, -5.5, -25);
    tiara.closeSubpath();
    Outlined(p, tiara, Gold);
    p.setPen(QPen(Ink, 0.35));
    p.setBrush(Qt::white);
    for (QPointF pearl : {QPointF(-6, -30), QPointF(0, -32.2), QPointF(6, -30)})
        p.drawEllipse(pearl, 0.9, 0.9);
    p.setBrush(pal.accent);
    p.drawEllipse(QPointF(0, -27.4), 0.9, 0.9);
    DrawQueenFlower(p);
    Outlined(p, Ellipse(QPointF(11, -8), 1.8, 1.6), Skin, 0.5);
}

void DrawJack(QPainter& p, const Palette& pal) {
    DrawJackHalberd(p, pal);
    // Short curled hair round the face.
    Outlined(p, Ellipse(QPointF(-4.6, -17.5), 2.2, 3.2), pal.hair, 0.5);
    Outlined(p, Ellipse(QPointF(4.6, -17.5), 2.2, 3.2), pal.hair, 0.5);
    DrawRobe(p, pal, 10);
    DrawHead(p);
    // A flat cap with a gold band and a feather.
    QPainterPath feather;
    feather.moveTo(3, -27.5);
    feather.cubicTo(6, -34, 10, -35, 12, -35.5);
    feather.cubicTo(10, -32, 8, -28.5, 4.5, -26.5);
    feather.closeSubpath();
    Outlined(p, feather, Qt::white, 0.5);
    QPainterPath cap;
    cap.moveTo(-7.5, -24.5);
    cap.cubicTo(-8.5, -31.5, 7.5, -32.5, 8, -25);
    cap.closeSubpath();
    Outlined(p, cap, pal.robe);
    QPainterPath band;
    band.addRoundedRect(QRectF(-7, -25.8, 14.5, 2.2), 1, 1);
    Outlined(p, band, Gold, 0.5);
    Outlined(p, Ellipse(QPointF(13.8, -8.5), 1.8, 1.6), Skin, 0.5);
}

}  // namespace

void DrawCourt(QPainter& p, int suit, int rank, const QColor& color) {
    const QRectF panel(16.5, 11.5, 38, 73);
    const QPointF centre = panel.center();
    const Palette pal = PaletteFor(suit, rank);

    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Cream);
    p.drawRect(panel);

    for (int half = 0; half < 2; ++half) {
        p.save();
        p.translate(centre);
        if (half == 1) p.rotate(180);
        p.setClipRect(
            QRectF(-panel.width() / 2, -panel.height() / 2, panel.width(), panel.height() / 2));
        if (rank == 12)
            DrawKing(p, pal);
        else if (rank == 11)
            DrawQueen(p, pal);
        else
            DrawJack(p, pal);
        // The suit of the card beside the head.
        DrawPip(p, suit, QPointF(rank == 12 ? 14.5 : -14.5, -31), 6.5, false, color);
        p.restore();
    }

    // Dividing line and the frame: a gold rule inside a line in the suit's colour.
    p.setPen(QPen(Ink, 0.6));
    p.drawLine(QPointF(panel.left(), centre.y()), QPointF(panel.right(), centre.y()));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Gold, 1.0));
    p.drawRect(panel.adjusted(1, 1, -1, -1));
    p.setPen(QPen(color, 0.8));
    p.drawRect(panel);
    p.restore();
}

}  // namespace skelda::cardart
