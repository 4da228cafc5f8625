#include "records/DrawVerifier.h"
#include "common/FilePaths.h"

#include "common/TextSafety.h"
#include "draw/PublicValue.h"
#include "draw/ReplacementDraw.h"
#include "records/EntriesCopy.h"
#include "records/RecordStore.h"
#include "records/RecordedReplacement.h"

#include <algorithm>
#include <filesystem>
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
// Replacements of one run a check follows back; a record far beyond is refused, not followed.
constexpr int kMaxReplacementDepth = 1000;
// Files larger than this are no records (an entries copy can be 200 MB): they are not hashed
// when looking for the record a replacement follows.
constexpr std::uintmax_t kMaxRecordBytes = 64u * 1024 * 1024;

// The file in folder whose SHA-256 is digest; empty when none is.
std::string findRecordByDigest(const std::string& folder, const Sha256Digest& digest)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code statError;
        if (!it->is_regular_file(statError) || it->file_size(statError) > kMaxRecordBytes || statError)
            continue;
        const std::string path = it->path().string();
        if (path.ends_with(".entries"))
            continue;
        std::string bytes;
        ErrorInfo err;
        if (readFileBytes(path, bytes, err) && Sha256::of(bytes) == digest)
            return path;
    }
    return {};
}

// The rows of a record against those re-run, naming up to kRowsNamed that differ; with
// hideText, only the rows' digests.
void compareRows(const std::vector<std::string>& recordedRows, const std::vector<std::string>& drawnRows, bool hideText,
    std::vector<std::string>& lines)
{
    std::size_t differing = 0;
    const std::size_t rows = std::max(drawnRows.size(), recordedRows.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string* recorded = i < recordedRows.size() ? &recordedRows[i] : nullptr;
        const std::string* drawn = i < drawnRows.size() ? &drawnRows[i] : nullptr;
        if (recorded && drawn && *recorded == *drawn)
            continue;
        if (++differing > kRowsNamed)
            continue;
        const std::string key = formatSequenceKey(static_cast<std::uint32_t>(i));
        if (hideText) {
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
}

} // namespace

DrawVerifier::DrawVerifier(const std::string& recordPath, const std::string& entryPath)
    : DrawVerifier(recordPath, entryPath, 0)
{
}

DrawVerifier::DrawVerifier(const std::string& recordPath, const std::string& entryPath, int depth)
    : m_depth(depth)
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
    m_fileDigest = Sha256::of(bytes);
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
    if (m_record.replacement)
        return openReplacement(recordPath, entryPath);
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
    if (m_previous)
        return m_previous->total();
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
    if (m_previous) {
        if (!m_previous->step(deadline))
            return false;
        checkReplacement();
        return true;
    }
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
    if (m_depth > 0)
        keepRun();
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
    compareRows(m_record.shownResults, again.shownResults, m_sourceFromRecord, lines);
    finish(lines.empty() ? VerificationReport::Outcome::Match : VerificationReport::Outcome::Mismatch);
    if (m_report.outcome == VerificationReport::Outcome::Match)
        lines.push_back("記録どおりの結果（" + count(m_record.resultCount) + "）が再現されました。");
}

// What the draw drew, for the replacement that follows it.
void DrawVerifier::keepRun()
{
    m_run = std::make_unique<Run>();
    Run& run = *m_run;
    run.drawn.reserve(m_results.size());
    for (std::size_t i = 0; i < m_results.size(); ++i) {
        std::uint32_t position = 0;
        if (m_results.drawnIndex(i, position))
            run.drawn.emplace_back(m_results.key(i), position);
    }
    run.nextKey = m_results.nextKey();
    run.entries = m_entries;
    run.rangeSize = m_record.settings.fileMode
        ? m_record.entryCount
        : static_cast<std::uint64_t>(static_cast<std::int64_t>(m_plan.settings.maximum) - m_plan.settings.minimum + 1);
    run.drawSeed = m_draw->seed();
    run.drawIsPublic = m_record.isPublic();
    run.original = m_fileDigest;
    run.settings = m_record.settings;
    run.entryCount = m_record.entryCount;
    run.workList = m_record.workList;
    run.sourceFromRecord = m_sourceFromRecord;
}

void DrawVerifier::openReplacement(const std::string& recordPath, const std::string& entryPath)
{
    using Outcome = VerificationReport::Outcome;
    const ReplacementInfo& info = *m_record.replacement;
    if (m_record.algorithm != kAlgorithmV2)
        return finish(Outcome::Unreadable, "再抽選の記録はアルゴリズム v2 のものでなければなりません。");
    if (m_depth >= kMaxReplacementDepth)
        return finish(Outcome::Unreadable, "たどる再抽選の記録が多すぎます。");
    if (info.absent.empty() || info.absent.size() != m_record.resultCount)
        return finish(Outcome::Unreadable, "再抽選の記録の欠席の数と結果の件数が合わない、矛盾した記録です。");
    const std::string folder = std::filesystem::path(recordPath).parent_path().string();
    const std::string previousPath = findRecordByDigest(folder, info.previous);
    if (previousPath.empty())
        return finish(Outcome::Unreadable,
            "この再抽選の前の記録（SHA-256: " + toHex(info.previous) + "）が、記録と同じフォルダーにありません。");
    m_report.info.push_back(
        std::string(info.number == 1 ? "元の抽選の記録: " : "前の再抽選の記録: ") + shown(previousPath));
    m_previous.reset(new DrawVerifier(previousPath, entryPath, m_depth + 1));
}

