#include "newstring/ui/LongTextInsert.h"

#include "newstring/EditorText.h"

#include <QPlainTextEdit>

namespace kuji {
namespace {

// A few hundred lines: a millisecond or two of the document's work.
constexpr std::size_t kPieceUnits = 16384;

} // namespace

LongTextInsert::LongTextInsert(QPlainTextEdit& editor, QString text)
    : m_editor(&editor)
    , m_text(std::move(text))
{
}

bool LongTextInsert::step(Clock::time_point deadline)
{
    if (!m_editor)
        return true;
    const std::u16string_view text(reinterpret_cast<const char16_t*>(m_text.utf16()), m_text.size());
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
        m_cursor.insertText(m_text.mid(m_next, end - m_next));
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
    return m_text.isEmpty() ? 1000 : static_cast<int>(1000.0 * static_cast<double>(m_next) / m_text.size());
}

} // namespace kuji
