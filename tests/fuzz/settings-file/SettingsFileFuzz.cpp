// The settings-file reader and writer. Read and written back unchanged, a file keeps every
// byte; after a change every line the change did not touch is still there, in order, byte for
// byte (or, when a value forced a CP932 file into UTF-8, as the same text), and the value
// written reads back. The Settings class does the same through the file the program keeps.
#include "common/IniFile.h"
#include "common/Settings.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/InputFile.h"
#include "support/TextChecks.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

using namespace kuji;

namespace {

struct FileLine {
    std::string raw; // the line's bytes in the file's encoding, without its break
    std::string lineBreak;
    std::string name; // the section it opens, when it is a section header
    // A last UTF-16 line that ends in half a unit: once a line follows it, its text is all
    // that can stay (the half unit becomes U+FFFD).
    std::string rewritten;
};

// The lines of a settings file, split in its own encoding: by 16-bit units after a UTF-16
// byte-order mark, by bytes otherwise. Headers are found in the text as the file's encoding
// reads it: in CP932 a "]" can be the second byte of a character ("[ゾ" is 5B 83 5D).
std::vector<FileLine> linesOf(std::string_view bytes)
{
    const bool cp932 = IniFile::fromBytes(bytes).encoding() == text::Encoding::Cp932;
    const bool le = bytes.starts_with(text::kUtf16LeBom), be = bytes.starts_with(text::kUtf16BeBom);
    const std::size_t unit = le || be ? 2 : 1;
    bytes.remove_prefix(le || be ? 2 : bytes.starts_with(text::kUtf8Bom) ? 3 : 0);
    const auto charAt = [&](std::size_t i) -> int {
        if (unit == 1)
            return static_cast<unsigned char>(bytes[i]);
        if (i + 1 >= bytes.size())
            return -1;
        const auto hi = static_cast<unsigned char>(bytes[le ? i + 1 : i]);
        return hi == 0 ? static_cast<unsigned char>(bytes[le ? i : i + 1]) : 0x100;
    };
    std::vector<FileLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && charAt(end) != '\r' && charAt(end) != '\n')
            end += unit;
        end = std::min(end, bytes.size());
        FileLine line { std::string(bytes.substr(start, end - start)), "", "", "" };
        if (unit == 2 && line.raw.size() % 2 != 0)
            line.rewritten = text::utf8ToUtf16(text::utf16ToUtf8(line.raw, be), be);
        std::size_t next = end;
        if (end < bytes.size()) {
            next += unit;
            if (charAt(end) == '\r' && next < bytes.size() && charAt(next) == '\n')
                next += unit;
        }
        line.lineBreak = std::string(bytes.substr(end, next - end));
        // A section header: "[name]" once spaces around it are gone.
        const std::string text = unit == 2 ? text::utf16ToUtf8(line.raw, be)
            : cp932                        ? text::cp932ToUtf8(line.raw)
                                           : line.raw;
        const auto first = text.find_first_not_of(" \t\v\f");
        const auto last = text.find_last_not_of(" \t\v\f");
        if (first != std::string::npos && text[first] == '[') {
            const auto close = text.rfind(']', last);
            if (close != std::string::npos && close > first)
                line.name.append(1, '[').append(text, first + 1, close - first - 1);
        }
        lines.push_back(std::move(line));
        start = next;
    }
    return lines;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

// Every line of before that is outside the touched sections is in after, in order, as it was
// (or as the same text in UTF-8 when the file had to leave CP932); at most `changed` lines of
// the touched sections are gone.
void checkKept(std::string_view before, std::string_view after, std::vector<std::string_view> touched,
    std::size_t changed, bool leftCp932)
{
    const std::vector<FileLine> old = linesOf(before), now = linesOf(after);
    const auto keptAs = [&](const FileLine& was, const FileLine& is) {
        const bool sameBreak = is.lineBreak == was.lineBreak || was.lineBreak.empty();
        return sameBreak
            && (is.raw == was.raw || (leftCp932 && is.raw == text::cp932ToUtf8(was.raw))
                || (!was.rewritten.empty() && is.raw == was.rewritten));
    };
    std::size_t j = 0, gone = 0;
    bool inTouched = false;
    for (const FileLine& line : old) {
        if (!line.name.empty()) {
            inTouched = false;
            for (const std::string_view section : touched)
                inTouched = inTouched || sameName(std::string_view(line.name).substr(1), section);
        }
        std::size_t k = j;
        while (k < now.size() && !keptAs(line, now[k]))
            ++k;
        if (inTouched) {
            // A touched section may move as a whole (removed, then written anew at the end):
            // its lines only have to be somewhere further on.
            gone += k == now.size() ? 1 : 0;
            continue;
        }
        if (k == now.size())
            std::fprintf(stderr, "line lost: \"%s\"\n", line.raw.c_str());
        FUZZ_CHECK(k < now.size());
        j = k + 1;
    }
    FUZZ_CHECK(gone <= changed);
}

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// A name or value as the program hands them over: UTF-8 text without NUL.
std::string textFrom(fuzz::FuzzInput& in, std::size_t maxBytes)
{
    std::string t = text::repairUtf8(in.text(maxBytes));
    std::erase(t, '\0');
    return t;
}

