#pragma once

#include "common/EntryList.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kuji {

// The string window's transfer: its text becomes the main window's work list, one entry per
// non-empty line, in order. Lines end at CR LF and are taken exactly as they stand, so a line
// of spaces is an entry and a last line without a break is one too. An empty line gives no
// entry and uses no key: the k-th entry has key k, as in a list read from a file.
//
// The window runs it in time slices, so the main window's progress moves and repaints
// between them. The lines are moved together inside the text itself, which then becomes the
// entries' block: a million lines cost no second copy of the text.
class StringTransfer {
public:
    using Clock = std::chrono::steady_clock;
    // The text a piece at a time, for a window that gathers it from its editor as the
    // transfer goes: appends the next piece (UTF-8 with CR LF line breaks; it may end inside
    // a line, never inside a CR LF) to text and returns true, or returns false at the end.
    using TextSource = std::function<bool(std::string& text)>;

    // text: UTF-8 with CR LF line breaks. expectedLines sizes the list ahead (a guess is
    // fine; 0 when unknown).
    explicit StringTransfer(std::string text, std::size_t expectedLines = 0);
    // The text from source; expectedBytes sets room aside for it (room never touched costs
    // no memory).
    StringTransfer(TextSource source, std::size_t expectedLines, std::size_t expectedBytes);

    // Splits lines until the deadline; returns true once the whole text is done. Each call
    // handles at least a few hundred lines, however late it starts.
    bool step(Clock::time_point deadline);
    // Splits everything at once.
    void runToEnd();

    bool done() const { return m_done; }
    // Lines passed so far, empty ones included (the progress display).
    std::int64_t linesDone() const { return m_linesDone; }
    // Entries made so far.
    std::size_t entryCount() const { return m_ends.size(); }
    // Hands over the entries once done(); the transfer keeps none.
    EntryList takeEntries();

private:
    // Moves the unfinished line next to the entries and appends the next piece after it;
    // false when the source has no more.
    bool pull();

    TextSource m_source;
    std::string m_text;
    std::size_t m_read = 0; // where the next line starts in the text
    std::size_t m_write = 0; // where the next entry's text goes, never past m_read
    std::vector<std::size_t> m_ends;
    std::int64_t m_linesDone = 0;
    bool m_done = false;
};

} // namespace kuji
