#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileErrors.h"

// Condition files: the conditions of one list as quoted column-and-phrase pairs, one pair a
// line ("3","abc" CR LF). A file does not say which list it came from, so it loads into any.
namespace kuji {

// Most conditions one list holds: positions are 16-bit numbers.
inline constexpr std::size_t kMaxConditionsPerList = 32767;

// One condition as a file holds it: column number text and phrase, neither checked.
struct ConditionFileRow {
    std::string column;
    std::string phrase;
};

enum class ConditionFileProblem {
    None,
    LoneColumn, // the file ends after a column number: the complete pairs before it count
    TooManyConditions, // the list would pass its limit: the conditions up to it count
};

struct ConditionFileContent {
    std::vector<ConditionFileRow> rows; // in file order
    ConditionFileProblem problem = ConditionFileProblem::None;
};

// Reads the pairs of a condition file's text (UTF-8), as one stream of fields regardless of
// lines. Spaces before a field are skipped. A field in double quotes runs to the next lone
// quote ("" inside it is one quote), and what follows it up to the next comma or line end is
// ignored; any other field runs to the next comma or line end, without its trailing spaces.
// The comma or line end (CR LF, CR or LF) is taken with the field; a column number ended by a
// comma always has its phrase, empty when nothing follows. Spaces and line ends after the last
// pair are ignored. conditionsHeld: conditions the list holds already, for the limit.
ConditionFileContent parseConditionFile(std::string_view text, std::size_t conditionsHeld);

// Reads and decodes a condition file and parses it. False with err filled when the file
// cannot be read.
bool readConditionFile(
    const std::string& path, std::size_t conditionsHeld, ConditionFileContent& content, ErrorInfo& err);

// The message for a problem met while reading (empty for None): "Error:" and the program's
// continuation lines.
std::string conditionFileMessage(ConditionFileProblem problem);

// Appends the line of one condition: both fields in double quotes, a quote inside them
// doubled, a comma between them and CR LF at the end.
void appendConditionLine(std::string& out, std::string_view column, std::string_view phrase);

// The text of a whole condition file (UTF-8) from conditions that have column and phrase
// members, in list order. The window encodes it for the file (text::encodeForSave).
template <class Conditions> std::string formatConditionFile(const Conditions& conditions)
{
    std::string out;
    for (const auto& condition : conditions)
        appendConditionLine(out, condition.column, condition.phrase);
    return out;
}

} // namespace kuji
