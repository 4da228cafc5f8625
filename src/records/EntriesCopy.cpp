#include "records/EntriesCopy.h"

#include "draw/DrawSeed.h"

#include <charconv>

namespace kuji {
namespace {

constexpr std::string_view kTitle = "くじ丸 エントリーの写し\n";
constexpr std::string_view kFormatLine = "記録の形式: 1\n";
constexpr std::string_view kCountPrefix = "エントリーの件数: ";
constexpr std::string_view kDigestPrefix = "エントリーのSHA-256: ";
constexpr std::string_view kEndLine = "記録の終わり\n";

// Reads "prefix<value>\n" at pos.
bool takeLine(std::string_view text, std::size_t& pos, std::string_view prefix, std::string_view& value)
{
    if (text.substr(pos, prefix.size()) != prefix)
        return false;
    const std::size_t start = pos + prefix.size();
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos)
        return false;
    value = text.substr(start, lf - start);
    pos = lf + 1;
    return true;
}

bool parseNumber(std::string_view text, std::uint64_t& value)
{
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

} // namespace

std::string EntriesCopy::format(const EntryList& entries)
{
    std::size_t bytes = 256;
    for (std::size_t i = 0; i < entries.size(); ++i)
        bytes += entries.text(i).size() + 12;
    std::string out;
    out.reserve(bytes);
    out.append(kTitle);
    out.append(kFormatLine);
    out.append(kCountPrefix).append(std::to_string(entries.size())) += '\n';
    out.append(kDigestPrefix).append(toHex(WorkListHasher::of(entries))) += '\n';
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view text = entries.text(i);
        out.append(std::to_string(text.size())) += ':';
        out.append(text) += '\n';
    }
    out.append(kEndLine);
    return out;
}

bool EntriesCopy::looksLikeCopy(std::string_view text)
{
    return text.substr(0, kTitle.size()) == kTitle;
}

bool EntriesCopy::parse(std::string_view text, EntryList& entries, std::string& problem)
{
    entries.clear();
    std::size_t pos = 0;
    std::string_view countText;
    std::string_view digestText;
    std::uint64_t count = 0;
    Sha256Digest digest {};
    if (!looksLikeCopy(text)) {
        problem = "くじ丸のエントリーの写しではありません。";
        return false;
    }
    pos = kTitle.size();
    bool header = text.substr(pos, kFormatLine.size()) == kFormatLine;
    pos += kFormatLine.size();
    header = header && takeLine(text, pos, kCountPrefix, countText) && parseNumber(countText, count)
        && takeLine(text, pos, kDigestPrefix, digestText) && fromHex(digestText, digest);
    if (!header) {
        problem = "エントリーの写しの見出しが正しくありません。";
        return false;
    }
    // Never reserve more than the text can hold: a damaged count must not ask for gigabytes.
    entries.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, text.size() / 3)), text.size() - pos);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t colon = text.find(':', pos);
        std::uint64_t length = 0;
        if (colon == std::string_view::npos || colon - pos > 19 || !parseNumber(text.substr(pos, colon - pos), length)
            || length > text.size() - colon - 1 || colon + 1 + length >= text.size()
            || text[colon + 1 + length] != '\n') {
            entries.clear();
            problem = "エントリーの写しが途中で終わっているか、" + std::to_string(i + 1) + " 件目が正しくありません。";
            return false;
        }
        entries.append(text.substr(colon + 1, length));
        pos = colon + 1 + length + 1;
    }
    if (text.substr(pos) != kEndLine) {
        entries.clear();
        problem = "エントリーの写しが途中で終わっているか、件数が合いません。";
        return false;
    }
    if (WorkListHasher::of(entries) != digest) {
        entries.clear();
        problem = "エントリーの写しの内容が、写しに書かれた SHA-256 と合いません。";
        return false;
    }
    return true;
}

} // namespace kuji
