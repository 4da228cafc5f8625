#include "draw/RandomSource.h"

namespace kuji {
namespace {

std::uint64_t splitMix64(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

} // namespace

RandomSource::RandomSource(const DrawSeed& seed)
{
    const std::array<std::uint64_t, 4> state = generatorState(seed);
    for (std::size_t i = 0; i < 4; ++i)
        m_state[i] = state[i];
}

RandomSource::RandomSource(std::uint64_t seed)
{
    for (auto& word : m_state)
        word = splitMix64(seed);
}

std::uint64_t RandomSource::next()
{
    const std::uint64_t result = rotl(m_state[1] * 5, 7) * 9;
    const std::uint64_t t = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = rotl(m_state[3], 45);
    return result;
}

std::uint64_t RandomSource::below(std::uint64_t bound)
{
    unsigned __int128 product = static_cast<unsigned __int128>(next()) * bound;
    std::uint64_t low = static_cast<std::uint64_t>(product);
    if (low < bound) {
        const std::uint64_t threshold = -bound % bound;
        while (low < threshold) {
            product = static_cast<unsigned __int128>(next()) * bound;
            low = static_cast<std::uint64_t>(product);
        }
    }
    return static_cast<std::uint64_t>(product >> 64);
}

} // namespace kuji
