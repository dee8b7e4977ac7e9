#include "table/TablePaint.h"

namespace skelda {

void PaintOpponentHand(const Game& game, CardCanvas& canvas, int areaWidth) {
    if (game.OpponentHand.empty()) return;
    const bool inPlay = game.GameInPlay();
    for (size_t i = 0; i < game.OpponentHand.size(); ++i) {
        const int x = CardStep * static_cast<int>(i);
        if (inPlay)
            canvas.Back(x, 0);
        else
            canvas.Face(x, 0, game.OpponentHand[i]);
    }
    const int x = areaWidth - FaceIconInset;
    canvas.FaceIcon(false, x, 0);
    if (!game.OpponentScores.empty() && game.OpponentTotal() < game.YourTotal())
        canvas.FaceIcon(true, x, 0);
}

void PaintMelds(const Game& game, CardCanvas& canvas, bool yours, const MeldView& view) {
    const uint8_t bit = yours ? 2 : 1;
    const int step = (view.expanded & bit) ? ExpandedMeldStep : MeldStep;
    int x = 0;
    for (const TCardList& meld : game.Melds) {
        int y = 0;
        for (const TCard& c : meld) {
            if (((c.Flags & Yours) != 0) != yours) continue;
            canvas.Face(x, y, c);
            if (view.horizontal)
                x += CardStep;
            else
                y += step;
        }
        if (!view.horizontal) x += CardStep;
    }
}

void PaintHand(const Game& game, CardCanvas& canvas) {
    for (size_t i = 0; i < game.YourHand.size(); ++i) {
        const TCard c = game.YourHand[i];
        canvas.Face(CardStep * static_cast<int>(i), (c.Flags & Selected) ? 0 : LoweredOffset, c);
    }
}

void PaintStock(const Game& game, CardCanvas& canvas) {
    canvas.StockEnd(0, 0);
    const int n = 52 - game.NextCard;
    for (int b = 0; b < n && b < 52; ++b) canvas.Back(StockStep * b, 0);
}

void PaintDiscards(Game& game, CardCanvas& canvas) {
    canvas.EmptySlot(0, 0);
    game.MarkDiscardsSeen();
    for (size_t i = 0; i < game.DiscardPile.size(); ++i)
        canvas.Face(CardStep * static_cast<int>(i), 0, game.DiscardPile[i]);
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
