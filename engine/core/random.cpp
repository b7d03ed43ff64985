#include "engine/core/random.h"

namespace {
// Seed 1 until the program seeds it, as the C library's generator.
uint32_t state = 1;
}  // namespace

void zr_srand(uint32_t seed) {
  state = seed;
}

// The linear congruential generator that the C standard gives as its example of rand.
int zr_rand() {
  state = state * 1103515245u + 12345u;
  return int((state / 65536u) % 32768u);
}
