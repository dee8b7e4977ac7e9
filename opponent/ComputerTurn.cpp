// Placeholder for the computer's turn until the opponent lands.
#include "game/Game.h"

namespace skelda {

void Game::Timer4Timer() {
    if (!timers.Timer4) return;
    SwitchTimer(TimerId::Timer4, false);
}
void Game::ComputerTurn() {}
TCard Game::ComputerDraw(bool) { return TCard{0, 0, NoCard}; }
bool Game::FitsHand(TCard) const { return false; }
bool Game::ConnectsToHand(TCard) const { return false; }
bool Game::ComputerMeld() { return false; }
void Game::ComputerLayOff() {}
void Game::ShowOpponentFloating() {}
void Game::ComputerDiscard(TCard) {}
int Game::DiscardScore(TCard) const { return 0; }
int Game::SeenScore(TCard) const { return 0; }
bool Game::OddChance(uint32_t) { return false; }

}  // namespace skelda
