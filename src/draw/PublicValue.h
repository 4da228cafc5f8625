#pragma once

#include <string>
#include <string_view>

namespace kuji {

// The one form of a public value that a draw hashes: Unicode NFKC, then every white-space
// character removed. "01 05", "0105" and "０１　０５" are one value, so the way an organiser
// writes an announced number leaves him nothing to choose. Malformed UTF-8 counts as U+FFFD.
// NFKC of assigned characters never changes between Unicode versions, so a value keeps its
// form on every machine.
std::string normalizePublicValue(std::string_view utf8);

} // namespace kuji
