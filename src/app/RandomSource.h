#pragma once

#include <cstdint>

namespace kuji {

// The draw's random source: xoshiro256** with 64-bit output, seeded once per process from
// the operating system's entropy source. Tests seed it with a fixed number so their draws
// repeat. Bounded values come from Lemire's multiply-and-reject method, so every value of a
// range is equally likely whatever the range's size.
class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed);

    // A generator seeded from std::random_device (getrandom on Linux).
    static RandomSource fromEntropy();

    std::uint64_t next();

    // A uniform value in [0, bound); bound must be at least 1.
    std::uint64_t below(std::uint64_t bound);

private:
    std::uint64_t m_state[4];
};

} // namespace kuji
