#include "app/RandomSource.h"

#include <random>

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

RandomSource::RandomSource(std::uint64_t seed)
{
    for (auto& word : m_state)
        word = splitMix64(seed);
}

RandomSource RandomSource::fromEntropy()
{
    std::random_device device;
    std::uint64_t seed = 0;
    for (int i = 0; i < 2; ++i)
        seed = (seed << 32) ^ device();
    RandomSource source(seed);
    // Mix in two more words so the whole state does not hang on one 64-bit seed.
    source.m_state[2] ^= (static_cast<std::uint64_t>(device()) << 32) | device();
    source.m_state[3] ^= (static_cast<std::uint64_t>(device()) << 32) | device();
    if ((source.m_state[0] | source.m_state[1] | source.m_state[2] | source.m_state[3]) == 0)
        source.m_state[0] = 1;
    return source;
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
