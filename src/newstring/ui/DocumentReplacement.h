#pragma once

#include <QPoint>
#include <QPointer>
#include <QTextCursor>

class QPlainTextEdit;
class QTextDocument;

namespace kuji {

// A new text for an editor, put in a piece at a time, with the old one kept until the end.
// The first piece puts a document of its own in the editor, set up as the old one (font,
// options), so the user sees the new text grow; commit() keeps it and lets the old document
// go, rollBack() (or dropping the replacement unfinished) puts the old document back as it
// was. Like setPlainText, the new text starts with no undo history and the cursor at its
// start.
//
// Each piece costs Qt's document a few microseconds a line, so a million lines take seconds
// in any case; pieces of a few hundred lines keep the window answering meanwhile. Only the
// lines in view are laid out as they come.
class DocumentReplacement {
public:
    explicit DocumentReplacement(QPlainTextEdit& editor);
    ~DocumentReplacement();
    DocumentReplacement(const DocumentReplacement&) = delete;
    DocumentReplacement& operator=(const DocumentReplacement&) = delete;

    // Adds text at the end; its line breaks are any of the editor's (LF, CR LF, CR, U+2029).
    void append(const QString& text);
    // Puts the new document in the editor now, empty until text comes.
    void begin();
    // The new text stays (an empty one when nothing was appended).
    void commit();
    // The old text comes back.
    void rollBack();

private:
    QPointer<QPlainTextEdit> m_editor;
    QPointer<QTextDocument> m_old;
    QTextCursor m_oldCursor;
    QPoint m_oldScroll;
    QPointer<QTextDocument> m_new;
    QTextCursor m_end;
    bool m_finished = false;
};

} // namespace kuji
