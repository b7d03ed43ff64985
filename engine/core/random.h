// The program's random-number generator: the C library's rand/srand contract (values 0 to
// 32767, seedable) with one fixed algorithm, so that a seeded run gives the same game on every
// machine and C library.
#pragma once
#include <cstdint>

constexpr int ZR_RAND_MAX = 32767;

void zr_srand(uint32_t seed);
// The next value, 0 to ZR_RAND_MAX.
int zr_rand();
