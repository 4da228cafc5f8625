#include "records/DrawVerifier.h"
#include "common/FilePaths.h"

#include "common/TextSafety.h"
#include "draw/PublicValue.h"
#include "records/EntriesCopy.h"
#include "records/RecordStore.h"

#include <new>

namespace kuji {
namespace {

std::string count(std::uint64_t n)
{
    return std::to_string(n) + " 件";
}

// A value from a record or an entry file, as a message may show it.
std::string shown(std::string_view value)
{
    return printableText(value);
}

constexpr std::size_t kRowsNamed = 5;

} // namespace

DrawVerifier::DrawVerifier(const std::string& recordPath, const std::string& entryPath)
{
    try {
        open(recordPath, entryPath);
    } catch (const std::bad_alloc&) {
        finish(VerificationReport::Outcome::Unreadable, "メモリが足りないため確認できません。");
    } catch (const std::exception& error) {
        finish(VerificationReport::Outcome::Unreadable, "確認の途中でエラーが起きました: " + shown(error.what()));
    }
}

DrawVerifier::~DrawVerifier() = default;

void DrawVerifier::finish(VerificationReport::Outcome outcome, std::string line)
{
    m_report.outcome = outcome;
    if (!line.empty())
        m_report.lines.push_back(std::move(line));
    m_done = true;
    m_reader.reset();
    m_draw.reset();
    m_entries.reset();
    m_results.clear();
}

void DrawVerifier::open(const std::string& recordPath, const std::string& entryPath)
{
    using Outcome = VerificationReport::Outcome;
    std::string bytes;
    ErrorInfo err;
    if (!readFileBytes(recordPath, bytes, err))
        return finish(Outcome::Unreadable, "記録を読めません: " + shown(recordPath) + ": " + err.description);
    std::string problem;
    if (!parseDrawRecord(bytes, m_record, problem))
        return finish(Outcome::Unreadable, "記録を読めません: " + shown(recordPath) + ": " + problem);
    bytes = {};
    if (m_record.algorithm != kAlgorithmV1 && m_record.algorithm != kAlgorithmV2)
        return finish(
            Outcome::Unreadable, "この記録のアルゴリズム「" + shown(m_record.algorithm) + "」には対応していません。");

    const RecordedSettings& boxes = m_record.settings;
    PlannedDraw planned
        = planFromBoxes({ boxes.fileMode, boxes.noDuplicates, boxes.fileMode ? m_record.source : boxes.minimum,
                            boxes.maximum, boxes.count },
            nullptr);
    if (planned.validation.code != 0)
        return finish(Outcome::Unreadable, "記録の設定では抽選できません: " + shown(planned.validation.message));
    m_plan = std::move(planned.plan);
    m_plan.algorithm = m_record.algorithm;
    m_plan.source = m_record.source;
    m_plan.sourceIsFile = m_record.sourceIsFile;
    m_plan.publicValue = m_record.publicValue;
    m_plan.seed = m_record.seed;
    m_plan.keepRecord = true;
    if (boxes.fileMode && boxes.maximum != std::to_string(m_record.entryCount))
        return finish(Outcome::Unreadable,
            "記録の登録数（" + shown(boxes.maximum) + "）がエントリーの件数（" + count(m_record.entryCount)
                + "）と合わない、矛盾した記録です。");
    if (m_record.algorithm == kAlgorithmV2 && m_record.isPublic()) {
        if (!m_record.commitmentNumber)
            return finish(Outcome::Unreadable, "公開値を使った v2 の記録に予告番号がありません。");
        Commitment promised;
        promised.settings = m_plan.canonical(m_record.entryCount);
        promised.entryCount = boxes.fileMode ? m_record.entryCount : 0;
        promised.workList = boxes.fileMode ? m_record.workList : WorkListHasher::of(EntryList());
        promised.description = m_record.commitmentDescription;
        promised.dateTime = m_record.commitmentDateTime;
        m_plan.commitment = promised;
        m_report.info.push_back("予告番号: " + formatCommitmentNumber(*m_record.commitmentNumber)
            + "（公開された予告の番号と同じか確かめてください）");
        if (m_record.normalizedValue != normalizePublicValue(*m_record.publicValue))
            m_report.lines.push_back("「正規化した公開値」が、公開値から計算した値（"
                + shown(normalizePublicValue(*m_record.publicValue)) + "）と違います。");
        if (commitmentNumber(promised) != *m_record.commitmentNumber)
            m_report.lines.push_back("予告番号が、記録の項目から計算した値と違います（計算: "
                + formatCommitmentNumber(commitmentNumber(promised)) + "）。");
    }
    if (!boxes.fileMode)
        return startDraw();
    if (!chooseEntries(recordPath, entryPath))
        return;

    ErrorInfo readError;
    if (!readFileBytes(m_entrySource, bytes, readError))
        return finish(
            Outcome::Unreadable, "エントリーを読めません: " + shown(m_entrySource) + ": " + readError.description);
    m_entries = std::make_shared<EntryList>();
    if (EntriesCopy::looksLikeCopy(bytes)) {
        if (!EntriesCopy::parse(bytes, *m_entries, problem))
            return finish(Outcome::Unreadable, "エントリーを読めません: " + shown(m_entrySource) + ": " + problem);
        return startDraw();
    }
    // An entry file is read exactly as the main window reads it.
    bytes = {};
    m_reader = std::make_unique<EntryReader>();
    if (!m_reader->open(m_entrySource, myIsCsvFile(m_entrySource), readError))
        return finish(
            Outcome::Unreadable, "エントリーを読めません: " + shown(m_entrySource) + ": " + readError.description);
}

bool DrawVerifier::chooseEntries(const std::string& recordPath, const std::string& entryPath)
{
    using Outcome = VerificationReport::Outcome;
    const std::string legacyCopy = RecordStore::legacyCopyPath(recordPath);
    const std::string sharedCopy = RecordStore::sharedCopyPath(recordPath, m_record.workList);
    std::string why;
    if (!entryPath.empty()) {
        m_entrySource = entryPath;
        why = "指定されたファイル";
    } else if (myFileExists(legacyCopy)) {
        m_entrySource = legacyCopy;
        why = "記録と同じ名前のエントリーの写し";
    } else if (m_record.entriesCopy == EntriesCopyState::Kept && myFileExists(sharedCopy)) {
        m_entrySource = sharedCopy;
        why = "記録のフォルダーのエントリーの写し";
    } else if (m_record.sourceIsFile && !m_record.source.empty() && m_record.source.front() == '/') {
        m_entrySource = m_record.source;
        m_sourceFromRecord = true;
        why = "記録に書かれたファイル";
    }
    if (m_entrySource.empty() || !myFileExists(m_entrySource)) {
        m_entriesMissing = true;
        std::string line;
        if (m_sourceFromRecord)
            line = "抽選に使ったファイルがありません: " + shown(m_entrySource);
        else if (m_record.sourceIsFile)
            line = "記録に書かれたファイル「" + shown(m_record.source)
                + "」は絶対パスではないため使いません。エントリーファイルを指定してください。";
        else if (m_record.entriesCopy == EntriesCopyState::TooLarge)
            line = "この記録のエントリーの写しは、200 MB を超えるため残されていません。転送したエントリーを"
                   "ファイルに保存して指定してください。";
        else if (!entryPath.empty())
            line = "指定されたエントリーファイルがありません: " + shown(entryPath);
        else
            line = "この記録のエントリーの写し（" + shown(m_record.format >= 2 ? sharedCopy : legacyCopy)
                + "）がありません。";
        finish(Outcome::Unreadable, line);
        return false;
    }
    m_report.info.push_back("エントリー: " + shown(m_entrySource) + "（" + why + "）");
    return true;
}

std::int64_t DrawVerifier::total() const
{
    std::int64_t sum = 0;
    for (std::int32_t n : m_plan.settings.counts)
        sum += n;
    return sum;
}

bool DrawVerifier::readEntries(std::chrono::steady_clock::time_point deadline)
{
    m_reader->readSome(*m_entries, deadline);
    if (m_reader->failed()) {
        finish(VerificationReport::Outcome::Unreadable,
            "エントリーを読めません: " + shown(m_entrySource) + ": " + m_reader->error().description);
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
    DrawPlan plan = m_plan;
    if (plan.settings.fileMode)
        plan.entries = m_entries;
    m_draw = std::make_unique<RecordedDraw>(std::move(plan), m_results);
}

bool DrawVerifier::step(std::chrono::steady_clock::time_point deadline)
{
    if (m_done)
        return true;
    try {
        return stepOnce(deadline);
    } catch (const std::bad_alloc&) {
        finish(VerificationReport::Outcome::Unreadable, "再現の途中でメモリが足りなくなりました。");
    } catch (const std::exception& error) {
        finish(VerificationReport::Outcome::Unreadable, "再現の途中でエラーが起きました: " + shown(error.what()));
    }
    return true;
}

bool DrawVerifier::stepOnce(std::chrono::steady_clock::time_point deadline)
{
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
    std::vector<std::string>& lines = m_report.lines;
    if (m_draw->refused()) {
        // The entries or settings are not those the commitment promised.
        for (const std::string& difference : m_draw->refusal())
            lines.push_back(difference + "。");
        return finish(VerificationReport::Outcome::Mismatch);
    }
    const DrawRecord again = m_draw->record(m_record.dateTime);
    m_draw.reset();
    m_results.clear();
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
        if (++differing > kRowsNamed)
            continue;
        const std::string key = formatSequenceKey(static_cast<std::uint32_t>(i));
        if (m_sourceFromRecord) {
            // The file came from a path in the record: its text stays unshown.
            lines.push_back("結果 " + key
                + " が違います（記録の行の SHA-256: " + (recorded ? toHex(Sha256::of(*recorded)) : std::string("なし"))
                + "、再現した行の SHA-256: " + (drawn ? toHex(Sha256::of(*drawn)) : std::string("なし")) + "）。");
        } else {
            lines.push_back("結果 " + key + " が違います（記録: " + (recorded ? shown(*recorded) : std::string("なし"))
                + "、再現: " + (drawn ? shown(*drawn) : std::string("なし")) + "）。");
        }
    }
    if (differing > kRowsNamed)
        lines.push_back("ほかに " + std::to_string(differing - kRowsNamed) + " 行の結果が違います。");
    finish(lines.empty() ? VerificationReport::Outcome::Match : VerificationReport::Outcome::Mismatch);
    if (m_report.outcome == VerificationReport::Outcome::Match)
        lines.push_back("記録どおりの結果（" + count(m_record.resultCount) + "）が再現されました。");
}

} // namespace kuji
