// The human's side of the simulator: players that see the table and act only through
// the handlers a human reaches with the mouse (the stock, the discard pile, the hand, the
// Meld and Discard buttons).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "game/Game.h"

namespace skelda::sim {

enum class MoveKind { DealTick, ComputerTurn, Stock, Pile, Select, Meld, Discard };
struct Move {
    MoveKind kind;
    int arg = 0;  // the pile or hand index of a click
};
std::string Describe(Move m);

// The human's handlers; every call is one action, reported to `after` once it is done.
class Table {
public:
    Table(Game& game, std::function<void(Move)> after) : g(game), after_(std::move(after)) {}
    void Stock();
    void Pile(int index);
    void Select(int index);
    void Meld();
    void Discard();
    // Clicks every selected card of the hand, so that nothing is selected.
    void DeselectAll();

    // Reports an action made outside these handlers (a timer tick).
    void Done(Move m) { after_(m); }

    Game& g;
    Move current{MoveKind::DealTick};  // the action under way
    bool stop = false;                 // set by the watcher: a check failed, play no further

private:
    std::function<void(Move)> after_;
};

class HumanPlayer {
public:
    virtual ~HumanPlayer() = default;
    // The human is to draw (phase 1): the stock or the discard pile.
    virtual void Draw(Table& t) = 0;
    // The human has drawn (phase 2): melds and lay-offs, then one discard.
    virtual void MeldAndDiscard(Table& t) = 0;
};

// "simple" or "greedy"; nothing for another name.
std::unique_ptr<HumanPlayer> MakePlayer(const std::string& name);

}  // namespace skelda::sim
