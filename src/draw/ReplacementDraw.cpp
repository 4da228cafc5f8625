#include "draw/ReplacementDraw.h"

#include <algorithm>
#include <string>

namespace kuji {

DrawSeed publicReplacementSeed(const DrawSeed& drawSeed, std::uint32_t number)
{
    Sha256 hash;
    hash.updateField("くじ丸 再抽選 v2");
    hash.updateField(std::string_view(reinterpret_cast<const char*>(drawSeed.data()), drawSeed.size()));
    hash.updateField(std::to_string(number));
    const Sha256Digest digest = hash.finish();
    DrawSeed seed;
    std::copy(digest.begin(), digest.end(), seed.begin());
    return seed;
}

std::uint64_t positionsLeft(std::uint64_t rangeSize, const std::vector<std::uint32_t>& excludedSorted)
{
    return excludedSorted.size() >= rangeSize ? 0 : rangeSize - excludedSorted.size();
}

std::optional<std::vector<std::uint32_t>> drawReplacementPositions(RandomSource& random, std::uint64_t rangeSize,
    const std::vector<std::uint32_t>& excludedSorted, std::uint32_t count, bool noDuplicates)
{
    if (rangeSize == 0 || (noDuplicates && positionsLeft(rangeSize, excludedSorted) < count))
        return std::nullopt;
    std::vector<std::uint32_t> taken;
    std::vector<std::uint32_t> takenSorted;
    taken.reserve(count);
    while (taken.size() < count) {
        const auto x = static_cast<std::uint32_t>(random.below(rangeSize));
        if (noDuplicates) {
            const auto spot = std::lower_bound(takenSorted.begin(), takenSorted.end(), x);
            if ((spot != takenSorted.end() && *spot == x)
                || std::binary_search(excludedSorted.begin(), excludedSorted.end(), x))
                continue;
            takenSorted.insert(spot, x);
        }
        taken.push_back(x);
    }
    return taken;
}

std::string replacementHeaderText(std::uint32_t count)
{
    return "【再抽選：" + std::to_string(count) + "件】";
}

} // namespace kuji
