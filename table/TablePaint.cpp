#include "table/TablePaint.h"

#include <algorithm>

namespace skelda {

namespace {

int OwnCards(const TCardList& meld, bool yours) {
    return static_cast<int>(std::count_if(meld.begin(), meld.end(), [yours](const TCard& c) {
        return ((c.Flags & Yours) != 0) == yours;
    }));
}

// The bounding box of what a hint outlines in one area.
struct Outline {
    int left = 0, top = 0, right = -1, bottom = -1;
    void Add(int x, int y, int w, int h) {
        if (right < left) {
            left = x, top = y, right = x + w, bottom = y + h;
            return;
        }
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x + w), bottom = std::max(bottom, y + h);
    }
    void Draw(CardCanvas& canvas) const {
        if (right >= left) canvas.HintMark(left, top, right - left, bottom - top);
    }
};

int StepOf(const MeldView& view, bool yours) {
    return (view.expanded & (yours ? 2 : 1)) ? ExpandedMeldStep : MeldStep;
}

// How many 16-pixel columns a side's part of a meld takes.
int ColumnsOf(const TCardList& meld, bool yours, const MeldView& view) {
    const int n = OwnCards(meld, yours);
    if (n == 0) return 0;
    const int rows = FitColumn(n, StepOf(view, yours), view.height[yours ? 1 : 0]).rows;
    return (n + rows - 1) / rows;
}

}  // namespace

ColumnFit FitColumn(int n, int nominal, int height) {
    if (height <= 0 || n <= 1 || (n - 1) * nominal + CardHeight <= height) return {nominal, n};
    const int whole = (height - CardHeight) / (n - 1);
    if (height >= CardHeight && whole >= MeldStep) return {whole, n};
    // Folded at the short step, as few columns as show every card's index.
    return {MeldStep, std::max(1, (height - IndexHeight) / MeldStep + 1)};
}

void PaintOpponentHand(const Game& game, CardCanvas& canvas, int areaWidth) {
    if (game.OpponentHand.empty()) return;
    // Face up once the game is decided, and while a round's result is shown.
    const bool inPlay = game.GameInPlay() && game.RoundActive;
    for (size_t i = 0; i < game.OpponentHand.size(); ++i) {
        const int x = CardStep * static_cast<int>(i);
        const TCard c = game.OpponentHand[i];
        if (inPlay)
            canvas.Back(x, 0);
        else
            canvas.Face(x, 0, c);
        if (game.LastComputerTurn.Marks(c)) canvas.Mark(x, 0);
    }
    const int x = areaWidth - FaceIconInset;
    canvas.FaceIcon(false, x, 0);
    if (!game.OpponentScores.empty() && game.OpponentTotal() < game.YourTotal())
        canvas.FaceIcon(true, x, 0);
}

void PaintMelds(const Game& game, CardCanvas& canvas, bool yours, const MeldView& view) {
    int x = 0;
    Outline hinted;     // the meld a hinted lay-off goes on, as this area shows it
    bool clip = false;  // ... up to the next card to its right, which covers the rest
    const int hintMeld = HintMeldIndex(game);
    for (size_t m = 0; m < game.Melds.size(); ++m) {
        const TCardList& meld = game.Melds[m];
        const ColumnFit fit =
            FitColumn(OwnCards(meld, yours), StepOf(view, yours), view.height[yours ? 1 : 0]);
        int i = 0;
        for (const TCard& c : meld) {
            if (((c.Flags & Yours) != 0) != yours) continue;
            const int cx = view.horizontal ? x : x + CardStep * (i / fit.rows);
            const int cy = view.horizontal ? 0 : fit.step * (i % fit.rows);
            if (clip && cx > hinted.left) {
                hinted.right = std::min(hinted.right, std::max(cx, hinted.left + CardStep));
                clip = false;
            }
            canvas.Face(cx, cy, c);
            // The computer's cards, wherever it laid them, show in its own area.
            if (!yours && game.LastComputerTurn.Marks(c)) canvas.Mark(cx, cy);
            if (static_cast<int>(m) == hintMeld) hinted.Add(cx, cy, CardWidth, CardHeight);
            if (view.horizontal) x += CardStep;
            ++i;
        }
        if (static_cast<int>(m) == hintMeld) clip = true;
        // A folded column moves the later columns along in both areas alike.
        if (!view.horizontal)
            x +=
                CardStep * std::max({1, ColumnsOf(meld, false, view), ColumnsOf(meld, true, view)});
    }
    hinted.Draw(canvas);
}

