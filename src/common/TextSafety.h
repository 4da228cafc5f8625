#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text that came from a file is not trusted to be shown as it is: a terminal obeys the control
// characters in it (ESC can erase a line and write another), and bidirectional controls can
// make a line read otherwise than it is stored. These routines find such text and show it
// harmlessly.
namespace kuji {

// The first place where text is not plain UTF-8 text: a malformed byte sequence, or a control
// character (C0 other than line feed and carriage return, DEL, or C1 U+0080 to U+009F).
// allowTab lets tabs through as well.
struct UnsafeSpot {
    std::size_t offset = 0; // byte offset of the fault in the text
    std::string cause; // for the user: "制御文字 U+001B", "正しくない UTF-8 のバイト 0xFF"
};
std::optional<UnsafeSpot> findUnsafeText(std::string_view text, bool allowTab = false);

// Characters of a value a message shows at most, as the lists do.
inline constexpr std::size_t kMaxShownChars = 1000;

// The text as it may reach a terminal or a message: every control character (C0 including
// line breaks and tabs, DEL, C1), every bidirectional control and every malformed byte is
// written as an escape ("\x1B", "\u202E"), a backslash as "\\", and after maxChars characters
// the rest is left out and "…" follows. Everything else stays as it is.
std::string printableText(std::string_view text, std::size_t maxChars = kMaxShownChars);

} // namespace kuji
