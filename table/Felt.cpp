#include "table/Felt.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace skelda {

namespace {

constexpr int TextureWidth = 64;  // the texture's size in logical pixels
constexpr int TextureHeight = 64;
constexpr int Chunk = 32;  // rows put together per copy

// The shade `t` of the way from the middle to the rim (0..1): a faint light in the middle
// fading out by 0.55, then darker and darker towards the edges. As a colour laid over the
// felt: its alpha and its premultiplied grey.
struct Shade {
    double alpha, grey;
};
Shade ShadeAt(double t) {
    if (t <= 0.55) {
        const double a = 18.0 * (1.0 - t / 0.55);
        return {a, a};
    }
    return {95.0 * (t - 0.55) / 0.45, 0.0};
}

// A fixed offset per row of where the steps change, less than a step either way, so the
// steps' edges are ragged rather than rings.
double Jitter(int y) {
    const uint32_t h = static_cast<uint32_t>(y) * 2654435761u;
    return static_cast<double>((h >> 16) & 0xffff) / 65536.0 - 0.5;
}

}  // namespace

void Felt::Prepare(QColor colour, QSize pixels, qreal ratio) {
    pixels_ = pixels;
    if (colour == colour_ && ratio == ratio_ && !tiles_.empty()) return;
    colour_ = colour;
    ratio_ = ratio;
    // The fibres: a fixed pattern (so the game's random numbers are left alone), one value
    // per logical pixel.
    std::vector<int> fibre(TextureWidth * TextureHeight);
    std::minstd_rand fibres(20261208u);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int& n : fibre) n = noise(fibres);
    tileWidth_ = std::max(1, static_cast<int>(std::lround(TextureWidth * ratio)));
    tileHeight_ = std::max(1, static_cast<int>(std::lround(TextureHeight * ratio)));
    const size_t area = static_cast<size_t>(tileWidth_) * static_cast<size_t>(tileHeight_);
    tiles_.assign(Steps * area, 0);
    const int rgb[3] = {colour.red(), colour.green(), colour.blue()};
    for (int k = 0; k < Steps; ++k) {
        const Shade s = ShadeAt(static_cast<double>(k) / (Steps - 1));
        QRgb* tile = tiles_.data() + k * area;
        for (int y = 0; y < tileHeight_; ++y)
            for (int x = 0; x < tileWidth_; ++x) {
                const int fy = std::min(TextureHeight - 1, static_cast<int>(y / ratio));
                const int fx = std::min(TextureWidth - 1, static_cast<int>(x / ratio));
                const int n = fibre[static_cast<size_t>(fy * TextureWidth + fx)];
                int c[3];
                for (int i = 0; i < 3; ++i) {
                    const int base = std::clamp(rgb[i] + n, 0, 255);
                    c[i] = std::clamp(
                        static_cast<int>(std::lround(s.grey + base * (255.0 - s.alpha) / 255.0)), 0,
                        255);
                }
                *tile++ = qRgb(c[0], c[1], c[2]);
            }
    }
}

