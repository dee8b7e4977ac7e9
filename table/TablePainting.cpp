// Painting the table: the felt or the table picture under every area, the cards of each
// area through the card canvas, the group frames, the status line, the win animation.
#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "cards/CardArt.h"
#include "cards/CardPictures.h"
#include "game/Random.h"
#include "table/CardGlides.h"
#include "table/TSkelda.h"
#include "table/TableAccessible.h"
#include "table/TableLayout.h"
#include "table/TextPlate.h"
#include "windows/LogWindow.h"

namespace skelda {

namespace {

MouseButton ToButton(Qt::MouseButton b) {
    if (b == Qt::RightButton) return MouseButton::Right;
    if (b == Qt::MiddleButton) return MouseButton::Middle;
    return MouseButton::Left;
}

// The golden edge of a card the computer used in its last turn, drawn once per pixel
// ratio: a wide soft stroke and a narrow bright one, MarkMargin pixels past the card.
constexpr int MarkMargin = 2;
const QImage& MarkFrame(qreal ratio) {
    static qreal madeAt = 0;
    static QImage frame;
    if (madeAt != ratio) {
        madeAt = ratio;
        frame = QImage(
            (QSizeF(CardWidth + 2 * MarkMargin, CardHeight + 2 * MarkMargin) * ratio).toSize(),
            QImage::Format_ARGB32_Premultiplied);
        frame.setDevicePixelRatio(ratio);
        frame.fill(Qt::transparent);
        QPainter p(&frame);
        p.translate(MarkMargin, MarkMargin);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        const QRectF card(1.0, 1.0, CardWidth - 2.0, CardHeight - 2.0);
        p.setPen(QPen(QColor(255, 190, 0, 110), 4));
        p.drawRoundedRect(card, 5, 5);
        p.setPen(QPen(QColor(255, 200, 40), 2));
        p.drawRoundedRect(card, 5, 5);
    }
    return frame;
}

// Draws the card canvas calls with the window's card pictures. Each card throws a soft
// shadow onto the one below it, so the overlapping corners read clearly. The canvas takes
// the table's logical pixels; pictures, rendered at the table's pixel ratio, are put on
// whole device pixels and copied one to one, which keeps them sharp and fast. The pictures
// are collected first and copied at Flush, each without the parts that later cards hide
// under their opaque middles: of a fanned card only its visible edge is copied.
class PixmapCanvas : public CardCanvas {
public:
    PixmapCanvas(QPainter& p, TSkelda& t, QWidget& area, const QPixmap& back, const QPixmap& empty,
                 const QPixmap& cross, const QPixmap& ahead, const QPixmap& behind)
        : p_(p),
          t_(t),
          area_(area),
          back_(back),
          empty_(empty),
          cross_(cross),
          ahead_(ahead),
          behind_(behind),
          scale_(t.TableScale()),
          dpr_(area.devicePixelRatioF()) {}
    ~PixmapCanvas() override { Flush(); }

