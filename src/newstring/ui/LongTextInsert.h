#pragma once

#include <QPointer>
#include <QString>
#include <QTextCursor>

#include <chrono>

class QPlainTextEdit;

namespace kuji {

// Text put in at an editor's cursor a piece at a time, as a paste puts it in at once: the
// selection goes first, the cursor ends after the text, and one undo takes all of it away.
// Between pieces the editor shows what is in so far; it must not be edited meanwhile.
class LongTextInsert {
public:
    using Clock = std::chrono::steady_clock;

    // text: its line breaks any of the editor's (LF, CR LF, CR, U+2029).
    LongTextInsert(QPlainTextEdit& editor, QString text);

    // Inserts until the deadline; true once all of the text is in. Each call inserts at
    // least one piece.
    bool step(Clock::time_point deadline);
    // Done so far, out of 1000.
    int progress() const;

private:
    QPointer<QPlainTextEdit> m_editor;
    QString m_text;
    qsizetype m_next = 0;
    QTextCursor m_cursor;
    bool m_started = false;
};

} // namespace kuji
