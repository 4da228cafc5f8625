#include "draw/DrawSeed.h"

#include <cerrno>
#include <system_error>

#include <sys/random.h>

namespace kuji {

std::string_view modeName(bool fileMode)
{
    return fileMode ? "Yomikomi" : "Number";
}

DrawSeed publicValueSeed(std::string_view publicValue, const RecordedSettings& settings, const Sha256Digest& workList)
{
    Sha256 hash;
    hash.updateField("くじ丸 v1");
    hash.updateField(publicValue);
    hash.updateField(modeName(settings.fileMode));
    hash.updateField(settings.noDuplicates ? "1" : "0");
    hash.updateField(settings.minimum);
    hash.updateField(settings.maximum);
    hash.updateField(settings.count);
    hash.updateField(std::string_view(reinterpret_cast<const char*>(workList.data()), workList.size()));
    return hash.finish();
}

std::string CanonicalSettings::minimumText() const
{
    return fileMode ? std::string() : std::to_string(minimum);
}

std::string CanonicalSettings::countsText() const
{
    std::string text;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (i > 0)
            text += '-';
        text += std::to_string(counts[i]);
    }
    return text;
}

void CanonicalSettings::hashInto(Sha256& hash) const
{
    hash.updateField(modeName(fileMode));
    hash.updateField(noDuplicates ? "1" : "0");
    hash.updateField(minimumText());
    hash.updateField(maximumText());
    hash.updateField(countsText());
}

DrawSeed publicValueSeedV2(const CanonicalSettings& settings, const Sha256Digest& workList,
    const Sha256Digest& commitment, std::string_view normalizedValue)
{
    Sha256 hash;
    hash.updateField("くじ丸 v2");
    settings.hashInto(hash);
    hash.updateField(std::string_view(reinterpret_cast<const char*>(workList.data()), workList.size()));
    hash.updateField(std::string_view(reinterpret_cast<const char*>(commitment.data()), commitment.size()));
    hash.updateField(normalizedValue);
    return hash.finish();
}

std::array<std::uint64_t, 4> generatorState(const DrawSeed& seed)
{
    const Sha256Digest d = Sha256::of(std::string_view(reinterpret_cast<const char*>(seed.data()), seed.size()));
    std::array<std::uint64_t, 4> state {};
    for (std::size_t word = 0; word < 4; ++word)
        for (std::size_t byte = 0; byte < 8; ++byte)
            state[word] |= static_cast<std::uint64_t>(d[8 * word + byte]) << (8 * byte);
    if ((state[0] | state[1] | state[2] | state[3]) == 0)
        state[0] = 1;
    return state;
}

std::string seedToHex(const DrawSeed& seed)
{
    return toHex(seed);
}

bool seedFromHex(std::string_view text, DrawSeed& seed)
{
    return fromHex(text, seed);
}

DrawSeed SystemSeedSource::nextSeed()
{
    DrawSeed seed {};
    std::size_t filled = 0;
    while (filled < seed.size()) {
        const ssize_t got = getrandom(seed.data() + filled, seed.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "getrandom");
        }
        filled += static_cast<std::size_t>(got);
    }
    return seed;
}

WorkListHasher::WorkListHasher(std::shared_ptr<const EntryList> entries)
    : m_entries(std::move(entries))
{
}

bool WorkListHasher::step(std::chrono::steady_clock::time_point deadline)
{
    const std::size_t size = m_entries ? m_entries->size() : 0;
    while (!m_digest) {
        // Look at the clock every 4096 entries: an entry can be long, but the slice stays short.
        const std::size_t end = std::min(size, m_next + 4096);
        for (; m_next < end; ++m_next)
            m_hash.updateField(m_entries->text(m_next));
        if (m_next >= size) {
            m_digest = m_hash.finish();
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
    return true;
}

Sha256Digest WorkListHasher::of(const EntryList& entries)
{
    // A pointer that owns nothing: the list outlives the hasher.
    WorkListHasher hasher(std::shared_ptr<const EntryList>(std::shared_ptr<void>(), &entries));
    hasher.step(std::chrono::steady_clock::time_point::max());
    return hasher.digest();
}

} // namespace kuji
