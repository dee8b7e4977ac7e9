// The table as bit masks, and a fast policy that plays a round out from any position.
// The engine of the Master level and of the hint plays every candidate move out with it
// many times, so everything here is small and allocation-free.
#pragma once

#include <cstdint>

#include "game/Card.h"

namespace skelda::master {

using Mask = uint64_t;
// The most melds of three or more that 52 cards can make.
constexpr int kMaxMelds = 18;

// A card's id: suit × 13 + rank.
inline int CardId(TCard c) {
    return c.Suit * 13 + c.Rank;
}
inline TCard CardOf(int id) {
    return TCard{static_cast<uint8_t>(id / 13), static_cast<uint8_t>(id % 13), 0};
}
constexpr Mask Bit(int id) {
    return Mask{1} << id;
}
Mask MaskOf(const TCardList& cards);
int Points(int id);         // 15, 10 or 5, the Ace counted high
int HandPoints(Mask hand);  // deadwood of a hand
inline int Count(Mask m) {
    return __builtin_popcountll(m);
}

// A run on the table: run values lo..hi, 0 the Ace read low up to 13 the Ace read high.
struct TableRun {
    int8_t suit, lo, hi;
};

struct TableMelds {
    uint16_t sets = 0;  // ranks with a set on the table
    TableRun runs[26];
    int runCount = 0;
    Mask onTable = 0;

    // Cards that some meld on the table would take now.
    Mask LayOffMask() const;
    // Adds a meld (a set or a run); the points it scores for a side whose runs count a
    // low Ace 5 when `aceLow`.
    int AddMeld(Mask meld, bool aceLow);
    // Lays a card off on the first meld that takes it; the points it scores (0 when no
    // meld takes it).
    int LayOff(int id);
};

// Whether the card at pile index `i` may be taken: with `handAndTaken` (the hand and
// the cards from i to the top) it makes a set or a run, or a table meld takes it.
bool CanTake(Mask handAndTaken, int bottom, const TableMelds& table);

// The melds a hand can lay down: runs first (`order` 1), sets first (2), or whichever of
// the two melds more points (0).
int FindMelds(Mask hand, Mask out[kMaxMelds], int order = 0);

struct PlayState {
    Mask hand[2] = {0, 0};   // 0: the seat that decides, 1: its opponent
    int points[2] = {0, 0};  // meld points of the round so far
    bool aceLow[2] = {true, true};
    TableMelds table;
    uint8_t pile[52];
    int pileCount = 0;
    uint8_t stock[52];  // the next card to draw is stock[stockCount - 1]
    int stockCount = 0;
    bool over = false;

    int RoundScore(int side) const { return points[side] - HandPoints(hand[side]); }
    // Takes the pile from index i into the side's hand.
    void TakePile(int side, int i);
    // Draws from the stock; false (and the round over) when it is empty.
    bool DrawStock(int side, int* card = nullptr);
    // Lays down `melds` and lays off `layOffs` (in any order that works) for the side.
    void Meld(int side, const Mask* melds, int count, Mask layOffs);
    // Discards; the round is over when the hand is then empty.
    void Discard(int side, int id);
};

// The policy's choices: the deepest pile index worth taking (-1: the stock), every meld
// and lay-off, and the card it would throw (never `keep`; -1 when the hand is empty).
int PolicyDraw(const PlayState& s, int side);
void PolicyMeld(PlayState& s, int side);
int PolicyDiscard(const PlayState& s, int side, Mask keep);
// The cards of `hand` that the meld phase would lay off after `melds`.
Mask LayOffsAfter(const TableMelds& table, Mask hand);

// Plays on with `side` to draw, until the round ends or `maxTurns` turns have passed.
void PlayOut(PlayState& s, int side, int maxTurns);
// One whole turn of the policy for `side` (draw, meld, discard).
void PolicyTurn(PlayState& s, int side);

}  // namespace skelda::master
