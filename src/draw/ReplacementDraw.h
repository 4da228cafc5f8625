#pragma once

#include "draw/DrawSeed.h"
#include "draw/RandomSource.h"

#include <cstdint>
#include <optional>
#include <vector>

// Replacement draws (再抽選): when winners of a draw are absent, one replacement is drawn for
// each, after the draw and every replacement before it in the same run.
//
// Replacement algorithm v2 (of a v2 draw)
// 1. The n-th replacement of a run (n = 1, 2, ...) has its own 32-byte seed.
//    - When the draw it follows was public: SHA-256 of LP("くじ丸 再抽選 v2") LP(S) LP(n),
//      where S is the 32 bytes of the draw's seed and n is written in decimal. Anyone who has
//      the draw's record can re-run the replacement, and no one chooses its seed.
//    - Otherwise: 32 bytes from the operating system, as for any draw.
// 2. The generator is that of the draw algorithm (steps 3 to 5 of draw/DrawSeed.h).
// 3. N is the number of positions the draw drew from: the range (maximum - minimum + 1) in
//    number mode, the number of entries in file mode. A value is a 0-based position.
// 4. With no duplicates, the excluded positions are every position the draw and the earlier
//    replacements of its run drew (the absent winners' included). For each of the m
//    replacements in turn: x = below(N), taken again while x is excluded or already taken by
//    this replacement. When fewer than m positions are left, the replacement is refused.
//    With duplicates allowed, each value is below(N) once: nothing is excluded.
// 5. The results digest is that of draw algorithm v2 (step 7): the m values in order, each as
//    an unsigned 32-bit little-endian number (the number itself, or the 1-based entry number).
namespace kuji {

// The seed of the n-th replacement after a public draw with seed drawSeed (step 1).
DrawSeed publicReplacementSeed(const DrawSeed& drawSeed, std::uint32_t number);

// Positions not yet drawn: rangeSize less the excluded ones (sorted, each below rangeSize).
std::uint64_t positionsLeft(std::uint64_t rangeSize, const std::vector<std::uint32_t>& excludedSorted);

// The m positions of a replacement (step 4); nothing when fewer than m are left. excludedSorted
// must be sorted and hold no duplicates; it is ignored when noDuplicates is false.
std::optional<std::vector<std::uint32_t>> drawReplacementPositions(RandomSource& random, std::uint64_t rangeSize,
    const std::vector<std::uint32_t>& excludedSorted, std::uint32_t count, bool noDuplicates);

// The header row of a replacement's results: 【再抽選：2件】.
std::string replacementHeaderText(std::uint32_t count);

} // namespace kuji
