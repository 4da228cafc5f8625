// The entry reader over every encoding it reads and both record rules, compared with a plain
// split of the whole decoded file: however the file is cut into pieces and slices, the entries
// are the same, their count is what the reader says, and no entry holds more than the file.
#include "entries/EntryReader.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/InputFile.h"
#include "support/TextChecks.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace kuji;

namespace {

// The file's bytes in the encoding the choice names; the body is either raw bytes behind the
// encoding's mark or UTF-8 text converted to it.
std::string inEncoding(unsigned choice, std::string_view body)
{
    switch (choice % 8) {
    case 1:
        return std::string(text::kUtf8Bom) + std::string(body);
    case 2:
        return std::string(text::kUtf16LeBom) + std::string(body);
    case 3:
        return std::string(text::kUtf16BeBom) + std::string(body);
    case 4:
        // A CP932 lead byte can start no UTF-8 text, so the file is read as CP932.
        return "\x82\xA0" + std::string(body);
    case 5:
        return std::string(text::kUtf16LeBom) + text::utf8ToUtf16(body, false);
    case 6:
        return std::string(text::kUtf16BeBom) + text::utf8ToUtf16(body, true);
    case 7:
        return text::toCp932Exact(body).value_or(std::string(body));
    default:
        return std::string(body);
    }
}

struct Split {
    std::vector<std::string> entries;
    std::int64_t breaks = 0;
    std::int32_t lines = 0;
    std::int32_t unclosedQuoteLine = 0;
};

// The record rule, written plainly over the whole text.
Split splitPlainly(std::string_view text, bool csv)
{
    Split out;
    std::vector<std::string_view> lines;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = i;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.push_back(text.substr(i, end - i));
        i = end;
        if (i < text.size()) {
            ++out.breaks;
            i += text.substr(i, 2) == "\r\n" ? 2 : 1;
        }
    }
    out.lines = static_cast<std::int32_t>(lines.size());
    for (std::size_t k = 0; k < lines.size();) {
        const std::size_t first = k;
        std::string record(lines[k]);
        auto quotes = csv ? std::count(lines[k].begin(), lines[k].end(), '"') : 0;
        for (++k; quotes % 2 != 0 && k < lines.size(); ++k) {
            record += "\r\n";
            record += lines[k];
            quotes += std::count(lines[k].begin(), lines[k].end(), '"');
        }
        if (quotes % 2 != 0)
            out.unclosedQuoteLine = static_cast<std::int32_t>(first + 1);
        out.entries.push_back(std::move(record));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::InputFile file("entries");
    fuzz::FuzzInput in(data, size);
    const std::uint8_t encodingChoice = in.byte();
    const std::uint8_t options = in.byte();
    const bool csv = options & 1;
    const bool sliced = options & 2;
    // Small pieces put piece ends everywhere: beside CR LF, in a surrogate pair, in a kanji.
    const std::size_t pieceBytes = (options & 4) ? 1 + (options >> 3) : std::size_t { 1 } << 20;
    const std::string bytes = inEncoding(encodingChoice, in.rest());
    file.write(bytes);

    EntryReader reader(pieceBytes);
    ErrorInfo err;
    if (sliced) {
        // The window's way: start, then slices with the deadline always already past.
        FUZZ_CHECK(reader.start(file.path(), csv, err));
        std::size_t calls = 0;
        while (!reader.load(std::chrono::steady_clock::time_point::min()))
            FUZZ_CHECK(++calls <= bytes.size() + 1);
    } else {
        FUZZ_CHECK(reader.open(file.path(), csv, err));
    }
    FUZZ_CHECK(reader.loaded());
    FUZZ_CHECK(reader.lineCount() == countTextLineBreaks(bytes) + 1);

    EntryList entries;
    while (!reader.atEnd()) {
        // Every call makes progress, however late it is.
        FUZZ_CHECK(reader.readSome(entries, std::chrono::steady_clock::time_point::min()) > 0);
    }
    FUZZ_CHECK(!reader.failed());
    FUZZ_CHECK(reader.readSome(entries, std::chrono::steady_clock::time_point::max()) == 0);

    const text::Decoded decoded = text::decode(bytes);
    FUZZ_CHECK(reader.encoding() == decoded.encoding);
    const Split expected = splitPlainly(decoded.utf8, csv);
    FUZZ_CHECK(reader.lineCount() == expected.breaks + 1);
    FUZZ_CHECK(reader.linesRead() == expected.lines);
    FUZZ_CHECK(reader.entries() == static_cast<std::int32_t>(entries.size()));
    FUZZ_CHECK(entries.size() == expected.entries.size());
    FUZZ_CHECK(reader.unclosedQuoteLine() == expected.unclosedQuoteLine);
    std::uint32_t key = 0;
    for (const EntryList::Entry entry : entries) {
        FUZZ_CHECK(entry.key == ++key);
        FUZZ_CHECK(entry.text == expected.entries[key - 1]);
        FUZZ_CHECK(fuzz::wellFormedUtf8(entry.text));
    }
    return 0;
}