    void Face(int x, int y, TCard c) override {
        Card(x, y, t_.FacePixmap(c.Suit % 4, c.Rank % 13));
    }
    void Back(int x, int y) override { Card(x, y, back_); }
    void EmptySlot(int x, int y) override { Add(x, y, &empty_, nullptr, empty_.rect()); }
    void StockEnd(int x, int y) override { Add(x, y, &cross_, nullptr, cross_.rect()); }
    void FaceIcon(bool behind, int x, int y) override {
        const QPixmap& icon = behind ? behind_ : ahead_;
        Add(x, y, &icon, nullptr, icon.rect());
    }
    // A picture at (x, y) now, over everything collected so far.
    void Blit(qreal x, qreal y, const QPixmap& pm) {
        Flush();
        Add(x, y, &pm, nullptr, pm.rect());
        Flush();
    }
    // A golden edge round the card; the part of it that shows past the next card is
    // enough to pick the card out.
    void Mark(int x, int y) override {
        const QImage& frame = MarkFrame(t_.CardPictureRatio());
        Add(x - MarkMargin, y - MarkMargin, nullptr, &frame, frame.rect());
    }
    void Note(int x, int y, const std::string& text) override { Plate(x, y, text, false); }
    // A hint's marks are sky blue, apart from the computer's golden ones.
    void HintMark(int x, int y, int w, int h) override {
        Flush();
        p_.save();
        p_.scale(scale_, scale_);
        p_.setRenderHint(QPainter::Antialiasing);
        const QRectF part(x + 1.0, y + 1.0, w - 2.0, h - 2.0);
        p_.setBrush(QColor(60, 190, 255, 45));
        p_.setPen(QPen(QColor(30, 160, 255, 150), 5));
        p_.drawRoundedRect(part, 5, 5);
        p_.setBrush(Qt::NoBrush);
        p_.setPen(QPen(QColor(170, 232, 255), 2));
        p_.drawRoundedRect(part, 5, 5);
        p_.restore();
    }
    // An arrow under the pile card's visible corner, pointing up at it.
    void HintPointer(int x, int y) override {
        Flush();
        p_.save();
        p_.scale(scale_, scale_);
        p_.setRenderHint(QPainter::Antialiasing);
        QPainterPath arrow;
        const qreal cx = x + CardStep / 2.0;
        arrow.moveTo(cx, y + 2);
        arrow.lineTo(cx + 8, y + 12);
        arrow.lineTo(cx + 3, y + 12);
        arrow.lineTo(cx + 3, y + 24);
        arrow.lineTo(cx - 3, y + 24);
        arrow.lineTo(cx - 3, y + 12);
        arrow.lineTo(cx - 8, y + 12);
        arrow.closeSubpath();
        p_.setPen(QPen(QColor(0, 40, 70), 1.5));
        p_.setBrush(QColor(150, 225, 255));
        p_.drawPath(arrow);
        p_.restore();
    }
    void AdviceNote(int x, int y, const std::string& text) override { Plate(x, y, text, true); }
    // One line of text on a dark plate, dark enough for the text to read on any table; an
    // advice line is blue-black with a sky-blue bar, apart from the computer's line.
    void Plate(int x, int y, const std::string& text, bool advice) {
        Flush();
        const qreal width = area_.width() / t_.TableScale() - x - 6;
        if (width < 40) return;
        const int inset = advice ? 10 : 6;
        p_.save();
        p_.scale(scale_, scale_);
        const QFontMetrics fm(p_.font());
        const QString line = fm.elidedText(QString::fromStdString(text), Qt::ElideRight,
                                           static_cast<int>(width) - inset - 6);
        const QRectF plate(x, y - fm.height() / 2.0 - 3, fm.horizontalAdvance(line) + inset + 6,
                           fm.height() + 6);
        const int alpha = std::max(advice ? 150 : 120, t_.PlateAlpha(area_, plate));
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setPen(Qt::NoPen);
        p_.setBrush(advice ? QColor(0, 20, 40, alpha) : QColor(0, 0, 0, alpha));
        p_.drawRoundedRect(plate, 5, 5);
        if (advice) {
            p_.setBrush(QColor(150, 225, 255));
            p_.drawRoundedRect(QRectF(plate.left() + 3, plate.top() + 4, 3, plate.height() - 8), 1,
                               1);
        }
        p_.setPen(advice ? QColor(215, 240, 255) : QColor(Qt::white));
        p_.drawText(plate.adjusted(inset, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, line);
        p_.restore();
    }

    // Copies what was collected, in order, each picture less what later cards cover. The
    // first call lays the table under the area first, less what the cards hide: at a high
    // pixel ratio the copies are bound by memory, so each pixel is best written once.
    void Flush() {
        const size_t n = pieces_.size();
        std::vector<QRegion> shown(n);
        QRegion covered;
        for (size_t i = n; i-- > 0;) {
            const Piece& piece = pieces_[i];
            shown[i] = QRegion(piece.source.translated(piece.at)) - covered;
            if (!piece.opaque.isEmpty()) covered += piece.opaque;
        }
        if (!tableLaid_) {
            tableLaid_ = true;
            const QRect all(QPoint(0, 0), (QSizeF(area_.size()) * dpr_).toSize());
            t_.PaintTableDevice(p_, area_, QRegion(all) - covered);
        }
        for (size_t i = 0; i < n; ++i) {
            const Piece& piece = pieces_[i];
            for (const QRect& r : shown[i]) {
                const QRectF to(QPointF(r.topLeft()) / dpr_, QSizeF(r.size()) / dpr_);
                const QRectF from(r.translated(-piece.at));
                if (piece.image)
                    p_.drawImage(to, *piece.image, from);
                else
                    p_.drawPixmap(to, *piece.pixmap, from);
            }
        }
        pieces_.clear();
    }

private:
    // One picture (or the part `source` of it, in its own pixels) whose top left lies at
    // `at` in device pixels; `opaque` is what it hides entirely, in device pixels.
    struct Piece {
        QPoint at;
        const QPixmap* pixmap;
        const QImage* image;
        QRect source;
        QRect opaque;
    };

    QPoint Device(qreal x, qreal y) const {
        return QPoint(static_cast<int>(std::lround(x * scale_ * dpr_)),
                      static_cast<int>(std::lround(y * scale_ * dpr_)));
    }
    void Add(qreal x, qreal y, const QPixmap* pm, const QImage* img, const QRect& source,
             const QRect& opaque = QRect()) {
        if (source.isEmpty()) return;
        pieces_.push_back({Device(x, y), pm, img, source, opaque});
    }

    // A card and its shadow. The shadow lies 2 pixels left of the card and 1 below it;
    // only its left and bottom strips and the top right corner show past the card (its
    // corners are round), so only those are drawn. The card hides everything under it
    // but its round corners.
    void Card(int x, int y, const QPixmap& pm) {
        const QPixmap& shadow = t_.CardShadow();
        const qreal r = shadow.devicePixelRatio();
        constexpr int corner = 6;  // the card's corner radius and a pixel
        // In the shadow's own pixels, side by side without overlapping, since each blends.
        const int w = shadow.width(), h = shadow.height();
        const int left = static_cast<int>(std::ceil((2 + corner) * r));
        const int bottom = static_cast<int>(std::floor((CardHeight - corner) * r));
        const int right = static_cast<int>(std::floor((CardWidth - corner) * r));
        const int top = static_cast<int>(std::ceil((corner + 1) * r));
        Add(x - 2, y + 1, &shadow, nullptr, QRect(0, 0, left, h));
        Add(x - 2, y + 1, &shadow, nullptr, QRect(left, bottom, w - left, h - bottom));
        Add(x - 2, y + 1, &shadow, nullptr, QRect(right, 0, w - right, std::min(top, bottom)));
        const QPoint at = Device(x, y);
        const int inset = static_cast<int>(std::ceil(corner * pm.devicePixelRatio()));
        Add(x, y, &pm, nullptr, pm.rect(),
            t_.SolidInside(pm, inset)
                ? pm.rect().translated(at).adjusted(inset, inset, -inset, -inset)
                : QRect());
    }

    QPainter& p_;
    TSkelda& t_;
    QWidget& area_;
    const QPixmap &back_, &empty_, &cross_, &ahead_, &behind_;
    qreal scale_, dpr_;
    std::vector<Piece> pieces_;
    bool tableLaid_ = false;
};

}  // namespace

// ----- The widgets -----

PaintArea::PaintArea(TSkelda& table, Area area, QWidget* parent)
    : QWidget(parent), table_(table), area_(area) {
    setObjectName(QStringLiteral("PaintBox%1").arg(static_cast<int>(area)));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintArea::paintEvent(QPaintEvent*) {
    table_.PaintAreaContent(*this);
}

void PaintArea::mouseReleaseEvent(QMouseEvent* event) {
    table_.ShowKeyboardCues(false);
    table_.AreaReleased(area_, event->button(), table_.ToLogical(event->position()).toPoint());
}

GroupFrame::GroupFrame(TSkelda& table, int number, QWidget* parent)
    : QWidget(parent), table_(table), number_(number) {
    setObjectName(QStringLiteral("GroupBox%1").arg(number));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GroupFrame::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

QFont GroupFrame::CaptionFont() const {
    QFont f = font();
    f.setBold(true);
    return f;
}

QRect GroupFrame::captionRect() const {
    if (caption_.isEmpty()) return {};
    const int w = QFontMetrics(CaptionFont()).horizontalAdvance(caption_) + 10;
    return QRect(8, 0, w, GroupCaptionHeight);
}

// A faint etched frame below the caption line, in the table's logical pixels, with a gap
// for the caption.
void GroupFrame::DrawFrame(QPainter& p, qreal s) const {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(0.5, 7.5, width() / s - 1.0, height() / s - 8.0);
    const QRect textRect = captionRect();
    if (!textRect.isEmpty()) {
        QRegion clip(QRect(0, 0, qCeil(width() / s) + 1, qCeil(height() / s) + 1));
        p.setClipRegion(clip.subtracted(QRegion(textRect)), Qt::IntersectClip);
    }
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, 4, 4);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.drawRoundedRect(frame.translated(0, 1).adjusted(0, 0, 0, -1), 4, 4);
}

// The frame's four edges as pictures. Filling a shape as tall as a band, the raster engine
// works line by line and hands long runs of lines to other threads, which on a large
// screen costs more than the whole felt; copying four strips costs next to nothing.
void GroupFrame::MakeStrips(qreal s, qreal ratio) {
    strips_.clear();
    const qreal k = s * ratio;  // device pixels per logical pixel
    const int w = qCeil(width() * ratio), h = qCeil(height() * ratio);
    const int side = qCeil(7 * k), top = qFloor(6 * k), below = qCeil(11 * k),
              bottom = h - qCeil(3 * k);
    for (const QRect& r : {QRect(0, 0, side, h), QRect(w - side, 0, side, h),
                           QRect(side, top, w - 2 * side, below - top),
                           QRect(side, bottom, w - 2 * side, h - bottom)}) {
        if (r.isEmpty()) continue;
        Strip strip{r.topLeft(), QImage(r.size(), QImage::Format_ARGB32_Premultiplied)};
        strip.image.fill(Qt::transparent);
        QPainter q(&strip.image);
        q.translate(-r.topLeft());
        q.scale(k, k);
        DrawFrame(q, s);
        q.end();
        strip.image.setDevicePixelRatio(ratio);
        strips_.push_back(std::move(strip));
    }
}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The paint areas inside draw their own part of the table.
    QRegion own(rect());
    for (const PaintArea* area : findChildren<PaintArea*>(Qt::FindDirectChildrenOnly))
        own -= area->geometry();
    table_.PaintTable(p, *this, own);
    const qreal s = table_.TableScale();
    const qreal ratio = devicePixelRatioF();
    const auto key = std::make_tuple(size(), s, ratio, caption_);
    if (key != stripsFor_) {
        MakeStrips(s, ratio);
        stripsFor_ = key;
    }
    for (const Strip& strip : strips_) p.drawImage(QPointF(strip.at) / ratio, strip.image);
    const QRect textRect = captionRect();
    if (textRect.isEmpty()) return;
    p.scale(s, s);
    p.setRenderHint(QPainter::Antialiasing);
    // White with a dark shadow, on a plate as dark as the table under it needs.
    const int alpha = table_.PlateAlpha(*this, textRect);
    if (alpha > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, alpha));
        p.drawRoundedRect(QRectF(textRect).adjusted(0, 0.5, 0, -0.5), 4, 4);
    }
    p.setFont(CaptionFont());
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(textRect.translated(1, 1), Qt::AlignCenter, caption_);
    p.setPen(Qt::white);
    p.drawText(textRect, Qt::AlignCenter, caption_);
}

