#include "draw/Sha256.h"

#include <openssl/evp.h>

#include <cstring>
#include <new>
#include <stdexcept>

namespace kuji {
namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

void check(int ok)
{
    // libcrypto fails only when it cannot get memory for its state.
    if (ok != 1)
        throw std::bad_alloc();
}

} // namespace

Sha256::Sha256()
    : m_ctx(EVP_MD_CTX_new())
{
    if (!m_ctx)
        throw std::bad_alloc();
    m_buffer = std::make_unique<char[]>(kBufferBytes);
    start();
}

Sha256::~Sha256()
{
    EVP_MD_CTX_free(m_ctx);
}

void Sha256::start()
{
    check(EVP_DigestInit_ex(m_ctx, EVP_sha256(), nullptr));
}

void Sha256::flush()
{
    if (m_buffered > 0) {
        check(EVP_DigestUpdate(m_ctx, m_buffer.get(), m_buffered));
        m_buffered = 0;
    }
}

void Sha256::update(std::string_view bytes)
{
    if (m_buffered + bytes.size() > kBufferBytes)
        flush();
    if (bytes.size() < kBufferBytes) {
        std::memcpy(m_buffer.get() + m_buffered, bytes.data(), bytes.size());
        m_buffered += bytes.size();
    } else {
        check(EVP_DigestUpdate(m_ctx, bytes.data(), bytes.size()));
    }
}

void Sha256::updateField(std::string_view field)
{
    char length[8];
    std::uint64_t n = field.size();
    for (char& byte : length) {
        byte = static_cast<char>(n & 0xFF);
        n >>= 8;
    }
    // Short fields (a drawn number) go into the buffer in one piece.
    if (m_buffered + sizeof length + field.size() <= kBufferBytes) {
        char* out = m_buffer.get() + m_buffered;
        std::memcpy(out, length, sizeof length);
        if (field.size() <= 16) {
            for (std::size_t i = 0; i < field.size(); ++i)
                out[sizeof length + i] = field[i];
        } else {
            std::memcpy(out + sizeof length, field.data(), field.size());
        }
        m_buffered += sizeof length + field.size();
        return;
    }
    update(std::string_view(length, sizeof length));
    update(field);
}

Sha256Digest Sha256::finish()
{
    flush();
    Sha256Digest digest {};
    unsigned int size = 0;
    check(EVP_DigestFinal_ex(m_ctx, digest.data(), &size));
    if (size != digest.size())
        throw std::logic_error("SHA-256 gave a digest of an unexpected size");
    start();
    return digest;
}

Sha256Digest Sha256::of(std::string_view bytes)
{
    Sha256 hash;
    hash.update(bytes);
    return hash.finish();
}

std::string toHex(const Sha256Digest& digest)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (std::uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

bool fromHex(std::string_view text, Sha256Digest& digest)
{
    if (text.size() != digest.size() * 2)
        return false;
    const auto value = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    Sha256Digest read {};
    for (std::size_t i = 0; i < read.size(); ++i) {
        const int high = value(text[2 * i]);
        const int low = value(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        read[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    digest = read;
    return true;
}

} // namespace kuji
