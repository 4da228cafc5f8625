#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text files of the program: read as UTF-8 when they carry a byte-order mark or are valid
// UTF-8, otherwise as code page 932; written as CP932 unless the text would not come back
// identical, then as UTF-8 with a byte-order mark. Inside the program all text is UTF-8.
namespace kuji::text {

enum class Encoding { Utf8, Utf8Bom, Cp932 };

struct Decoded {
    std::string utf8;
    Encoding encoding = Encoding::Utf8;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// True when every byte sequence is well-formed UTF-8 (no overlongs, no surrogates).
bool isValidUtf8(std::string_view bytes);

// Decodes file bytes to UTF-8; the byte-order mark is dropped and bytes that are invalid
// in the chosen encoding become U+FFFD, so a read never fails on content.
Decoded decode(std::string_view bytes);

// CP932 bytes to UTF-8; invalid bytes become U+FFFD.
std::string cp932ToUtf8(std::string_view bytes);

// UTF-8 to CP932, only when decoding the result gives back exactly the same text
// (CP932 lacks many characters and folds some, such as U+301C into U+FF5E).
std::optional<std::string> toCp932Exact(std::string_view utf8);

// Bytes to write for a text file: CP932 when exact, otherwise UTF-8 with a byte-order mark.
std::string encodeForFile(std::string_view utf8);

// Cuts UTF-8 text so that its CP932 form (or UTF-8 form where CP932 cannot hold it) takes at
// most maxBytes bytes, never splitting a character.
std::string truncateToEncodedBytes(std::string_view utf8, std::size_t maxBytes);

} // namespace kuji::text
