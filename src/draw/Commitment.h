#pragma once

#include "draw/DrawSeed.h"
#include "draw/Sha256.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// A commitment (予告): what a public draw will be, fixed and published before the public
// value exists. A public value alone proves nothing: an organiser who knew it could still
// pick the settings or the order of the entries that give the outcome he wants. With the
// commitment published first, the settings and the work list are fixed before anyone can know
// the value, and the value's source, date and form are named, so nothing is left to choose.
//
// Its number (予告番号) is SHA-256 of
//   LP("くじ丸 予告 v2") LP(mode) LP(no-duplicates) LP(minimum) LP(maximum) LP(counts)
//   LP(entry count) LP(W) LP(description) LP(date and time)
// with the fields of draw algorithm v2 (draw/DrawSeed.h), the entry count in decimal ("0" in
// number mode), W the 32 bytes of the work-list digest, and the description and the date and
// time as UTF-8 text exactly as the commitment shows them. A v2 public draw hashes the number
// into its seed, so the seed belongs to this commitment and no other.
struct Commitment {
    CanonicalSettings settings;
    std::uint64_t entryCount = 0;
    Sha256Digest workList {};
    // The public value to come: its source, its date and its exact form.
    std::string description;
    // When the commitment was made: "2026-12-08 19:00:00 +0900".
    std::string dateTime;
    bool operator==(const Commitment&) const = default;
};

Sha256Digest commitmentNumber(const Commitment& commitment);

// The number as it is read aloud and printed: sixteen groups of four hexadecimal digits,
// "3f2a 9b0c …".
std::string formatCommitmentNumber(const Sha256Digest& number);
// Reads a number written with or without the spaces between the groups.
bool parseCommitmentNumber(std::string_view text, Sha256Digest& number);

// What differs between a commitment and the draw about to be made, one line each for the
// user ("抽選数が予告と違います（予告: 5、今: 6）"); empty when the draw is the one promised.
std::vector<std::string> commitmentDifferences(
    const Commitment& promised, const CanonicalSettings& now, std::uint64_t entryCount, const Sha256Digest& workList);

// The mode as the windows and the records name it.
std::string_view modeLabel(bool fileMode);

} // namespace kuji
