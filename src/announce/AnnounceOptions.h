#pragma once

#include "common/Settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kuji {

// The settings of 発表 as the windows use them: the prize names and the columns read, the
// roll time in half seconds. The columns and the mask act in file mode only.
struct AnnounceOptions {
    std::vector<std::string> prizeNames;
    std::vector<std::uint32_t> columns; // 1-based; empty shows the whole entry
    bool mask = false;
    int rollHalfSeconds = Settings::kDefaultRollHalfSeconds;
    std::string screen; // the name of the screen to show on; empty for the default one

    // What the settings file held: prize names or columns that their rules refuse are
    // dropped, as a value refused by its check falls back to its default.
    static AnnounceOptions fromStored(const Settings::Announce& stored);
    Settings::Announce toStored() const;

    int rollMilliseconds() const { return rollHalfSeconds * 500; }
};

} // namespace kuji
