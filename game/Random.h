// The one process-wide pseudo-random generator. Every chance in the game draws on it,
// so one seed and one list of moves always replay the same game.
#pragma once

#include <cstdint>

namespace skelda {

uint32_t RandSeed();
void SetRandSeed(uint32_t seed);

// 0 <= r < n: the seed becomes seed * 134775813 + 1, r is the upper half of seed * n.
uint32_t Random(uint32_t n);
// a + Random(b - a), a value from a to b - 1.
int RandomRange(int a, int b);
// A fraction 0 <= f < 1 from the next seed.
double RandomFraction();

}  // namespace skelda
