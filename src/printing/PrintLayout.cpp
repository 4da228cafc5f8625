#include "printing/PrintLayout.h"

#include "printing/PrintText.h"

namespace kuji {

PrintLayout::PrintLayout(std::vector<std::string> texts, const PrintPageInfo& page)
    : m_texts(std::move(texts))
    , m_info(page)
{
    if (!m_info.fits())
        m_textIndex = m_texts.size();
}

bool PrintLayout::startNextLine()
{
    if (m_inText) {
        m_pieceStart = m_lineEnd + 2; // the last line ended at a CR LF: the next follows it
    } else {
        if (m_textIndex >= m_texts.size())
            return false;
        m_inText = true;
        m_pieceStart = 0;
    }
    const std::string& text = m_texts[m_textIndex];
    m_lineEnd = text.find("\r\n", m_pieceStart);
    if (m_lineEnd == std::string::npos)
        m_lineEnd = text.size();
    m_scan = m_pieceStart;
    m_pieceWidth = 0;
    m_inLine = true;
    return true;
}

bool PrintLayout::next(PrintedLine& line)
{
    if (!m_inLine && !startNextLine())
        return false;
    const std::string_view text(m_texts[m_textIndex]);
    const auto charsPerLine = static_cast<std::size_t>(m_info.charsPerLine);
    std::size_t scan = m_scan;
    std::size_t width = m_pieceWidth;
    while (scan < m_lineEnd) {
        const print::PrintChar c = print::readChar(text.substr(scan, m_lineEnd - scan));
        const auto charWidth = static_cast<std::size_t>(c.width);
        if (width + charWidth > charsPerLine) {
            placeSegment(text.substr(m_pieceStart, scan - m_pieceStart), line);
            // The character that did not fit starts the next piece.
            m_pieceStart = scan;
            m_scan = scan + c.length;
            m_pieceWidth = charWidth;
            return true;
        }
        width += charWidth;
        scan += c.length;
    }
    placeSegment(text.substr(m_pieceStart, m_lineEnd - m_pieceStart), line);
    m_inLine = false;
    // A text whose last line is done counts as laid out at once, so done() holds after the
    // last line without another call.
    if (m_lineEnd >= text.size()) {
        m_inText = false;
        ++m_textIndex;
    }
    return true;
}

void PrintLayout::placeSegment(std::string_view segment, PrintedLine& line)
{
    if (m_currentLine > m_info.linesPerPage) {
        ++m_page;
        m_currentLine = 1;
    }
    line.page = m_page;
    line.x = m_info.marginLeft;
    line.y = m_info.marginTop + (m_currentLine - 1) * m_info.lineHeight;
    line.text.clear();
    print::appendPrintable(segment, line.text);
    ++m_currentLine;
    ++m_lines;
}

} // namespace kuji
