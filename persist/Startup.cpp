// Placeholder for the start-up sequence until it lands.
#include "game/Game.h"
#include "game/Random.h"

namespace skelda {

void Game::Startup() {
    PickOpponentName();
    PlayerName = host.LogonName();
    ComputerFirst = RandomFirstPlayer();
    HumansTurn = !ComputerFirst;
    NewRound();
}

}  // namespace skelda
