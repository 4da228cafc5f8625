// The condition-file reader: whatever a file holds, the list never passes its limit, no field
// holds more than the file, and the conditions read save and load back unchanged, through the
// bytes the window writes and the reader that loads them.
#include "pickup/ConditionFile.h"

#include "common/TextCodec.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/InputFile.h"

using namespace kuji;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::InputFile file("conditions.csv");
    fuzz::FuzzInput in(data, size);
    // Conditions the list holds already: none, a few, or up to and past the limit.
    const std::size_t heldChoices[] = { 0, 1, 2, kMaxConditionsPerList - 2, kMaxConditionsPerList - 1,
        kMaxConditionsPerList, kMaxConditionsPerList + 5 };
    const std::size_t held = heldChoices[in.byte() % std::size(heldChoices)];
    const std::string bytes(in.rest());

    ConditionFileContent content;
    ErrorInfo err;
    FUZZ_CHECK(readConditionFile(file.write(bytes), held, content, err));
    const std::string text = text::decode(bytes).utf8;
    const ConditionFileContent direct = parseConditionFile(text, held);
    FUZZ_CHECK(direct.problem == content.problem && direct.rows.size() == content.rows.size());

    const std::size_t room = held >= kMaxConditionsPerList ? 0 : kMaxConditionsPerList - held;
    FUZZ_CHECK(content.rows.size() <= room);
    // The limit stops a file only where the list is full.
    FUZZ_CHECK((content.problem == ConditionFileProblem::TooManyConditions) <= (content.rows.size() == room));
    std::size_t fieldBytes = 0;
    for (std::size_t i = 0; i < content.rows.size(); ++i) {
        FUZZ_CHECK(content.rows[i].column == direct.rows[i].column && content.rows[i].phrase == direct.rows[i].phrase);
        fieldBytes += content.rows[i].column.size() + content.rows[i].phrase.size();
    }
    // Every byte of a field comes from a byte of its own in the file.
    FUZZ_CHECK(fieldBytes <= text.size());
    FUZZ_CHECK(conditionFileMessage(content.problem).empty() == (content.problem == ConditionFileProblem::None));

    // Saved as the window saves them, the conditions load back as they are.
    const std::string saved = text::encodeForSave(formatConditionFile(content.rows));
    ConditionFileContent again;
    FUZZ_CHECK(readConditionFile(file.write(saved), 0, again, err));
    FUZZ_CHECK(again.problem == ConditionFileProblem::None);
    FUZZ_CHECK(again.rows.size() == content.rows.size());
    for (std::size_t i = 0; i < again.rows.size(); ++i)
        FUZZ_CHECK(again.rows[i].column == content.rows[i].column && again.rows[i].phrase == content.rows[i].phrase);
    return 0;
}
