#pragma once

#include "announce/RevealSequence.h"
#include "common/EntryList.h"
#include "common/ResultList.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace kuji {

// What the main window offers 発表, and the only way 発表 reaches it. As a WinnerStatus it
// tells which winners are absent (欠席) and whom a replacement replaces.
class AnnounceHost : public WinnerStatus {
public:
    // The range of a number draw as the boxes hold it; the minimum's length as typed pads
    // the numbers as the draw pads its results.
    struct NumberRange {
        std::int64_t minimum = 0;
        std::int64_t maximum = 0;
        std::size_t minimumLength = 0;
    };

    ~AnnounceHost() override = default;

    // The current result rows, in the order the list shows them. 発表 never changes them.
    virtual const ResultList& results() const = 0;
    // The entries of file mode, which 決定まで回す shows at random; null or empty in number mode.
    virtual std::shared_ptr<const EntryList> workList() const = 0;
    virtual bool isFileMode() const = 0;
    // Number mode's range for 決定まで回す; none when the boxes no longer hold one.
    virtual std::optional<NumberRange> numberRange() const = 0;
    // Marks the winners of these result keys absent and draws one replacement each, appended
    // to the results under 【再抽選：n件】. False when it was refused or failed; the host has
    // told the user why, with dialogParent as the owner of its messages.
    virtual bool drawReplacements(const std::vector<std::uint32_t>& keys, QWidget* dialogParent) = 0;
};

} // namespace kuji
