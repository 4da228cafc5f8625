#include "records/CommitmentText.h"

#include "common/TextCodec.h"
#include "common/TextSafety.h"
#include "draw/DrawSeed.h"
#include "records/DrawRecord.h"

#include <charconv>
#include <vector>

namespace kuji {
namespace {

constexpr std::string_view kTitle = "くじ丸 公開抽選の予告";
constexpr std::string_view kFormat = "2";
constexpr std::string_view kEndLine = "記録の終わり";
constexpr std::string_view kPromise
    = "この予告番号は上の項目すべてから計算した SHA-256 です。公開値が発表されたら、この設定とエントリーのまま、"
      "その値で抽選します（くじ丸 アルゴリズム v2）。";

bool parseNumber(std::string_view text, std::int64_t& value)
{
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string_view::npos
        || (text.size() > 1 && text[0] == '0'))
        return false;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

bool parseCounts(std::string_view text, std::vector<std::int32_t>& counts)
{
    counts.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t dash = text.find('-', start);
        std::int64_t n = 0;
        if (!parseNumber(text.substr(start, dash - start), n) || n < 1 || n > 10'000'000)
            return false;
        counts.push_back(static_cast<std::int32_t>(n));
        if (dash == std::string_view::npos)
            return true;
        start = dash + 1;
    }
}

class Reader {
public:
    Reader(std::string_view text, std::string& problem)
        : m_text(text)
        , m_problem(problem)
    {
    }

    bool line(std::string_view& out)
    {
        if (m_pos >= m_text.size()) {
            m_problem = "予告が途中で終わっています（" + std::to_string(m_line + 1) + " 行目がありません）。";
            return false;
        }
        const std::size_t lf = m_text.find('\n', m_pos);
        const std::size_t end = lf == std::string_view::npos ? m_text.size() : lf;
        out = m_text.substr(m_pos, end - m_pos);
        if (!out.empty() && out.back() == '\r')
            out.remove_suffix(1);
        m_pos = lf == std::string_view::npos ? m_text.size() : lf + 1;
        ++m_line;
        // A carriage return that ends no line would send a terminal back over what it showed.
        if (out.find('\r') != std::string_view::npos) {
            m_problem = std::to_string(m_line) + " 行目の途中に制御文字 U+000D（復帰）があります。";
            return false;
        }
        return true;
    }

    bool exact(std::string_view wanted)
    {
        std::string_view got;
        if (!line(got))
            return false;
        if (got != wanted) {
            m_problem = std::to_string(m_line) + " 行目が「" + std::string(wanted.substr(0, 60)) + "」ではありません。";
            return false;
        }
        return true;
    }

    bool field(std::string_view name, std::string& value)
    {
        std::string_view got;
        if (!line(got))
            return false;
        if (got.substr(0, name.size()) != name || got.substr(name.size(), 2) != ": "
            || !unescapeRecordValue(got.substr(name.size() + 2), value)) {
            m_problem = std::to_string(m_line) + " 行目に「" + std::string(name) + ": 」が正しく書かれていません。";
            return false;
        }
        return true;
    }

    bool bad(std::string_view name)
    {
        m_problem = std::to_string(m_line) + " 行目の「" + std::string(name) + "」の値が正しくありません。";
        return false;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    std::size_t number() const { return m_line; }

private:
    std::string_view m_text;
    std::string& m_problem;
    std::size_t m_pos = 0;
    std::size_t m_line = 0;
};

void add(std::string& out, std::string_view name, std::string_view value)
{
    out.append(name).append(": ").append(value) += '\n';
}

} // namespace

std::string formatCommitmentText(const Commitment& c)
{
    std::string out;
    out.append(kTitle) += '\n';
    add(out, "記録の形式", kFormat);
    add(out, "予告番号", formatCommitmentNumber(commitmentNumber(c)));
    add(out, "予告の日時", escapeRecordValue(c.dateTime));
    add(out, "モード", modeLabel(c.settings.fileMode));
    add(out, "ダブり無し", c.settings.noDuplicates ? "あり" : "なし");
    if (c.settings.fileMode) {
        add(out, "登録数", c.settings.maximumText());
    } else {
        add(out, "最小値", c.settings.minimumText());
        add(out, "最大値", c.settings.maximumText());
    }
    add(out, "抽選数", c.settings.countsText());
    if (c.settings.fileMode) {
        add(out, "エントリーの件数", std::to_string(c.entryCount));
        add(out, "エントリーのSHA-256", toHex(c.workList));
    }
    add(out, "公開値の説明", escapeRecordValue(c.description));
    out.append(kPromise) += '\n';
    out.append(kEndLine) += '\n';
    return out;
}

bool parseCommitmentText(std::string_view text, Commitment& commitment, std::string& problem)
{
    if (text.substr(0, 3) == text::kUtf8Bom)
        text.remove_prefix(3);
    if (const auto spot = findUnsafeText(text)) {
        std::size_t line = 1;
        for (std::size_t i = 0; i < spot->offset; ++i)
            line += text[i] == '\n';
        problem = std::to_string(line) + " 行目に" + spot->cause + " があります。";
        return false;
    }
    Reader in(text, problem);
    Commitment c;
    std::string value;
    std::string number;
    if (!in.exact(kTitle))
        return false;
    if (!in.field("記録の形式", value))
        return false;
    if (value != kFormat)
        return in.bad("記録の形式");
    Sha256Digest promised {};
    if (!in.field("予告番号", number))
        return false;
    if (!parseCommitmentNumber(number, promised))
        return in.bad("予告番号");
    if (!in.field("予告の日時", c.dateTime) || !in.field("モード", value))
        return false;
    if (value != modeLabel(false) && value != modeLabel(true))
        return in.bad("モード");
    c.settings.fileMode = value == modeLabel(true);
    if (!in.field("ダブり無し", value))
        return false;
    if (value != "あり" && value != "なし")
        return in.bad("ダブり無し");
    c.settings.noDuplicates = value == "あり";
    if (c.settings.fileMode) {
        if (!in.field("登録数", value))
            return false;
        if (!parseNumber(value, c.settings.maximum))
            return in.bad("登録数");
    } else {
        if (!in.field("最小値", value))
            return false;
        if (!parseNumber(value, c.settings.minimum))
            return in.bad("最小値");
        if (!in.field("最大値", value))
            return false;
        if (!parseNumber(value, c.settings.maximum))
            return in.bad("最大値");
    }
    if (!in.field("抽選数", value))
        return false;
    if (!parseCounts(value, c.settings.counts))
        return in.bad("抽選数");
    if (c.settings.fileMode) {
        std::int64_t count = 0;
        if (!in.field("エントリーの件数", value))
            return false;
        if (!parseNumber(value, count))
            return in.bad("エントリーの件数");
        c.entryCount = static_cast<std::uint64_t>(count);
        if (!in.field("エントリーのSHA-256", value))
            return false;
        if (!fromHex(value, c.workList))
            return in.bad("エントリーのSHA-256");
    } else {
        c.workList = WorkListHasher::of(EntryList());
    }
    if (!in.field("公開値の説明", c.description) || !in.exact(kPromise) || !in.exact(kEndLine))
        return false;
    if (!in.atEnd()) {
        problem = std::to_string(in.number() + 1) + " 行目: 「記録の終わり」の後に余分な行があります。";
        return false;
    }
    if (commitmentNumber(c) != promised) {
        problem = "予告番号が、予告のほかの項目から計算した値と合いません（書き換えられた予告です）。";
        return false;
    }
    commitment = std::move(c);
    return true;
}

} // namespace kuji
