// The coin through which the odds settings act: true when a draw below the bound is odd.
#include "game/Game.h"
#include "game/Random.h"

namespace skelda {

bool Game::OddChance(uint32_t bound) {
    return (Random(bound) & 1u) != 0;
}

}  // namespace skelda