void PaintHand(const Game& game, CardCanvas& canvas) {
    for (size_t i = 0; i < game.YourHand.size(); ++i) {
        const TCard c = game.YourHand[i];
        canvas.Face(CardStep * static_cast<int>(i), (c.Flags & Selected) ? 0 : LoweredOffset, c);
    }
    // A hint's cards: the part of each that shows, outlined over its neighbours.
    const TCardList hinted = HintCards(game);
    for (size_t i = 0; i < game.YourHand.size() && !hinted.empty(); ++i) {
        const TCard c = game.YourHand[i];
        if (!ContainsCard(hinted, c)) continue;
        const bool last = i + 1 == game.YourHand.size();
        canvas.HintMark(CardStep * static_cast<int>(i), (c.Flags & Selected) ? 0 : LoweredOffset,
                        last ? CardWidth : CardStep, CardHeight);
    }
}

void PaintStock(const Game& game, CardCanvas& canvas) {
    canvas.StockEnd(0, 0);
    const int n = 52 - game.NextCard;
    for (int b = 0; b < n && b < 52; ++b) canvas.Back(StockStep * b, 0);
    if (n >= 1 && HintMarksStock(game))
        canvas.HintMark(StockStep * (std::min(n, 52) - 1), 0, CardWidth, CardHeight);
}

void PaintDiscards(Game& game, CardCanvas& canvas) {
    canvas.EmptySlot(0, 0);
    game.MarkDiscardsSeen();
    const int hinted = HintPileIndex(game);
    for (size_t i = 0; i < game.DiscardPile.size(); ++i)
        canvas.Face(CardStep * static_cast<int>(i), 0, game.DiscardPile[i]);
    if (hinted >= 0) {
        const bool top = hinted + 1 == static_cast<int>(game.DiscardPile.size());
        canvas.HintMark(CardStep * hinted, 0, top ? CardWidth : CardStep, CardHeight);
        canvas.HintPointer(CardStep * hinted, CardHeight);
    }
    // What the computer did, in the free space beside the pile.
    const std::string note = game.ComputerTurnSummary();
    const int n = static_cast<int>(game.DiscardPile.size());
    const int x = CardStep * std::max(0, n - 1) + CardWidth + 12;
    if (!note.empty()) canvas.Note(x, CardHeight / 2, note);
    // A hint's line or why a move was refused, under it.
    const std::string advice = game.AdviceLine();
    if (!advice.empty())
        canvas.AdviceNote(x, CardHeight / 2 + (note.empty() ? 0 : AdviceLineStep), advice);
}

TCardList HintCards(const Game& game) {
    const TableAdvice* a = game.CurrentAdvice();
    return a ? a->handCards : TCardList();
}

int HintMeldIndex(const Game& game) {
    const TableAdvice* a = game.CurrentAdvice();
    return a ? a->meldIndex : -1;
}

bool HintMarksStock(const Game& game) {
    const TableAdvice* a = game.CurrentAdvice();
    return a && a->stock;
}

int HintPileIndex(const Game& game) {
    const TableAdvice* a = game.CurrentAdvice();
    if (!a || a->pileIndex < 0 || a->pileIndex >= static_cast<int>(game.DiscardPile.size()))
        return -1;
    return a->pileIndex;
}

void PaintAreaCards(Area area, Game& game, CardCanvas& canvas, const MeldView& view,
                    int areaWidth) {
    switch (area) {
        case Area::PaintBox1: PaintOpponentHand(game, canvas, areaWidth); break;
        case Area::PaintBox2: PaintMelds(game, canvas, false, view); break;
        case Area::PaintBox3: PaintMelds(game, canvas, true, view); break;
        case Area::PaintBox4: PaintHand(game, canvas); break;
        case Area::PaintBox5: PaintStock(game, canvas); break;
        case Area::PaintBox6: PaintDiscards(game, canvas); break;
        case Area::All: break;
    }
}

}  // namespace skelda
