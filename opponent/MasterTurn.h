// The Master level's turn, carried out with the same steps, log lines, sounds, pauses and
// marks as every other level's: the turn driver calls Draw, Meld and Discard in place of
// the other levels' decisions.
#pragma once

#include "game/Card.h"
#include "opponent/Master.h"

namespace skelda {

class Game;

class MasterTurn {
public:
    explicit MasterTurn(Game& g) : g_(g) {}
    // The stock, the top discard or a run from inside the pile; the obtained card, or
    // NoCard when the stock was empty and the round has ended.
    TCard Draw();
    // The planned melds and lay-offs; true when a new meld was laid down.
    bool Meld();
    // The planned discard; going out ends the round.
    void Discard();

private:
    Game& g_;
    TCard obtained_{0, 0, NoCard};
    bool fromPile_ = false;
    bool deep_ = false;  // a run from inside the pile: its bottom card has to be melded
    master::MeldPlan plan_;
    bool planned_ = false;
};

}  // namespace skelda
