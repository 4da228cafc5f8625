#include "records/DrawRecord.h"

#include "common/ListRows.h"
#include "common/TextCodec.h"
#include "common/TextSafety.h"

#include <charconv>
#include <ctime>

namespace kuji {
namespace {

constexpr std::string_view kTitle = "くじ丸 抽選記録";
constexpr std::string_view kResultsLine = "結果:";
constexpr std::string_view kEndLine = "記録の終わり";
constexpr std::string_view kMorePrefix = "ほか ";
constexpr std::string_view kMoreSuffix
    = " 件（記録には載せていません。結果のSHA-256 はすべての結果から計算しています）";
constexpr std::string_view kNone = "なし";
constexpr std::string_view kCopyKept = "あり";
constexpr std::string_view kCopyTooLarge = "なし（200 MB を超えるため残していません）";

// The header fields, in the order a record lists them.
namespace field {
constexpr std::string_view kFormat = "記録の形式";
constexpr std::string_view kSequence = "通し番号";
constexpr std::string_view kPrevious = "前の記録のSHA-256";
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
constexpr std::string_view kPrizeNames = "賞の名前";
constexpr std::string_view kEntryCount = "エントリーの件数";
constexpr std::string_view kWorkList = "エントリーのSHA-256";
constexpr std::string_view kEntriesCopy = "エントリーの写し";
constexpr std::string_view kCommitment = "予告番号";
constexpr std::string_view kCommitmentDateTime = "予告の日時";
constexpr std::string_view kCommitmentDescription = "公開値の説明";
constexpr std::string_view kPublicValue = "公開値";
constexpr std::string_view kNormalizedValue = "正規化した公開値";
constexpr std::string_view kReplacement = "再抽選";
constexpr std::string_view kReplacementOriginal = "再抽選の元の記録のSHA-256";
constexpr std::string_view kReplacementPrevious = "再抽選の前の記録のSHA-256";
constexpr std::string_view kAbsent = "欠席";
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

std::string lineText(std::size_t line)
{
    return std::to_string(line) + " 行目";
}

// Walks the lines of a record and says where reading failed.
class Lines {
public:
    Lines(std::string_view text, std::string& problem)
        : m_text(text)
        , m_problem(problem)
    {
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    std::size_t number() const { return m_line; }

    // The next line without its line end; false when the text has ended or the line holds a
    // carriage return that ends nothing (problem says so then).
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
        if (line.find('\r') != std::string_view::npos) {
            m_problem = lineText(m_line) + "の途中に制御文字 U+000D（復帰）があります。";
            m_broken = true;
            return false;
        }
        return true;
    }

