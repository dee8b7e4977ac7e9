// Painting the table: the felt or the table picture under every area, the cards of each
// area through the card canvas, the group frames, the status line, the win animation.
#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTimer>
#include <cstdio>
#include <random>

#include "cards/CardArt.h"
#include "cards/CardPictures.h"
#include "game/Random.h"
#include "table/TSkelda.h"
#include "table/TableLayout.h"
#include "windows/LogWindow.h"

namespace skelda {

namespace {

MouseButton ToButton(Qt::MouseButton b) {
    if (b == Qt::RightButton) return MouseButton::Right;
    if (b == Qt::MiddleButton) return MouseButton::Middle;
    return MouseButton::Left;
}

// Draws the card canvas calls with the window's card pictures. Each card throws a soft
// shadow onto the one below it, so the overlapping corners read clearly.
class PixmapCanvas : public CardCanvas {
public:
    PixmapCanvas(QPainter& p, TSkelda& t, const QPixmap& back, const QPixmap& empty,
                 const QPixmap& cross, const QPixmap& ahead, const QPixmap& behind)
        : p_(p), t_(t), back_(back), empty_(empty), cross_(cross), ahead_(ahead), behind_(behind) {}

    void Face(int x, int y, TCard c) override {
        Shadow(x, y);
        p_.drawPixmap(x, y, t_.FacePixmap(c.Suit % 4, c.Rank % 13));
    }
    void Back(int x, int y) override {
        Shadow(x, y);
        p_.drawPixmap(x, y, back_);
    }
    void EmptySlot(int x, int y) override { p_.drawPixmap(x, y, empty_); }
    void StockEnd(int x, int y) override { p_.drawPixmap(x, y, cross_); }
    void FaceIcon(bool behind, int x, int y) override {
        p_.drawPixmap(x, y, behind ? behind_ : ahead_);
    }

private:
    void Shadow(int x, int y) {
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setPen(Qt::NoPen);
        p_.setBrush(QColor(0, 0, 0, 55));
        p_.drawRoundedRect(QRectF(x - 1.5, y + 1.5, CardWidth, CardHeight), 5, 5);
        p_.restore();
    }
    QPainter& p_;
    TSkelda& t_;
    const QPixmap &back_, &empty_, &cross_, &ahead_, &behind_;
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
    table_.AreaReleased(area_, event->button(), event->position().toPoint());
}

GroupFrame::GroupFrame(TSkelda& table, int number, QWidget* parent)
    : QWidget(parent), table_(table), number_(number) {
    setObjectName(QStringLiteral("GroupBox%1").arg(number));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GroupFrame::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update(QRect(0, 0, width(), GroupCaptionHeight + 1));
}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    table_.PaintTable(p, *this);
    p.setRenderHint(QPainter::Antialiasing);
    // A faint etched frame below the caption line.
    const QRectF frame(0.5, 7.5, width() - 1.0, height() - 8.0);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, 4, 4);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.drawRoundedRect(frame.translated(0, 1).adjusted(0, 0, 0, -1), 4, 4);
    if (caption_.isEmpty()) return;
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    const QFontMetrics fm(f);
    const int w = fm.horizontalAdvance(caption_) + 10;
    const QRect textRect(8, 0, w, GroupCaptionHeight);
    // The caption sits in a gap of the frame, white with a dark shadow.
    p.save();
    p.setClipRect(textRect);
    table_.PaintTable(p, *this);
    p.restore();
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(textRect.translated(1, 1), Qt::AlignCenter, caption_);
    p.setPen(Qt::white);
    p.drawText(textRect, Qt::AlignCenter, caption_);
}

void GroupFrame::mouseReleaseEvent(QMouseEvent* event) {
    table_.GroupReleased(number_, event->button(), event->position().toPoint());
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
    p.fillRect(rect(), QColor(0, 0, 0, 110));
    p.setPen(QColor(255, 255, 255, 40));
    p.drawLine(0, 0, width(), 0);
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, text_);
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
    update(QRect(card.x - 2, card.y - 2, CardWidth + 4, CardHeight + 4));
}

void ScatterLayer::Clear() {
    if (cards_.empty()) return;
    cards_.clear();
    hide();
}

void ScatterLayer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (const Scattered& c : cards_) p.drawPixmap(c.x, c.y, table_.FacePixmap(c.suit, c.rank));
}

NoticeBubble::NoticeBubble(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(340, 64);
    hide();
}

void NoticeBubble::Show(const QString& title, const QString& text, int ms) {
    title_ = title;
    text_ = text;
    show();
    raise();
    update();
    QTimer::singleShot(ms, this, [this] { hide(); });
}

