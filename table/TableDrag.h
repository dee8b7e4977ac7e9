// Drag and drop from the hand: a hand card dragged to another place in the hand moves
// there; the selected cards (or the dragged card alone) dropped on the human's meld area
// meld, on a meld lay off, on the discard pile discard. A drop does what the clicks and
// the command would: the cards are selected by clicks on the hand as the player would
// click them, then the Meld or Discard command runs, with all its checks, messages,
// sounds and log lines. A target lights while the cards are over it and it can take them.
// A press and release closer together than the platform's drag distance is a click.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <optional>
#include <vector>

#include "game/Game.h"

namespace skelda {

class TSkelda;
class CardGlides;

class TableDrag : public QObject {
    Q_OBJECT
public:
    TableDrag(TSkelda& table, CardGlides& glides);

    enum class Kind { None, Hand, MeldArea, Meld, Pile };
    struct Target {
        Kind kind = Kind::None;
        int meld = -1;    // Meld: the meld under the cards
        int before = -1;  // Hand: the card (index now) the cards go in front of
        bool lit = false;
        QRectF light;  // table logical pixels
    };
    // Where cards held with their top left corner at `heldAt` and the pointer at `at`
    // (both table logical pixels) would go.
    Target TargetAt(QPointF at, QPointF heldAt, const TCardList& cards) const;
    bool dragging() const { return dragging_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointF ToTable(QPoint areaPos) const;
    QRectF AreaRect(Area area) const;
    QPointF HandCardCorner(int index) const;
    void Move(QPointF at);
    void Finish(QPointF at);
    void Cancel();
    // Clicks on the hand that leave exactly `cards_` selected, as the player would click.
    bool SelectAsClicks();
    bool MeldWouldTake() const;
    bool DiscardWouldTake() const;

    TSkelda& table_;
    CardGlides& glides_;
    std::optional<QPoint> press_;  // in the hand area's pixels
    int pressed_ = -1;
    bool dragging_ = false;
    TCardList cards_;  // the held cards, in hand order
    QPointF grab_;     // the pointer less the held cards' corner
    QPointF heldAt_;   // where the held cards are
    Target target_;
};

}  // namespace skelda
