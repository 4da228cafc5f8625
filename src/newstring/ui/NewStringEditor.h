#pragma once

#include "common/ui/TextEditor.h"

#include <functional>

namespace kuji {

// The string window's editor. Text pasted or dropped in that is longer than a moment's work
// goes to the window, which inserts it a piece at a time (setLongInsert); and since its lines
// never wrap, a change of width lays no line out again.
class NewStringEditor final : public TextEditor {
    Q_OBJECT
public:
    // Text of more code units than this is a long insert.
    static constexpr qsizetype kLongInsertUnits = 16384;
    // Qt lays out this many lines again in a few milliseconds; a document of more is never
    // laid out whole (see resizeEvent and DocumentReplacement).
    static constexpr int kLinesLaidOutAtOnce = 10000;

    explicit NewStringEditor(QWidget* parent = nullptr);

    // Takes long pasted or dropped text as it came; its line separators are still to become
    // line breaks.
    void setLongInsert(std::function<void(QString text)> insert) { m_longInsert = std::move(insert); }

protected:
    void insertFromMimeData(const QMimeData* source) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::function<void(QString)> m_longInsert;
};

} // namespace kuji
