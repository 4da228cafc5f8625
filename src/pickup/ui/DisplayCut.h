#pragma once

#include <QString>

#include <string_view>

namespace kuji {

// Characters of one text that a list shows; copy, save, print and transfer use the whole text.
inline constexpr qsizetype kDisplayChars = 1000;

// A text as one cell of a list shows it: at most kDisplayChars characters followed by "…"
// when it is longer, on one line. Only the part shown is converted, so a field of many
// megabytes costs no more than a short one.
QString cutForDisplay(std::string_view utf8);

} // namespace kuji