void NoticeBubble::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(QColor(20, 28, 20, 220));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(14, 8, width() - 28, 20), Qt::AlignLeft | Qt::AlignVCenter, title_);
    p.setFont(font());
    p.drawText(QRect(14, 30, width() - 28, 26), Qt::AlignLeft | Qt::AlignVCenter, text_);
}

// ----- The table's painting -----

// The felt: the table colour with a fine fibre texture of its own (a fixed pattern, so
// the game's random numbers are left alone).
void TSkelda::MakeFelt() {
    constexpr int tile = 128;
    QImage img(tile, tile, QImage::Format_RGB32);
    std::minstd_rand fibres(20261208u);
    std::uniform_int_distribution<int> noise(-6, 6);
    const int r = tableColor_.red(), g = tableColor_.green(), b = tableColor_.blue();
    for (int y = 0; y < tile; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < tile; ++x) {
            const int n = noise(fibres);
            line[x] = qRgb(std::clamp(r + n, 0, 255), std::clamp(g + n, 0, 255),
                           std::clamp(b + n, 0, 255));
        }
    }
    felt_ = QPixmap::fromImage(img);
    scaledPicture_.clear();
}

// Under every area: the table picture stretched over a paint area, or else the felt
// with a gentle shade towards the window's edges, continuous across the areas.
void TSkelda::PaintTable(QPainter& p, QWidget& w) {
    const QRect r = w.rect();
    if (!tablePicture_.isNull() && qobject_cast<PaintArea*>(&w)) {
        const std::pair<int, int> key(r.width(), r.height());
        auto it = scaledPicture_.find(key);
        if (it == scaledPicture_.end()) {
            const qreal dpr = w.devicePixelRatioF();
            QPixmap scaled = QPixmap::fromImage(
                tablePicture_.scaled(QSize(int(r.width() * dpr), int(r.height() * dpr)),
                                     Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            scaled.setDevicePixelRatio(dpr);
            it = scaledPicture_.emplace(key, scaled).first;
        }
        p.drawPixmap(0, 0, it->second);
        return;
    }
    const QPoint origin = w.mapTo(surface_, QPoint(0, 0));
    p.save();
    p.setBrushOrigin(-origin);
    if (felt_.isNull())
        p.fillRect(r, tableColor_);
    else
        p.fillRect(r, QBrush(felt_));
    const QRectF table(QPointF(-origin), QSizeF(surface_->size()));
    QRadialGradient shade(table.center(), std::max(table.width(), table.height()) * 0.75);
    shade.setColorAt(0.0, QColor(255, 255, 255, 18));
    shade.setColorAt(0.55, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, 95));
    p.fillRect(r, shade);
    p.restore();
}

void TSkelda::PaintAreaContent(PaintArea& a) {
    QPainter p(&a);
    PaintTable(p, a);
    if (pixelRatio_ != CardPictureRatio()) RenderCardImages();
    PixmapCanvas canvas(p, *this, back_, emptySlot_, stockEnd_, aheadIcon_, behindIcon_);
    PaintAreaCards(a.area(), game_, canvas, view_, a.width());
    if (a.area() == Area::PaintBox6 && pickupMarker_) p.drawPixmap(*pickupMarker_, marker_);
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
    return devicePixelRatioF();
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

// The pictures at the rendering ratio; redone, with the same back, when it changes.
void TSkelda::RenderCardImages() {
    pixelRatio_ = CardPictureRatio();
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
                const QPoint inBand = areas_[static_cast<int>(area)]->mapTo(groups_[4], pos);
                GroupReleased(4, qb, inBand);
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
    const int pileTop = areas_[6]->y();
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
        if (wasVisible) logConsoleHidden_ = true;
    }
    // The game's caption follows, so the next deal's own caption shows again until a tick.
    game_.GroupBox1Caption = game_.OpponentName + "'s Melds";
    lastGroupBox1Caption_ = game_.GroupBox1Caption;
    groups_[1]->SetCaption(QString::fromStdString(game_.GroupBox1Caption));
    groups_[4]->SetCaption(QString::fromStdString(game_.GroupBox4Caption()));
}

void TSkelda::Timer5Timer() {
    if (!game_.timers.Timer5) {
        timer5_.stop();
        return;
    }
    const int rank = static_cast<int>(Random(13));
    const int suit = static_cast<int>(Random(4));
    const int y = static_cast<int>(Random(static_cast<uint32_t>(std::max(1, surface_->height()))));
    const int x = static_cast<int>(Random(static_cast<uint32_t>(std::max(1, surface_->width()))));
    scatter_->Add({suit, rank, x, y});
}

}  // namespace skelda
