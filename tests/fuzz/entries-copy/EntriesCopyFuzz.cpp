// The entries-copy parser, both formats. A refused copy leaves no entries; an accepted one
// holds no control character (tabs and line breaks only in format 1) and no malformed UTF-8,
// matches its own count and digest, and reads back the same after formatting. Entries of any
// bytes at all come back whole through the formatter and the parser, and the size the
// records folder budgets for a copy is its size.
#include "records/EntriesCopy.h"

#include "common/TextSafety.h"
#include "draw/DrawSeed.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/TextChecks.h"

using namespace kuji;

namespace {

bool same(const EntryList& a, const EntryList& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a.text(i) != b.text(i))
            return false;
    return true;
}

// A copy in format 1, as records of format 1 kept them: "<bytes>:<entry>\n" each.
std::string formatOne(const EntryList& entries)
{
    std::string out = "くじ丸 エントリーの写し\n記録の形式: 1\nエントリーの件数: " + std::to_string(entries.size())
        + "\nエントリーのSHA-256: " + toHex(WorkListHasher::of(entries)) + "\n";
    for (const EntryList::Entry entry : entries)
        out.append(std::to_string(entry.text.size())).append(":").append(entry.text).append("\n");
    return out + "記録の終わり\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    std::string problem;

    if (mode & 1) {
        EntryList made;
        for (std::size_t n = in.byte() % 16; n > 0; --n)
            made.append(in.text(64));
        const std::string text = EntriesCopy::format(made);
        FUZZ_CHECK(!findUnsafeText(text) && EntriesCopy::looksLikeCopy(text));
        FUZZ_CHECK(EntriesCopy::formattedSize(made) == text.size());
        EntryList read;
        FUZZ_CHECK(EntriesCopy::parse(text, read, problem) && same(read, made));
        // Format 1 wrote entries raw: it reads back whenever they are plain text.
        const std::string old = formatOne(made);
        const bool plain = !findUnsafeText(old, true);
        FUZZ_CHECK(EntriesCopy::parse(old, read, problem) == plain);
        FUZZ_CHECK(plain ? same(read, made) : read.empty());
        return 0;
    }

    const std::string_view text = in.rest();
    EntryList entries;
    entries.append("untouched");
    if (!EntriesCopy::parse(text, entries, problem)) {
        FUZZ_CHECK(entries.empty());
        FUZZ_CHECK(!problem.empty() && !findUnsafeText(problem));
        return 0;
    }
    const bool format1 = text.find("\n記録の形式: 1\n") != std::string_view::npos;
    FUZZ_CHECK(fuzz::wellFormedUtf8(text) && !findUnsafeText(text, format1));
    std::size_t entryBytes = 0;
    for (const EntryList::Entry entry : entries)
        entryBytes += entry.text.size();
    FUZZ_CHECK(entryBytes <= text.size());
    const std::string formatted = EntriesCopy::format(entries);
    EntryList again;
    FUZZ_CHECK(EntriesCopy::parse(formatted, again, problem) && same(again, entries));
    FUZZ_CHECK(EntriesCopy::format(again) == formatted);
    return 0;
}
