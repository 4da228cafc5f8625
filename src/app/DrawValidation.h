#pragma once

#include "app/DrawEngine.h"

#include <cstdint>
#include <optional>
#include <string>

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
// maximum, counts beyond the range or the registered count). Never fails on long input.
ValidationResult validateDrawSettings(const DrawInputs& inputs);

// Key filters. Non-ASCII characters (input method text) pass; validation refuses them later.
bool acceptsMinMaxKey(char32_t ch);
bool acceptsCountKey(char32_t ch);

// Position of the first character that pasting may not leave in the maximum box: a "-"
// anywhere but first, space to ",", "/", or anything above "9". nullopt when clean.
std::optional<std::size_t> firstOffendingMaximumChar(const std::u32string& text);

// The maximum box's text after its paste cleaning has run to its end.
std::u32string cleanPastedMaximum(std::u32string text);

} // namespace kuji
