#include "records/DrawVerifier.h"

#include "draw/DrawValidation.h"
#include "records/EntriesCopy.h"
#include "records/RecordStore.h"

namespace kuji {
namespace {

// The boxes hold digits and hyphens, but any text decodes.
std::u32string toU32(std::string_view utf8)
{
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t ch = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            ch = (ch << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += ch;
        i += length;
    }
    return out;
}

std::string count(std::uint64_t n)
{
    return std::to_string(n) + " 件";
}

constexpr std::size_t kRowsNamed = 5;

} // namespace

DrawVerifier::DrawVerifier(const std::string& recordPath, const std::string& entryPath)
{
    open(recordPath, entryPath);
}

DrawVerifier::~DrawVerifier() = default;

void DrawVerifier::finish(VerificationReport::Outcome outcome, std::string line)
{
    m_report.outcome = outcome;
    if (!line.empty())
        m_report.lines.push_back(std::move(line));
    m_done = true;
    m_reader.reset();
}

void DrawVerifier::open(const std::string& recordPath, const std::string& entryPath)
{
    using Outcome = VerificationReport::Outcome;
    std::string bytes;
    ErrorInfo err;
    if (!readFileBytes(recordPath, bytes, err))
        return finish(Outcome::Unreadable, "記録を読めません: " + recordPath + ": " + err.description);
    std::string problem;
    if (!parseDrawRecord(bytes, m_record, problem))
        return finish(Outcome::Unreadable, "記録を読めません: " + recordPath + ": " + problem);
    if (m_record.algorithm != kAlgorithmVersion)
        return finish(
            Outcome::Unreadable, "この記録のアルゴリズム「" + m_record.algorithm + "」には対応していません。");

    const RecordedSettings& boxes = m_record.settings;
    const ValidationResult checked = validateDrawSettings({ boxes.fileMode, boxes.noDuplicates,
        toU32(boxes.fileMode ? m_record.source : boxes.minimum), toU32(boxes.maximum), toU32(boxes.count) });
    if (checked.code != 0)
        return finish(Outcome::Mismatch, "記録の設定では抽選できません: " + checked.message);
    m_settings = checked.settings;
    if (!boxes.fileMode)
        return startDraw();

    // The entries: the file given, else the copy kept with the record, else the file it names.
    const std::string copy = RecordStore::entriesCopyPath(recordPath);
    m_entrySource = !entryPath.empty() ? entryPath
        : myFileExists(copy)           ? copy
        : m_record.sourceIsFile        ? m_record.source
                                       : std::string();
    if (m_entrySource.empty() || !myFileExists(m_entrySource)) {
        m_entriesMissing = true;
        return finish(Outcome::Unreadable,
            m_entrySource.empty() ? "この記録のエントリーの写し（" + copy + "）がありません。"
                                  : "抽選に使ったファイルがありません: " + m_entrySource);
    }
    if (!readFileBytes(m_entrySource, bytes, err))
        return finish(Outcome::Unreadable, "エントリーを読めません: " + m_entrySource + ": " + err.description);
    m_entries = std::make_shared<EntryList>();
    if (EntriesCopy::looksLikeCopy(bytes)) {
        if (!EntriesCopy::parse(bytes, *m_entries, problem))
            return finish(Outcome::Unreadable, "エントリーを読めません: " + m_entrySource + ": " + problem);
        return startDraw();
    }
    // An entry file is read exactly as the main window reads it.
    bytes = {};
    m_reader = std::make_unique<EntryReader>();
    if (!m_reader->open(m_entrySource, myIsCsvFile(m_entrySource), err))
        return finish(Outcome::Unreadable, "エントリーを読めません: " + m_entrySource + ": " + err.description);
}

std::int64_t DrawVerifier::total() const
{
    std::int64_t sum = 0;
    for (std::int32_t n : m_settings.counts)
        sum += n;
    return sum;
}

bool DrawVerifier::readEntries(std::chrono::steady_clock::time_point deadline)
{
    m_reader->readSome(*m_entries, deadline);
    if (m_reader->failed()) {
        finish(VerificationReport::Outcome::Unreadable,
            "エントリーを読めません: " + m_entrySource + ": " + m_reader->error().description);
        return false;
    }
    if (!m_reader->atEnd())
        return false;
    m_reader.reset();
    m_entries->shrinkToFit();
    startDraw();
    return true;
}

void DrawVerifier::startDraw()
{
    DrawPlan plan;
    plan.settings = m_settings;
    plan.boxes = m_record.settings;
    plan.entries = m_entries;
    plan.source = m_record.source;
    plan.sourceIsFile = m_record.sourceIsFile;
    plan.publicValue = m_record.publicValue;
    plan.seed = m_record.seed;
    plan.keepRecord = true;
    m_draw = std::make_unique<RecordedDraw>(std::move(plan), m_results);
}

bool DrawVerifier::step(std::chrono::steady_clock::time_point deadline)
{
    if (m_done)
        return true;
    if (m_reader && !readEntries(deadline))
        return m_done;
    if (!m_draw->step(deadline))
        return false;
    if (m_draw->failed())
        finish(VerificationReport::Outcome::Unreadable, "再現の途中でメモリが足りなくなりました。");
    else
        compare();
    return true;
}

void DrawVerifier::runToEnd()
{
    step(std::chrono::steady_clock::time_point::max());
}

void DrawVerifier::compare()
{
    const DrawRecord again = m_draw->record(m_record.dateTime);
    m_draw.reset();
    m_results.clear();
    std::vector<std::string>& lines = m_report.lines;
    if (m_record.settings.fileMode) {
        if (again.entryCount != m_record.entryCount)
            lines.push_back("エントリーの件数が違います（記録: " + count(m_record.entryCount)
                + "、今回: " + count(again.entryCount) + "）。");
        if (again.workList != m_record.workList)
            lines.push_back("エントリーの SHA-256 が違います（記録: " + toHex(m_record.workList)
                + "、今回: " + toHex(again.workList) + "）。");
    }
    if (again.seed != m_record.seed)
        lines.push_back("公開値・設定・エントリーから計算したシードが記録と違います（記録: " + seedToHex(m_record.seed)
            + "、計算: " + seedToHex(again.seed) + "）。");
    if (again.resultCount != m_record.resultCount)
        lines.push_back("結果の件数が違います（記録: " + count(m_record.resultCount)
            + "、再現: " + count(again.resultCount) + "）。");
    if (again.results != m_record.results)
        lines.push_back(
            "結果の SHA-256 が違います（記録: " + toHex(m_record.results) + "、再現: " + toHex(again.results) + "）。");
    std::size_t differing = 0;
    const std::size_t rows = std::max(again.shownResults.size(), m_record.shownResults.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string* recorded = i < m_record.shownResults.size() ? &m_record.shownResults[i] : nullptr;
        const std::string* drawn = i < again.shownResults.size() ? &again.shownResults[i] : nullptr;
        if (recorded && drawn && *recorded == *drawn)
            continue;
        if (++differing <= kRowsNamed)
            lines.push_back("結果 " + formatSequenceKey(static_cast<std::uint32_t>(i))
                + " が違います（記録: " + (recorded ? *recorded : std::string("なし"))
                + "、再現: " + (drawn ? *drawn : std::string("なし")) + "）。");
    }
    if (differing > kRowsNamed)
        lines.push_back("ほかに " + std::to_string(differing - kRowsNamed) + " 行の結果が違います。");
    finish(lines.empty() ? VerificationReport::Outcome::Match : VerificationReport::Outcome::Mismatch);
    if (m_report.outcome == VerificationReport::Outcome::Match)
        lines.push_back("記録どおりの結果（" + count(m_record.resultCount) + "）が再現されました。");
}

} // namespace kuji