void GroupFrame::mouseReleaseEvent(QMouseEvent* event) {
    table_.GroupReleased(number_, event->button(), table_.ToLogical(event->position()).toPoint());
}

StatusLine::StatusLine(TSkelda& table, QWidget* parent) : QWidget(parent), table_(table) {
    setObjectName(QStringLiteral("StatusBar1"));
}

void StatusLine::SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    table_.PaintTable(p, *this);
    const qreal s = table_.TableScale();
    p.scale(s, s);
    const QRectF line(0, 0, width() / s, height() / s);
    p.fillRect(line, QColor(0, 0, 0, std::max(110, table_.PlateAlpha(*this, line))));
    p.setPen(QColor(255, 255, 255, 40));
    p.drawLine(QLineF(0, 0, line.width(), 0));
    p.setPen(Qt::white);
    p.drawText(line.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, text_);
}

void StatusLine::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) table_.StatusDoubleClicked();
}

ScatterLayer::ScatterLayer(TSkelda& table, QWidget* parent) : QWidget(parent), table_(table) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void ScatterLayer::Add(const Scattered& card) {
    cards_.push_back(card);
    show();
    raise();
    const qreal s = table_.TableScale();
    update(QRectF((card.x - 2) * s, (card.y - 2) * s, (CardWidth + 4) * s, (CardHeight + 4) * s)
               .toAlignedRect());
}

