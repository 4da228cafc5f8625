#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// The prize names (賞の名前) an organiser gives the rounds of a draw, as one text: "特賞,1等,2等".
// Names are separated by "," or the full-width "，" and "、", as a Japanese keyboard types
// them; spaces (also full-width ones) around a name do not count.
struct PrizeNames {
    std::vector<std::string> names;
    // Why the text was refused; empty when it was taken.
    std::string error;

    bool ok() const { return error.empty(); }

    // An empty text gives no names; a name left empty between separators (or after the last
    // one) is refused, since the round it stands for would have no title.
    static PrizeNames parse(std::string_view text);
    // The names as the settings file keeps them: joined by ",".
    static std::string join(const std::vector<std::string>& names);
};

// What the organiser should hear when the names and the rounds of the draw do not pair up:
// more names than rounds leaves the last names unused, fewer leaves rounds to show their
// header instead. Empty when they pair up, or when no names are given at all.
std::string prizeCountWarning(std::size_t names, std::size_t rounds);

} // namespace kuji
