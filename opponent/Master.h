// The Master level's engine: a turn is chosen by sampling the cards the seat cannot see
// consistently with what it has seen, playing every candidate out in each sample with the
// fast policy, and keeping the candidate with the best chance of winning the game.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "game/Card.h"
#include "opponent/SeatView.h"

namespace skelda {

constexpr uint8_t MasterLevel = 4;

namespace master {

// Samples per decision: the normal limit, so that a decision is the same on every
// machine. The deadline (processor time of the deciding thread) is only a safety net
// for a slow machine: past it the best candidate so far is played.
constexpr int kSamples = 48;
constexpr double kDeadlineMs = 40.0;

struct DrawDecision {
    int pileIndex = -1;  // -1: the stock; else take the pile from this index
    double chance = 0;   // the estimated chance of winning the game
    double stockChance = 0;
};

struct MeldPlan {
    std::vector<TCardList> melds;  // new melds, each in hand order
    TCardList layOffs;             // cards to lay off, in an order that works
    bool discards = false;         // false: the hand is melded away (floating)
    TCard discard{};
    double chance = 0;
    TCardList heldBack;  // cards the fullest meld-down would place that the plan keeps
};

// What the engine weighs, per seat. The game plays with the defaults; the simulator
// changes them to measure what each part is worth.
struct Tuning {
    int samples = kSamples;     // 1 to 200
    bool gameChance = true;     // false: the difference of one round's points instead
    bool holdBack = true;       // also weigh keeping melds and lay-offs back
    double placeBonus = 0.001;  // added to the chance per point put on the table now
};
Tuning& SeatTuning(Seat seat);

// The chance that the side with `mine` points wins the game against `theirs`, once the
// round that gave those totals is over.
double WinChance(int mine, int theirs);

// The draw: the stock or a pile index. The view is one before the draw.
DrawDecision DecideDraw(const SeatView& view);
// Melds, lay-offs and the discard. The view is one after the draw.
MeldPlan DecideMeldAndDiscard(const SeatView& view);

// Receives the processor time of every decision in milliseconds (the simulator's figures).
void SetDecisionObserver(std::function<void(double ms)> observer);

}  // namespace master
}  // namespace skelda
