#pragma once

#include "draw/DrawSeed.h"

#include <cstdint>

namespace kuji {

// The draw's random source: xoshiro256** with 64-bit output. Every draw gets its own, made
// from that draw's 32-byte seed as draw algorithm v1 says (draw/DrawSeed.h), so a draw
// can be re-run from its record. Bounded values come from Lemire's multiply-and-reject
// method, so every value of a range is equally likely whatever the range's size.
class RandomSource {
public:
    // The generator of a draw: its state is SHA-256 of the seed.
    explicit RandomSource(const DrawSeed& seed);
    // A generator for tests and benchmarks, its state spread from one number by SplitMix64.
    explicit RandomSource(std::uint64_t seed);

    std::uint64_t next();

    // A uniform value in [0, bound); bound must be at least 1.
    std::uint64_t below(std::uint64_t bound);

private:
    std::uint64_t m_state[4];
};

} // namespace kuji
