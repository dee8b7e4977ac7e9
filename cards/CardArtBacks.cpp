// The twelve card backs: a white margin round a framed panel, each with its own colours
// and pattern.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <vector>

#include "cards/CardArt.h"
#include "cards/CardArtPaint.h"

namespace skelda::cardart {
namespace {

const QRectF Inner(4, 4, CardArtWidth - 8, CardArtHeight - 8);

// A fixed scatter of points over the panel: a jittered grid, so they neither clump nor
// line up, and every back looks the same each time it is drawn.
std::vector<QPointF> Scatter(int cols, int rows, unsigned seed) {
    std::vector<QPointF> pts;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return ((seed >> 16) & 0x7fff) / 32768.0;
    };
    const qreal cw = Inner.width() / cols, ch = Inner.height() / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            pts.emplace_back(Inner.left() + (c + 0.15 + 0.7 * next()) * cw,
                             Inner.top() + (r + 0.15 + 0.7 * next()) * ch);
    return pts;
}

void Lattice(QPainter& p) {
    p.fillRect(Inner, QColor(0x1d, 0x3f, 0x8f));
    p.setPen(QPen(QColor(0xb8, 0xcb, 0xf0), 0.8));
    for (qreal d = -100; d < 100; d += 6) {
        p.drawLine(QPointF(d, 0), QPointF(d + 100, 100));
        p.drawLine(QPointF(d + 100, 0), QPointF(d, 100));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xff, 0xff, 200));
    for (qreal y = 0; y < 100; y += 6)
        for (qreal x = 0; x < 80; x += 6) p.drawEllipse(QPointF(x + 3, y + 0.5), 0.7, 0.7);
}

void Harlequin(QPainter& p) {
    p.fillRect(Inner, QColor(0xa3, 0x10, 0x26));
    const qreal w = 9, h = 12;
    p.setPen(QPen(QColor(0xf0, 0xc0, 0x40), 0.6));
    for (int row = -1; row < 18; ++row)
        for (int col = -1; col < 9; ++col) {
            const QPointF c(col * w + (row % 2 ? w / 2 : 0), row * h / 2);
            QPolygonF diamond{c + QPointF(0, -h / 2), c + QPointF(w / 2, 0), c + QPointF(0, h / 2),
                              c + QPointF(-w / 2, 0)};
            p.setBrush((row + 2 * col + 8) % 4 < 2 ? QColor(0xd3, 0x1f, 0x3a)
                                                   : QColor(0x7a, 0x08, 0x1a));
            p.drawPolygon(diamond);
        }
}

void Waves(QPainter& p) {
    QLinearGradient g(Inner.topLeft(), Inner.bottomLeft());
    g.setColorAt(0, QColor(0x0f, 0x8a, 0x8c));
    g.setColorAt(1, QColor(0x08, 0x4f, 0x63));
    p.fillRect(Inner, g);
    p.setBrush(Qt::NoBrush);
    int line = 0;
    for (qreal y = 0; y < 100; y += 5, ++line) {
        QPainterPath wave;
        wave.moveTo(0, y);
        for (qreal x = 0; x < 80; x += 8) {
            wave.quadTo(x + 2, y - 2.4, x + 4, y);
            wave.quadTo(x + 6, y + 2.4, x + 8, y);
        }
        p.setPen(QPen(line % 2 ? QColor(0x9f, 0xe8, 0xe0) : QColor(0xe8, 0xff, 0xfb), 0.9));
        p.drawPath(wave);
    }
}

void Gingham(QPainter& p) {
    p.fillRect(Inner, QColor(0xf2, 0xfb, 0xf0));
    const qreal s = 5;
    for (qreal x = 0; x < 80; x += 2 * s)
        p.fillRect(QRectF(x, 0, s, 100), QColor(0x1e, 0x8a, 0x3c, 150));
    for (qreal y = 0; y < 100; y += 2 * s)
        p.fillRect(QRectF(0, y, 80, s), QColor(0x1e, 0x8a, 0x3c, 150));
}