void ScatterLayer::Clear() {
    if (cards_.empty()) return;
    cards_.clear();
    hide();
}

void ScatterLayer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.scale(table_.TableScale(), table_.TableScale());
    for (const Scattered& c : cards_) p.drawPixmap(c.x, c.y, table_.FacePixmap(c.suit, c.rank));
}

NoticeBubble::NoticeBubble(TSkelda& table, QWidget* parent) : QWidget(parent), table_(table) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(size_);
    hide();
}

QRect NoticeBubble::textRect() const {
    return QRect(14, 30, size_.width() - 28, size_.height() - 38);
}

void NoticeBubble::Show(const QString& title, const QString& text, int ms) {
    title_ = title;
    text_ = text;
    // As many lines as the text needs at the bubble's width, never fewer than one.
    constexpr int width = 340, textWidth = width - 28;
    const QRect needed =
        QFontMetrics(font()).boundingRect(QRect(0, 0, textWidth, 2000), Qt::TextWordWrap, text_);
    size_ = QSize(width, 38 + std::max(needed.height(), 26));
    show();
    raise();
    update();
    QTimer::singleShot(ms, this, [this] { hide(); });
}

void NoticeBubble::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.scale(table_.TableScale(), table_.TableScale());
    const QSize size = size_;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(QColor(20, 28, 20, 220));
    p.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(14, 8, size.width() - 28, 20), Qt::AlignLeft | Qt::AlignVCenter, title_);
    p.setFont(font());
    p.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text_);
}

