#include "newstring/ui/LongTextInsert.h"

#include "common/ui/TextEditor.h"
#include "newstring/EditorText.h"

#include <QPlainTextEdit>

#include <algorithm>

namespace kuji {
namespace {

// A few hundred lines: a millisecond or two of the document's work.
constexpr std::size_t kPieceUnits = 16384;
// The text is looked through a megabyte at a time.
constexpr qsizetype kCheckUnits = 1 << 20;

} // namespace

LongTextInsert::LongTextInsert(QPlainTextEdit& editor, QString text)
    : m_editor(&editor)
    , m_text(std::move(text))
{
}

bool LongTextInsert::step(Clock::time_point deadline)
{
    if (!m_editor || m_tooLong)
        return true;
    const std::u16string_view text(reinterpret_cast<const char16_t*>(m_text.utf16()), m_text.size());
    while (m_checked < m_text.size()) {
        const qsizetype end = std::min(m_text.size(), m_checked + kCheckUnits);
        m_tooLong = m_lineLength.add(text.substr(m_checked, end - m_checked));
        m_checked = end;
        if (m_tooLong)
            return true;
        if (Clock::now() >= deadline)
            return false;
    }
    while (m_next < m_text.size()) {
        const auto end
            = static_cast<qsizetype>(EditorText::pieceEnd(text, static_cast<std::size_t>(m_next), kPieceUnits));
        // The first piece takes the selection's place; every later one joins it in one step of
        // undo, which an earlier edit is no part of.
        if (!m_started) {
            m_cursor = m_editor->textCursor();
            m_cursor.beginEditBlock();
            m_cursor.removeSelectedText();
            m_started = true;
        } else {
            m_cursor.joinPreviousEditBlock();
        }
        m_cursor.insertText(TextEditor::withLineBreaks(m_text.mid(m_next, end - m_next)));
        m_cursor.endEditBlock();
        m_next = end;
        if (m_next < m_text.size() && Clock::now() >= deadline)
            return false;
    }
    m_text = QString();
    m_editor->ensureCursorVisible();
    return true;
}

int LongTextInsert::progress() const
{
    if (m_text.isEmpty())
        return 1000;
    const double size = static_cast<double>(m_text.size());
    return static_cast<int>(100.0 * static_cast<double>(m_checked) / size + 900.0 * static_cast<double>(m_next) / size);
}

} // namespace kuji