void Concentric(QPainter& p) {
    const QColor colors[] = {QColor(0x5b, 0x21, 0x8c), QColor(0xe9, 0xd8, 0xf7),
                             QColor(0x8a, 0x48, 0xc0), QColor(0xf6, 0xc4, 0x4a)};
    int i = 0;
    for (qreal inset = 0; inset < 30; inset += 3.2, ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(colors[i % 4]);
        p.drawRoundedRect(Inner.adjusted(inset, inset, -inset, -inset), 3 + inset / 2,
                          3 + inset / 2);
    }
    // A star in the middle.
    QPolygonF star;
    for (int k = 0; k < 10; ++k) {
        const qreal a = k * M_PI / 5 - M_PI / 2;
        const qreal r = k % 2 ? 2.6 : 6.5;
        star << Inner.center() + QPointF(r * std::cos(a), r * std::sin(a));
    }
    p.setBrush(QColor(0xf6, 0xc4, 0x4a));
    p.setPen(QPen(QColor(0x5b, 0x21, 0x8c), 0.6));
    p.drawPolygon(star);
}

void Landscape(QPainter& p) {
    QLinearGradient sky(Inner.topLeft(), Inner.bottomLeft());
    sky.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    sky.setColorAt(0.6, QColor(0xbf, 0xe3, 0xff));
    p.fillRect(Inner, sky);
    p.setPen(Qt::NoPen);
    QRadialGradient sun(QPointF(50, 22), 9);
    sun.setColorAt(0, QColor(0xff, 0xf3, 0x9a));
    sun.setColorAt(1, QColor(0xff, 0xc1, 0x2e));
    p.setBrush(sun);
    p.drawEllipse(QPointF(50, 22), 7, 7);
    // Two clouds.
    p.setBrush(QColor(0xff, 0xff, 0xff, 230));
    for (QPointF c : {QPointF(20, 18), QPointF(32, 32)}) {
        p.drawEllipse(c, 6, 3);
        p.drawEllipse(c + QPointF(4, -2), 4, 3);
        p.drawEllipse(c + QPointF(-4, 0.5), 3.5, 2.5);
    }
    // Mountains with snow caps.
    QPainterPath far;
    far.moveTo(0, 62);
    far.lineTo(18, 40);
    far.lineTo(30, 52);
    far.lineTo(46, 34);
    far.lineTo(72, 60);
    far.lineTo(72, 100);
    far.lineTo(0, 100);
    p.setBrush(QColor(0x6d, 0x7f, 0x9b));
    p.drawPath(far);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF{QPointF(46, 34), QPointF(51, 39), QPointF(47.5, 38.5),
                            QPointF(44.5, 40), QPointF(42, 38)});
    p.drawPolygon(
        QPolygonF{QPointF(18, 40), QPointF(22, 44.8), QPointF(19, 44), QPointF(15.5, 43)});
    // Rolling hills and a lake.
    QPainterPath hills;
    hills.moveTo(0, 66);
    hills.cubicTo(20, 56, 38, 70, 72, 60);
    hills.lineTo(72, 100);
    hills.lineTo(0, 100);
    p.setBrush(QColor(0x4c, 0xaf, 0x50));
    p.drawPath(hills);
    QPainterPath near;
    near.moveTo(0, 80);
    near.cubicTo(24, 70, 46, 82, 72, 74);
    near.lineTo(72, 100);
    near.lineTo(0, 100);
    p.setBrush(QColor(0x2e, 0x7d, 0x32));
    p.drawPath(near);
    p.setBrush(QColor(0x64, 0xb5, 0xf6));
    p.drawEllipse(QPointF(24, 73), 12, 2.6);
    // A little tree.
    p.setBrush(QColor(0x6d, 0x4c, 0x41));
    p.drawRect(QRectF(53, 70, 1.6, 7));
    p.setBrush(QColor(0x1b, 0x5e, 0x20));
    p.drawEllipse(QPointF(53.8, 67), 4, 5);
}