// ----- The table's painting -----

void TSkelda::InvalidateBackground() {
    backgroundPixmap_ = QPixmap();
    plateAlphas_.clear();
}

// The table picture stretched over the whole table, made once for the client area's size.
QSize TSkelda::TablePixels() const {
    return (QSizeF(surface_->size()) * surface_->devicePixelRatioF()).toSize();
}

Felt& TSkelda::PreparedFelt() {
    felt_.Prepare(tableColor_, TablePixels(), surface_->devicePixelRatioF());
    return felt_;
}

const QPixmap& TSkelda::PictureBackground() {
    const qreal dpr = surface_->devicePixelRatioF();
    const QSize pixels = TablePixels().expandedTo(QSize(1, 1));
    if (!backgroundPixmap_.isNull() && backgroundPixmap_.size() == pixels) return backgroundPixmap_;
    QImage img = tablePicture_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    backgroundPixmap_ = QPixmap::fromImage(std::move(img));
    return backgroundPixmap_;
}

// Under every widget of the table: its part of the table (the whole widget, or the given
// part of it, in its logical pixels). Called before the painter is scaled.
void TSkelda::PaintTable(QPainter& p, QWidget& w, const QRegion& part) {
    const qreal dpr = w.devicePixelRatioF();
    QRegion device;
    for (const QRect& r : part.isEmpty() ? QRegion(w.rect()) : part)
        device += QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr).toAlignedRect();
    PaintTableDevice(p, w, device);
}

