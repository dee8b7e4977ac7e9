// What each paint area of the table draws, as a list of draw calls on a canvas. The
// window's canvas draws card pictures; tests record the calls and check positions.
#pragma once

#include <cstdint>

#include "game/Game.h"

namespace skelda {

constexpr int LoweredOffset = 8;  // an unselected hand card lies this much lower
constexpr int StockStep = 4;
constexpr int MeldStep = 16;
constexpr int ExpandedMeldStep = 32;
constexpr int FaceIconInset = 34;
constexpr int MarkerRow = 32;

class CardCanvas {
public:
    virtual ~CardCanvas() = default;
    virtual void Face(int x, int y, TCard card) = 0;
    virtual void Back(int x, int y) = 0;
    virtual void EmptySlot(int x, int y) = 0;
    virtual void StockEnd(int x, int y) = 0;
    // The computer's face: smiling while it leads or ties, frowning drawn over it while behind.
    virtual void FaceIcon(bool behind, int x, int y) = 0;
};

// How the meld areas are laid out: one row per side, and which areas use the tall step
// (bit 0 the computer's, bit 1 the human's).
struct MeldView {
    bool horizontal = false;
    uint8_t expanded = 0;
};

void PaintOpponentHand(const Game& game, CardCanvas& canvas, int areaWidth);
void PaintMelds(const Game& game, CardCanvas& canvas, bool yours, const MeldView& view);
void PaintHand(const Game& game, CardCanvas& canvas);
void PaintStock(const Game& game, CardCanvas& canvas);
// Painting the discard pile marks its cards as seen by the computer.
void PaintDiscards(Game& game, CardCanvas& canvas);

// The content of one area (not Area::All).
void PaintAreaCards(Area area, Game& game, CardCanvas& canvas, const MeldView& view, int areaWidth);

}  // namespace skelda
