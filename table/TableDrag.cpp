#include "table/TableDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "table/CardGlides.h"
#include "table/TSkelda.h"

namespace skelda {

TableDrag::TableDrag(TSkelda& table, CardGlides& glides)
    : QObject(&table), table_(table), glides_(glides) {
    table_.areaWidget(Area::PaintBox4)->installEventFilter(this);
}

QPointF TableDrag::ToTable(QPoint areaPos) const {
    const QWidget* hand = table_.areaWidget(Area::PaintBox4);
    return QPointF(hand->mapTo(table_.centralWidget(), areaPos)) / table_.TableScale();
}

QRectF TableDrag::AreaRect(Area area) const {
    const QWidget* w = table_.areaWidget(area);
    const QPointF corner = QPointF(w->mapTo(table_.centralWidget(), QPoint(0, 0)));
    return QRectF(corner / table_.TableScale(), QSizeF(w->size()) / table_.TableScale());
}

QPointF TableDrag::HandCardCorner(int index) const {
    const TCard c = table_.game().YourHand[static_cast<size_t>(index)];
    return AreaRect(Area::PaintBox4).topLeft() +
           QPointF(CardStep * index, (c.Flags & Selected) ? 0 : LoweredOffset);
}

bool TableDrag::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    auto* e = static_cast<QMouseEvent*>(event);
    const QPoint pos = e->position().toPoint();
    const Game& game = table_.game();
    if (type == QEvent::MouseButtonPress) {
        // A drag whose release never came (a box took the mouse): its cards go home.
        if (dragging_) Cancel();
        press_.reset();
        if (e->button() != Qt::LeftButton || !game.controls.PaintBox4 || table_.busy())
            return false;
        const int n = static_cast<int>(game.YourHand.size());
        if (n == 0) return false;
        // Only a press on a card can start a drag.
        const QPointF at = ToTable(pos) - AreaRect(Area::PaintBox4).topLeft();
        if (at.x() < 0 || at.x() >= CardStep * (n - 1) + CardWidth || at.y() < 0 ||
            at.y() >= CardHeight + LoweredOffset)
            return false;
        press_ = pos;
        pressed_ = game.HandIndexAt(static_cast<int>(at.x()), game.YourHand.size());
        return false;
    }
    if (type == QEvent::MouseMove) {
        if (dragging_ && !(e->buttons() & Qt::LeftButton)) {
            Cancel();
            return true;
        }
        if (!press_ || !(e->buttons() & Qt::LeftButton)) return false;
        if (!dragging_) {
            if ((pos - *press_).manhattanLength() < QApplication::startDragDistance()) return false;
            if (!game.controls.PaintBox4 || pressed_ >= static_cast<int>(game.YourHand.size())) {
                press_.reset();
                return false;
            }
            // The selected cards when the card is one of them; else the card alone.
            const TCard card = game.YourHand[static_cast<size_t>(pressed_)];
            cards_.clear();
            int ahead = 0;
            for (size_t i = 0; i < game.YourHand.size(); ++i) {
                const TCard c = game.YourHand[i];
                const bool held = (card.Flags & Selected) ? (c.Flags & Selected) != 0
                                                          : static_cast<int>(i) == pressed_;
                if (!held) continue;
                if (static_cast<int>(i) < pressed_) ++ahead;
                cards_.push_back(c);
            }
            const QPointF corner = HandCardCorner(pressed_) - QPointF(CardStep * ahead, 0);
            grab_ = ToTable(*press_) - corner;
            dragging_ = true;
            table_.ShowKeyboardCues(false);
        }
        Move(ToTable(pos));
        return true;
    }
    // Release.
    if (!dragging_) {
        press_.reset();
        return false;
    }
    if (e->button() != Qt::LeftButton) return true;
    Finish(ToTable(pos));
    return true;
}

