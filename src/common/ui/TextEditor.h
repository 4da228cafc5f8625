#pragma once

#include <QPlainTextEdit>

namespace kuji {

// A plain-text editor whose lines are what the user sees as lines. Qt's text edit puts
// U+2028 (line separator) into a line for Shift+Enter and keeps it in pasted text; it shows
// as a line break but leaves the line one. Here Shift+Enter breaks the line as Enter does,
// and text pasted or dropped in has its line separators turned into line breaks.
class TextEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextEditor(QWidget* parent = nullptr);

    // The text with every line separator (U+2028) a line break, for setPlainText.
    static QString withLineBreaks(QString text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace kuji
