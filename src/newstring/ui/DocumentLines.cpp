#include "newstring/ui/DocumentLines.h"

#include "newstring/EditorText.h"

#include <QTextDocument>

namespace kuji {
namespace {

// Blocks read between two looks at the clock.
constexpr int kBlocksPerLook = 256;

std::u16string_view unitsOf(const QString& text)
{
    return { reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()) };
}

// The printed lines of a block: one, or one for each line separator more.
void appendPrintLines(const QTextBlock& block, std::vector<std::string>& lines)
{
    std::string line;
    EditorText::appendUtf8(unitsOf(block.text()), line);
    if (line.find("\r\n") == std::string::npos) {
        lines.push_back(std::move(line));
        return;
    }
    for (std::string& part : EditorText::printLines(line))
        lines.push_back(std::move(part));
}

} // namespace

DocumentLines::DocumentLines(const QTextDocument& document)
    : m_document(&document)
    , m_block(document.firstBlock())
{
}

bool DocumentLines::appendTo(std::string& out, int count)
{
    if (!m_document || !m_block.isValid())
        return false;
    for (int i = 0; i < count && m_block.isValid(); ++i, m_block = m_block.next()) {
        if (!m_first)
            out += "\r\n";
        m_first = false;
        EditorText::appendUtf8(unitsOf(m_block.text()), out);
    }
    return true;
}

DocumentBlocks::DocumentBlocks(const QTextDocument& document)
    : m_document(&document)
    , m_block(document.firstBlock())
{
}

std::string_view DocumentBlocks::text(std::size_t row, std::string& scratch)
{
    scratch.clear();
    if (!m_document)
        return {};
    if (row != m_row)
        m_block = m_document->findBlockByNumber(static_cast<int>(row));
    EditorText::appendUtf8(unitsOf(m_block.text()), scratch);
    m_block = m_block.next();
    m_row = row + 1;
    return scratch;
}

PrintLineGathering::PrintLineGathering(const QTextDocument& document)
    : m_document(&document)
    , m_block(document.firstBlock())
    , m_total(static_cast<std::size_t>(document.blockCount()))
{
    m_lines.reserve(m_total);
}

bool PrintLineGathering::step(LongWork::Clock::time_point deadline)
{
    for (int sinceClock = 1; m_document && m_block.isValid(); ++sinceClock) {
        appendPrintLines(m_block, m_lines);
        m_block = m_block.next();
        ++m_done;
        if (sinceClock % kBlocksPerLook == 0 && LongWork::Clock::now() >= deadline)
            return false;
    }
    return true;
}

} // namespace kuji
