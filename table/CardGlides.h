// Cards that glide: after every change of the table, each visible card's place (which
// card, where, face up or down) is worked out from the table's own painting and compared
// with where the card was shown before. A card that changed place is drawn on a layer over
// the table, moving from the old place to the new one over a short time at display rate,
// while the areas leave it out; the rest stay where they are. Only what a frame changes is
// repainted, and the cards are copied from their ready pictures.
//
// The layer also carries the cards held by a drag and the light on the drop target.
#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "game/Game.h"
#include "table/TablePaint.h"

namespace skelda {

class TSkelda;

// A card's one number: suit × 13 + rank (a damaged card folds into the deck's range).
inline int CardId(TCard c) {
    return (c.Suit % 4) * 13 + c.Rank % 13;
}

// Where a card is shown: its top left corner in the table's logical pixels.
struct CardPlace {
    Area area = Area::All;  // All: nowhere in an area (a card let go by a drag)
    QPointF at;
    bool faceUp = true;
    int order = 0;  // drawing order: later cards lie over earlier ones
    bool operator==(const CardPlace&) const = default;
};
using CardPlaces = std::array<std::optional<CardPlace>, 52>;

// Every card the table shows now, by card, from the painting of each area; `origin`
// gives each area's top left corner in the table's logical pixels. A card that shows in
// two places (the moment between its arrival and its leaving) takes the one that is not
// in `before`'s area.
CardPlaces PlacesOnTable(const Game& game, const MeldView& view,
                         const std::array<QPointF, 7>& origin, const CardPlaces& before);

class CardGlides : public QWidget {
    Q_OBJECT
public:
    CardGlides(TSkelda& table, QWidget* surface);

    // Animations on or off; off, cards jump as they always did and nothing is left out.
    void SetEnabled(bool on);
    bool enabled() const { return enabled_; }

    // Brings the shown places up to the game: cards that moved start gliding.
    void Sync();
    // A card let go by a drag at `at` (table logical pixels) glides from there.
    void LetGo(int id, QPointF at);
    bool gliding() const { return !flights_.empty(); }
    int glidingCount() const { return static_cast<int>(flights_.size()); }
    const CardPlaces& places() const { return shown_; }
    // Each area's top left corner in the table's logical pixels (index: the area).
    std::array<QPointF, 7> Origins() const;
    // Whether an area leaves the card out: it glides, is held, or shows elsewhere.
    bool LeavesOut(Area area, int id) const;

    // One frame: moves every gliding card to where the clock says and repaints what
    // changed. Runs from the display-rate timer; tests and the benchmark call it too.
    void Frame();
    // The clock the glides run on, in milliseconds (the benchmark steps its own).
    void SetClock(std::function<qint64()> clock) { clock_ = std::move(clock); }
    // How long a glide over `distance` logical pixels takes, in milliseconds.
    int Duration(qreal distance) const;

    // The cards a drag holds, their top left corner at `at`, and the target lit (an empty
    // rectangle: none); all in table logical pixels.
    void Hold(const TCardList& cards, QPointF at);
    void Light(const QRectF& target);
    void Drop();
    const TCardList& held() const { return held_; }
    QRectF lit() const { return light_; }

    // The CardCanvas the table's areas paint through: it leaves out what LeavesOut says.
    class Filter : public CardCanvas {
    public:
        Filter(const CardGlides& glides, Area area, const Game& game, CardCanvas& inner)
            : g_(glides), area_(area), game_(game), inner_(inner) {}
        void Face(int x, int y, TCard card) override;
        void Back(int x, int y) override;
        void EmptySlot(int x, int y) override { inner_.EmptySlot(x, y); }
        void StockEnd(int x, int y) override { inner_.StockEnd(x, y); }
        void FaceIcon(bool behind, int x, int y) override { inner_.FaceIcon(behind, x, y); }
        void Mark(int x, int y) override {
            if (!skipped_) inner_.Mark(x, y);
        }
        void Note(int x, int y, const std::string& text) override { inner_.Note(x, y, text); }
        void HintMark(int x, int y, int w, int h) override { inner_.HintMark(x, y, w, h); }
        void HintPointer(int x, int y) override { inner_.HintPointer(x, y); }
        void AdviceNote(int x, int y, const std::string& text) override {
            inner_.AdviceNote(x, y, text);
        }

    private:
        const CardGlides& g_;
        Area area_;
        const Game& game_;
        CardCanvas& inner_;
        int calls_ = 0;
        bool skipped_ = false;
    };

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Flight {
        int id;
        QPointF from, to;
        bool fromFace, toFace;
        Area toArea;
        qint64 start;
        int duration;
        QRect drawn;        // where the last frame drew it, widget pixels
        bool face = false;  // ... and which side showed
    };
    QPointF PositionOf(const Flight& f, qint64 now) const;
    bool FaceShown(const Flight& f, qint64 now) const;
    QRect ScreenRect(QPointF logical) const;
    QRect HeldRect() const;
    void Adopt(const CardPlaces& now);
    void UpdateArea(Area area, QPointF logical);

    TSkelda& table_;
    QWidget* surface_;
    bool enabled_ = true;
    CardPlaces shown_{};
    std::array<bool, 52> onTable_{};  // shown now; else shown_ keeps its last place
    std::array<QPointF, 7> origins_{};
    qreal scale_ = 0;
    std::vector<Flight> flights_;
    std::array<std::optional<QPointF>, 52> letGo_{};
    QTimer frames_;
    QElapsedTimer elapsed_;
    std::function<qint64()> clock_;
    TCardList held_;
    QPointF heldAt_;
    QRectF light_;
};

}  // namespace skelda
