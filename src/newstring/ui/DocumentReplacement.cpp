#include "newstring/ui/DocumentReplacement.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>

namespace kuji {
namespace {

// Puts document in the editor, which measures its text on the editor's own surface.
void show(QPlainTextEdit& editor, QTextDocument* document)
{
    editor.setDocument(document);
    document->documentLayout()->setPaintDevice(editor.viewport());
}

} // namespace

DocumentReplacement::DocumentReplacement(QPlainTextEdit& editor)
    : m_editor(&editor)
{
}

DocumentReplacement::~DocumentReplacement()
{
    if (!m_finished)
        rollBack();
}

void DocumentReplacement::begin()
{
    if (m_new || m_finished || !m_editor)
        return;
    m_old = m_editor->document();
    m_oldCursor = m_editor->textCursor();
    m_oldScroll = { m_editor->horizontalScrollBar()->value(), m_editor->verticalScrollBar()->value() };
    // The editor deletes a document of its own when another takes its place; this one must
    // stay, to come back on a roll back.
    m_old->setParent(m_editor);
    m_new = new QTextDocument(m_editor);
    // The layout comes first, or the document would make a rich-text one of its own.
    m_new->setDocumentLayout(new QPlainTextDocumentLayout(m_new));
    m_new->setDefaultFont(m_old->defaultFont());
    m_new->setDefaultTextOption(m_old->defaultTextOption());
    m_new->setDocumentMargin(m_old->documentMargin());
    m_new->setUndoRedoEnabled(false);
    // Set in the editor while still empty: the editor lays out a document's every line when it
    // takes one, which at a million lines would be the very freeze this avoids.
    show(*m_editor, m_new);
    m_end = QTextCursor(m_new);
}

void DocumentReplacement::append(const QString& text)
{
    if (m_finished || !m_editor)
        return;
    const bool first = !m_new;
    begin();
    m_end.insertText(text);
    // The editor's own cursor stood where the text went in and moved along with it; it
    // belongs at the start, where the text is read from, out of the way of later pieces.
    if (first)
        m_editor->moveCursor(QTextCursor::Start);
}

void DocumentReplacement::commit()
{
    if (m_finished)
        return;
    // A text of nothing still replaces the old one.
    begin();
    m_finished = true;
    if (m_new)
        m_new->setUndoRedoEnabled(true);
    m_end = QTextCursor();
    delete m_old.data();
}

void DocumentReplacement::rollBack()
{
    if (m_finished)
        return;
    m_finished = true;
    m_end = QTextCursor();
    if (!m_new)
        return;
    if (m_editor && m_old) {
        show(*m_editor, m_old);
        m_editor->setTextCursor(m_oldCursor);
        m_editor->horizontalScrollBar()->setValue(m_oldScroll.x());
        m_editor->verticalScrollBar()->setValue(m_oldScroll.y());
    }
    delete m_new.data();
}

} // namespace kuji
