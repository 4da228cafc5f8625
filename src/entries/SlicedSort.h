#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace kuji {

// Sorts a vector a slice at a time, so a window can repaint and answer Stop while a million
// rows are put in order: runs of kRun elements are sorted one by one, then merged pairwise,
// pass by pass; each step stops at the deadline and the next goes on where it stopped. less
// must be a strict total order (no two elements tie), so the result is the one std::sort
// would give.
template <class T, class Less> class SlicedSort {
public:
    static constexpr std::size_t kRun = 16384;

    SlicedSort(std::vector<T> items, Less less)
        : m_items(std::move(items))
        , m_less(std::move(less))
    {
    }

    // Sorts until the deadline or the end; true when sorted. Looks at the clock between runs
    // and every few thousand merged elements.
    bool step(std::chrono::steady_clock::time_point deadline)
    {
        const std::size_t n = m_items.size();
        while (m_sortedRuns * kRun < n) {
            const std::size_t begin = m_sortedRuns * kRun;
            std::sort(m_items.begin() + static_cast<std::ptrdiff_t>(begin),
                m_items.begin() + static_cast<std::ptrdiff_t>(std::min(n, begin + kRun)), m_less);
            ++m_sortedRuns;
            m_doneBefore += std::min(n - begin, kRun);
            m_work = m_doneBefore;
            if (std::chrono::steady_clock::now() >= deadline)
                return done();
        }
        while (m_width < n) {
            if (m_buffer.size() != n)
                m_buffer.resize(n);
            if (!mergeSome(deadline))
                return false;
            m_items.swap(m_buffer);
            m_width *= 2;
            m_pair = 0;
        }
        m_buffer = {};
        return true;
    }

    bool done() const { return m_width >= m_items.size() && m_sortedRuns * kRun >= m_items.size(); }
    // Elements handled so far and in all, for a progress display.
    std::size_t workDone() const { return m_work; }
    std::size_t workTotal() const
    {
        std::size_t passes = 0;
        for (std::size_t width = kRun; width < m_items.size(); width *= 2)
            ++passes;
        return m_items.size() * (passes + 1);
    }
    // The sorted elements, once done.
    std::vector<T>& items() { return m_items; }

private:
    // Merges the pairs of runs of the current width into the buffer, resuming where the last
    // call stopped; true when the pass is complete.
    bool mergeSome(std::chrono::steady_clock::time_point deadline)
    {
        const std::size_t n = m_items.size();
        for (; m_pair * 2 * m_width < n; ++m_pair) {
            const std::size_t lo = m_pair * 2 * m_width;
            const std::size_t mid = std::min(n, lo + m_width);
            const std::size_t hi = std::min(n, lo + 2 * m_width);
            if (!m_pairStarted) {
                m_left = lo;
                m_right = mid;
                m_out = lo;
                m_pairStarted = true;
            }
            while (m_out < hi) {
                const std::size_t batchEnd = std::min(hi, m_out + 4096);
                for (; m_out < batchEnd; ++m_out) {
                    if (m_right >= hi || (m_left < mid && !m_less(m_items[m_right], m_items[m_left])))
                        m_buffer[m_out] = std::move(m_items[m_left++]);
                    else
                        m_buffer[m_out] = std::move(m_items[m_right++]);
                }
                m_work = m_doneBefore + m_out;
                if (m_out < hi && std::chrono::steady_clock::now() >= deadline)
                    return false;
            }
            m_pairStarted = false;
        }
        m_doneBefore += n;
        m_work = m_doneBefore;
        return true;
    }

    std::vector<T> m_items;
    std::vector<T> m_buffer;
    Less m_less;
    std::size_t m_sortedRuns = 0;
    std::size_t m_width = kRun;
    std::size_t m_pair = 0;
    std::size_t m_left = 0;
    std::size_t m_right = 0;
    std::size_t m_out = 0;
    bool m_pairStarted = false;
    std::size_t m_work = 0;
    std::size_t m_doneBefore = 0;
};

} // namespace kuji
