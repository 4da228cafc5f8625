#pragma once

#include "common/ui/LongWork.h"

#include <QPointer>
#include <QTextBlock>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class QTextDocument;

namespace kuji {

// The document's lines (its blocks) one after another in UTF-8, CR LF between them, as the
// user sees them: each block's raw text, so no-break spaces stay, and a line separator
// inside a block ends a line too. Read a block at a time, the text is never copied whole.
class DocumentLines {
public:
    explicit DocumentLines(const QTextDocument& document);
    // Appends up to count more lines to out; false when none was left (or the document is
    // gone).
    bool appendTo(std::string& out, int count);

private:
    QPointer<const QTextDocument> m_document;
    QTextBlock m_block;
    bool m_first = true;
};

// A block's text in UTF-8 by its number, for rows asked for in order (a block is looked up
// by its number only when one is asked for out of order); empty once the document is gone.
class DocumentBlocks {
public:
    explicit DocumentBlocks(const QTextDocument& document);
    std::string_view text(std::size_t row, std::string& scratch);

private:
    QPointer<const QTextDocument> m_document;
    QTextBlock m_block;
    std::size_t m_row = 0;
};

// The lines a print gets from the document, a line separator inside a block starting a line
// of its own, gathered a slice at a time.
class PrintLineGathering {
public:
    explicit PrintLineGathering(const QTextDocument& document);
    // Gathers until the deadline; true once every block is in (or the document is gone).
    bool step(LongWork::Clock::time_point deadline);
    // Blocks gathered, of all.
    std::size_t done() const { return m_done; }
    std::size_t total() const { return m_total; }
    std::vector<std::string> takeLines() { return std::move(m_lines); }

private:
    QPointer<const QTextDocument> m_document;
    QTextBlock m_block;
    std::size_t m_done = 0;
    std::size_t m_total = 0;
    std::vector<std::string> m_lines;
};

} // namespace kuji
