#include "records/DrawRecord.h"

#include "common/ListRows.h"

#include <charconv>
#include <ctime>

namespace kuji {
namespace {

constexpr std::string_view kTitle = "くじ丸 抽選記録";
constexpr std::string_view kFormatVersion = "1";
constexpr std::string_view kResultsLine = "結果:";
constexpr std::string_view kEndLine = "記録の終わり";
constexpr std::string_view kMorePrefix = "ほか ";
constexpr std::string_view kMoreSuffix
    = " 件（記録には載せていません。結果のSHA-256 はすべての結果から計算しています）";

// The header fields, in the order a record lists them.
namespace field {
constexpr std::string_view kFormat = "記録の形式";
constexpr std::string_view kDateTime = "日時";
constexpr std::string_view kProgram = "プログラム";
constexpr std::string_view kAlgorithm = "アルゴリズム";
constexpr std::string_view kMode = "モード";
constexpr std::string_view kMinimum = "最小値";
constexpr std::string_view kMaximum = "最大値";
constexpr std::string_view kFile = "ファイル";
constexpr std::string_view kTransfer = "転送元";
constexpr std::string_view kRegistered = "登録数";
constexpr std::string_view kCount = "抽選数";
constexpr std::string_view kNoDuplicates = "ダブり無し";
constexpr std::string_view kEntryCount = "エントリーの件数";
constexpr std::string_view kWorkList = "エントリーのSHA-256";
constexpr std::string_view kPublicValue = "公開値";
constexpr std::string_view kSeed = "シード";
constexpr std::string_view kResultCount = "結果の件数";
constexpr std::string_view kResults = "結果のSHA-256";
} // namespace field

void addField(std::string& out, std::string_view name, std::string_view value)
{
    out.append(name);
    out.append(": ");
    out.append(value);
    out += '\n';
}

bool parseCount(std::string_view text, std::uint64_t& value)
{
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Walks the lines of a record and says where reading failed.
class Lines {
public:
    explicit Lines(std::string_view text)
        : m_text(text)
    {
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    std::size_t number() const { return m_line; }

    // The next line without its line end; false when the text has ended.
    bool next(std::string_view& line)
    {
        if (atEnd())
            return false;
        const std::size_t lf = m_text.find('\n', m_pos);
        const std::size_t end = lf == std::string_view::npos ? m_text.size() : lf;
        line = m_text.substr(m_pos, end - m_pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_pos = lf == std::string_view::npos ? m_text.size() : lf + 1;
        ++m_line;
        return true;
    }

    // The next line, which must be "name: value"; value is unescaped.
    bool field(std::string_view name, std::string& value, std::string& problem)
    {
        std::string_view line;
        if (!next(line)) {
            problem = "記録が途中で終わっています（「" + std::string(name) + "」がありません）。";
            return false;
        }
        if (line.size() < name.size() + 2 || line.substr(0, name.size()) != name
            || line.substr(name.size(), 2) != ": ") {
            problem = std::to_string(m_line) + " 行目に「" + std::string(name) + ": 」がありません。";
            return false;
        }
        if (!unescapeRecordValue(line.substr(name.size() + 2), value)) {
            problem = std::to_string(m_line) + " 行目の「" + std::string(name) + "」の値が正しくありません。";
            return false;
        }
        return true;
    }

    // Whether the next line starts with "name: ", without taking it.
    bool nextIs(std::string_view name) const
    {
        const std::string_view rest = m_text.substr(m_pos);
        return rest.size() > name.size() + 1 && rest.substr(0, name.size()) == name
            && rest.substr(name.size(), 2) == ": ";
    }

    std::string badValue(std::string_view name) const
    {
        return std::to_string(m_line) + " 行目の「" + std::string(name) + "」の値が正しくありません。";
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_line = 0;
};

} // namespace

void RecordedResults::add(std::string_view text)
{
    m_hash.updateField(text);
    if (m_count < kShownResults)
        m_shown.push_back(listDisplayText(text));
    ++m_count;
}

std::string_view modeLabel(bool fileMode)
{
    return fileMode ? "読込抽選モード" : "数字抽選モード";
}

std::string currentDateTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[64];
    const std::size_t size = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
    return std::string(text, size);
}

std::string escapeRecordValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            out += "\\x";
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

bool unescapeRecordValue(std::string_view text, std::string& value)
{
    value.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F)
            return false;
        if (text[i] != '\\') {
            value += text[i];
            continue;
        }
        if (++i >= text.size())
            return false;
        switch (text[i]) {
        case '\\':
            value += '\\';
            break;
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case 'x': {
            unsigned int code = 0;
            if (i + 2 >= text.size())
                return false;
            const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, code, 16);
            if (ec != std::errc() || end != text.data() + i + 3)
                return false;
            value += static_cast<char>(code);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

std::string formatDrawRecord(const DrawRecord& r)
{
    std::string out;
    std::size_t shownBytes = 0;
    for (const std::string& row : r.shownResults)
        shownBytes += row.size() + 11;
    out.reserve(1024 + shownBytes);
    out.append(kTitle);
    out += '\n';
    addField(out, field::kFormat, kFormatVersion);
    addField(out, field::kDateTime, escapeRecordValue(r.dateTime));
    addField(out, field::kProgram, escapeRecordValue(r.program));
    addField(out, field::kAlgorithm, escapeRecordValue(r.algorithm));
    addField(out, field::kMode, modeLabel(r.settings.fileMode));
    if (r.settings.fileMode) {
        addField(out, r.sourceIsFile ? field::kFile : field::kTransfer, escapeRecordValue(r.source));
        addField(out, field::kRegistered, escapeRecordValue(r.settings.maximum));
    } else {
        addField(out, field::kMinimum, escapeRecordValue(r.settings.minimum));
        addField(out, field::kMaximum, escapeRecordValue(r.settings.maximum));
    }
    addField(out, field::kCount, escapeRecordValue(r.settings.count));
    addField(out, field::kNoDuplicates, r.settings.noDuplicates ? "あり" : "なし");
    if (r.settings.fileMode) {
        addField(out, field::kEntryCount, std::to_string(r.entryCount));
        addField(out, field::kWorkList, toHex(r.workList));
    }
    if (r.publicValue)
        addField(out, field::kPublicValue, escapeRecordValue(*r.publicValue));
    addField(out, field::kSeed, seedToHex(r.seed));
    addField(out, field::kResultCount, std::to_string(r.resultCount));
    addField(out, field::kResults, toHex(r.results));
    out.append(kResultsLine);
    out += '\n';
    for (std::size_t i = 0; i < r.shownResults.size(); ++i) {
        out.append(formatSequenceKey(static_cast<std::uint32_t>(i)));
        out += ' ';
        out.append(r.shownResults[i]);
        out += '\n';
    }
    if (r.resultCount > r.shownResults.size()) {
        out.append(kMorePrefix);
        out.append(std::to_string(r.resultCount - r.shownResults.size()));
        out.append(kMoreSuffix);
        out += '\n';
    }
    out.append(kEndLine);
    out += '\n';
    return out;
}

bool parseDrawRecord(std::string_view text, DrawRecord& record, std::string& problem, std::size_t rowLimit)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    Lines lines(text);
    std::string_view line;
    if (!lines.next(line) || line != kTitle) {
        problem = "くじ丸の抽選記録ではありません。";
        return false;
    }
    DrawRecord r;
    std::string value;
    if (!lines.field(field::kFormat, value, problem))
        return false;
    if (value != kFormatVersion) {
        problem = "記録の形式 " + value + " には対応していません。";
        return false;
    }
    if (!lines.field(field::kDateTime, r.dateTime, problem) || !lines.field(field::kProgram, r.program, problem)
        || !lines.field(field::kAlgorithm, r.algorithm, problem) || !lines.field(field::kMode, value, problem))
        return false;
    if (value != modeLabel(false) && value != modeLabel(true)) {
        problem = lines.badValue(field::kMode);
        return false;
    }
    r.settings.fileMode = value == modeLabel(true);
    if (r.settings.fileMode) {
        r.sourceIsFile = !lines.nextIs(field::kTransfer);
        if (!lines.field(r.sourceIsFile ? field::kFile : field::kTransfer, r.source, problem)
            || !lines.field(field::kRegistered, r.settings.maximum, problem))
            return false;
    } else if (!lines.field(field::kMinimum, r.settings.minimum, problem)
        || !lines.field(field::kMaximum, r.settings.maximum, problem)) {
        return false;
    }
    if (!lines.field(field::kCount, r.settings.count, problem) || !lines.field(field::kNoDuplicates, value, problem))
        return false;
    if (value != "あり" && value != "なし") {
        problem = lines.badValue(field::kNoDuplicates);
        return false;
    }
    r.settings.noDuplicates = value == "あり";
    if (r.settings.fileMode) {
        if (!lines.field(field::kEntryCount, value, problem))
            return false;
        if (!parseCount(value, r.entryCount)) {
            problem = lines.badValue(field::kEntryCount);
            return false;
        }
        if (!lines.field(field::kWorkList, value, problem))
            return false;
        if (!fromHex(value, r.workList)) {
            problem = lines.badValue(field::kWorkList);
            return false;
        }
    }
    if (lines.nextIs(field::kPublicValue)) {
        r.publicValue.emplace();
        if (!lines.field(field::kPublicValue, *r.publicValue, problem))
            return false;
    }
    if (!lines.field(field::kSeed, value, problem))
        return false;
    if (!seedFromHex(value, r.seed)) {
        problem = lines.badValue(field::kSeed);
        return false;
    }
    if (!lines.field(field::kResultCount, value, problem))
        return false;
    if (!parseCount(value, r.resultCount)) {
        problem = lines.badValue(field::kResultCount);
        return false;
    }
    if (!lines.field(field::kResults, value, problem))
        return false;
    if (!fromHex(value, r.results)) {
        problem = lines.badValue(field::kResults);
        return false;
    }
    if (!lines.next(line) || line != kResultsLine) {
        problem = "記録が途中で終わっているか、「結果:」の行がありません。";
        return false;
    }

    const std::uint64_t shown = std::min<std::uint64_t>(r.resultCount, RecordedResults::kShownResults);
    for (std::uint64_t i = 0; i < shown; ++i) {
        if (r.shownResults.size() >= rowLimit) {
            record = std::move(r);
            return true;
        }
        if (!lines.next(line)) {
            problem = "記録が途中で終わっています（結果が " + std::to_string(i) + " 件しかありません）。";
            return false;
        }
        const std::string key = formatSequenceKey(static_cast<std::uint32_t>(i));
        // An empty row is its key and a space; an editor that strips the space leaves it empty.
        if (line.substr(0, key.size()) != key || (line.size() > key.size() && line[key.size()] != ' ')) {
            problem = std::to_string(lines.number()) + " 行目は結果の " + key + " 番の行ではありません。";
            return false;
        }
        r.shownResults.emplace_back(line.substr(std::min(line.size(), key.size() + 1)));
    }
    if (r.resultCount > shown) {
        std::uint64_t more = 0;
        const bool ok = lines.next(line) && line.size() > kMorePrefix.size() + kMoreSuffix.size()
            && line.substr(0, kMorePrefix.size()) == kMorePrefix
            && line.substr(line.size() - kMoreSuffix.size()) == kMoreSuffix
            && parseCount(line.substr(kMorePrefix.size(), line.size() - kMorePrefix.size() - kMoreSuffix.size()), more)
            && more == r.resultCount - shown;
        if (!ok) {
            problem = "記録に載せていない結果の件数の行が正しくありません。";
            return false;
        }
    }
    if (!lines.next(line) || line != kEndLine) {
        problem = "記録が途中で終わっています（「記録の終わり」の行がありません）。";
        return false;
    }
    if (!lines.atEnd()) {
        problem = "「記録の終わり」の後に余分な行があります。";
        return false;
    }
    record = std::move(r);
    return true;
}

} // namespace kuji