// The same for a part in the widget's device pixels, rectangle by rectangle: a copy under
// a clip region takes the painter's slow path.
void TSkelda::PaintTableDevice(QPainter& p, QWidget& w, const QRegion& devicePart) {
    const qreal dpr = w.devicePixelRatioF();
    const QPointF corner = QPointF(w.mapTo(surface_, QPoint(0, 0))) * dpr;
    if (!tablePicture_.isNull()) {
        const QPixmap& bg = PictureBackground();
        for (const QRect& r : devicePart)
            p.drawPixmap(QRectF(QPointF(r.topLeft()) / dpr, QSizeF(r.size()) / dpr), bg,
                         QRectF(corner + r.topLeft(), QSizeF(r.size())));
        return;
    }
    Felt& felt = PreparedFelt();
    const QPoint origin = corner.toPoint();
    for (const QRect& r : devicePart) felt.Draw(p, r.translated(origin), origin);
}

bool TSkelda::SolidInside(const QPixmap& card, int inset) {
    if (!card.hasAlphaChannel()) return true;
    const auto known = solidCards_.find(card.cacheKey());
    if (known != solidCards_.end()) return known->second;
    const QImage img = card.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRect inside = img.rect().adjusted(inset, inset, -inset, -inset);
    bool solid = true;
    for (int y = inside.top(); y <= inside.bottom() && solid; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qAlpha(line[x]) != 255) {
                solid = false;
                break;
            }
    }
    return solidCards_[card.cacheKey()] = solid;
}

int TSkelda::PlateAlpha(QWidget& w, const QRectF& logical) {
    const qreal dpr = surface_->devicePixelRatioF();
    const QRectF onTable(QPointF(w.mapTo(surface_, QPoint(0, 0))) + logical.topLeft() * scale_,
                         logical.size() * scale_);
    const QRect part = QRectF(onTable.topLeft() * dpr, onTable.size() * dpr).toAlignedRect() &
                       QRect(QPoint(0, 0), TablePixels());
    if (part.isEmpty()) return 0;
    const auto key = std::make_tuple(part.x(), part.y(), part.width(), part.height());
    if (auto known = plateAlphas_.find(key); known != plateAlphas_.end()) return known->second;
    const QImage img =
        tablePicture_.isNull()
            ? PreparedFelt().Picture(part)
            : PictureBackground().copy(part).toImage().convertToFormat(QImage::Format_RGB32);
    int r = 0, g = 0, b = 0;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            r = std::max(r, qRed(line[x]));
            g = std::max(g, qGreen(line[x]));
            b = std::max(b, qBlue(line[x]));
        }
    }
    return plateAlphas_[key] = PlateAlphaOver(QColor(r, g, b));
}

// The soft shadow a card throws onto the one below it, drawn once per pixel ratio.
const QPixmap& TSkelda::CardShadow() {
    const qreal ratio = CardPictureRatio();
    if (shadow_.isNull() || shadow_.devicePixelRatio() != ratio) {
        QImage img((QSizeF(CardWidth + 1, CardHeight + 1) * ratio).toSize(),
                   QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(ratio);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 55));
        p.drawRoundedRect(QRectF(0.5, 0.5, CardWidth, CardHeight), 5, 5);
        p.end();
        shadow_ = QPixmap::fromImage(std::move(img));
    }
    return shadow_;
}