void TableDrag::Move(QPointF at) {
    const QPointF heldAt = at - grab_;
    heldAt_ = heldAt;
    glides_.Hold(cards_, heldAt);
    target_ = TargetAt(at, heldAt, cards_);
    glides_.Light(target_.lit ? target_.light : QRectF());
}

TableDrag::Target TableDrag::TargetAt(QPointF at, QPointF heldAt, const TCardList& cards) const {
    const Game& game = table_.game();
    Target t;
    if (cards.empty()) return t;
    const QRectF hand = AreaRect(Area::PaintBox4);
    if (hand.contains(at)) {
        // In front of the card the held cards' left edge is nearest to, among the others.
        std::vector<int> others;
        for (size_t i = 0; i < game.YourHand.size(); ++i)
            if (!ContainsCard(cards, game.YourHand[i])) others.push_back(static_cast<int>(i));
        const int slot =
            std::clamp(static_cast<int>(std::lround((heldAt.x() - hand.left()) / CardStep)), 0,
                       static_cast<int>(others.size()));
        t.kind = Kind::Hand;
        t.before = slot < static_cast<int>(others.size()) ? others[static_cast<size_t>(slot)]
                                                          : static_cast<int>(game.YourHand.size());
        t.lit = true;
        t.light =
            QRectF(hand.left() + CardStep * slot - 3, hand.top(), 4, CardHeight + LoweredOffset);
        return t;
    }
    if (AreaRect(Area::PaintBox6).contains(at)) {
        t.kind = Kind::Pile;
        t.lit = DiscardWouldTake();
        const int n = static_cast<int>(game.DiscardPile.size());
        t.light =
            QRectF(AreaRect(Area::PaintBox6).topLeft() + QPointF(CardStep * std::max(0, n - 1), 0),
                   QSizeF(n > 0 ? CardWidth : CardWidth, CardHeight));
        if (n > 1) t.light.setLeft(AreaRect(Area::PaintBox6).left());
        return t;
    }
    const bool theirs = AreaRect(Area::PaintBox2).contains(at);
    const bool yours = AreaRect(Area::PaintBox3).contains(at);
    if (!theirs && !yours) return t;
    // The meld whose card lies uppermost under the pointer.
    const CardPlaces places =
        PlacesOnTable(game, table_.meldView(), glides_.Origins(), CardPlaces{});
    const Area area = theirs ? Area::PaintBox2 : Area::PaintBox3;
    int best = -1, bestOrder = -1;
    for (size_t m = 0; m < game.Melds.size(); ++m)
        for (const TCard& c : game.Melds[m]) {
            const auto& p = places[static_cast<size_t>(CardId(c))];
            if (!p || p->area != area || p->order < bestOrder) continue;
            if (QRectF(p->at, QSizeF(CardWidth, CardHeight)).contains(at)) {
                best = static_cast<int>(m);
                bestOrder = p->order;
            }
        }
    bool takes = best >= 0;
    if (takes) {
        TCardList trial = game.Melds[static_cast<size_t>(best)];
        for (const TCard& c : cards) {
            if (!Game::CanLayOff(trial, c)) {
                takes = false;
                break;
            }
            trial.push_back(c);
        }
    }
    if (takes) {
        t.kind = Kind::Meld;
        t.meld = best;
        t.lit = MeldWouldTake();
        for (const TCard& c : game.Melds[static_cast<size_t>(best)])
            if (const auto& p = places[static_cast<size_t>(CardId(c))]; p && p->area == area)
                t.light |= QRectF(p->at, QSizeF(CardWidth, CardHeight));
        return t;
    }
    if (!yours) return t;
    t.kind = Kind::MeldArea;
    t.lit = MeldWouldTake();
    t.light = AreaRect(Area::PaintBox3).adjusted(4, 4, -4, -4);
    return t;
}

