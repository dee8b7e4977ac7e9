#include "table/CardGlides.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "table/TSkelda.h"

namespace skelda {

namespace {

// The number of the card an area draws as its k-th card picture; backs carry none of
// their own: the computer's hand draws its cards in order, the stock the deck from its end.
int IdOfDrawn(const Game& game, Area area, int k, const TCard* face) {
    if (face) return CardId(*face);
    if (area == Area::PaintBox1 && k >= 0 && k < static_cast<int>(game.OpponentHand.size()))
        return CardId(game.OpponentHand[static_cast<size_t>(k)]);
    if (area == Area::PaintBox5 && k >= 0 && k < 52) return CardId(game.Deck[51 - k]);
    return -1;
}

// Writes down where an area's painting puts each card.
class PlaceRecorder : public CardCanvas {
public:
    PlaceRecorder(const Game& game, Area area, QPointF origin, int& order,
                  std::array<std::vector<CardPlace>, 52>& found)
        : game_(game), area_(area), origin_(origin), order_(order), found_(found) {}
    void Face(int x, int y, TCard card) override { Note(x, y, &card); }
    void Back(int x, int y) override { Note(x, y, nullptr); }
    void EmptySlot(int, int) override {}
    void StockEnd(int, int) override {}
    void FaceIcon(bool, int, int) override {}

private:
    void Note(int x, int y, const TCard* face) {
        const int id = IdOfDrawn(game_, area_, calls_++, face);
        if (id < 0) return;
        found_[static_cast<size_t>(id)].push_back(
            CardPlace{area_, origin_ + QPointF(x, y), face != nullptr, order_++});
    }
    const Game& game_;
    Area area_;
    QPointF origin_;
    int& order_;
    std::array<std::vector<CardPlace>, 52>& found_;
    int calls_ = 0;
};

}  // namespace

CardPlaces PlacesOnTable(const Game& game, const MeldView& view,
                         const std::array<QPointF, 7>& origin, const CardPlaces& before) {
    std::array<std::vector<CardPlace>, 52> found;
    int order = 0;
    for (int a = 1; a <= 6; ++a) {
        const Area area = static_cast<Area>(a);
        PlaceRecorder rec(game, area, origin[static_cast<size_t>(a)], order, found);
        if (area == Area::PaintBox6) {
            // The pile's painting marks its cards as seen; a copy keeps the game as it is.
            Game copy(game);
            PaintDiscards(copy, rec);
        } else {
            PaintAreaCards(area, const_cast<Game&>(game), rec, view, 0);
        }
    }
    CardPlaces places{};
    for (size_t id = 0; id < 52; ++id) {
        const std::vector<CardPlace>& at = found[id];
        if (at.empty()) continue;
        places[id] = at.front();
        // Shown in two places: it is on its way to the one it was not in before.
        if (at.size() > 1 && before[id])
            for (const CardPlace& p : at)
                if (p.area != before[id]->area) {
                    places[id] = p;
                    break;
                }
    }
    return places;
}

// ----- The painting filter -----

void CardGlides::Filter::Face(int x, int y, TCard card) {
    ++calls_;
    skipped_ = g_.LeavesOut(area_, CardId(card));
    if (!skipped_) inner_.Face(x, y, card);
}

void CardGlides::Filter::Back(int x, int y) {
    const int id = IdOfDrawn(game_, area_, calls_++, nullptr);
    skipped_ = id >= 0 && g_.LeavesOut(area_, id);
    if (!skipped_) inner_.Back(x, y);
}

// ----- The layer -----

CardGlides::CardGlides(TSkelda& table, QWidget* surface)
    : QWidget(surface), table_(table), surface_(surface) {
    setObjectName(QStringLiteral("CardGlides"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    elapsed_.start();
    clock_ = [this] { return elapsed_.elapsed(); };
    frames_.setTimerType(Qt::PreciseTimer);
    connect(&frames_, &QTimer::timeout, this, &CardGlides::Frame);
    setGeometry(surface->rect());
    show();
}

void CardGlides::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    for (const Flight& f : flights_) UpdateArea(f.toArea, f.to);
    flights_.clear();
    frames_.stop();
    // From now on the places start from what the table shows.
    scale_ = 0;
    if (on) Sync();
    update();
}

std::array<QPointF, 7> CardGlides::Origins() const {
    std::array<QPointF, 7> o{};
    const qreal s = table_.TableScale();
    for (int a = 1; a <= 6; ++a)
        if (QWidget* w = table_.areaWidget(static_cast<Area>(a)))
            o[static_cast<size_t>(a)] = QPointF(w->mapTo(surface_, QPoint(0, 0))) / s;
    return o;
}

int CardGlides::Duration(qreal distance) const {
    const int ms = static_cast<int>(std::min(460.0, 170.0 + distance * 0.3));
    return table_.quickPlay() ? ms / 2 : ms;
}

void CardGlides::Adopt(const CardPlaces& now) {
    for (size_t id = 0; id < 52; ++id) {
        onTable_[id] = now[id].has_value();
        if (now[id]) shown_[id] = now[id];
    }
}

void CardGlides::Sync() {
    if (!enabled_) return;
    if (geometry() != surface_->rect()) setGeometry(surface_->rect());
    const std::array<QPointF, 7> origins = Origins();
    const qreal scale = table_.TableScale();
    const CardPlaces now = PlacesOnTable(table_.game(), table_.meldView(), origins, shown_);
    if (origins != origins_ || scale != scale_) {
        // A new size or scale: everything simply shows where it now is.
        origins_ = origins;
        scale_ = scale;
        flights_.clear();
        letGo_ = {};
        Adopt(now);
        update();
        return;
    }
    const qint64 t = clock_();
    std::vector<int> fresh;  // cards that start now to leave an area for another
    for (size_t id = 0; id < 52; ++id) {
        if (!now[id]) {
            // Gone from the table (for now): its last place is kept, to glide from.
            std::erase_if(flights_, [&](const Flight& f) {
                if (f.id != static_cast<int>(id)) return false;
                update(f.drawn);
                return true;
            });
            continue;
        }
        const CardPlace& is = *now[id];
        auto flying = std::find_if(flights_.begin(), flights_.end(),
                                   [&](const Flight& f) { return f.id == static_cast<int>(id); });
        QPointF from;
        bool fromFace = true;
        Area fromArea = Area::All;
        bool glide = true;
        if (letGo_[id]) {
            from = *letGo_[id];
            letGo_[id].reset();
        } else if (flying != flights_.end()) {
            if (flying->to == is.at && flying->toArea == is.area) continue;
            from = PositionOf(*flying, t);
            fromFace = FaceShown(*flying, t);
        } else if (shown_[id]) {
            const CardPlace& was = *shown_[id];
            fromArea = was.area;
            if (was.area == is.area && was.at == is.at && was.faceUp == is.faceUp) continue;
            from = was.at;
            fromFace = was.faceUp;
            // Backs are all alike: one moving along its own row shows nothing; a hand
            // card lifted or lowered only changes its height, which needs no glide.
            if (was.area == is.area && !was.faceUp && !is.faceUp) glide = false;
            if (was.area == Area::PaintBox4 && is.area == Area::PaintBox4 &&
                was.at.x() == is.at.x())
                glide = false;
        } else {
            glide = false;  // appears from nowhere
        }
        // Cards go back into the stock only at a new deck: they are simply there.
        if (is.area == Area::PaintBox5) glide = false;
        if (fromArea != Area::All) UpdateArea(fromArea, from);
        if (flying != flights_.end()) {
            update(flying->drawn);
            flights_.erase(flying);
        }
        if (!glide) continue;
        const QPointF d = is.at - from;
        Flight f{static_cast<int>(id),
                 from,
                 is.at,
                 fromFace,
                 is.faceUp,
                 is.area,
                 t,
                 Duration(std::hypot(d.x(), d.y())),
                 QRect(),
                 fromFace};
        // Cards taken from the pile wait a moment under the pick-up marker.
        if (fromArea == Area::PaintBox6) f.start += table_.quickPlay() ? 100 : 300;
        UpdateArea(is.area, is.at);
        flights_.push_back(f);
        if (fromArea != Area::All && fromArea != is.area) fresh.push_back(f.id);
    }
    // Several cards leaving for one place go one after the other, from the left.
    std::vector<Flight*> leaving;
    for (Flight& f : flights_)
        if (std::find(fresh.begin(), fresh.end(), f.id) != fresh.end()) leaving.push_back(&f);
    std::sort(leaving.begin(), leaving.end(),
              [](const Flight* x, const Flight* y) { return x->from.x() < y->from.x(); });
    for (size_t k = 0; k < leaving.size(); ++k)
        leaving[k]->start += std::min<qint64>(static_cast<qint64>(k) * 35, 280);
    // Drawn in the order they leave, so cards waiting on the pile lie as they lay there.
    std::stable_sort(flights_.begin(), flights_.end(), [](const Flight& x, const Flight& y) {
        return x.start != y.start ? x.start < y.start : x.from.x() < y.from.x();
    });
    Adopt(now);
    if (!flights_.empty()) {
        if (!frames_.isActive()) {
            raise();
            const QScreen* screen = this->screen();
            const qreal rate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
            frames_.start(std::max(4, static_cast<int>(1000.0 / rate)));
        }
        Frame();
    }
}

void CardGlides::LetGo(int id, QPointF at) {
    if (id >= 0 && id < 52 && enabled_) letGo_[static_cast<size_t>(id)] = at;
}

bool CardGlides::LeavesOut(Area area, int id) const {
    for (const TCard& c : held_)
        if (CardId(c) == id && area == Area::PaintBox4) return true;
    if (!enabled_ || id < 0 || id >= 52) return false;
    for (const Flight& f : flights_)
        if (f.id == id) return true;
    const auto& p = shown_[static_cast<size_t>(id)];
    return onTable_[static_cast<size_t>(id)] && p && p->area != area;
}

QPointF CardGlides::PositionOf(const Flight& f, qint64 now) const {
    if (now <= f.start || f.duration <= 0) return now <= f.start ? f.from : f.to;
    const qreal x = std::min<qreal>(1.0, static_cast<qreal>(now - f.start) / f.duration);
    // Eased in and out: the card leaves gently and settles.
    const qreal e = x < 0.5 ? 4 * x * x * x : 1 - std::pow(-2 * x + 2, 3) / 2;
    return f.from + (f.to - f.from) * e;
}

bool CardGlides::FaceShown(const Flight& f, qint64 now) const {
    if (f.fromFace == f.toFace) return f.toFace;
    return now < f.start + f.duration / 2 ? f.fromFace : f.toFace;
}

QRect CardGlides::ScreenRect(QPointF p) const {
    const qreal s = table_.TableScale();
    return QRectF((p.x() - 3) * s, (p.y() - 2) * s, (CardWidth + 6) * s, (CardHeight + 5) * s)
        .toAlignedRect();
}

QRect CardGlides::HeldRect() const {
    if (held_.empty()) return {};
    const int n = static_cast<int>(held_.size());
    const qreal s = table_.TableScale();
    return QRectF((heldAt_.x() - 4) * s, (heldAt_.y() - 4) * s,
                  (CardStep * (n - 1) + CardWidth + 10) * s, (CardHeight + 10) * s)
        .toAlignedRect();
}

void CardGlides::UpdateArea(Area area, QPointF logical) {
    QWidget* w = table_.areaWidget(area);
    if (!w) return;
    const QPoint corner = w->mapTo(surface_, QPoint(0, 0));
    // The card's rectangle and the golden edge round it, in the area's pixels.
    w->update(ScreenRect(logical).adjusted(-4, -4, 4, 4).translated(-corner));
}

void CardGlides::Frame() {
    const qint64 t = clock_();
    QRegion dirty;
    for (auto f = flights_.begin(); f != flights_.end();) {
        if (t >= f->start + f->duration) {
            dirty += f->drawn;
            UpdateArea(f->toArea, f->to);
            f = flights_.erase(f);
            continue;
        }
        // Only a card that moved (or turned over) is drawn again.
        const QRect r = ScreenRect(PositionOf(*f, t));
        const bool face = FaceShown(*f, t);
        if (r != f->drawn || face != f->face) {
            dirty += f->drawn;
            dirty += r;
            f->drawn = r;
            f->face = face;
        }
        ++f;
    }
    if (!dirty.isEmpty()) update(dirty);
    if (flights_.empty()) frames_.stop();
}

void CardGlides::Hold(const TCardList& cards, QPointF at) {
    QRegion dirty(HeldRect());
    const bool changed = cards.size() != held_.size();
    held_ = cards;
    heldAt_ = at;
    dirty += HeldRect();
    update(dirty);
    // The hand leaves out what is held.
    if (changed) table_.areaWidget(Area::PaintBox4)->update();
    raise();
}

void CardGlides::Light(const QRectF& target) {
    if (target == light_) return;
    const qreal s = table_.TableScale();
    auto screen = [s](const QRectF& r) {
        // The frame round the target, its pen included.
        const QRectF outer = r.adjusted(-6, -6, 6, 6);
        return QRectF(outer.topLeft() * s, outer.size() * s).toAlignedRect().adjusted(-1, -1, 1, 1);
    };
    if (!light_.isEmpty()) update(screen(light_));
    light_ = target;
    if (!light_.isEmpty()) update(screen(light_));
}

void CardGlides::Drop() {
    Light(QRectF());
    update(HeldRect());
    held_.clear();
    table_.areaWidget(Area::PaintBox4)->update();
}

void CardGlides::paintEvent(QPaintEvent* event) {
    if (flights_.empty() && held_.empty() && light_.isEmpty()) return;
    QPainter p(this);
    p.setClipRegion(event->region());
    const qreal s = table_.TableScale();
    const qreal dpr = devicePixelRatioF();
    auto blit = [&](QPointF logical, const QPixmap& pm) {
        const QPointF at(std::round(logical.x() * s * dpr) / dpr,
                         std::round(logical.y() * s * dpr) / dpr);
        p.drawPixmap(QRectF(at, QSizeF(pm.size()) / pm.devicePixelRatio()), pm, QRectF(pm.rect()));
    };
    auto card = [&](QPointF at, int id, bool face) {
        blit(at + QPointF(-2, 1), table_.CardShadow());
        blit(at, face ? table_.FacePixmap(id / 13, id % 13) : table_.BackPixmap());
    };
    if (!light_.isEmpty()) {
        p.save();
        p.scale(s, s);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(255, 220, 60, 45));
        p.setPen(QPen(QColor(255, 214, 0), 3));
        p.drawRoundedRect(light_.adjusted(-3, -3, 3, 3), 7, 7);
        p.restore();
    }
    const qint64 t = clock_();
    for (const Flight& f : flights_) card(PositionOf(f, t), f.id, FaceShown(f, t));
    // The pick-up marker stays in sight over the cards that wait to leave the pile.
    if (const std::optional<QPoint> marker = table_.pickupMarker(); marker && !flights_.empty())
        blit(origins_[static_cast<size_t>(Area::PaintBox6)] + QPointF(*marker),
             table_.MarkerPixmap());
    for (size_t i = 0; i < held_.size(); ++i) {
        const QPointF at = heldAt_ + QPointF(CardStep * static_cast<int>(i), 0);
        // Held cards lift off the table: a deeper shadow under them.
        blit(at + QPointF(-1, 4), table_.CardShadow());
        card(at, CardId(held_[i]), true);
    }
}

}  // namespace skelda
