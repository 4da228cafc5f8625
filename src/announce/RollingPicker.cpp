#include "announce/RollingPicker.h"

namespace kuji {

std::uint64_t RollingPicker::next()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A slight bias toward small values does not matter for a picture.
std::uint64_t RollingPicker::below(std::uint64_t count)
{
    return count == 0 ? 0 : next() % count;
}

std::int64_t RollingPicker::between(std::int64_t minimum, std::int64_t maximum)
{
    if (maximum <= minimum)
        return minimum;
    const auto span = static_cast<std::uint64_t>(maximum) - static_cast<std::uint64_t>(minimum);
    const std::uint64_t offset = span == UINT64_MAX ? next() : below(span + 1);
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(minimum) + offset);
}

} // namespace kuji
