#pragma once

#include <cstdint>

namespace kuji {

// The random pictures of 決定まで回す: entries or numbers shown while the winner, already
// drawn, waits to be revealed. Only the eye sees them, so a small fast generator serves
// (SplitMix64); it shares nothing with the draw and never touches its seeds.
class RollingPicker {
public:
    explicit RollingPicker(std::uint64_t seed)
        : m_state(seed)
    {
    }

    // A value in [0, count); 0 when count is 0.
    std::uint64_t below(std::uint64_t count);
    // A value in [minimum, maximum]; minimum when the range is empty.
    std::int64_t between(std::int64_t minimum, std::int64_t maximum);

private:
    std::uint64_t next();

    std::uint64_t m_state;
};

} // namespace kuji
