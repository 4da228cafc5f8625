// The draw-record parser. Taken as a record's text, the input is either refused, leaving the
// record it was given as it was and a reason fit to show, or accepted only when it holds no
// control character and no malformed UTF-8, and then it formats and reads back to the same
// record. Taken as the fields of a record, the input must come back whole through the
// formatter and the parser.
#include "records/DrawRecord.h"

#include "common/TextCodec.h"
#include "common/TextSafety.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/TextChecks.h"

#include <cstring>

using namespace kuji;

namespace {

bool sameHeader(const DrawRecord& a, const DrawRecord& b)
{
    return a.format == b.format && a.sequence == b.sequence && a.previous == b.previous && a.dateTime == b.dateTime
        && a.program == b.program && a.algorithm == b.algorithm && a.settings == b.settings && a.source == b.source
        && a.sourceIsFile == b.sourceIsFile && a.entryCount == b.entryCount && a.workList == b.workList
        && a.entriesCopy == b.entriesCopy && a.commitmentNumber == b.commitmentNumber
        && a.commitmentDateTime == b.commitmentDateTime && a.commitmentDescription == b.commitmentDescription
        && a.publicValue == b.publicValue && a.normalizedValue == b.normalizedValue && a.seed == b.seed
        && a.resultCount == b.resultCount && a.results == b.results;
}

bool same(const DrawRecord& a, const DrawRecord& b)
{
    return sameHeader(a, b) && a.shownResults == b.shownResults;
}

template <std::size_t N> void fill(fuzz::FuzzInput& in, std::array<std::uint8_t, N>& bytes)
{
    for (auto& b : bytes)
        b = in.byte();
}

// A record the program could write, its values taken from the input.
DrawRecord recordFrom(fuzz::FuzzInput& in)
{
    DrawRecord r;
    const std::uint8_t shape = in.byte();
    r.sequence = 1 + in.below(1'000'000'000'000);
    if (shape & 1)
        fill(in, r.previous.emplace());
    r.dateTime = in.text();
    r.program = in.text();
    r.algorithm = (shape & 2) ? kAlgorithmV2 : in.text();
    r.settings.fileMode = shape & 4;
    r.settings.noDuplicates = shape & 8;
    if (!r.settings.fileMode)
        r.settings.minimum = in.text(16);
    r.settings.maximum = in.text(16);
    r.settings.count = in.text(32);
    if (r.settings.fileMode) {
        r.source = in.text();
        r.sourceIsFile = shape & 16;
        r.entryCount = in.below(std::uint64_t { 1 } << 40);
        fill(in, r.workList);
        if (!r.sourceIsFile)
            r.entriesCopy = (shape & 32) ? EntriesCopyState::Kept : EntriesCopyState::TooLarge;
    }
    if (shape & 64) {
        r.publicValue = in.text();
        if (shape & 2) {
            fill(in, r.commitmentNumber.emplace());
            r.commitmentDateTime = in.text();
            r.commitmentDescription = in.text();
            r.normalizedValue = in.text();
        }
    }
    fill(in, r.seed);
    fill(in, r.results);
    // A draw of more rows than a record shows (10,000, then a line with the count of the
    // rest) is left to the unit tests: each such record would cost the fuzzer a hundred
    // inputs' time.
    const std::size_t rows = in.byte() % 8;
    for (std::size_t i = 0; i < rows; ++i)
        r.shownResults.emplace_back(in.text(64));
    r.resultCount = rows;
    return r;
}

// A record that a refused text must leave exactly as it was.
DrawRecord untouched()
{
    DrawRecord r;
    r.sequence = 42;
    r.dateTime = "untouched";
    r.shownResults = { "untouched" };
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    std::string problem;

    if (mode & 1) {
        const DrawRecord made = recordFrom(in);
        const std::string text = formatDrawRecord(made);
        FUZZ_CHECK(!findUnsafeText(text));
        DrawRecord read;
        FUZZ_CHECK(parseDrawRecord(text, read, problem));
        FUZZ_CHECK(problem.empty() && same(read, made));
        return 0;
    }

    const std::string_view text = in.rest();
    DrawRecord record = untouched();
    if (!parseDrawRecord(text, record, problem)) {
        FUZZ_CHECK(same(record, untouched()));
        // The reason reaches messages and the terminal: it never carries the file's controls.
        FUZZ_CHECK(!problem.empty() && !findUnsafeText(problem));
        return 0;
    }
    FUZZ_CHECK(problem.empty());
    const std::string_view body = text.substr(text.substr(0, 3) == kuji::text::kUtf8Bom ? 3 : 0);
    FUZZ_CHECK(fuzz::wellFormedUtf8(body) && !findUnsafeText(body, record.format == 1));
    // A carriage return only ever ends a line (CR LF, an editor's doing) or the text.
    for (std::size_t cr = body.find('\r'); cr != std::string_view::npos; cr = body.find('\r', cr + 1))
        FUZZ_CHECK(cr + 1 == body.size() || body[cr + 1] == '\n');
    FUZZ_CHECK(record.shownResults.size() <= RecordedResults::kShownResults);
    FUZZ_CHECK(
        record.shownResults.size() == std::min<std::uint64_t>(record.resultCount, RecordedResults::kShownResults));

    // What was accepted reads back the same after formatting.
    const std::string formatted = formatDrawRecord(record);
    DrawRecord again;
    FUZZ_CHECK(parseDrawRecord(formatted, again, problem));
    FUZZ_CHECK(same(again, record));
    FUZZ_CHECK(formatDrawRecord(again) == formatted);

    // A list reads the header and the first rows only.
    const std::size_t limit = mode >> 1;
    DrawRecord head;
    FUZZ_CHECK(parseDrawRecord(text, head, problem, limit));
    FUZZ_CHECK(sameHeader(head, record) && head.shownResults.size() == std::min(limit, record.shownResults.size()));
    FUZZ_CHECK(std::equal(head.shownResults.begin(), head.shownResults.end(), record.shownResults.begin()));
    return 0;
}
