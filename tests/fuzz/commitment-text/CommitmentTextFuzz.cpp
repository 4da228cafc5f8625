// The commitment-text parser. A refused text leaves the commitment it was given as it was and
// a reason fit to show; an accepted one holds no control character and no malformed UTF-8,
// its number follows from its fields, and it formats and reads back the same. A commitment
// the program could make, its values taken from the input, comes back whole.
#include "records/CommitmentText.h"

#include "common/TextCodec.h"
#include "common/TextSafety.h"
#include "draw/DrawSeed.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/TextChecks.h"

using namespace kuji;

namespace {

Commitment commitmentFrom(fuzz::FuzzInput& in)
{
    Commitment c;
    const std::uint8_t shape = in.byte();
    c.settings.fileMode = shape & 1;
    c.settings.noDuplicates = shape & 2;
    // The boxes hold at most nine digits; the text allows eighteen.
    const std::uint64_t largest = (shape & 4) ? 999'999'999'999'999'999 : 999'999'999;
    if (!c.settings.fileMode)
        c.settings.minimum = static_cast<std::int64_t>(in.below(largest + 1));
    c.settings.maximum = static_cast<std::int64_t>(in.below(largest + 1));
    for (std::size_t n = 1 + in.byte() % 4; n > 0; --n)
        c.settings.counts.push_back(static_cast<std::int32_t>(1 + in.below(10'000'000)));
    if (c.settings.fileMode) {
        c.entryCount = in.below(largest + 1);
        for (auto& b : c.workList)
            b = in.byte();
    } else {
        c.workList = WorkListHasher::of(EntryList());
    }
    c.description = in.text();
    c.dateTime = in.text();
    return c;
}

Commitment untouched()
{
    Commitment c;
    c.description = "untouched";
    c.settings.counts = { 7 };
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    std::string problem;

    if (mode & 1) {
        const Commitment made = commitmentFrom(in);
        const std::string text = formatCommitmentText(made);
        FUZZ_CHECK(!findUnsafeText(text));
        Commitment read;
        FUZZ_CHECK(parseCommitmentText(text, read, problem));
        FUZZ_CHECK(read == made);
        return 0;
    }

    const std::string_view text = in.rest();
    Commitment commitment = untouched();
    if (!parseCommitmentText(text, commitment, problem)) {
        FUZZ_CHECK(commitment == untouched());
        FUZZ_CHECK(!problem.empty() && !findUnsafeText(problem));
        return 0;
    }
    const std::string_view body = text.substr(text.substr(0, 3) == kuji::text::kUtf8Bom ? 3 : 0);
    FUZZ_CHECK(fuzz::wellFormedUtf8(body) && !findUnsafeText(body));
    // A carriage return only ever ends a line (CR LF, an editor's doing) or the text.
    for (std::size_t cr = body.find('\r'); cr != std::string_view::npos; cr = body.find('\r', cr + 1))
        FUZZ_CHECK(cr + 1 == body.size() || body[cr + 1] == '\n');
    FUZZ_CHECK(commitment.description.size() + commitment.dateTime.size() <= text.size());
    const std::string formatted = formatCommitmentText(commitment);
    Commitment again;
    FUZZ_CHECK(parseCommitmentText(formatted, again, problem) && again == commitment);
    FUZZ_CHECK(formatCommitmentText(again) == formatted);
    return 0;
}
