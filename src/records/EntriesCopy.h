#pragma once

#include "common/EntryList.h"
#include "draw/Sha256.h"

#include <string>
#include <string_view>

// The copy of a work list that came from no file (a transfer from Pickup Record or from the
// string creation window), kept beside its record as "<record>.entries" so the draw can be
// re-run later. UTF-8 text:
//
//   くじ丸 エントリーの写し
//   記録の形式: 1
//   エントリーの件数: 2
//   エントリーのSHA-256: <64 hexadecimal digits>
//   5:Alice
//   7:Bob
//   Ann
//   記録の終わり
//
// Each entry is its length in bytes, a colon, its bytes exactly (line breaks inside an entry
// included: "Bob", a line end and "Ann" are one entry above) and a line end (LF). The digest is the work-list digest of
// the draw algorithm.
namespace kuji {

class EntriesCopy {
public:
    // The file's text for a work list.
    static std::string format(const EntryList& entries);
    // Reads a copy back; false with problem set when it is cut short, malformed, or its
    // entries do not match its own count and digest.
    static bool parse(std::string_view text, EntryList& entries, std::string& problem);
    // Whether text begins like a copy (as opposed to an entry file).
    static bool looksLikeCopy(std::string_view text);
};

} // namespace kuji
