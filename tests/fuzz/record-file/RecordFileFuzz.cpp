// The record loader of Pickup Record, its questions answered from the input: skip, skip all,
// a correction with the right number of fields or a wrong one, or Stop. The records it judges
// are the entry reader's records of the same file; what it keeps follows from them and the
// answers alone, and a load that does not complete leaves nothing.
#include "pickup/RecordFields.h"
#include "pickup/RecordLoader.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/InputFile.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace kuji;

namespace {

enum class Answer { Skip, SkipAll, GoodFix, BadFix, Stop };

std::string withSeparators(std::string_view text, std::int32_t commas)
{
    std::string fixed;
    for (const char c : text)
        if (c != ',')
            fixed += c;
    if (fixed.empty())
        fixed.push_back('x');
    fixed.append(static_cast<std::size_t>(commas), ',');
    return fixed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::InputFile csvFile("records.csv");
    static fuzz::InputFile txtFile("records.txt");
    fuzz::FuzzInput in(data, size);
    const std::uint8_t options = in.byte();
    const bool csv = options & 1;
    const bool sliced = options & 2;
    const std::size_t pieceBytes = (options & 4) ? 1 + (options >> 3) : std::size_t { 1 } << 20;
    const std::string_view answers = in.text();
    const std::string_view fixText = in.text(64);
    const std::string bytes(in.rest());
    const std::string& path = (csv ? csvFile : txtFile).write(bytes);

    // The records as the entry reader splits the file; the loader judges exactly these.
    EntryReader reader;
    ErrorInfo err;
    FUZZ_CHECK(reader.open(path, csv, err));
    EntryList records;
    reader.readAll(records);
    const std::int32_t separators = records.empty() ? 0 : static_cast<std::int32_t>(countSeparators(records.text(0)));

    RecordLoader loader(pieceBytes);
    std::vector<std::string> expected;
    std::size_t next = 0; // record being judged
    std::int32_t line = 0; // last physical line judged
    std::size_t asked = 0;
    bool skipAll = false;
    bool stopped = false;
    std::int32_t skipped = 0, fixed = 0;
    std::size_t steps = 0;
    for (auto state = loader.start(path); state != RecordLoader::State::Finished;) {
        if (state == RecordLoader::State::Question) {
            // The record asked about is the next one the plain walk finds bad.
            for (; next < records.size() && hasFieldCount(records.text(next), separators); ++next) {
                expected.emplace_back(records.text(next));
                line += 1
                    + static_cast<std::int32_t>(std::count(records.text(next).begin(), records.text(next).end(), '\n'));
            }
            FUZZ_CHECK(!skipAll && next < records.size());
            const DataErrorQuestion& q = loader.question();
            const std::string_view record = records.text(next);
            const auto extra = static_cast<std::int32_t>(std::count(record.begin(), record.end(), '\n'));
            FUZZ_CHECK(q.record == record);
            FUZZ_CHECK(q.firstLine == line + 1 && q.lastLine == line + 1 + extra);
            FUZZ_CHECK(q.separatorCount == separators && q.fieldsFound == countFields(record));
            FUZZ_CHECK(q.editable);
            line += 1 + extra;
            ++next;

            const auto answer
                = static_cast<Answer>(asked < answers.size() ? static_cast<unsigned char>(answers[asked]) % 5 : 0);
            ++asked;
            if (answer == Answer::GoodFix) {
                const std::string text = withSeparators(fixText, separators);
                FUZZ_CHECK(loader.fix(text));
                // Whatever line breaks the text box hands over, the row keeps CR LF, as a file's does.
                std::string row;
                for (std::size_t i = 0; i < text.size(); ++i) {
                    if (text[i] == '\r' || text[i] == '\n') {
                        row += "\r\n";
                        i += text.compare(i, 2, "\r\n") == 0 ? 1 : 0;
                    } else {
                        row += text[i];
                    }
                }
                expected.push_back(row);
                ++fixed;
            } else if (answer == Answer::BadFix) {
                const std::string wrong = withSeparators(fixText, separators + 1);
                FUZZ_CHECK(!loader.fix(wrong) && loader.state() == RecordLoader::State::Question);
                FUZZ_CHECK(loader.skip());
                ++skipped;
            } else if (answer == Answer::Stop) {
                loader.requestStop();
                stopped = true;
            } else {
                FUZZ_CHECK(answer == Answer::SkipAll ? loader.skipAll() : loader.skip());
                skipAll = answer == Answer::SkipAll;
                ++skipped;
            }
            FUZZ_CHECK(!loader.skip());
        }
        FUZZ_CHECK(++steps <= 2 * bytes.size() + 16);
        state = sliced ? loader.step(std::chrono::steady_clock::time_point::min()) : loader.runToPause();
    }

    if (separators > kMaxRecordSeparators) {
        FUZZ_CHECK(loader.outcome() == RecordLoader::Outcome::TooManySeparators);
        FUZZ_CHECK(loader.rows().empty() && loader.path().empty() && loader.separatorCount() == 0);
        return 0;
    }
    if (stopped || records.empty()) {
        // A load that does not complete leaves nothing half-read behind.
        FUZZ_CHECK(loader.outcome() == (stopped ? RecordLoader::Outcome::Stopped : RecordLoader::Outcome::Empty));
        FUZZ_CHECK(loader.rows().empty() && loader.path().empty() && loader.separatorCount() == 0);
        FUZZ_CHECK(stopped || bytes.size() <= 3);
        return 0;
    }
    FUZZ_CHECK(loader.outcome() == RecordLoader::Outcome::Loaded);
    for (; next < records.size(); ++next) {
        if (hasFieldCount(records.text(next), separators)) {
            expected.emplace_back(records.text(next));
        } else {
            // Only 全てスキップ drops a bad record without asking.
            FUZZ_CHECK(skipAll);
            ++skipped;
        }
    }
    FUZZ_CHECK(loader.path() == path && loader.separatorCount() == separators);
    FUZZ_CHECK(loader.recordsRead() == static_cast<std::int32_t>(records.size()));
    FUZZ_CHECK(loader.skippedCount() == skipped && loader.fixedCount() == fixed);
    FUZZ_CHECK(loader.rows().size() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        FUZZ_CHECK(loader.rows().text(i) == expected[i]);
        FUZZ_CHECK(hasFieldCount(loader.rows().text(i), separators));
    }
    FUZZ_CHECK(loader.unclosedQuoteLine() == reader.unclosedQuoteLine());
    FUZZ_CHECK(loader.linesRead() == reader.linesRead() && loader.lineCount() == reader.lineCount());
    return 0;
}
