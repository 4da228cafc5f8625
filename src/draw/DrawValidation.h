#pragma once

#include "draw/DrawRun.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kuji {

// The three settings boxes as the user left them, with the mode and the no-duplicates box.
struct DrawInputs {
    bool fileMode = false;
    bool noDuplicates = false;
    std::u32string saisyo; // minimum (number mode) or entry file path (file mode)
    std::u32string saidai; // maximum (number mode) or registered count (file mode)
    std::u32string tyusen; // draw count, rounds joined by "-"
};

// The largest draw count and the largest total of one run: the result list must be held in
// memory, and a count beyond it is refused before anything is drawn.
inline constexpr std::int64_t kMaxDrawTotal = 10'000'000;

struct ValidationResult {
    int stage = 0; // 0 valid, 1 characters, 2 values
    int code = 0; // the stage's decimal flags; 0 means valid
    std::string message; // the text of the error box, empty when valid
    DrawSettings settings; // filled when valid
};

// Checks the settings before a draw: stage 1 reports every box holding a wrong character,
// stage 2 the values (zero or empty count parts, counts over the limit, minimum above
// maximum, counts beyond the range or the registered count, no entries at all in file mode).
// Never fails on long input.
ValidationResult validateDrawSettings(const DrawInputs& inputs);

// The three settings boxes of the main window.
enum class SettingsBox {
    Saisyo, // minimum (number mode) or entry file path (file mode)
    Saidai, // maximum (number mode) or registered count (file mode)
    Tyusen, // draw count
};

// Characters a number-mode minimum or maximum may hold: nine digits always fit a 32-bit value.
inline constexpr std::size_t kMaxNumberBoxLength = 9;

// What a key press in a settings box does.
struct BoxKey {
    bool accepted = true; // false: refused with a beep
    char32_t insert = 0; // when not 0, the character to insert instead of the one typed
};

// The key filter of a box. Digits and control characters pass; the count box also takes "-".
// Full-width digits (and "－" in the count box) are taken as their ASCII form. Other
// non-ASCII characters (input method text) pass; validation refuses them later.
BoxKey filterBoxKey(SettingsBox box, char32_t ch);

// What a box should show after its text changed.
struct BoxEdit {
    bool accepted = true; // false: beep and put back the previous text
    std::u32string text; // the text the box should hold (the previous one when refused)
    std::size_t caret = 0; // where the caret belongs in text
};

// Cleans a box's text after any change (typing, pasting, the program setting it), for the
// window to call on every change and to write back when the result differs. In order:
// spaces, tabs and line breaks at either end go (a cell pasted from a spreadsheet brings a
// line break); full-width digits become ASCII digits, and "－" becomes "-" in the count box;
// the maximum box loses every character its paste cleaning refuses; then a number-mode
// minimum or maximum longer than nine characters is refused as a whole. The file path of file
// mode is left exactly as it is. caret is the caret in proposed; the result's caret follows
// the characters kept before it, or sits where the edit began when the edit is refused.
BoxEdit cleanBoxText(
    SettingsBox box, bool numberMode, std::u32string_view previous, std::u32string_view proposed, std::size_t caret);

} // namespace kuji
