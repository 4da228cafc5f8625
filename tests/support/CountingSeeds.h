#pragma once

#include "draw/DrawSeed.h"

namespace kuji::test {

// Seeds 1, 2, 3, ... (the number in the last bytes), so a test's draws repeat from run to run.
class CountingSeeds final : public SeedSource {
public:
    DrawSeed nextSeed() override
    {
        DrawSeed seed {};
        ++m_count;
        for (std::size_t i = 0; i < 8; ++i)
            seed[31 - i] = static_cast<std::uint8_t>(m_count >> (8 * i));
        return seed;
    }

private:
    std::uint64_t m_count = 0;
};

} // namespace kuji::test