    // The next line, which must be "name: value"; value is unescaped.
    bool field(std::string_view name, std::string& value)
    {
        std::string_view line;
        if (!next(line)) {
            if (!m_broken)
                m_problem = "記録が途中で終わっています（" + lineText(m_line + 1) + "に「" + std::string(name)
                    + "」がありません）。";
            return false;
        }
        if (line.size() < name.size() + 2 || line.substr(0, name.size()) != name
            || line.substr(name.size(), 2) != ": ") {
            m_problem = lineText(m_line) + "に「" + std::string(name) + ": 」がありません。";
            return false;
        }
        if (!unescapeRecordValue(line.substr(name.size() + 2), value)) {
            m_problem = lineText(m_line) + "の「" + std::string(name) + "」の値に正しくない「\\」の書き方があります。";
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

    bool bad(std::string_view name)
    {
        m_problem = lineText(m_line) + "の「" + std::string(name) + "」の値が正しくありません。";
        return false;
    }

private:
    std::string_view m_text;
    std::string& m_problem;
    std::size_t m_pos = 0;
    std::size_t m_line = 0;
    bool m_broken = false;
};

std::size_t lineOfOffset(std::string_view text, std::size_t offset)
{
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if (text[i] == '\n')
            ++line;
    return line;
}

// Absent winners as a record lists them: "000000002=7, 000000009=3", each row's key and what
// it drew.
std::string formatAbsent(const std::vector<ReplacementInfo::Absent>& absent)
{
    std::string out;
    for (const ReplacementInfo::Absent& a : absent) {
        if (!out.empty())
            out += ", ";
        out += formatSequenceKey(a.key) + "=" + std::to_string(a.value);
    }
    return out;
}

bool parseAbsent(std::string_view text, std::vector<ReplacementInfo::Absent>& absent)
{
    absent.clear();
    while (true) {
        const std::size_t equals = text.find('=');
        if (equals != 9 || text.substr(0, 9).find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        const std::size_t end = text.find(", ");
        std::uint64_t key = 0;
        std::uint64_t value = 0;
        if (!parseCount(text.substr(0, 9), key)
            || !parseCount(text.substr(10, end == std::string_view::npos ? end : end - 10), value)
            || value > 0xFFFFFFFFu)
            return false;
        absent.push_back({ static_cast<std::uint32_t>(key), static_cast<std::uint32_t>(value) });
        if (end == std::string_view::npos)
            return true;
        text.remove_prefix(end + 2);
    }
}

// The header of a record, field by field, after its title and format lines.
class HeaderReader {
public:
    HeaderReader(Lines& lines, DrawRecord& r)
        : m_lines(lines)
        , m_r(r)
    {
    }

    bool read()
    {
        std::string value;
        if (m_r.format >= 2) {
            if (!m_lines.field(field::kSequence, value))
                return false;
            if (!parseCount(value, m_r.sequence) || m_r.sequence == 0)
                return m_lines.bad(field::kSequence);
            if (!m_lines.field(field::kPrevious, value))
                return false;
            if (value != kNone) {
                m_r.previous.emplace();
                if (!fromHex(value, *m_r.previous))
                    return m_lines.bad(field::kPrevious);
            }
        }
        if (!m_lines.field(field::kDateTime, m_r.dateTime) || !m_lines.field(field::kProgram, m_r.program)
            || !m_lines.field(field::kAlgorithm, m_r.algorithm) || !m_lines.field(field::kMode, value))
            return false;
        if (value != modeLabel(false) && value != modeLabel(true))
            return m_lines.bad(field::kMode);
        m_r.settings.fileMode = value == modeLabel(true);
        if (m_r.settings.fileMode) {
            m_r.sourceIsFile = !m_lines.nextIs(field::kTransfer);
            if (!m_lines.field(m_r.sourceIsFile ? field::kFile : field::kTransfer, m_r.source)
                || !m_lines.field(field::kRegistered, m_r.settings.maximum))
                return false;
        } else if (!m_lines.field(field::kMinimum, m_r.settings.minimum)
            || !m_lines.field(field::kMaximum, m_r.settings.maximum)) {
            return false;
        }
        if (!m_lines.field(field::kCount, m_r.settings.count) || !m_lines.field(field::kNoDuplicates, value))
            return false;
        if (value != "あり" && value != "なし")
            return m_lines.bad(field::kNoDuplicates);
        m_r.settings.noDuplicates = value == "あり";
        if (m_r.format >= 2 && m_lines.nextIs(field::kPrizeNames)) {
            m_r.prizeNames.emplace();
            if (!m_lines.field(field::kPrizeNames, *m_r.prizeNames))
                return false;
        }
        return readEntries() && readPublic() && readReplacement() && readDigests();
    }

private:
    bool readEntries()
    {
        if (!m_r.settings.fileMode)
            return true;
        std::string value;
        if (!m_lines.field(field::kEntryCount, value))
            return false;
        if (!parseCount(value, m_r.entryCount))
            return m_lines.bad(field::kEntryCount);
        if (!m_lines.field(field::kWorkList, value))
            return false;
        if (!fromHex(value, m_r.workList))
            return m_lines.bad(field::kWorkList);
        if (m_r.format < 2 || m_r.sourceIsFile)
            return true;
        if (!m_lines.field(field::kEntriesCopy, value))
            return false;
        if (value == kCopyKept)
            m_r.entriesCopy = EntriesCopyState::Kept;
        else if (value == kCopyTooLarge)
            m_r.entriesCopy = EntriesCopyState::TooLarge;
        else
            return m_lines.bad(field::kEntriesCopy);
        return true;
    }

    bool readPublic()
    {
        std::string value;
        if (m_r.format >= 2 && m_lines.nextIs(field::kCommitment)) {
            if (!m_lines.field(field::kCommitment, value))
                return false;
            m_r.commitmentNumber.emplace();
            if (!parseCommitmentNumber(value, *m_r.commitmentNumber))
                return m_lines.bad(field::kCommitment);
            if (!m_lines.field(field::kCommitmentDateTime, m_r.commitmentDateTime)
                || !m_lines.field(field::kCommitmentDescription, m_r.commitmentDescription))
                return false;
            m_r.publicValue.emplace();
            return m_lines.field(field::kPublicValue, *m_r.publicValue)
                && m_lines.field(field::kNormalizedValue, m_r.normalizedValue);
        }
        if (m_lines.nextIs(field::kPublicValue)) {
            m_r.publicValue.emplace();
            return m_lines.field(field::kPublicValue, *m_r.publicValue);
        }
        return true;
    }

    bool readReplacement()
    {
        if (m_r.format < 2 || !m_lines.nextIs(field::kReplacement))
            return true;
        std::string value;
        ReplacementInfo& info = m_r.replacement.emplace();
        std::uint64_t number = 0;
        if (!m_lines.field(field::kReplacement, value))
            return false;
        if (!parseCount(value, number) || number == 0 || number > 0xFFFFFFFFu)
            return m_lines.bad(field::kReplacement);
        info.number = static_cast<std::uint32_t>(number);
        if (!m_lines.field(field::kReplacementOriginal, value))
            return false;
        if (!fromHex(value, info.original))
            return m_lines.bad(field::kReplacementOriginal);
        if (!m_lines.field(field::kReplacementPrevious, value))
            return false;
        if (!fromHex(value, info.previous))
            return m_lines.bad(field::kReplacementPrevious);
        if (!m_lines.field(field::kAbsent, value))
            return false;
        if (!parseAbsent(value, info.absent))
            return m_lines.bad(field::kAbsent);
        return true;
    }

    bool readDigests()
    {
        std::string value;
        if (!m_lines.field(field::kSeed, value))
            return false;
        if (!seedFromHex(value, m_r.seed))
            return m_lines.bad(field::kSeed);
        if (!m_lines.field(field::kResultCount, value))
            return false;
        if (!parseCount(value, m_r.resultCount))
            return m_lines.bad(field::kResultCount);
        if (!m_lines.field(field::kResults, value))
            return false;
        if (!fromHex(value, m_r.results))
            return m_lines.bad(field::kResults);
        return true;
    }

    Lines& m_lines;
    DrawRecord& m_r;
};

} // namespace

void RecordedResults::add(std::string_view text)
{
    m_hash.updateField(text);
    if (m_count < kShownResults)
        m_shown.push_back(listDisplayText(text));
    ++m_count;
}

void RecordedResults::add(std::string_view text, std::optional<std::uint32_t> drawn)
{
    if (drawn) {
        const std::uint32_t value = *drawn;
        const char bytes[4] = { static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
            static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24) };
        m_hash.update(std::string_view(bytes, sizeof bytes));
    }
    if (m_count < kShownResults)
        m_shown.push_back(listDisplayText(text));
    ++m_count;
}

std::string withFileNameOnly(std::string_view recordText)
{
    std::string marker(1, '\n');
    marker.append(field::kFile).append(": ");
    std::string resultsLine(1, '\n');
    resultsLine.append(kResultsLine);
    const std::size_t header = recordText.find(resultsLine);
    const std::size_t at = recordText.find(marker);
    if (at == std::string_view::npos || at > header)
        return std::string(recordText);
    const std::size_t start = at + marker.size();
    std::size_t end = recordText.find('\n', start);
    if (end != std::string_view::npos && end > start && recordText[end - 1] == '\r')
        --end;
    std::string path;
    if (end == std::string_view::npos || !unescapeRecordValue(recordText.substr(start, end - start), path))
        return std::string(recordText);
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string out(recordText.substr(0, start));
    out += escapeRecordValue(name);
    out += recordText.substr(end);
    return out;
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
    appendEscapedRecordValue(out, value);
    return out;
}

void appendEscapedRecordValue(std::string& out, std::string_view value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto escapeByte = [](std::string& out, unsigned char byte) {
        out += "\\x";
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0x0F];
    };
    for (std::size_t i = 0; i < value.size();) {
        const char c = value[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            escapeByte(out, byte);
        } else if (byte < 0x80) {
            out += c;
        } else {
            const std::size_t length = text::utf8SequenceLength(value.substr(i));
            if (length == 0) {
                escapeByte(out, byte);
                ++i;
                continue;
            }
            const char32_t ch = text::utf8CodePoint(value.substr(i), length);
            if (ch >= 0x80 && ch <= 0x9F) {
                for (std::size_t k = 0; k < length; ++k)
                    escapeByte(out, static_cast<unsigned char>(value[i + k]));
            } else {
                out.append(value.substr(i, length));
            }
            i += length;
            continue;
        }
        ++i;
    }
}

bool unescapeRecordValue(std::string_view text, std::string& value)
{
    value.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
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
    const bool escapeRows = r.format >= 2;
    std::string out;
    std::size_t shownBytes = 0;
    for (const std::string& row : r.shownResults)
        shownBytes += row.size() + 11;
    out.reserve(1024 + shownBytes);
    out.append(kTitle);
    out += '\n';
    addField(out, field::kFormat, std::to_string(r.format));
    if (r.format >= 2) {
        addField(out, field::kSequence, std::to_string(r.sequence));
        addField(out, field::kPrevious, r.previous ? toHex(*r.previous) : std::string(kNone));
    }
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
    if (r.format >= 2 && r.prizeNames)
        addField(out, field::kPrizeNames, escapeRecordValue(*r.prizeNames));
    if (r.settings.fileMode) {
        addField(out, field::kEntryCount, std::to_string(r.entryCount));
        addField(out, field::kWorkList, toHex(r.workList));
        if (r.format >= 2 && !r.sourceIsFile)
            addField(out, field::kEntriesCopy, r.entriesCopy == EntriesCopyState::Kept ? kCopyKept : kCopyTooLarge);
    }
    if (r.format >= 2 && r.commitmentNumber) {
        addField(out, field::kCommitment, formatCommitmentNumber(*r.commitmentNumber));
        addField(out, field::kCommitmentDateTime, escapeRecordValue(r.commitmentDateTime));
        addField(out, field::kCommitmentDescription, escapeRecordValue(r.commitmentDescription));
        addField(out, field::kPublicValue, escapeRecordValue(r.publicValue.value_or(std::string())));
        addField(out, field::kNormalizedValue, escapeRecordValue(r.normalizedValue));
    } else if (r.publicValue) {
        addField(out, field::kPublicValue, escapeRecordValue(*r.publicValue));
    }
    if (r.format >= 2 && r.replacement) {
        addField(out, field::kReplacement, std::to_string(r.replacement->number));
        addField(out, field::kReplacementOriginal, toHex(r.replacement->original));
        addField(out, field::kReplacementPrevious, toHex(r.replacement->previous));
        addField(out, field::kAbsent, formatAbsent(r.replacement->absent));
    }
    addField(out, field::kSeed, seedToHex(r.seed));
    addField(out, field::kResultCount, std::to_string(r.resultCount));
    addField(out, field::kResults, toHex(r.results));
    out.append(kResultsLine);
    out += '\n';
    for (std::size_t i = 0; i < r.shownResults.size(); ++i) {
        out.append(formatSequenceKey(static_cast<std::uint32_t>(i)));
        out += ' ';
        out.append(escapeRows ? escapeRecordValue(r.shownResults[i]) : r.shownResults[i]);
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
    problem.clear();
    if (text.substr(0, 3) == text::kUtf8Bom)
        text.remove_prefix(3);
    Lines lines(text, problem);
    std::string_view line;
    if (!lines.next(line) || line != kTitle) {
        problem = "くじ丸の抽選記録ではありません（1 行目が「" + std::string(kTitle) + "」ではありません）。";
        return false;
    }
    DrawRecord r;
    std::string value;
    if (!lines.field(field::kFormat, value))
        return false;
    if (value == "1" || value == "2") {
        r.format = value[0] - '0';
    } else {
        problem = "2 行目: 記録の形式「" + printableText(value) + "」には対応していません。";
        return false;
    }
    // Nothing a terminal would obey, and nothing that is not UTF-8. Records of format 1 wrote
    // result rows as they were, so a tab in an entry may stand in them.
    if (const auto spot = findUnsafeText(text, r.format == 1)) {
        problem = lineText(lineOfOffset(text, spot->offset)) + "に" + spot->cause + " があります。";
        return false;
    }
    HeaderReader header(lines, r);
    if (!header.read())
        return false;
    if (!lines.next(line)) {
        if (problem.empty())
            problem = "記録が途中で終わっています（「結果:」の行がありません）。";
        return false;
    }
    if (line != kResultsLine) {
        problem = lineText(lines.number()) + "に「結果:」の行がありません。";
        return false;
    }

    const std::uint64_t shown = std::min<std::uint64_t>(r.resultCount, RecordedResults::kShownResults);
    for (std::uint64_t i = 0; i < shown; ++i) {
        if (r.shownResults.size() >= rowLimit) {
            record = std::move(r);
            return true;
        }
        if (!lines.next(line)) {
            if (problem.empty())
                problem = "記録が途中で終わっています（結果が " + std::to_string(i) + " 件しかなく、「結果の件数」の "
                    + std::to_string(r.resultCount) + " 件に足りません）。";
            return false;
        }
        const std::string key = formatSequenceKey(static_cast<std::uint32_t>(i));
        // An empty row is its key and a space; an editor that strips the space leaves it empty.
        if (line.substr(0, key.size()) != key || (line.size() > key.size() && line[key.size()] != ' ')) {
            problem = lineText(lines.number()) + "は結果の " + key + " 番の行ではありません。";
            return false;
        }
        const std::string_view row = line.substr(std::min(line.size(), key.size() + 1));
        if (r.format >= 2) {
            if (!unescapeRecordValue(row, value)) {
                problem = lineText(lines.number()) + "の結果に正しくない「\\」の書き方があります。";
                return false;
            }
            r.shownResults.push_back(value);
        } else {
            r.shownResults.emplace_back(row);
        }
    }
    if (r.resultCount > shown) {
        std::uint64_t more = 0;
        const bool ok = lines.next(line) && line.size() > kMorePrefix.size() + kMoreSuffix.size()
            && line.substr(0, kMorePrefix.size()) == kMorePrefix
            && line.substr(line.size() - kMoreSuffix.size()) == kMoreSuffix
            && parseCount(line.substr(kMorePrefix.size(), line.size() - kMorePrefix.size() - kMoreSuffix.size()), more)
            && more == r.resultCount - shown;
        if (!ok) {
            if (problem.empty())
                problem = lineText(lines.number()) + "の、記録に載せていない結果の件数の行が正しくありません。";
            return false;
        }
    }
    if (!lines.next(line)) {
        if (problem.empty())
            problem = "記録が途中で終わっています（「記録の終わり」の行がありません）。";
        return false;
    }
    if (line != kEndLine) {
        const bool looksLikeRow = line.size() >= 9
            && line.substr(0, 9).find_first_not_of("0123456789") == std::string_view::npos
            && (line.size() == 9 || line[9] == ' ');
        problem = looksLikeRow ? lineText(lines.number()) + "は、「結果の件数」の " + std::to_string(r.resultCount)
                + " 件より多い結果の行です。"
                               : lineText(lines.number()) + "に「記録の終わり」の行がありません。";
        return false;
    }
    if (!lines.atEnd()) {
        problem = lineText(lines.number() + 1) + ": 「記録の終わり」の後に余分な行があります。";
        return false;
    }
    record = std::move(r);
    return true;
}

} // namespace kuji