void Fish(QPainter& p) {
    QLinearGradient sea(Inner.topLeft(), Inner.bottomLeft());
    sea.setColorAt(0, QColor(0x4f, 0xc3, 0xf7));
    sea.setColorAt(1, QColor(0x01, 0x57, 0x9b));
    p.fillRect(Inner, sea);
    // Sand and weed.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0xd9, 0x9c));
    QPainterPath sand;
    sand.moveTo(0, 86);
    sand.quadTo(35, 80, 72, 87);
    sand.lineTo(72, 100);
    sand.lineTo(0, 100);
    p.drawPath(sand);
    p.setPen(QPen(QColor(0x2e, 0x9d, 0x4a), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (qreal x : {12.0, 16.0, 58.0}) {
        QPainterPath weed;
        weed.moveTo(x, 86);
        weed.cubicTo(x - 4, 78, x + 4, 72, x, 62 + (x > 50 ? 6 : 0));
        p.drawPath(weed);
    }
    struct F {
        QPointF c;
        qreal size;
        QColor color;
        bool left;
    };
    const F fish[] = {{QPointF(44, 28), 1.0, QColor(0xff, 0x8f, 0x00), false},
                      {QPointF(26, 52), 1.25, QColor(0xff, 0xd5, 0x4f), true},
                      {QPointF(48, 72), 0.8, QColor(0xf4, 0x43, 0x36), false}};
    for (const F& f : fish) {
        p.save();
        p.translate(f.c);
        p.scale(f.left ? -f.size : f.size, f.size);
        QPainterPath body;
        body.moveTo(-10, 0);
        body.cubicTo(-4, -8, 6, -7, 10, 0);
        body.cubicTo(6, 7, -4, 8, -10, 0);
        QPainterPath tail;
        tail.moveTo(-8, 0);
        tail.lineTo(-15, -5);
        tail.lineTo(-13.5, 0);
        tail.lineTo(-15, 5);
        tail.closeSubpath();
        p.setPen(QPen(QColor(0x5d, 0x2a, 0x00), 0.6));
        p.setBrush(f.color);
        p.drawPath(tail.united(body));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-3, -5, 4, 10), 90 * 16, -180 * 16);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(5, -1.5), 1.6, 1.6);
        p.setBrush(Qt::black);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(5.4, -1.5), 0.8, 0.8);
        p.restore();
    }
    p.setPen(QPen(QColor(0xe1, 0xf5, 0xfe), 0.6));
    p.setBrush(Qt::NoBrush);
    for (QPointF b :
         {QPointF(57, 20), QPointF(59, 14), QPointF(56.5, 9), QPointF(15, 36), QPointF(13, 30)})
        p.drawEllipse(b, 1.3, 1.3);
}

void DrawFlower(QPainter& p, QPointF c, qreal r, const QColor& petal, int petals) {
    p.save();
    p.translate(c);
    p.setPen(QPen(petal.darker(150), 0.5));
    p.setBrush(petal);
    for (int i = 0; i < petals; ++i) {
        p.save();
        p.rotate(i * 360.0 / petals);
        p.drawEllipse(QPointF(0, -r * 0.55), r * 0.32, r * 0.55);
        p.restore();
    }
    p.setBrush(QColor(0xff, 0xd5, 0x4f));
    p.drawEllipse(QPointF(0, 0), r * 0.28, r * 0.28);
    p.restore();
}

void Flowers(QPainter& p) {
    p.fillRect(Inner, QColor(0x2f, 0x6b, 0x3a));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4f, 0x9a, 0x55));
    int i = 0;
    for (QPointF c : Scatter(4, 6, 7)) {
        p.save();
        p.translate(c);
        p.rotate(i++ * 47);
        p.drawEllipse(QPointF(0, 0), 4.5, 1.8);
        p.restore();
    }
    i = 0;
    for (QPointF c : Scatter(3, 5, 11))
        DrawFlower(p, c, 4.2, i++ % 2 ? QColor(0xff, 0xff, 0xff) : QColor(0xf8, 0xbb, 0xd0), 5);
    DrawFlower(p, Inner.center(), 15, QColor(0xec, 0x40, 0x7a), 8);
}

void Sunburst(QPainter& p) {
    p.fillRect(Inner, QColor(0xf5, 0x7c, 0x00));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xb3, 0x00));
    const QPointF c = Inner.center();
    for (int k = 0; k < 24; k += 2) {
        QPainterPath ray;
        ray.moveTo(c);
        ray.arcTo(QRectF(c.x() - 80, c.y() - 80, 160, 160), k * 15, 15);
        ray.closeSubpath();
        p.drawPath(ray);
    }
    p.setBrush(QColor(0xff, 0xf1, 0x76));
    p.setPen(QPen(QColor(0xbf, 0x36, 0x0c), 1));
    p.drawEllipse(c, 11, 11);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 7, 7);
}

