#pragma once

#include <QPointer>
#include <QTextCursor>

#include <memory>

class QPlainTextEdit;
class QTextDocument;

namespace kuji {

// A new text for an editor, put together a piece at a time in a document of its own while
// the editor goes on showing the old one. commit() puts the new document in the editor and
// lets the old one go; rollBack() (or dropping the replacement unfinished) just lets the new
// one go, so a Stop leaves the old text, its cursor and its history untouched. Like
// setPlainText, the new text starts with no undo history and the cursor at its start, in the
// old document's font and options.
//
// Qt lays a document's every line out again when an editor takes it, a layout object a line:
// at a million lines half a second and hundreds of megabytes. So a long new document is
// first taken, while it is still short, by a view of its own that the user never sees; as
// that view's document it is laid out at the editor's width then, and the editor, finding it
// laid out at its own width already, takes it at the end without laying it out again. A
// short text is taken as any other.
//
// Each piece costs Qt's document a few microseconds a line, so a million lines take seconds
// in any case; pieces of a few hundred lines keep the window answering meanwhile.
class DocumentReplacement {
public:
    explicit DocumentReplacement(QPlainTextEdit& editor);
    ~DocumentReplacement();
    DocumentReplacement(const DocumentReplacement&) = delete;
    DocumentReplacement& operator=(const DocumentReplacement&) = delete;

    // Adds text at the end; its line breaks are any of the editor's (LF, CR LF, CR, U+2029).
    void append(const QString& text);
    // The new text (an empty one when nothing was appended) takes the old one's place.
    void commit();
    // The new text goes; the editor never showed it.
    void rollBack();

private:
    class LayoutView;

    void begin();

    QPointer<QPlainTextEdit> m_editor;
    QPointer<QTextDocument> m_new;
    QTextCursor m_end;
    std::unique_ptr<LayoutView> m_layoutView;
    bool m_finished = false;
};

} // namespace kuji
