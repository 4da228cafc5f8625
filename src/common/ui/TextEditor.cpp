#include "common/ui/TextEditor.h"

#include <QKeyEvent>
#include <QMimeData>

namespace kuji {

TextEditor::TextEditor(QWidget* parent)
    : QPlainTextEdit(parent)
{
}

QString TextEditor::withLineBreaks(QString text)
{
    // The document takes U+2029 as the end of a line, like CR LF.
    return text.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
}

void TextEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::InsertLineSeparator)) {
        QKeyEvent enter(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
            event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QPlainTextEdit::keyPressEvent(&enter);
        event->setAccepted(enter.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextEditor::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText() || !source->text().contains(QChar::LineSeparator)) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QMimeData lines;
    lines.setText(withLineBreaks(source->text()));
    QPlainTextEdit::insertFromMimeData(&lines);
}

} // namespace kuji
