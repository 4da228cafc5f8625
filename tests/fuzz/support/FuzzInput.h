#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kuji::fuzz {

// Takes a fuzz input apart: small choices from the front, texts of the lengths those choices
// name, and whatever is left as the body. Asking past the end gives zeros and empty texts,
// so every input, however short, means something.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size)
    {
    }

    bool empty() const { return m_rest.empty(); }
    std::size_t size() const { return m_rest.size(); }

    std::uint8_t byte()
    {
        if (m_rest.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return b;
    }

    // A number below n (n > 0), from as many bytes as it needs.
    std::uint64_t below(std::uint64_t n)
    {
        std::uint64_t value = 0;
        for (std::uint64_t range = 1; range < n && range < (std::uint64_t { 1 } << 56); range <<= 8)
            value = value << 8 | byte();
        return value % n;
    }

    // A text of up to maxBytes bytes: a length byte, then that many bytes.
    std::string_view text(std::size_t maxBytes = 255)
    {
        const std::size_t length = std::min<std::size_t>({ byte(), maxBytes, m_rest.size() });
        const std::string_view out = m_rest.substr(0, length);
        m_rest.remove_prefix(length);
        return out;
    }

    // Everything not taken yet.
    std::string_view rest()
    {
        const std::string_view out = m_rest;
        m_rest = {};
        return out;
    }

private:
    std::string_view m_rest;
};

} // namespace kuji::fuzz
