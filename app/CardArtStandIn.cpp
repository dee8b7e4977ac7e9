// A plain stand-in for the card pictures until the drawn deck lands: a white card with
// its rank and suit, a patterned back, the empty place, the cross and simple icons.
// Compiled only while table/ has no card pictures of its own (see app/CMakeLists.txt).
#include <QPainter>
#include <QPainterPath>

#include "table/CardArt.h"

namespace skelda {

namespace {
QPixmap Canvas(int w, int h, qreal dpr) {
    QPixmap pm(QSize(int(w * dpr), int(h * dpr)));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

void CardShape(QPainter& p, const QColor& fill) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, CardArtWidth - 1, CardArtHeight - 1), 5, 5);
}
}  // namespace

QPixmap CardFacePixmap(int suit, int rank, qreal dpr) {
    static const char* const ranks[] = {"A", "2", "3",  "4", "5", "6", "7",
                                        "8", "9", "10", "J", "Q", "K"};
    static const QChar suits[] = {QChar(0x2663), QChar(0x2666), QChar(0x2665), QChar(0x2660)};
    QPixmap pm = Canvas(CardArtWidth, CardArtHeight, dpr);
    QPainter p(&pm);
    CardShape(p, Qt::white);
    p.setPen((suit == 1 || suit == 2) ? QColor(200, 20, 30) : QColor(20, 20, 20));
    QFont f = p.font();
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(1, 3, 15, 14), Qt::AlignCenter, QString::fromLatin1(ranks[rank % 13]));
    p.drawText(QRect(1, 17, 15, 14), Qt::AlignCenter, QString(suits[suit % 4]));
    f.setPixelSize(34);
    p.setFont(f);
    p.drawText(QRect(10, 20, 58, 60), Qt::AlignCenter, QString(suits[suit % 4]));
    return pm;
}

QPixmap CardBackPixmap(int backId, qreal dpr) {
    QPixmap pm = Canvas(CardArtWidth, CardArtHeight, dpr);
    QPainter p(&pm);
    CardShape(p, Qt::white);
    const QColor c = QColor::fromHsv((backId * 30) % 360, 170, 150);
    p.setBrush(c);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 4, CardArtWidth - 8, CardArtHeight - 8), 3, 3);
    p.setPen(QPen(c.lighter(150), 1));
    for (int i = -CardArtHeight; i < CardArtWidth; i += 6) p.drawLine(i + 4, 4, i + 4 + 88, 92);
    return pm;
}

QPixmap EmptySlotPixmap(qreal dpr) {
    QPixmap pm = Canvas(CardArtWidth, CardArtHeight, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 160), 1.5, Qt::DotLine));
    p.drawRoundedRect(QRectF(1, 1, CardArtWidth - 2, CardArtHeight - 2), 5, 5);
    return pm;
}

QPixmap StockEndPixmap(qreal dpr) {
    QPixmap pm = EmptySlotPixmap(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 170), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(18, 30, 53, 66);
    p.drawLine(53, 30, 18, 66);
    return pm;
}

QPixmap RingPixmap(qreal dpr) {
    QPixmap pm = EmptySlotPixmap(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 170), 4));
    p.drawEllipse(QPointF(35.5, 48), 18, 18);
    return pm;
}

static QPixmap Face(bool smiling, qreal dpr) {
    QPixmap pm = Canvas(32, 32, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 0), 1.5));
    p.setBrush(smiling ? QColor(255, 214, 0) : QColor(255, 150, 60));
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    p.setBrush(QColor(60, 40, 0));
    p.drawEllipse(QPointF(11, 12), 2, 2.5);
    p.drawEllipse(QPointF(21, 12), 2, 2.5);
    p.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    mouth.moveTo(9, smiling ? 19 : 24);
    mouth.quadTo(16, smiling ? 27 : 16, 23, smiling ? 19 : 24);
    p.drawPath(mouth);
    return pm;
}

QPixmap OpponentAheadPixmap(qreal dpr) {
    return Face(true, dpr);
}
QPixmap OpponentBehindPixmap(qreal dpr) {
    return Face(false, dpr);
}

QPixmap PickupMarkerPixmap(qreal dpr) {
    QPixmap pm = Canvas(16, 16, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 60, 0), 1));
    p.setBrush(QColor(60, 220, 60));
    const QPointF arrow[] = {{8, 15}, {1, 7}, {5, 7}, {5, 1}, {11, 1}, {11, 7}, {15, 7}};
    p.drawPolygon(arrow, 7);
    return pm;
}

QIcon ProgramIcon() {
    QIcon icon(QStringLiteral(":/skelda/skelda-256.png"));
    if (!icon.isNull()) return icon;
    return QIcon(CardFacePixmap(3, 0, 1.0));
}

}  // namespace skelda
