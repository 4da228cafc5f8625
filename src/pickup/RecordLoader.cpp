#include "pickup/RecordLoader.h"
#include "common/FileErrors.h"
#include "common/FilePaths.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "common/TextCodec.h"
#include "pickup/RecordFields.h"

namespace kuji {
namespace {

// Looking at the clock costs far more than judging one record, so it is read only this often.
constexpr std::size_t kRecordsBetweenClockChecks = 256;

// True when UTF-8 text has at most limit characters.
bool fitsInChars(std::string_view utf8, std::size_t limit)
{
    // A character takes at least one byte.
    if (utf8.size() <= limit)
        return true;
    std::size_t chars = 0;
    for (const char c : utf8) {
        // Continuation bytes (10xxxxxx) belong to the character before them.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++chars > limit)
            return false;
    }
    return true;
}

// A corrected record keeps CR LF between its lines, as a record read from a file does,
// whichever line breaks the text box handed over.
std::string withCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string DataErrorQuestion::lineText() const
{
    if (lastLine <= firstLine)
        return std::to_string(firstLine);
    return std::to_string(firstLine) + "-" + std::to_string(lastLine);
}

std::string DataErrorQuestion::fileLabel() const
{
    return "ﾌｧｲﾙ名: " + fileName;
}

std::string DataErrorQuestion::rowLabel() const
{
    return "行 番号: " + lineText();
}

std::string tooManySeparatorsMessage()
{
    return "Error:1件目のレコードのカンマが多すぎるため、このファイルは読み込めません｡\r\n"
           "       カンマは1件のレコードに"
        + std::to_string(kMaxRecordSeparators) + "個までです｡";
}

RecordLoader::RecordLoader(std::size_t pieceBytes)
    : m_reader(pieceBytes)
{
}

RecordLoader::State RecordLoader::start(const std::string& path)
{
    m_reader.close();
    m_batch = EntryList();
    m_next = 0;
    m_rows = EntryList();
    m_question = {};
    m_outcome = Outcome::None;
    m_path = path;
    m_fileName = myGetFileName(path, false);
    m_csv = myIsCsvFile(path);
    m_skipAll = false;
    m_stopRequested = false;
    m_separatorCount = 0;
    m_line = 0;
    m_lineCount = 0;
    m_lastRecordFirstLine = 0;
    m_unclosedQuoteLine = 0;
    m_recordsRead = 0;
    m_skipped = 0;
    m_fixed = 0;
    m_error = {};
    m_message.clear();

    ErrorInfo err;
    if (!m_reader.start(path, m_csv, err)) {
        m_error = err;
        finish(Outcome::ReadFailed);
        return m_state;
    }
    m_state = State::Reading;
    return m_state;
}

bool RecordLoader::beginRecords()
{
    if (m_reader.failed()) {
        m_error = m_reader.error();
        finish(Outcome::ReadFailed);
        return false;
    }
    m_lineCount = m_reader.lineCount();

    // Room for every line as a row, so a large file does not move the rows around while
    // they grow. CP932 text grows by about half when it becomes UTF-8.
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(m_path, ec);
    if (!ec) {
        const auto size = static_cast<std::size_t>(bytes);
        try {
            m_rows.reserve(static_cast<std::size_t>(m_lineCount),
                m_reader.encoding() == text::Encoding::Cp932 ? size + size / 2 : size);
        } catch (const std::bad_alloc&) {
            // Only an estimate: the rows can still grow one by one.
        } catch (const std::length_error&) {
        }
    }

    if (!readBatch())
        return false;
    if (m_batch.empty()) {
        finish(Outcome::Empty);
        return false;
    }
    const std::size_t separators = countSeparators(m_batch.text(0));
    if (separators > static_cast<std::size_t>(kMaxRecordSeparators)) {
        m_message = tooManySeparatorsMessage();
        finish(Outcome::TooManySeparators);
        return false;
    }
    m_separatorCount = static_cast<std::int32_t>(separators);
    return true;
}

bool RecordLoader::readBatch()
{
    m_batch = EntryList();
    m_next = 0;
    // A deadline already past makes the reader stop at its first look at the clock, a few
    // hundred records on: small batches keep the records held twice over few.
    m_reader.readSome(m_batch, std::chrono::steady_clock::time_point::min());
    if (m_reader.failed()) {
        m_error = m_reader.error();
        finish(Outcome::ReadFailed);
        return false;
    }
    return true;
}

bool RecordLoader::judgeNext()
{
    const std::string_view record = m_batch.text(m_next++);
    // Only a .csv record can run over several lines; its lines are joined by CR LF.
    const auto extraLines = m_csv ? std::count(record.begin(), record.end(), '\n') : 0;
    const std::int32_t first = m_line + 1;
    m_line = first + static_cast<std::int32_t>(extraLines);
    m_lastRecordFirstLine = first;
    ++m_recordsRead;

    if (hasFieldCount(record, m_separatorCount)) {
        m_rows.append(record);
        return true;
    }
    if (m_skipAll) {
        ++m_skipped;
        return true;
    }
    m_question.fileName = m_fileName;
    m_question.firstLine = first;
    m_question.lastLine = m_line;
    m_question.record.assign(record);
    m_question.separatorCount = m_separatorCount;
    m_question.fieldsFound = countFields(record);
    m_question.editable = fitsInChars(record, kMaxEditableRecordChars);
    m_state = State::Question;
    return false;
}

RecordLoader::State RecordLoader::step(std::chrono::steady_clock::time_point deadline)
{
    if (m_state != State::Reading)
        return m_state;
    if (m_stopRequested) {
        finish(Outcome::Stopped);
        return m_state;
    }
    try {
        // The file's bytes are read and counted first, in slices of their own; the first
        // record then fixes the separator count.
        if (!m_reader.loaded()) {
            if (!m_reader.load(deadline) || !beginRecords())
                return m_state;
        }
        std::size_t judged = 0;
        for (;;) {
            if (m_next >= m_batch.size()) {
                if (m_reader.atEnd()) {
                    finish(Outcome::Loaded);
                    return m_state;
                }
                if (!readBatch())
                    return m_state;
                continue;
            }
            if (!judgeNext())
                return m_state;
            if (++judged % kRecordsBetweenClockChecks == 0 && std::chrono::steady_clock::now() >= deadline)
                return m_state;
        }
    } catch (const std::bad_alloc&) {
        m_error.number = ENOMEM;
        m_error.description = describeFileError(ENOMEM);
        finish(Outcome::ReadFailed);
    }
    return m_state;
}

bool RecordLoader::skip()
{
    if (m_state != State::Question)
        return false;
    ++m_skipped;
    m_question = {};
    m_state = State::Reading;
    return true;
}

bool RecordLoader::skipAll()
{
    if (m_state != State::Question)
        return false;
    m_skipAll = true;
    return skip();
}

bool RecordLoader::fix(std::string_view text)
{
    if (m_state != State::Question || !m_question.editable)
        return false;
    std::string corrected = withCrLf(text);
    if (!hasFieldCount(corrected, m_separatorCount))
        return false;
    m_rows.append(corrected);
    ++m_fixed;
    m_question = {};
    m_state = State::Reading;
    return true;
}

void RecordLoader::requestStop()
{
    if (m_state != State::Reading && m_state != State::Question)
        return;
    m_stopRequested = true;
    if (m_state == State::Question) {
        m_question = {};
        m_state = State::Reading;
    }
}

EntryList RecordLoader::takeRows()
{
    EntryList rows = std::move(m_rows);
    m_rows = EntryList();
    return rows;
}

void RecordLoader::finish(Outcome outcome)
{
    m_reader.close();
    m_state = State::Finished;
    m_outcome = outcome;
    if (outcome == Outcome::Loaded) {
        // An odd number of quotes can only be left by a record that the end of the file closed.
        if (m_csv && !m_batch.empty()) {
            const std::string_view last = m_batch.text(m_batch.size() - 1);
            if (std::count(last.begin(), last.end(), '"') % 2 != 0)
                m_unclosedQuoteLine = m_lastRecordFirstLine;
        }
        m_rows.shrinkToFit();
    } else {
        // Nothing half-read is left behind.
        m_rows = EntryList();
        m_path.clear();
        m_separatorCount = 0;
        m_recordsRead = 0;
        m_skipped = 0;
        m_fixed = 0;
    }
    m_batch = EntryList();
    m_next = 0;
}

} // namespace kuji
