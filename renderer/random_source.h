#pragma once

#include <cstdint>

namespace kovessa {

// The scene's random source: a 32-bit linear congruential generator whose draws are scaled to
// a range by the upper half of a 64-bit product. The same seed gives the same fireflies and the
// same walk, which is what lets a test replay any frame.
class RandomSource {
public:
    // SeedRandom: the shell passes the low 32 bits of a fine-grained clock.
    void SeedRandom(uint32_t seed) { RandomSeed = seed; }

    // RandomBelow: an integer from 0 to n - 1 (n at least 1).
    uint32_t RandomBelow(uint32_t n) {
        RandomSeed = RandomSeed * 134775813u + 1u;
        return static_cast<uint32_t>((static_cast<uint64_t>(RandomSeed) * n) >> 32);
    }

    uint32_t RandomSeed = 0;
};

} // namespace kovessa