void throughSettings(fuzz::FuzzInput& in, std::uint8_t op)
{
    static fuzz::InputFile file("kujitan.ini");
    std::vector<std::string> paths;
    for (std::size_t n = in.byte() % 12; n > 0; --n)
        paths.push_back(textFrom(in, 40));
    Settings::ResetPreset preset;
    preset.mode = (op & 32) ? Settings::Mode::File : Settings::Mode::Number;
    preset.minValue = textFrom(in, 12);
    preset.maxValue = textFrom(in, 12);
    preset.file = textFrom(in, 40);
    preset.countValue = textFrom(in, 12);
    preset.noDuplicates = op & 64;
    const std::string before(in.rest());

    Settings settings(file.write(before));
    // Reading never fails and never writes.
    settings.readMainWindowRect(1000, 1000);
    settings.readMode();
    settings.readNoDuplicates();
    FUZZ_CHECK(settings.readRecentFiles().size() <= Settings::kRecentFileCount);
    settings.readResetPreset();
    settings.readPickupPosition();
    settings.readNewStringRect();
    settings.readKeepRecords();
    FUZZ_CHECK(bytesOf(file.path()) == before);

    const bool wasCp932 = IniFile::fromBytes(before).encoding() == text::Encoding::Cp932;
    if (op & 16) {
        FUZZ_CHECK(settings.writeRecentFiles(paths));
        // Newest first in, oldest first out; a path the file cannot hold is left out.
        std::vector<std::string> expected;
        for (const std::string& path : paths)
            if (!path.empty() && path.find_first_of("\r\n") == std::string::npos && expected.size() < 10)
                expected.insert(expected.begin(), path);
        FUZZ_CHECK(settings.readRecentFiles() == expected);
        checkKept(before, bytesOf(file.path()), { Settings::kUseFile }, std::size_t(-1), wasCp932);
        return;
    }
    const bool stored = settings.writeResetPreset(preset);
    const std::string written = preset.mode == Settings::Mode::File
        ? preset.file + preset.countValue
        : preset.minValue + preset.maxValue + preset.countValue;
    FUZZ_CHECK(stored == (written.find_first_of("\r\n") == std::string::npos));
    if (!stored) {
        // Nothing half-written: a section is never left half old and half new.
        FUZZ_CHECK(bytesOf(file.path()) == before);
        return;
    }
    const Settings::ResetPreset read = settings.readResetPreset();
    FUZZ_CHECK(read.mode == preset.mode && read.noDuplicates == preset.noDuplicates);
    FUZZ_CHECK(read.countValue == Settings::filterDrawCount(preset.countValue));
    if (preset.mode == Settings::Mode::File)
        FUZZ_CHECK(read.file == preset.file);
    else
        FUZZ_CHECK(read.minValue == Settings::filterDigits(preset.minValue)
            && read.maxValue == Settings::filterDigits(preset.maxValue));
    checkKept(before, bytesOf(file.path()), { Settings::kReset }, 5, wasCp932);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput in(data, size);
    const std::uint8_t op = in.byte();
    if (op % 4 == 3) {
        throughSettings(in, op);
        return 0;
    }
    const std::string section = textFrom(in, 24);
    const std::string key = textFrom(in, 24);
    const std::string value = textFrom(in, 300);
    const std::string before(in.rest());

    IniFile ini = IniFile::fromBytes(before);
    const text::Encoding encoding = ini.encoding();
    // A value comes back cut to what the code page can hold, never inside a character.
    const std::string read = ini.value(section, key);
    FUZZ_CHECK(fuzz::wellFormedUtf8(read));
    FUZZ_CHECK(text::toCp932Exact(read).value_or(read).size() <= IniFile::kMaxValueBytes);
    FUZZ_CHECK(ini.bytes() == before);

    if (op % 4 == 1) {
        if (!ini.setValue(section, key, value)) {
            FUZZ_CHECK(ini.bytes() == before);
            return 0;
        }
        const std::string after = ini.bytes();
        FUZZ_CHECK(IniFile::fromBytes(after).value(section, key, IniFile::kLongValueBytes) == value);
        checkKept(before, after, { section }, 1, encoding == text::Encoding::Cp932);
    } else if (op % 4 == 2) {
        const bool removed = ini.removeSection(section);
        const std::string after = ini.bytes();
        FUZZ_CHECK(removed || after == before);
        FUZZ_CHECK(IniFile::fromBytes(after).value(section, key).empty());
        checkKept(before, after, { section }, std::size_t(-1), false);
    }
    return 0;
}
