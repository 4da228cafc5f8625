#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

typedef struct evp_md_ctx_st EVP_MD_CTX;

namespace kuji {

using Sha256Digest = std::array<std::uint8_t, 32>;

// SHA-256 from the system's libcrypto, fed in pieces. Small pieces are gathered into a
// buffer first, so hashing a million short result rows costs no more than hashing their
// bytes in one block.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // Adds bytes to the message.
    void update(std::string_view bytes);
    // Adds one field the way every hashed record field is written: its length in bytes as an
    // unsigned 64-bit little-endian number, then its bytes. Fields framed this way cannot run
    // into each other, so ("ab", "c") and ("a", "bc") hash differently.
    void updateField(std::string_view field);
    // The digest of everything added; the object starts over afterwards.
    Sha256Digest finish();

    // The digest of one block of bytes.
    static Sha256Digest of(std::string_view bytes);

private:
    void flush();
    void start();

    EVP_MD_CTX* m_ctx = nullptr;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_buffered = 0;
};

// The digest as 64 lower-case hexadecimal digits.
std::string toHex(const Sha256Digest& digest);
// Reads 64 hexadecimal digits (either case); false for anything else.
bool fromHex(std::string_view text, Sha256Digest& digest);

} // namespace kuji