void DrawVerifier::checkReplacement()
{
    using Outcome = VerificationReport::Outcome;
    std::vector<std::string>& lines = m_report.lines;
    const VerificationReport& before = m_previous->report();
    m_report.info.insert(m_report.info.end(), before.info.begin(), before.info.end());
    if (before.outcome != Outcome::Match || !m_previous->run()) {
        for (const std::string& line : before.lines)
            lines.push_back("前の記録: " + line);
        m_entriesMissing = m_previous->entriesMissing();
        return finish(before.outcome == Outcome::Unreadable ? Outcome::Unreadable : Outcome::Mismatch);
    }
    Run run = *m_previous->run();
    m_previous.reset();
    const ReplacementInfo& info = *m_record.replacement;
    const bool fileMode = m_record.settings.fileMode;
    if (run.settings != m_record.settings)
        lines.push_back("再抽選の設定が、元の抽選の設定と違います。");
    if (fileMode && (run.entryCount != m_record.entryCount || run.workList != m_record.workList))
        lines.push_back("再抽選のエントリーが、元の抽選のエントリーと違います。");
    if (info.original != run.original)
        lines.push_back("再抽選の元の記録の SHA-256 が、たどった元の記録と違います。");
    if (info.number != run.replacements + 1)
        lines.push_back("再抽選の番号（" + std::to_string(info.number)
            + "）が、前の記録から続いていません（前: " + std::to_string(run.replacements) + "）。");
    const std::uint32_t base = fileMode ? 1 : static_cast<std::uint32_t>(m_plan.settings.minimum);
    for (const ReplacementInfo::Absent& absent : info.absent) {
        const auto spot = std::lower_bound(run.drawn.begin(), run.drawn.end(), std::make_pair(absent.key, 0u));
        if (spot == run.drawn.end() || spot->first != absent.key || base + spot->second != absent.value)
            lines.push_back("欠席の " + formatSequenceKey(absent.key) + " 番は、それまでの結果（"
                + std::to_string(absent.value) + "）と合いません。");
    }
    if (run.drawIsPublic && publicReplacementSeed(run.drawSeed, info.number) != m_record.seed)
        lines.push_back("公開値を使った抽選の再抽選なのに、シードが元の抽選のシードから計算した値（"
            + seedToHex(publicReplacementSeed(run.drawSeed, info.number)) + "）と違います。");
    if (!lines.empty())
        return finish(Outcome::Mismatch);

    std::vector<std::uint32_t> excluded;
    if (m_record.settings.noDuplicates) {
        excluded.reserve(run.drawn.size());
        for (const auto& [key, position] : run.drawn)
            excluded.push_back(position);
        std::sort(excluded.begin(), excluded.end());
        excluded.erase(std::unique(excluded.begin(), excluded.end()), excluded.end());
    }
    ResultList results;
    results.reset(m_plan.settings.minimum, m_plan.settings.minimumLength, fileMode ? run.entries : nullptr);
    const auto wanted = static_cast<std::uint32_t>(info.absent.size());
    const std::optional<RecordedReplacement> again = drawRecordedReplacement(
        results, m_record.seed, run.rangeSize, excluded, wanted, m_record.settings.noDuplicates, fileMode);
    if (!again) {
        lines.push_back(
            "残りが " + count(positionsLeft(run.rangeSize, excluded)) + "しかなく、この再抽選はできなかったはずです。");
        return finish(Outcome::Mismatch);
    }
    if (again->results != m_record.results)
        lines.push_back("結果の SHA-256 が違います（記録: " + toHex(m_record.results)
            + "、再現: " + toHex(again->results) + "）。");
    compareRows(m_record.shownResults, again->shownResults, run.sourceFromRecord, lines);
    if (!lines.empty())
        return finish(Outcome::Mismatch);

    // What the run drew now includes this replacement: its rows follow every row before them.
    std::uint32_t key = run.nextKey + (run.nextKey > 0 ? 1 : 0) + 1;
    for (const std::uint32_t position : again->positions)
        run.drawn.emplace_back(key++, position);
    run.nextKey = key;
    run.replacements = info.number;
    if (m_depth > 0)
        m_run = std::make_unique<Run>(std::move(run));
    finish(Outcome::Match);
    lines.push_back("記録どおりの再抽選の結果（" + count(m_record.resultCount) + "）が再現されました。元の抽選"
        + std::string(info.number > 1 ? "とそれまでの再抽選" : "") + "も記録どおりです。");
}

} // namespace kuji
