#pragma once

#include "common/EntryList.h"
#include "draw/Sha256.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The draw algorithms: how a seed, the settings and the work list fix every result of a draw.
// A record names the version it was drawn with, and a record of any version must re-run to the
// same results with every later version of the program: nothing below may ever change for a
// version once released. New draws use v2; v1 is kept for the records drawn with it.
//
// LP(x): the length of x in bytes as an unsigned 64-bit little-endian number, then the bytes
// of x (UTF-8 for text). Every hashed field is framed this way (Sha256::updateField).
//
// Draw algorithm v1
// 1. The seed is 32 bytes.
//    - Without a public value: 32 bytes from the operating system (getrandom), taken anew
//      for every draw.
//    - With a public value P: SHA-256 of LP("くじ丸 v1") LP(P) LP(mode) LP(no-duplicates)
//      LP(minimum) LP(maximum) LP(count) LP(W), where mode is "Number" or "Yomikomi",
//      no-duplicates "1" or "0", minimum the minimum box as typed (empty in file mode),
//      maximum the maximum box as typed (the registered count in file mode), count the draw
//      count box as typed ("3-2"), and W the 32 bytes of the work-list digest.
// 2. The work-list digest W is SHA-256 of LP(entry 1) LP(entry 2) ... over the entries in
//    load order, each entry's text exactly as read (UTF-8); a number draw has no entries, so
//    its W is SHA-256 of nothing.
// 3. Generator state: D = SHA-256(seed); the four 64-bit words of xoshiro256** are D's bytes
//    0-7, 8-15, 16-23 and 24-31, each read little-endian. (Should all four be zero, which
//    SHA-256 does not produce in practice, the first word becomes 1.)
// 4. The generator is xoshiro256** (Blackman and Vigna): result = rotl(s1 * 5, 7) * 9; then
//    t = s1 << 17, s2 ^= s0, s3 ^= s1, s1 ^= s2, s0 ^= s3, s2 ^= t, s3 = rotl(s3, 45); all
//    arithmetic modulo 2^64.
// 5. A value below n (n >= 1), by Lemire's method: x = next(); m = x * n as a 128-bit
//    product; l = the low 64 bits of m. If l < n: t = (2^64 - n) mod n, and while l < t take
//    x = next() and m, l afresh. The value is the high 64 bits of m.
// 6. The draw goes round by round in the order of the count box. With two or more rounds,
//    each round after the first adds an empty row, and every round adds its header row
//    【k回目の抽選結果：n件】 before its values. With one round there is neither. Then n values:
//    - duplicates allowed: number mode minimum + below(range), range = maximum - minimum + 1;
//      file mode the entry at 0-based position below(entry count).
//    - no duplicates: one shuffle of the positions 0 ... N-1 (N = range, or entry count) is
//      shared by every round of the run. P starts as 0, 1, ..., N-1; the j-th value taken
//      (j = 0, 1, ...) is r = j + below(N - j), yields P[r], and then P[r] = P[j]. Number
//      mode adds minimum to the position, file mode takes the entry at that 0-based position.
//      Should the positions run out (validation never lets them), the row stays empty.
//    A number is written in decimal, with leading zeros up to the length of the minimum as
//    typed when one to eight zeros are missing.
// 7. The results digest is SHA-256 of LP(row 1) LP(row 2) ... over every row in draw order,
//    headers and empty rows included, each row's full text.
//
// Draw algorithm v2: v1 with canonical inputs, so that nothing but what decides the values
// goes into the seed or the results digest. Steps 2 to 6 are those of v1; steps 1 and 7 differ.
// 1. The seed is 32 bytes.
//    - Without a public value: 32 bytes from the operating system, as in v1.
//    - With a public value: a public draw needs a commitment (予告, draw/Commitment.h) made
//      before the value exists, with the same settings and work list. The seed is SHA-256 of
//      LP("くじ丸 v2") LP(mode) LP(no-duplicates) LP(minimum) LP(maximum) LP(counts) LP(W)
//      LP(C) LP(N(P)), where
//      - mode is "Number" or "Yomikomi", no-duplicates "1" or "0";
//      - minimum and maximum are numbers in decimal without leading zeros ("1", "100"); in
//        file mode the minimum is empty and the maximum is the number of entries;
//      - counts are the counts of the rounds in decimal without leading zeros, joined by "-"
//        ("5", "3-2");
//      - W is the 32 bytes of the work-list digest, C the 32 bytes of the commitment's number;
//      - N(P) is the public value in its one form: Unicode NFKC, then every white-space
//        character removed (draw/PublicValue.h).
//    Zero padding is display only: "01" and "1" draw the same values, and only the writing
//    of the results differs (step 6).
// 7. The results digest is SHA-256 of the drawn values in draw order, each as an unsigned
//    32-bit little-endian number: in number mode the value itself (not its padded writing),
//    in file mode the 1-based number of the entry in the work list. Round headers and the
//    empty rows between rounds are not hashed: the counts fix where they stand.
namespace kuji {

inline constexpr std::string_view kAlgorithmV1 = "v1";
inline constexpr std::string_view kAlgorithmV2 = "v2";
// The version new draws use.
inline constexpr std::string_view kAlgorithmVersion = kAlgorithmV2;

using DrawSeed = std::array<std::uint8_t, 32>;

// The settings of a draw as the boxes showed them: v1 hashes them as typed, and the record
// keeps them so the padding of the results follows from them too.
struct RecordedSettings {
    bool fileMode = false;
    bool noDuplicates = false;
    std::string minimum; // number mode: the minimum box; empty in file mode
    std::string maximum; // the maximum box, or the registered count in file mode
    std::string count; // the draw count box, rounds joined by "-"
    bool operator==(const RecordedSettings&) const = default;
};

// "Number" or "Yomikomi", as the settings are hashed.
std::string_view modeName(bool fileMode);

// What decides the values of a draw, as numbers (v2): the form the seed and a commitment hash.
struct CanonicalSettings {
    bool fileMode = false;
    bool noDuplicates = false;
    std::int64_t minimum = 0; // number mode; 0 in file mode
    std::int64_t maximum = 0; // number mode; the number of entries in file mode
    std::vector<std::int32_t> counts; // one per round
    bool operator==(const CanonicalSettings&) const = default;

