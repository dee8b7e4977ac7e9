#include "game/Random.h"

namespace skelda {

namespace {
uint32_t g_seed = 0;
}

uint32_t RandSeed() {
    return g_seed;
}
void SetRandSeed(uint32_t seed) {
    g_seed = seed;
}

uint32_t Random(uint32_t n) {
    g_seed = g_seed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(g_seed) * n) >> 32);
}

int RandomRange(int a, int b) {
    return a + static_cast<int>(Random(static_cast<uint32_t>(b - a)));
}

double RandomFraction() {
    g_seed = g_seed * 134775813u + 1u;
    return static_cast<double>(g_seed) / 4294967296.0;
}

}  // namespace skelda
