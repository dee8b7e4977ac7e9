// The table pictures (empty place, stock-end cross, ring), the program icon and the
// small icons of the table: the computer's two faces and the pick-up arrow.
#include <QRadialGradient>

#include "cards/CardArt.h"
#include "cards/CardArtPaint.h"

namespace skelda {
namespace {

using namespace cardart;

QPixmap Finish(QPainter& p, const QImage& img) {
    p.end();
    return QPixmap::fromImage(img);
}

// One card of the program icon, drawn in card units. Small icons get a bold outline and
// a big pip only; `devicePerUnit` says how many icon pixels one card pixel covers.
void IconCard(QPainter& p, int suit, qreal devicePerUnit) {
    if (devicePerUnit * CardArtWidth >= 40) {
        DrawFace(p, suit, 0, devicePerUnit * CardArtWidth >= 60);
        return;
    }
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.0 / devicePerUnit));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0, 0, CardArtWidth, CardArtHeight), 9, 9);
    DrawPip(p, suit, QPointF(CardArtWidth / 2.0, CardArtHeight / 2.0), 58);
}

// The program icon: the ace of hearts and the ace of spades fanned from a common foot.
QPixmap IconAt(int size) {
    QTransform cards[2];
    const qreal angles[2] = {-15, 12};
    const qreal shifts[2] = {-8, 8};
    QRectF bounds;
    for (int i = 0; i < 2; ++i) {
        cards[i].rotate(angles[i]);
        cards[i].translate(shifts[i] - CardArtWidth / 2.0, -CardArtHeight);
        bounds |= cards[i].mapRect(QRectF(0, 0, CardArtWidth, CardArtHeight));
    }
    const qreal k = size * 0.96 / qMax(bounds.width(), bounds.height());
    QTransform fit;
    fit.translate(size / 2.0, size / 2.0);
    fit.scale(k, k);
    fit.translate(-bounds.center().x(), -bounds.center().y());

    QImage img = NewCanvas(size, size, 1.0);
    QPainter p;
    BeginPainter(p, img);
    for (int i = 0; i < 2; ++i) {
        p.setTransform(cards[i] * fit);
        IconCard(p, i == 0 ? 2 : 3, k);
    }
    return Finish(p, img);
}

// A yellow round face; `smile` bends the mouth up, otherwise down.
QPixmap FaceIcon(bool smile, qreal devicePixelRatio) {
    QImage img = NewCanvas(32, 32, devicePixelRatio);
    QPainter p;
    BeginPainter(p, img);
    QRadialGradient g(QPointF(12, 11), 18);
    g.setColorAt(0, QColor(0xff, 0xf5, 0x9d));
    g.setColorAt(1, QColor(0xfb, 0xc0, 0x2d));
    p.setPen(QPen(QColor(0x8d, 0x6e, 0x00), 1.2));
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3e, 0x27, 0x23));
    p.drawEllipse(QPointF(11.2, 12.5), 1.9, 2.6);
    p.drawEllipse(QPointF(20.8, 12.5), 1.9, 2.6);
    QPen mouth(QColor(0x3e, 0x27, 0x23), 2.0, Qt::SolidLine, Qt::RoundCap);
    p.setPen(mouth);
    p.setBrush(Qt::NoBrush);
    QPainterPath m;
    if (smile) {
        m.moveTo(9.5, 18.5);
        m.quadTo(16, 26.5, 22.5, 18.5);
    } else {
        m.moveTo(10, 24);
        m.quadTo(16, 17.5, 22, 24);
        // Brows raised at the middle: a worried look.
        p.drawLine(QPointF(8.5, 10), QPointF(12.5, 8));
        p.drawLine(QPointF(23.5, 10), QPointF(19.5, 8));
    }
    p.drawPath(m);
    return Finish(p, img);
}

}  // namespace

QPixmap EmptySlotPixmap(qreal devicePixelRatio) {
    QImage img = NewCanvas(CardArtWidth, CardArtHeight, devicePixelRatio);
    QPainter p;
    BeginPainter(p, img);
    QPen pen(QColor(0xff, 0xff, 0xff, 210), 1.2, Qt::CustomDashLine, Qt::RoundCap);
    pen.setDashPattern({0.01, 3.0});
    p.setPen(pen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawPath(CardOutline());
    return Finish(p, img);
}

QPixmap StockEndPixmap(qreal devicePixelRatio) {
    QImage img = NewCanvas(CardArtWidth, CardArtHeight, devicePixelRatio);
    QPainter p;
    BeginPainter(p, img);
    QPen pen(QColor(0xff, 0xff, 0xff, 150), 1.0, Qt::CustomDashLine, Qt::RoundCap);
    pen.setDashPattern({0.01, 3.0});
    p.setPen(pen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawPath(CardOutline());
    QPainterPath cross;
    const QPointF c(CardArtWidth / 2.0, CardArtHeight / 2.0);
    cross.moveTo(c + QPointF(-16, -16));
    cross.lineTo(c + QPointF(16, 16));
    cross.moveTo(c + QPointF(16, -16));
    cross.lineTo(c + QPointF(-16, 16));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x7f, 0x00, 0x00), 8.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cross);
    p.setPen(QPen(QColor(0xe5, 0x39, 0x35), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cross);
    return Finish(p, img);
}

QPixmap RingPixmap(qreal devicePixelRatio) {
    QImage img = NewCanvas(CardArtWidth, CardArtHeight, devicePixelRatio);
    QPainter p;
    BeginPainter(p, img);
    const QPointF c(CardArtWidth / 2.0, CardArtHeight / 2.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 8.5));
    p.drawEllipse(c, 20, 20);
    p.setPen(QPen(QColor(0x66, 0xbb, 0x6a), 6));
    p.drawEllipse(c, 20, 20);
    p.setPen(QPen(QColor(0xc8, 0xe6, 0xc9), 1.2));
    p.drawArc(QRectF(c.x() - 20, c.y() - 20, 40, 40), 100 * 16, 70 * 16);
    return Finish(p, img);
}

QIcon ProgramIcon() {
    // Drawn once: the window, the notification area and the about box all take it at
    // start-up. Kept for the life of the process (never destroyed after the application).
    static const QIcon* const icon = [] {
        auto* made = new QIcon;
        for (int size : {16, 24, 32, 48, 64, 128, 256}) made->addPixmap(IconAt(size));
        return made;
    }();
    return *icon;
}

QPixmap OpponentAheadPixmap(qreal devicePixelRatio) {
    return FaceIcon(true, devicePixelRatio);
}

QPixmap OpponentBehindPixmap(qreal devicePixelRatio) {
    return FaceIcon(false, devicePixelRatio);
}

QPixmap PickupMarkerPixmap(qreal devicePixelRatio) {
    QImage img = NewCanvas(16, 16, devicePixelRatio);
    QPainter p;
    BeginPainter(p, img);
    QPainterPath arrow;
    arrow.moveTo(5.5, 1);
    arrow.lineTo(10.5, 1);
    arrow.lineTo(10.5, 7.5);
    arrow.lineTo(14.5, 7.5);
    arrow.lineTo(8, 15);
    arrow.lineTo(1.5, 7.5);
    arrow.lineTo(5.5, 7.5);
    arrow.closeSubpath();
    QLinearGradient g(QPointF(0, 0), QPointF(16, 0));
    g.setColorAt(0, QColor(0x76, 0xff, 0x03));
    g.setColorAt(1, QColor(0x1b, 0x9e, 0x20));
    p.setPen(QPen(QColor(0x0b, 0x3d, 0x0e), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(g);
    p.drawPath(arrow);
    return Finish(p, img);
}

}  // namespace skelda
