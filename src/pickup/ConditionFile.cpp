#include "pickup/ConditionFile.h"
#include "common/FileReading.h"

#include "common/TextCodec.h"

namespace kuji {
namespace {

// Walks the fields of a condition file's text.
class FieldReader {
public:
    explicit FieldReader(std::string_view text)
        : m_text(text)
    {
    }

    std::size_t position() const { return m_pos; }
    // Whether the last field ended at a comma: another field, empty or not, follows it.
    bool endedAtComma() const { return m_endedAtComma; }

    std::string next()
    {
        while (m_pos < m_text.size() && m_text[m_pos] == ' ')
            ++m_pos;
        std::string value;
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
            ++m_pos;
            for (;;) {
                const std::size_t quote = m_text.find('"', m_pos);
                if (quote == std::string_view::npos) {
                    // No closing quote: the field takes the rest of the file.
                    value.append(m_text.substr(m_pos));
                    m_pos = m_text.size();
                    break;
                }
                value.append(m_text.substr(m_pos, quote - m_pos));
                if (quote + 1 < m_text.size() && m_text[quote + 1] == '"') {
                    // A doubled quote is a quote of the text; saving writes them so.
                    value += '"';
                    m_pos = quote + 2;
                } else {
                    m_pos = quote + 1;
                    break;
                }
            }
            // Whatever stands between the closing quote and the end of the field is ignored.
            m_pos = std::min(m_text.find_first_of(",\r\n", m_pos), m_text.size());
        } else {
            const std::size_t end = std::min(m_text.find_first_of(",\r\n", m_pos), m_text.size());
            std::string_view field = m_text.substr(m_pos, end - m_pos);
            const std::size_t last = field.find_last_not_of(' ');
            value.assign(field.substr(0, last == std::string_view::npos ? 0 : last + 1));
            m_pos = end;
        }
        takeFieldEnd();
        return value;
    }

private:
    void takeFieldEnd()
    {
        m_endedAtComma = false;
        if (m_pos >= m_text.size())
            return;
        const char c = m_text[m_pos++];
        m_endedAtComma = c == ',';
        if (c == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n')
            ++m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    bool m_endedAtComma = false;
};

} // namespace

ConditionFileContent parseConditionFile(std::string_view text, std::size_t conditionsHeld)
{
    ConditionFileContent content;
    // Spaces and line ends at the end of the file make no field, so a final empty line is
    // no lone column number.
    const std::size_t last = text.find_last_not_of(" \r\n");
    const std::size_t contentEnd = last == std::string_view::npos ? 0 : last + 1;
    const std::size_t room = conditionsHeld >= kMaxConditionsPerList ? 0 : kMaxConditionsPerList - conditionsHeld;

    FieldReader fields(text);
    while (fields.position() < contentEnd) {
        if (content.rows.size() >= room) {
            content.problem = ConditionFileProblem::TooManyConditions;
            break;
        }
        ConditionFileRow row;
        row.column = fields.next();
        // "2," at the end is a pair with an empty phrase, as it is anywhere else in the file.
        if (fields.position() >= contentEnd && !fields.endedAtComma()) {
            content.problem = ConditionFileProblem::LoneColumn;
            break;
        }
        row.phrase = fields.next();
        content.rows.push_back(std::move(row));
    }
    return content;
}

bool readConditionFile(
    const std::string& path, std::size_t conditionsHeld, ConditionFileContent& content, ErrorInfo& err)
{
    std::string bytes;
    if (!readFileBytes(path, bytes, err))
        return false;
    content = parseConditionFile(text::decode(bytes).utf8, conditionsHeld);
    return true;
}

std::string conditionFileMessage(ConditionFileProblem problem)
{
    switch (problem) {
    case ConditionFileProblem::None:
        break;
    case ConditionFileProblem::LoneColumn:
        return "Error:ファイルの最後の列番号に対応する語句がありません｡\r\n"
               "       それより前の条件だけを登録しました｡";
    case ConditionFileProblem::TooManyConditions:
        return "Error:1つのリストに登録できる条件は" + std::to_string(kMaxConditionsPerList)
            + "件までです｡\r\n"
              "       それを超える条件は登録しませんでした｡";
    }
    return {};
}

void appendConditionLine(std::string& out, std::string_view column, std::string_view phrase)
{
    const auto quoted = [&out](std::string_view field) {
        out += '"';
        for (const char c : field) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    };
    quoted(column);
    out += ',';
    quoted(phrase);
    out += "\r\n";
}

} // namespace kuji
