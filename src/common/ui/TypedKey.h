#pragma once

#include <optional>

class QKeyEvent;

namespace kuji {

// The character a key press types, for the boxes that judge what is typed. Nothing for a key
// that edits or moves (Backspace, Delete, Enter, Tab, the arrows, Home, End), for a shortcut
// held with Ctrl or Meta, and for a key that types nothing: X11 sends Delete with the text
// U+007F and Backspace with U+0008, so a filter that looked at the text alone would refuse
// them as characters, while QTest sends both with no text at all.
std::optional<char32_t> typedCharacter(const QKeyEvent& key);

} // namespace kuji
