#include "draw/DrawPlan.h"

#include "common/TextCodec.h"

namespace kuji {
namespace {

// Any text decodes: a malformed byte becomes U+FFFD, which validation refuses like any
// other character that is no digit.
std::u32string toU32(std::string_view utf8)
{
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = text::utf8SequenceLength(utf8.substr(i));
        if (length == 0) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += text::utf8CodePoint(utf8.substr(i), length);
        i += length;
    }
    return out;
}

} // namespace

CanonicalSettings DrawPlan::canonical(std::uint64_t entryCount) const
{
    CanonicalSettings c;
    c.fileMode = settings.fileMode;
    c.noDuplicates = settings.noDuplicates;
    c.counts = settings.counts;
    if (settings.fileMode) {
        c.maximum = static_cast<std::int64_t>(entryCount);
    } else {
        c.minimum = settings.minimum;
        c.maximum = settings.maximum;
    }
    return c;
}

PlannedDraw planFromBoxes(const DrawBoxTexts& boxes, std::shared_ptr<const EntryList> entries)
{
    PlannedDraw planned;
    planned.validation = validateDrawSettings(
        { boxes.fileMode, boxes.noDuplicates, toU32(boxes.first), toU32(boxes.second), toU32(boxes.count) });
    if (planned.validation.code != 0)
        return planned;
    DrawPlan& plan = planned.plan;
    plan.settings = planned.validation.settings;
    plan.boxes.fileMode = boxes.fileMode;
    plan.boxes.noDuplicates = boxes.noDuplicates;
    plan.boxes.minimum = boxes.fileMode ? std::string() : boxes.first;
    plan.boxes.maximum = boxes.second;
    plan.boxes.count = boxes.count;
    if (boxes.fileMode)
        plan.entries = entries ? std::move(entries) : std::make_shared<const EntryList>();
    return planned;
}

} // namespace kuji
