// What each paint area of the table draws, as a list of draw calls on a canvas. The
// window's canvas draws card pictures; tests record the calls and check positions.
#pragma once

#include <cstdint>
#include <string>

#include "game/Game.h"

namespace skelda {

constexpr int LoweredOffset = 8;  // an unselected hand card lies this much lower
constexpr int StockStep = 4;
constexpr int MeldStep = 16;
constexpr int ExpandedMeldStep = 32;
constexpr int FaceIconInset = 34;
constexpr int MarkerRow = 32;
// The top strip of a card that holds its corner index; a column never shows less of a card.
constexpr int IndexHeight = 16;
// How far below the note beside the pile the line of a hint or refusal is centred.
constexpr int AdviceLineStep = 24;

class CardCanvas {
public:
    virtual ~CardCanvas() = default;
    virtual void Face(int x, int y, TCard card) = 0;
    virtual void Back(int x, int y) = 0;
    virtual void EmptySlot(int x, int y) = 0;
    virtual void StockEnd(int x, int y) = 0;
    // The computer's face: smiling while it leads or ties, frowning drawn over it while behind.
    virtual void FaceIcon(bool behind, int x, int y) = 0;
    // The card just drawn at (x, y) is one the computer took, melded or laid off in its
    // last turn.
    virtual void Mark(int /*x*/, int /*y*/) {}
    // One line of text beside the cards, its left end at x, centred on y.
    virtual void Note(int /*x*/, int /*y*/, const std::string& /*text*/) {}
    // A hint: an outline round the part of the table it means (the visible part of a
    // card, a meld), drawn over the cards; a pointer up at the pile card whose left edge
    // is at x; its line, or why a move was refused, under the note.
    virtual void HintMark(int /*x*/, int /*y*/, int /*w*/, int /*h*/) {}
    virtual void HintPointer(int /*x*/, int /*y*/) {}
    virtual void AdviceNote(int /*x*/, int /*y*/, const std::string& /*text*/) {}
};

// How the meld areas are laid out: one row per side, and which areas use the tall step
// (bit 0 the computer's, bit 1 the human's).
struct MeldView {
    bool horizontal = false;
    uint8_t expanded = 0;
    // The heights of the computer's and the human's meld areas; 0 for no limit. A column
    // that would run past its area's bottom closes up or folds (see FitColumn).
    int height[2] = {0, 0};
};

// How a meld column of n cards is laid out in an area of the given height: the vertical
// step, and how many cards go in one column before the rest fold into a column 16 pixels
// to the right. The nominal step stays when the column fits; else the step shrinks just
// enough for the last card to show whole, down to the short step; else the column folds
// at the short step into as few columns as show every card's corner index.
struct ColumnFit {
    int step;
    int rows;
};
ColumnFit FitColumn(int cards, int nominalStep, int areaHeight);

void PaintOpponentHand(const Game& game, CardCanvas& canvas, int areaWidth);
void PaintMelds(const Game& game, CardCanvas& canvas, bool yours, const MeldView& view);
void PaintHand(const Game& game, CardCanvas& canvas);
void PaintStock(const Game& game, CardCanvas& canvas);
// Painting the discard pile marks its cards as seen by the computer.
void PaintDiscards(Game& game, CardCanvas& canvas);

// What a hint shown now marks: hand cards, the meld a lay-off goes on (-1: none), the
// stock, the pile card to take from (-1: none).
TCardList HintCards(const Game& game);
int HintMeldIndex(const Game& game);
bool HintMarksStock(const Game& game);
int HintPileIndex(const Game& game);

// The content of one area (not Area::All).
void PaintAreaCards(Area area, Game& game, CardCanvas& canvas, const MeldView& view, int areaWidth);

}  // namespace skelda
