// Placeholder for saved games until they land.
#include "game/Game.h"

namespace skelda {

void Game::SaveGame1Click(bool) {}
void Game::LoadGame1Click(bool) {}
bool Game::FormCloseQuery() {
    return true;
}

}  // namespace skelda
