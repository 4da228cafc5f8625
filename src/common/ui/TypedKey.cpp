#include "common/ui/TypedKey.h"

#include <QKeyEvent>

namespace kuji {

std::optional<char32_t> typedCharacter(const QKeyEvent& key)
{
    if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return std::nullopt;
    const QString text = key.text();
    if (text.isEmpty())
        return std::nullopt;
    const char32_t first = text.size() > 1 && text.front().isHighSurrogate() && text.at(1).isLowSurrogate()
        ? QChar::surrogateToUcs4(text.front(), text.at(1))
        : text.front().unicode();
    // C0 and C1 control codes and DEL come from editing keys, never from typing.
    if (first < 0x20 || (first >= 0x7F && first <= 0x9F))
        return std::nullopt;
    return first;
}

} // namespace kuji
