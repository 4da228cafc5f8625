#pragma once

#include "printing/PrintPageInfo.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kuji {

// One printed line: its page and where its top-left corner sits on the paper.
struct PrintedLine {
    std::int32_t page = 0; // from 1
    double x = 0; // mm from the paper's left edge
    double y = 0; // mm from the paper's top edge to the top of the line
    std::string text; // as printed: control characters already spaces
};

// Lays the texts handed to the print dialog out as fixed-pitch lines and pages.
//
// Each text is split at CR LF into lines (an empty text is one empty line). A line wider
// than the page is wrapped character by character: a character goes on the current piece
// while the piece stays within the cells per line, otherwise the piece is printed and the
// character starts the next one; so a character wider than the whole line follows an empty
// piece. Lines are counted across texts, and a new page starts when a page is full.
//
// Positions are on the whole paper: a line starts at the left margin, and line n of a page at
// the top margin plus n - 1 line heights. As the lines and cells that fit are counted between
// the margins, every line stays inside them.
//
// Lines come one at a time, so a million rows cost no more memory than the texts, and the
// window can draw each line as it comes, a slice at a time.
class PrintLayout {
public:
    // page must fit(); otherwise there is nothing to lay out.
    PrintLayout(std::vector<std::string> texts, const PrintPageInfo& page);

    // The next line; false when every text is laid out. line.text keeps its room from call to
    // call, so reusing one PrintedLine makes no allocation per line.
    bool next(PrintedLine& line);

    // Gives lines to sink (called as sink(const PrintedLine&)) until the deadline passes or
    // every text is laid out; returns true at the end. The clock is looked at every
    // kClockInterval lines, so each call makes progress even past the deadline.
    template <typename Sink> bool step(std::chrono::steady_clock::time_point deadline, Sink&& sink);

    // Lays out everything at once.
    template <typename Sink> void runToEnd(Sink&& sink)
    {
        while (next(m_line))
            sink(std::as_const(m_line));
    }

    bool done() const { return m_textIndex >= m_texts.size(); }
    // Texts wholly laid out, and in all (for a progress display).
    std::size_t textsDone() const { return m_textIndex; }
    std::size_t textCount() const { return m_texts.size(); }
    // The page of the last line given out (0 before the first).
    std::int32_t page() const { return m_lines == 0 ? 0 : m_page; }
    // Lines given out so far.
    std::int64_t lines() const { return m_lines; }

    static constexpr int kClockInterval = 128;

private:
    bool startNextLine();
    void placeSegment(std::string_view segment, PrintedLine& line);

    std::vector<std::string> m_texts;
    PrintPageInfo m_info;

    std::size_t m_textIndex = 0; // text being laid out
    bool m_inText = false; // a line of it has been started
    bool m_inLine = false; // the current line still has a piece to print
    std::size_t m_lineEnd = 0; // end of the current line (a CR LF or the text's end)
    std::size_t m_pieceStart = 0; // start of the piece being gathered
    std::size_t m_scan = 0; // first character not yet on the piece
    std::size_t m_pieceWidth = 0; // cells of the piece so far

    std::int32_t m_page = 1;
    std::int32_t m_currentLine = 1; // line on the page the next piece goes to
    std::int64_t m_lines = 0;
    PrintedLine m_line;
};

template <typename Sink> bool PrintLayout::step(std::chrono::steady_clock::time_point deadline, Sink&& sink)
{
    for (;;) {
        for (int i = 0; i < kClockInterval; ++i) {
            if (!next(m_line))
                return true;
            sink(std::as_const(m_line));
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
    }
}

} // namespace kuji