// The shade step at a point grows with its distance from the table's middle; along a row
// it falls to the middle and rises after it, one step at a time, so the row is a few runs
// of one step each whose ends follow from the distances where the steps change. Each run
// is copied from its tile.
void Felt::Row(int y, int x0, int x1, QRgb* out) const {
    const double cx = pixels_.width() / 2.0, cy = pixels_.height() / 2.0;
    const double radius = 0.75 * std::max(pixels_.width(), pixels_.height());
    const double dy = y + 0.5 - cy, dy2 = dy * dy;
    const double jitter = Jitter(y);
    const double perStep = radius / (Steps - 1);
    auto stepAt = [&](int x) {
        const double dx = x + 0.5 - cx;
        return std::clamp(
            static_cast<int>(std::floor(std::sqrt(dx * dx + dy2) / perStep + 0.5 + jitter)), 0,
            Steps - 1);
    };
    // How far from the middle, along the row, the step is at least k.
    auto reach = [&](int k) {
        const double r = (k - 0.5 - jitter) * perStep;
        return r * r > dy2 ? std::sqrt(r * r - dy2) : 0.0;
    };
    const size_t width = static_cast<size_t>(tileWidth_);
    const size_t area = width * static_cast<size_t>(tileHeight_);
    const QRgb* rowOfFirst = tiles_.data() + static_cast<size_t>(y % tileHeight_) * width;
    auto copy = [&](int from, int to, int k) {
        const QRgb* row = rowOfFirst + static_cast<size_t>(k) * area;
        for (int tx = from % tileWidth_; from < to; tx = 0) {
            const int n = std::min(tileWidth_ - tx, to - from);
            std::memcpy(out + (from - x0), row + tx, static_cast<size_t>(n) * sizeof(QRgb));
            from += n;
        }
    };
    const int middle = std::clamp(static_cast<int>(std::ceil(cx - 0.5)), x0, x1);
    // Left of the middle the steps fall...
    for (int x = x0, k = x < middle ? stepAt(x) : 0; x < middle; --k) {
        int end = middle;
        if (k > 0 && reach(k) > 0) end = static_cast<int>(std::floor(cx - reach(k) - 0.5)) + 1;
        end = std::clamp(end, x + 1, middle);
        copy(x, end, std::max(k, 0));
        x = end;
    }
    // ... and from it on they rise.
    for (int x = middle, k = x < x1 ? stepAt(x) : 0; x < x1; ++k) {
        int end = x1;
        if (k < Steps - 1) end = static_cast<int>(std::ceil(cx + reach(k + 1) - 0.5));
        end = std::clamp(end, x + 1, x1);
        copy(x, end, std::min(k, Steps - 1));
        x = end;
    }
}

void Felt::Draw(QPainter& p, const QRect& want, QPoint origin) {
    const QRect part = want & QRect(QPoint(0, 0), pixels_);
    if (part.isEmpty() || tiles_.empty()) return;
    const QRectF logical(QPointF(part.topLeft() - origin) / ratio_, QSizeF(part.size()) / ratio_);
    // Drawing on a picture held in memory (the window's back buffer), one to one, the rows go
    // straight into it, within what the painter may touch.
    QPaintEngine* engine = p.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (device && device->devType() == QInternal::Image && !p.hasClipping() &&
        p.deviceTransform().type() <= QTransform::TxScale) {
        auto* img = static_cast<QImage*>(device);
        const QRect target = p.deviceTransform().mapRect(logical).toRect();
        const bool plain = img->format() == QImage::Format_RGB32 ||
                           img->format() == QImage::Format_ARGB32 ||
                           img->format() == QImage::Format_ARGB32_Premultiplied;
        if (plain && img->isDetached() && target.size() == part.size()) {
            const QRegion allowed = engine->systemClip().isEmpty()
                                        ? QRegion(img->rect())
                                        : engine->systemClip() & img->rect();
            const QPoint shift = part.topLeft() - target.topLeft();
            for (const QRect& r : allowed& target)
                for (int y = r.top(); y <= r.bottom(); ++y)
                    Row(y + shift.y(), r.left() + shift.x(), r.right() + 1 + shift.x(),
                        reinterpret_cast<QRgb*>(img->scanLine(y)) + r.left());
            return;
        }
    }
    if (rows_.width() < part.width()) rows_ = QImage(part.width(), Chunk, QImage::Format_RGB32);
    for (int y0 = part.top(); y0 <= part.bottom(); y0 += Chunk) {
        const int h = std::min(Chunk, part.bottom() + 1 - y0);
        for (int i = 0; i < h; ++i)
            Row(y0 + i, part.left(), part.right() + 1, reinterpret_cast<QRgb*>(rows_.scanLine(i)));
        const QPointF at(part.left() - origin.x(), y0 - origin.y());
        p.drawImage(QRectF(at / ratio_, QSizeF(part.width(), h) / ratio_), rows_,
                    QRectF(0, 0, part.width(), h));
    }
}

QImage Felt::Picture(const QRect& want) const {
    const QRect part = want & QRect(QPoint(0, 0), pixels_);
    if (part.isEmpty() || tiles_.empty()) return {};
    QImage img(part.size(), QImage::Format_RGB32);
    for (int y = part.top(); y <= part.bottom(); ++y)
        Row(y, part.left(), part.right() + 1,
            reinterpret_cast<QRgb*>(img.scanLine(y - part.top())));
    return img;
}

}  // namespace skelda