    // The fields as v2 hashes them: "" in file mode, and the counts joined by "-".
    std::string minimumText() const;
    std::string maximumText() const { return std::to_string(maximum); }
    std::string countsText() const;
    // Adds mode, no-duplicates, minimum, maximum and counts to a hash, each framed (LP).
    void hashInto(Sha256& hash) const;
};

// The seed of a v1 draw with a public value (v1 step 1).
DrawSeed publicValueSeed(std::string_view publicValue, const RecordedSettings& settings, const Sha256Digest& workList);

// The seed of a v2 draw with a public value (v2 step 1); normalizedValue is N(P).
DrawSeed publicValueSeedV2(const CanonicalSettings& settings, const Sha256Digest& workList,
    const Sha256Digest& commitment, std::string_view normalizedValue);

// The four words of the generator state for a seed (step 3).
std::array<std::uint64_t, 4> generatorState(const DrawSeed& seed);

// The seed as 64 lower-case hexadecimal digits, and back.
std::string seedToHex(const DrawSeed& seed);
bool seedFromHex(std::string_view text, DrawSeed& seed);

// Where the seeds of draws without a public value come from.
class SeedSource {
public:
    virtual ~SeedSource() = default;
    // A fresh seed for one draw. Throws std::system_error when none can be had.
    virtual DrawSeed nextSeed() = 0;
};

// 32 bytes from the operating system's entropy source for every draw. A seed is never
// derived from an earlier one: records publish their seeds, and a seed that followed from
// the last one would let anyone who read a record know the next draw before it happens.
class SystemSeedSource final : public SeedSource {
public:
    DrawSeed nextSeed() override;
};

// The work-list digest (step 2), made a slice at a time: a list of millions of entries
// takes a moment to hash, and the window keeps repainting meanwhile.
class WorkListHasher {
public:
    // entries may be null: no entries.
    explicit WorkListHasher(std::shared_ptr<const EntryList> entries);

    // Hashes until the deadline or the end; true when the digest is ready.
    bool step(std::chrono::steady_clock::time_point deadline);
    bool done() const { return m_digest.has_value(); }
    // The digest, once done.
    const Sha256Digest& digest() const { return *m_digest; }

    // The digest of a whole list at once.
    static Sha256Digest of(const EntryList& entries);

private:
    std::shared_ptr<const EntryList> m_entries;
    Sha256 m_hash;
    std::size_t m_next = 0;
    std::optional<Sha256Digest> m_digest;
};

} // namespace kuji
