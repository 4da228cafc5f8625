#pragma once

#include "common/EntryList.h"
#include "draw/Commitment.h"
#include "draw/DrawRun.h"
#include "draw/DrawSeed.h"
#include "draw/DrawValidation.h"

#include <memory>
#include <optional>
#include <string>

namespace kuji {

// The boxes of the main window as UTF-8 text, the way the window shows them and a record
// keeps them.
struct DrawBoxTexts {
    bool fileMode = false;
    bool noDuplicates = false;
    std::string first; // the minimum, or the entry file's path in file mode
    std::string second; // the maximum, or the registered count in file mode
    std::string count; // the draw count, rounds joined by "-"
};

// Everything one draw is made of before it runs.
struct DrawPlan {
    std::string algorithm { kAlgorithmVersion };
    DrawSettings settings; // as validation gave them
    RecordedSettings boxes; // the same settings as typed: the padding of the results, the record
    std::shared_ptr<const EntryList> entries; // file mode
    std::string source; // file mode: the entry file's path, or the label of a transfer
    bool sourceIsFile = false;
    // A public draw: the seed is made from the value and the settings, not taken from the
    // system. v2 needs the commitment it was promised by; v1 had none.
    std::optional<std::string> publicValue;
    std::optional<Commitment> commitment;
    DrawSeed seed {}; // the program's seed, used when there is no public value
    bool keepRecord = true; // false: no digests are made, so the draw costs nothing more

    // What decides the values, as numbers, for a work list of entryCount entries.
    CanonicalSettings canonical(std::uint64_t entryCount) const;
};

struct PlannedDraw {
    ValidationResult validation; // code 0 when the boxes can be drawn
    DrawPlan plan; // filled when they can: settings, boxes and entries
};

// The one way from the boxes to a draw: the main window plans its draws with it, and a check
// of a record re-plans the recorded draw with it, so both read the boxes alike. Validates the
// boxes, then fills the plan's settings, the boxes as typed and, in file mode, the entries.
// The seed, the source and the public value are the caller's.
PlannedDraw planFromBoxes(const DrawBoxTexts& boxes, std::shared_ptr<const EntryList> entries);

} // namespace kuji
