#include "newstring/StringTransfer.h"

#include "common/FileReading.h"

#include <cstring>
#include <string_view>

namespace kuji {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
// Lines between two looks at the clock: enough that each slice makes progress, few enough
// that a slice ends close to its deadline.
constexpr int kLinesPerClockCheck = 512;

} // namespace

StringTransfer::StringTransfer(std::string text, std::size_t expectedLines)
    : m_text(std::move(text))
{
    if (expectedLines > 0) {
        m_ends.reserve(expectedLines);
        adviseHugePages(m_ends.data(), m_ends.capacity() * sizeof(std::size_t));
    }
}

StringTransfer::StringTransfer(TextSource source, std::size_t expectedLines, std::size_t expectedBytes)
    : StringTransfer(std::string(), expectedLines)
{
    m_source = std::move(source);
    if (expectedBytes > 0) {
        m_text.reserve(expectedBytes);
        adviseHugePages(m_text.data(), m_text.capacity());
    }
}

bool StringTransfer::pull()
{
    if (!m_source)
        return false;
    const std::size_t pending = m_text.size() - m_read;
    if (m_write != m_read) {
        std::memmove(m_text.data() + m_write, m_text.data() + m_read, pending);
        m_text.resize(m_write + pending);
        m_read = m_write;
    }
    if (!m_source(m_text)) {
        m_source = nullptr;
        return false;
    }
    return true;
}

bool StringTransfer::step(Clock::time_point deadline)
{
    int sinceClock = 0;
    while (!m_done) {
        const std::size_t lineBreak = std::string_view(m_text).find(kLineBreak, m_read);
        if (lineBreak == std::string_view::npos && pull())
            continue;
        char* const data = m_text.data();
        const std::size_t end = lineBreak == std::string_view::npos ? m_text.size() : lineBreak;
        if (end > m_read) {
            const std::size_t length = end - m_read;
            if (m_write != m_read)
                std::memmove(data + m_write, data + m_read, length);
            m_write += length;
            m_ends.push_back(m_write);
        }
        ++m_linesDone;
        if (lineBreak == std::string_view::npos) {
            m_done = true;
            break;
        }
        m_read = lineBreak + kLineBreak.size();
        if (++sinceClock == kLinesPerClockCheck) {
            sinceClock = 0;
            if (Clock::now() >= deadline)
                return false;
        }
    }
    return true;
}

void StringTransfer::runToEnd()
{
    step(Clock::time_point::max());
}

EntryList StringTransfer::takeEntries()
{
    EntryList entries;
    if (!m_done)
        return entries;
    m_text.resize(m_write);
    entries.assign(std::move(m_text), std::move(m_ends));
    entries.shrinkToFit();
    m_text = std::string();
    m_ends = std::vector<std::size_t>();
    m_read = m_write = 0;
    return entries;
}

} // namespace kuji
