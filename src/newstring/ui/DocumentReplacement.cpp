#include "newstring/ui/DocumentReplacement.h"

#include "newstring/ui/NewStringEditor.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace kuji {

// The unseen view that lays a long new document out at the editor's width while it is still
// short. Qt's plain text layout remembers the view it was first laid out for and is laid out
// again by another view only when that one is wider; the editor then takes the document as
// it is. A view that lets a document go stays remembered by it, but only as a name to
// compare with: nothing reaches the view through it, so the document may outlive the view.
class DocumentReplacement::LayoutView final : public QPlainTextEdit {
public:
    LayoutView()
    {
        setLineWrapMode(NoWrap);
        // Its own document stays its own while others come and go.
        m_own = document();
        m_own->setParent(this);
    }

    void layOut(QTextDocument* document, int width)
    {
        // Never shown, it is given its width directly.
        viewport()->resize(width, viewport()->height());
        setDocument(document);
        // Laying a document out makes the text width its widest line until a line is laid
        // out, and a first line found narrower then makes the layout measure every line:
        // the first line is measured now, while the lines are few, and not again when the
        // editor takes the document.
        qobject_cast<QPlainTextDocumentLayout*>(document->documentLayout())->ensureBlockLayout(document->firstBlock());
        setDocument(m_own);
    }

private:
    QTextDocument* m_own = nullptr;
};

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
    const QTextDocument* old = m_editor->document();
    m_new = new QTextDocument(m_editor);
    // The layout comes first, or the document would make a rich-text one of its own.
    m_new->setDocumentLayout(new QPlainTextDocumentLayout(m_new));
    m_new->setDefaultFont(old->defaultFont());
    m_new->setDefaultTextOption(old->defaultTextOption());
    m_new->setDocumentMargin(old->documentMargin());
    m_new->setUndoRedoEnabled(false);
    m_end = QTextCursor(m_new);
}

void DocumentReplacement::append(const QString& text)
{
    if (m_finished || !m_editor)
        return;
    begin();
    m_end.insertText(text);
    if (!m_layoutView && m_new->blockCount() > NewStringEditor::kLinesLaidOutAtOnce) {
        m_layoutView = std::make_unique<LayoutView>();
        m_layoutView->layOut(m_new, m_editor->viewport()->width());
    }
}

void DocumentReplacement::commit()
{
    if (m_finished || !m_editor)
        return;
    begin();
    m_finished = true;
    m_end = QTextCursor();
    m_new->setUndoRedoEnabled(true);
    // The old document goes once the editor has shown the new one: freeing a million lines
    // takes tens of milliseconds of its own. The editor would delete a document of its own
    // at once, so it is no longer its own.
    QTextDocument* old = m_editor->document();
    old->setParent(m_editor);
    m_editor->setDocument(m_new);
    m_new->documentLayout()->setPaintDevice(m_editor->viewport());
    old->deleteLater();
}

void DocumentReplacement::rollBack()
{
    if (m_finished)
        return;
    m_finished = true;
    m_end = QTextCursor();
    if (m_new)
        m_new->deleteLater();
}

} // namespace kuji