void Night(QPainter& p) {
    QRadialGradient sky(Inner.center(), 60);
    sky.setColorAt(0, QColor(0x28, 0x35, 0x93));
    sky.setColorAt(1, QColor(0x0d, 0x12, 0x3d));
    p.fillRect(Inner, sky);
    p.setPen(Qt::NoPen);
    // A crescent moon.
    QPainterPath moon;
    moon.addEllipse(QPointF(24, 30), 10, 10);
    QPainterPath bite;
    bite.addEllipse(QPointF(29, 26), 9, 9);
    p.setBrush(QColor(0xff, 0xf5, 0x9d));
    p.drawPath(moon.subtracted(bite));
    auto star = [&](QPointF c, qreal r) {
        QPolygonF s;
        for (int k = 0; k < 10; ++k) {
            const qreal a = k * M_PI / 5 - M_PI / 2;
            const qreal rr = k % 2 ? r * 0.42 : r;
            s << c + QPointF(rr * std::cos(a), rr * std::sin(a));
        }
        p.drawPolygon(s);
    };
    p.setBrush(QColor(0xff, 0xf9, 0xc4));
    star(QPointF(50, 18), 3.5);
    star(QPointF(46, 56), 4.5);
    star(QPointF(20, 72), 3.2);
    star(QPointF(55, 82), 2.6);
    star(QPointF(36, 44), 2.2);
    p.setBrush(QColor(0xff, 0xff, 0xff, 200));
    for (QPointF c : Scatter(6, 8, 3)) p.drawEllipse(c, 0.45, 0.45);
}

void Scales(QPainter& p) {
    p.fillRect(Inner, QColor(0x5d, 0x40, 0x37));
    const qreal r = 5;
    // Rows from the bottom up, so each scale's rounded lower edge lies over the row below.
    for (int row = 26; row >= 0; --row)
        for (int col = -1; col < 9; ++col) {
            const QPointF c(col * 2 * r + (row % 2 ? r : 0), row * r * 0.75 - 2);
            QRadialGradient g(c + QPointF(0, -2), r * 1.4);
            g.setColorAt(0, QColor(0xff, 0xe0, 0x82));
            g.setColorAt(1, QColor(0xc6, 0x8a, 0x1a));
            p.setBrush(g);
            p.setPen(QPen(QColor(0x5d, 0x40, 0x37), 0.7));
            p.drawEllipse(c, r, r);
        }
}

void Tartan(QPainter& p) {
    p.fillRect(Inner, QColor(0xb7, 0x1c, 0x1c));
    auto band = [&](qreal pos, qreal width, const QColor& c) {
        p.fillRect(QRectF(pos, 0, width, 100), c);
        p.fillRect(QRectF(0, pos, 80, width), c);
    };
    for (qreal o = 0; o < 100; o += 22) {
        band(o, 7, QColor(0x10, 0x10, 0x30, 140));
        band(o + 12, 2, QColor(0x1b, 0x5e, 0x20, 170));
        band(o + 17, 1, QColor(0xff, 0xeb, 0x3b, 200));
    }
}

}  // namespace

void DrawBack(QPainter& p, int backId) {
    DrawBlankCard(p);
    QPainterPath panel;
    panel.addRoundedRect(Inner, 3, 3);
    p.save();
    p.setClipPath(panel);
    switch (backId) {
        case 0: Lattice(p); break;
        case 1: Harlequin(p); break;
        case 2: Waves(p); break;
        case 3: Gingham(p); break;
        case 4: Concentric(p); break;
        case 5: Landscape(p); break;
        case 6: Fish(p); break;
        case 7: Flowers(p); break;
        case 8: Sunburst(p); break;
        case 9: Night(p); break;
        case 10: Scales(p); break;
        case 11: Tartan(p); break;
        default: break;
    }
    p.restore();
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 110), 0.8));
    p.drawPath(panel);
    p.restore();
}

}  // namespace skelda::cardart
