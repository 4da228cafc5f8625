#include "newstring/ui/NewStringEditor.h"

#include <QMimeData>
#include <QResizeEvent>
#include <QTextDocument>

namespace kuji {

NewStringEditor::NewStringEditor(QWidget* parent)
    : TextEditor(parent)
{
}

void NewStringEditor::insertFromMimeData(const QMimeData* source)
{
    // Rich text is never taken: the editor holds plain text alone.
    if (m_longInsert && source && source->hasText()) {
        QString text = source->text();
        if (text.size() > kLongInsertUnits) {
            m_longInsert(std::move(text));
            return;
        }
    }
    TextEditor::insertFromMimeData(source);
}

// Qt lays every line of the document out again whenever the editor's width changes, a
// layout object per line: at a million lines each resize froze the window for half a second
// and left hundreds of megabytes behind. Without wrapping the width changes no line, so the
// editor is told the width stayed; only the scroll bars follow the new size. A text edit
// that wraps, or a short document, is laid out as usual.
void NewStringEditor::resizeEvent(QResizeEvent* event)
{
    if (lineWrapMode() == NoWrap && document()->blockCount() > kLinesLaidOutAtOnce
        && event->oldSize().width() != event->size().width()) {
        QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
        TextEditor::resizeEvent(&sameWidth);
        return;
    }
    TextEditor::resizeEvent(event);
}

} // namespace kuji
