#pragma once

#include <QPointer>
#include <QString>
#include <QTextCursor>

#include "newstring/EditorText.h"

#include <chrono>

class QPlainTextEdit;

namespace kuji {

// Text put in at an editor's cursor a piece at a time, as a paste puts it in at once: the
// selection goes first, the cursor ends after the text, and one undo takes all of it away.
// Its line separators (U+2028) become line breaks as it goes in. Between pieces the editor
// shows what is in so far; it must not be edited meanwhile.
//
// The text is looked through first, in slices too: a line longer than the editor can lay out
// (EditorText::kMaxLineChars) refuses all of it before anything goes in.
class LongTextInsert {
public:
    using Clock = std::chrono::steady_clock;

    // text: its line breaks any of the editor's (LF, CR LF, CR, U+2029).
    LongTextInsert(QPlainTextEdit& editor, QString text);

    // Checks, then inserts, until the deadline; true once all of the text is in or it is
    // refused. Each call does at least one piece of the work.
    bool step(Clock::time_point deadline);
    // A line is too long: nothing went in.
    bool tooLong() const { return m_tooLong; }
    // Done so far, out of 1000: the look through the text is the first tenth.
    int progress() const;

private:
    QPointer<QPlainTextEdit> m_editor;
    QString m_text;
    qsizetype m_checked = 0;
    bool m_tooLong = false;
    qsizetype m_next = 0;
    QTextCursor m_cursor;
    bool m_started = false;
    EditorText::LineLengthCheck m_lineLength;
};

} // namespace kuji