// What the Meld command would accept with `cards_` selected.
bool TableDrag::MeldWouldTake() const {
    const Game& g = table_.game();
    if (g.TurnPhase != 2 || g.timers.Timer4 || cards_.empty()) return false;
    for (const TCard& c : g.YourHand)
        if ((c.Flags & MustMeld) && !ContainsCard(cards_, c)) return false;
    std::vector<TCardList> trial = g.Melds;
    bool layOff = true;
    for (const TCard& c : cards_) {
        auto m = std::find_if(trial.begin(), trial.end(),
                              [&](const TCardList& meld) { return Game::CanLayOff(meld, c); });
        if (m == trial.end()) {
            layOff = false;
            break;
        }
        m->push_back(c);
    }
    if (layOff) return true;
    for (const TCardList& meld : g.Melds) {
        TCardList joined = cards_;
        joined.insert(joined.end(), meld.begin(), meld.end());
        if (Game::IsValidMeld(joined)) return true;
    }
    return Game::IsValidMeld(cards_);
}

bool TableDrag::DiscardWouldTake() const {
    const Game& g = table_.game();
    if (g.TurnPhase != 2 || g.timers.Timer4 || cards_.size() != 1) return false;
    return std::none_of(g.YourHand.begin(), g.YourHand.end(),
                        [](const TCard& c) { return (c.Flags & MustMeld) != 0; });
}

bool TableDrag::SelectAsClicks() {
    const Game& g = table_.game();
    std::vector<int> clicks;
    for (size_t i = 0; i < g.YourHand.size(); ++i) {
        const bool selected = (g.YourHand[i].Flags & Selected) != 0;
        if (selected != ContainsCard(cards_, g.YourHand[i])) clicks.push_back(static_cast<int>(i));
    }
    for (int i : clicks) {
        if (!table_.game().controls.PaintBox4) return false;
        table_.AreaReleased(Area::PaintBox4, Qt::LeftButton, QPoint(CardStep * i + 1, 1));
    }
    return true;
}

void TableDrag::Cancel() {
    dragging_ = false;
    press_.reset();
    glides_.Drop();
    for (size_t i = 0; i < cards_.size(); ++i)
        glides_.LetGo(CardId(cards_[i]), heldAt_ + QPointF(CardStep * static_cast<int>(i), 0));
    cards_.clear();
    glides_.Sync();
}

void TableDrag::Finish(QPointF at) {
    const QPointF heldAt = at - grab_;
    const Target target = TargetAt(at, heldAt, cards_);
    const TCardList cards = cards_;
    dragging_ = false;
    press_.reset();
    cards_.clear();
    glides_.Drop();
    // The cards glide on from where they were let go.
    for (size_t i = 0; i < cards.size(); ++i)
        glides_.LetGo(CardId(cards[i]), heldAt + QPointF(CardStep * static_cast<int>(i), 0));
    Game& game = table_.game();
    // Every held card must still be in the hand, and the hand still take input.
    std::vector<int> indices;
    for (const TCard& c : cards)
        for (size_t i = 0; i < game.YourHand.size(); ++i)
            if (SameCard(game.YourHand[i], c)) indices.push_back(static_cast<int>(i));
    const bool valid = indices.size() == cards.size() && game.controls.PaintBox4 && !table_.busy();
    cards_ = cards;
    switch (valid ? target.kind : Kind::None) {
        case Kind::Hand: {
            const std::vector<int> order = MoveWithin(game.YourHand.size(), indices, target.before);
            table_.Run([&game, order] { game.ArrangeHand(order); });
            break;
        }
        case Kind::MeldArea:
        case Kind::Meld:
            if (SelectAsClicks()) table_.Run([&game] { game.Button1Click(); });
            break;
        case Kind::Pile:
            if (SelectAsClicks()) table_.Run([&game] { game.Button2Click(); });
            break;
        case Kind::None: break;
    }
    cards_.clear();
    // Whatever did not move glides back to its place.
    glides_.Sync();
}

}  // namespace skelda