// The notice goes where it covers neither the face icon nor any card: the computer's
// strip between its cards and the face, else the free space beside the discard pile,
// else the human's meld area's lower right.
void TSkelda::PlaceNotice() {
    const QSize size = notice_->logicalSize();
    const Bands b = FormResize(logical_.width(), logical_.height());
    auto span = [](size_t cards) {
        return cards == 0 ? 0 : CardStep * static_cast<int>(cards - 1) + CardWidth;
    };
    std::vector<QRect> places;
    const int right = b.paintBox1.width() - FaceIconInset - 8;
    places.emplace_back(right - size.width(), 8, size.width(), size.height());
    const QRect pile = PileArea(b.groupBox4).translated(b.groupBox4.topLeft());
    places.emplace_back(pile.right() - 8 - size.width(), pile.top() + CardHeight / 2 + 14,
                        size.width(), size.height());
    places.emplace_back(b.groupBox2.right() - 8 - size.width(),
                        b.groupBox2.bottom() - 4 - size.height(), size.width(), size.height());
    // What each place must stay clear of.
    const QRect opponentCards(0, 0, span(game_.OpponentHand.size()), CardHeight);
    const QRect pileCards(pile.left(), pile.top(), span(game_.DiscardPile.size() + 1), CardHeight);
    QRect chosen = places.front();
    for (const QRect& r : places) {
        if (r.left() < 0 || r.top() < 0) continue;
        if (r.intersects(opponentCards) || r.intersects(pileCards)) continue;
        chosen = r;
        break;
    }
    const QRect screen = ScreenRect(chosen, scale_, logical_, surface_->size());
    notice_->setGeometry(QRect(screen.topLeft(), (QSizeF(size) * scale_).toSize()));
    notice_->raise();
}

