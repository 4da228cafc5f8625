#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kuji {

// The margin box of the print dialog: a text box with arrow buttons whose text is always a
// whole number from 0 to 100. The number lives only as the text, so "007" stays as typed
// until something reads it. The widget shows text() and asks this class about every key and
// every change.
class UpDownState {
public:
    static constexpr std::int16_t kMinimum = 0;
    static constexpr std::int16_t kMaximum = 100;
    // What the box shows when its text is empty, not a number or below the range.
    static constexpr std::string_view kFallback = "10";

    // Whether a typed character reaches the box: digits and control keys (backspace) do,
    // everything else is refused with a beep.
    static bool acceptsCharacter(char32_t code);

    // The text of a 16-bit integer: digits with an optional leading minus and nothing else.
    static std::optional<std::int16_t> toInt16(std::string_view text);

    // The box's text after a change: empty, not a number or negative gives "10", above 100
    // gives "100", anything else stays as typed. Applying it twice changes nothing.
    static std::string normalised(std::string_view text);

    // The box's current text.
    const std::string& text() const { return m_text; }

    // The text changed (typed, pasted, cleared): keeps it after the change rule and returns
    // what the box must show. The widget puts the result back when it differs.
    const std::string& textChanged(std::string_view text);

    // Value, read: the number in the box as plain decimal text ("05" reads "5").
    std::string value() const;
    // The same as a number, for the page layout.
    std::int16_t number() const;

    // Value, written: the text as a 16-bit integer back to decimal, "10" when it is none,
    // then the change rule ("150" shows "100", "-5" shows "10").
    void setValue(std::string_view text);

    // The arrow buttons: one up or down, held within 0 to 100.
    void stepUp() { stepBy(1); }
    void stepDown() { stepBy(-1); }

    // The text box and the arrows are enabled and disabled together.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool enabled() const { return m_enabled; }

private:
    void stepBy(int delta);

    std::string m_text { kFallback };
    bool m_enabled = true;
};

} // namespace kuji
