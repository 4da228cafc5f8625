// The text decoder and encoder. Whatever bytes a file holds, reading gives well-formed UTF-8
// in the encoding the bytes announce, also when they are looked at piece by piece; whatever text is saved comes back
// exactly as it was, in CP932 where CP932 can hold it, built whole or piece by piece; and text cut to a byte limit is
// the longest whole-character start that fits.
#include "common/FileReading.h"
#include "common/TextCodec.h"
#include "common/TextFileScan.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/TextChecks.h"

using namespace kuji;

namespace {

// The entry reader learns a file's encoding and line count from its bytes as they come in;
// however they are cut, it learns what the whole file says.
void checkScan(std::string_view bytes, fuzz::FuzzInput& cuts)
{
    TextFileScan scan;
    for (std::size_t seen = 0; seen < bytes.size();) {
        seen = std::min(bytes.size(), seen + 1 + cuts.byte() % 8);
        scan.advance(bytes.substr(0, seen), false);
    }
    scan.advance(bytes, true);
    const text::Encoding encoding = text::detectEncoding(bytes);
    FUZZ_CHECK(scan.encoding() == encoding && scan.lineBreaks() == countTextLineBreaks(bytes));
    if (encoding != text::Encoding::Utf16Le && encoding != text::Encoding::Utf16Be)
        FUZZ_CHECK(scan.validUtf8() == fuzz::wellFormedUtf8(bytes.substr(text::byteOrderMark(encoding).size())));
}

void checkDecoding(std::string_view bytes)
{
    FUZZ_CHECK(text::isValidUtf8(bytes) == fuzz::wellFormedUtf8(bytes));
    const text::Decoded decoded = text::decode(bytes);
    FUZZ_CHECK(fuzz::wellFormedUtf8(decoded.utf8));
    FUZZ_CHECK(decoded.encoding == text::detectEncoding(bytes));
    FUZZ_CHECK(bytes.starts_with(text::byteOrderMark(decoded.encoding)));
    if (decoded.encoding == text::Encoding::Utf8)
        FUZZ_CHECK(decoded.utf8 == bytes);

    const std::string repaired = text::repairUtf8(bytes);
    FUZZ_CHECK(fuzz::wellFormedUtf8(repaired));
    FUZZ_CHECK((repaired == bytes) == fuzz::wellFormedUtf8(bytes));
    FUZZ_CHECK(fuzz::wellFormedUtf8(text::cp932ToUtf8(bytes)));
    for (const bool bigEndian : { false, true }) {
        const std::string utf8 = text::utf16ToUtf8(bytes, bigEndian);
        FUZZ_CHECK(fuzz::wellFormedUtf8(utf8));
        // UTF-16 without an unpaired surrogate or an odd byte converts both ways unchanged.
        if (utf8.find("\xEF\xBF\xBD") == std::string::npos)
            FUZZ_CHECK(text::utf8ToUtf16(utf8, bigEndian) == bytes);
    }
}

void checkSaving(std::string_view utf8, fuzz::FuzzInput& cuts)
{
    const std::string saved = text::encodeForSave(utf8);
    FUZZ_CHECK(text::decode(saved).utf8 == utf8);
    const std::optional<std::string> cp932 = text::toCp932Exact(utf8);
    if (cp932)
        FUZZ_CHECK(text::cp932ToUtf8(*cp932) == utf8);
    // CP932 whenever CP932 holds the text and reads back as it; UTF-8 with its mark otherwise.
    FUZZ_CHECK((cp932 && saved == *cp932) || saved == std::string(text::kUtf8Bom) + std::string(utf8));
    if (cp932 && text::decode(*cp932).utf8 == utf8)
        FUZZ_CHECK(saved == *cp932);

    // The same text handed over in pieces gives the same bytes.
    text::SaveEncoder encoder;
    std::size_t at = 0;
    while (at < utf8.size()) {
        std::size_t end = std::min(utf8.size(), at + 1 + cuts.byte() % 16);
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
        encoder.append(utf8.substr(at, end - at));
        at = end;
    }
    FUZZ_CHECK(encoder.bytes() == saved);
    FUZZ_CHECK(
        encoder.encoding() == (saved.starts_with(text::kUtf8Bom) ? text::Encoding::Utf8Bom : text::Encoding::Cp932));
    FUZZ_CHECK(encoder.take() == saved && encoder.bytes().empty());

    // A value cut to a byte limit: a start of the text, whole characters, within the limit
    // in CP932 when the whole text is CP932 (in UTF-8 otherwise), and nothing more would fit.
    const std::size_t limit = cuts.byte();
    const std::string cut = text::truncateToEncodedBytes(utf8, limit);
    FUZZ_CHECK(utf8.starts_with(cut) && fuzz::wellFormedUtf8(cut));
    const auto cost = [&](std::string_view s) { return cp932 ? text::toCp932Exact(s)->size() : s.size(); };
    FUZZ_CHECK(cost(cut) <= limit || cut == utf8);
    if (cut.size() < utf8.size()) {
        const std::size_t next = text::utf8SequenceLength(utf8.substr(cut.size()));
        FUZZ_CHECK(next > 0 && cost(utf8.substr(0, cut.size() + next)) > limit);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput in(data, size);
    const std::uint8_t choice = in.byte();
    fuzz::FuzzInput cuts(data, std::min<std::size_t>(size, 64));
    const std::string_view body = in.rest();
    checkDecoding(body);
    checkScan(body, cuts);
    // Text to save: the body itself when it is UTF-8, else what it reads as in CP932 or UTF-16.
    const std::string utf8 = choice % 3 == 0 ? text::repairUtf8(body)
        : choice % 3 == 1                    ? text::cp932ToUtf8(body)
                                             : text::utf16ToUtf8(body, choice & 4);
    checkSaving(utf8, cuts);
    return 0;
}