void TSkelda::PaintAreaContent(PaintArea& a) {
    QPainter p(&a);
    if (pixelRatio_ != CardPictureRatio()) RenderCardImages();
    PixmapCanvas canvas(p, *this, a, back_, emptySlot_, stockEnd_, aheadIcon_, behindIcon_);
    CardGlides::Filter shown(*glides_, a.area(), game_, canvas);  // less what glides
    PaintAreaCards(a.area(), game_, shown, view_,
                   static_cast<int>(std::lround(a.width() / scale_)));
    canvas.Flush();
    if (a.area() == Area::PaintBox6 && pickupMarker_)
        canvas.Blit(pickupMarker_->x(), pickupMarker_->y(), marker_);
    PaintKeyboardFocus(p, a.area());
    // For the start-up figures: the wall-clock time at which the whole table was first drawn.
    if (a.area() == Area::PaintBox6 && !firstPaintReported_) {
        firstPaintReported_ = true;
        if (qEnvironmentVariableIsSet("SKELDA_REPORT_FIRST_PAINT"))
            std::fprintf(stderr, "first-paint-ms %lld\n",
                         static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    }
}

const QPixmap& TSkelda::FacePixmap(int suit, int rank) {
    suit %= 4;
    rank %= 13;
    QPixmap& face = faces_[static_cast<size_t>(suit * 13 + rank)];
    if (face.isNull()) face = CardPicture(FaceResourceName(suit, rank));
    return face;
}

qreal TSkelda::CardPictureRatio() const {
    return devicePixelRatioF() * scale_;
}

// One picture of the current source at the rendering ratio. Every source the table takes
// was checked whole, so the built-in picture stands in only should a deck fail later.
QPixmap TSkelda::CardPicture(const QString& name) const {
    const qreal ratio = pixelRatio_ > 0 ? pixelRatio_ : CardPictureRatio();
    QString error;
    QPixmap p = deckModule_ ? deckModule_->Pixmap(name, ratio, error) : QPixmap();
    if (p.isNull()) p = BuiltInCards()->Pixmap(name, ratio, error);
    return p;
}

void TSkelda::LoadCardImages(CardSourcePtr module) {
    if (!module) module = BuiltInCards();
    // A random back unless one is stored; a stored number out of 0..11 (a damaged value)
    // is passed over and left as it is.
    backId_ = static_cast<int>(Random(CardBackCount));
    if (const std::optional<uint32_t> stored = settings_->ReadNumber("BackID");
        stored && *stored < static_cast<uint32_t>(CardBackCount))
        backId_ = static_cast<int>(*stored);
    game_.BackID = static_cast<uint8_t>(backId_);
    // The previous deck closes here unless the Card Deck dialog still previews it.
    deckModule_ = std::move(module);
    if (deckDlg_ && deckModule_->IsDeckFile())
        settings_->WriteText("DeckFile", deckModule_->Path().toStdString());
    RenderCardImages();
    Repaint(Area::All);
}

// The pictures at the rendering ratio (the window's pixel ratio times the table's
// scale); redone, with the same back, when it changes.
void TSkelda::RenderCardImages() {
    pixelRatio_ = CardPictureRatio();
    solidCards_.clear();
    for (QPixmap& f : faces_) f = QPixmap();
    back_ = CardPicture(BackResourceName(backId_));
    emptySlot_ = CardPicture(QStringLiteral("CARD00"));
    stockEnd_ = CardPicture(QStringLiteral("CARD01"));
    aheadIcon_ = OpponentAheadPixmap(pixelRatio_);
    behindIcon_ = OpponentBehindPixmap(pixelRatio_);
    marker_ = PickupMarkerPixmap(pixelRatio_);
}

// ----- Mouse input (and the keys, which release a button over the card they mean) -----

void TSkelda::AreaReleased(Area area, Qt::MouseButton qb, QPoint pos) {
    const MouseButton button = ToButton(qb);
    const int x = pos.x(), y = pos.y();
    switch (area) {
        case Area::PaintBox2:
        case Area::PaintBox3: {
            // Either meld area switches between the short and the tall step.
            view_.expanded ^= area == Area::PaintBox2 ? 1 : 2;
            Repaint(area);
            return;
        }
        case Area::PaintBox4:
            if (game_.controls.PaintBox4) Run([=, this] { game_.PaintBox4MouseUp(button, x); });
            return;
        case Area::PaintBox5:
        case Area::PaintBox6: {
            const bool stock = area == Area::PaintBox5;
            if (stock ? game_.controls.PaintBox5 : game_.controls.PaintBox6) {
                if (stock)
                    Run([=, this] { game_.PaintBox5MouseUp(button, x, y); });
                else
                    Run([=, this] { game_.PaintBox6MouseUp(button, x, y); });
            } else {
                // A switched-off area lets the click through to the band around it.
                const Bands b = FormResize(logical_.width(), logical_.height());
                const QRect r = stock ? StockArea(b.groupBox4) : PileArea(b.groupBox4);
                GroupReleased(4, qb, pos + r.topLeft());
            }
            return;
        }
        default: return;
    }
}

void TSkelda::GroupReleased(int group, Qt::MouseButton qb, QPoint pos) {
    if (group != 4) return;
    const MouseButton button = ToButton(qb);
    const int y = pos.y();
    const int pileTop = pileTop_;
    Run([=, this] { game_.GroupBox4MouseUp(button, y, pileTop); });
}

void TSkelda::StatusDoubleClicked() {
    Run([this] { game_.StatusBar1DblClick(); });
}

// ----- Timers of the table -----

void TSkelda::Timer2Timer() {
    status_->SetText(QString::fromStdString(game_.StatusText(currentSong_.toStdString())));
    if (!logConsoleHidden_ && log_) {
        // The log shows at start and goes away at the first tick that finds it up.
        const bool wasVisible = log_->isVisible();
        log_->hide();
        if (wasVisible) {
            logConsoleHidden_ = true;
            log_->Release();
        }
    }
    // The game's caption follows, so the next deal's own caption shows again until a tick.
    game_.GroupBox1Caption = game_.OpponentName + "'s Melds";
    lastGroupBox1Caption_ = game_.GroupBox1Caption;
    groups_[1]->SetCaption(QString::fromStdString(game_.GroupBox1Caption));
    groups_[4]->SetCaption(QString::fromStdString(game_.GroupBox4Caption()));
    access_->Refresh();
}

void TSkelda::Timer5Timer() {
    if (!game_.timers.Timer5) {
        timer5_.stop();
        return;
    }
    const int rank = static_cast<int>(Random(13));
    const int suit = static_cast<int>(Random(4));
    const int y = static_cast<int>(Random(static_cast<uint32_t>(std::max(1, logical_.height()))));
    const int x = static_cast<int>(Random(static_cast<uint32_t>(std::max(1, logical_.width()))));
    scatter_->Add({suit, rank, x, y});
}

}  // namespace skelda
