#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text files of the program: read as UTF-8 when they carry its byte-order mark or are valid
// UTF-8, as UTF-16 when they carry a UTF-16 byte-order mark, otherwise as code page 932;
// written as CP932 unless the text would not come back identical, then as UTF-8 with a
// byte-order mark. Inside the program all text is UTF-8.
namespace kuji::text {

enum class Encoding { Utf8, Utf8Bom, Cp932, Utf16Le, Utf16Be };

struct Decoded {
    std::string utf8;
    Encoding encoding = Encoding::Utf8;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// True when every byte sequence is well-formed UTF-8 (no overlongs, no surrogates).
bool isValidUtf8(std::string_view bytes);

// The encoding a file's bytes are read in, told by their start (byte-order mark) and, without
// one, by whether they are valid UTF-8.
Encoding detectEncoding(std::string_view bytes);

// The byte-order mark that starts a file of that encoding ("" for UTF-8 without one and CP932).
std::string_view byteOrderMark(Encoding encoding);

// Decodes a whole file's bytes to UTF-8 and tells the encoding they were read in. The
// byte-order mark is dropped and whatever is invalid in the chosen encoding becomes U+FFFD
// (a broken byte sequence, an unpaired UTF-16 surrogate, an odd last byte), so a read never
// fails on content.
Decoded decode(std::string_view bytes);

// UTF-8 bytes with every malformed sequence replaced by U+FFFD.
std::string repairUtf8(std::string_view bytes);

// CP932 bytes to UTF-8; invalid bytes become U+FFFD.
std::string cp932ToUtf8(std::string_view bytes);

// UTF-16 bytes (no byte-order mark) to UTF-8. Unpaired surrogates and an odd last byte
// become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

// UTF-8 to UTF-16 bytes without a byte-order mark; malformed UTF-8 becomes U+FFFD.
std::string utf8ToUtf16(std::string_view utf8, bool bigEndian);

// Appends the CP932 form of utf8 to out when decoding it gives back exactly the same text
// (CP932 lacks many characters and folds some, such as U+301C into U+FF5E). Otherwise
// leaves out as it was and returns false.
bool appendCp932Exact(std::string_view utf8, std::string& out);

// UTF-8 to CP932, only when decoding the result gives back exactly the same text.
std::optional<std::string> toCp932Exact(std::string_view utf8);

// Builds the bytes of a saved text piece by piece: CP932 as long as every piece has an
// exact CP932 form; the first piece without one turns everything into UTF-8 with a
// byte-order mark, what was already added included. CP932 bytes that happen to be
// well-formed UTF-8 beyond ASCII ("ﾃ｡" is C3 A1, "á" in UTF-8) would be read back as UTF-8,
// as other text, so such a text is saved as UTF-8 with a byte-order mark as well. A million
// small pieces cost one pass and no allocation of their own.
class SaveEncoder {
public:
    // expectedBytes: room to reserve for the UTF-8 text that will be added.
    explicit SaveEncoder(std::size_t expectedBytes = 0);

    // Adds UTF-8 text.
    void append(std::string_view utf8);

    // Cp932, or Utf8Bom once a piece needed it or the CP932 bytes would read back as UTF-8.
    Encoding encoding() const;

    // The bytes built so far, with the byte-order mark in UTF-8.
    const std::string& bytes() const;

    // Hands over the bytes built so far; the encoder starts again empty.
    std::string take();

private:
    void checkReadBack();
    // Whether the CP932 bytes so far would be taken for UTF-8; if so they become UTF-8 now.
    // The bytes only ever change into the same text in another encoding, so the functions
    // that look at them stay const.
    void settle() const;
    void switchToUtf8() const;

    mutable std::string m_bytes;
    mutable bool m_utf8 = false;
    // In CP932: the bytes up to m_checked are well-formed UTF-8 as long as m_readsAsUtf8
    // (what follows may be a sequence the next piece completes), and m_beyondAscii tells
    // whether any of them is more than ASCII.
    std::size_t m_checked = 0;
    bool m_readsAsUtf8 = true;
    bool m_beyondAscii = false;
};

// Bytes to write for a text file: CP932 when exact, otherwise UTF-8 with a byte-order mark.
std::string encodeForSave(std::string_view utf8);

// Cuts UTF-8 text so that its CP932 form (or UTF-8 form where CP932 cannot hold it) takes at
// most maxBytes bytes, never splitting a character.
std::string truncateToEncodedBytes(std::string_view utf8, std::size_t maxBytes);

// Length of the well-formed UTF-8 sequence at the start of s (no overlongs, no surrogates),
// or 0 when it is malformed or cut short. s must not be empty.
std::size_t utf8SequenceLength(std::string_view s);
// The code point of the well-formed sequence of len bytes at the start of s.
char32_t utf8CodePoint(std::string_view s, std::size_t len);

} // namespace kuji::text
