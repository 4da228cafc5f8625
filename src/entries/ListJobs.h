#pragma once

#include "common/FileErrors.h"
#include "common/SafeFileWriter.h"
#include "common/TextCodec.h"
#include "entries/ListOperations.h"
#include "entries/SlicedSort.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The result-list commands that can take longer than a moment at a million rows, made a
// slice at a time so the window repaints and answers Stop between the slices. None of them
// changes the list, the clipboard or a file until its last step: a job that is dropped
// half-way (Stop) leaves everything as it was. The list must not change while a job runs.
namespace kuji {

using JobClock = std::chrono::steady_clock;

// A row's sequence key, and its full text (written into scratch when it must be made).
using RowKeyOf = std::function<std::uint32_t(std::size_t row)>;
using RowTextOf = std::function<std::string_view(std::size_t row, std::string& scratch)>;

// The order of a sort (order[new] = old), as sortedRowOrder gives it.
class ListSortJob {
public:
    ListSortJob(std::size_t rows, ListOrder order, RowKeyOf keyOf, RowTextOf textOf);
    ~ListSortJob();

    bool step(JobClock::time_point deadline);
    bool done() const { return m_order.has_value(); }
    // Done so far, out of 1000.
    int progress() const;
    // The order, once done.
    const RowOrder& order() const { return *m_order; }

private:
    using TextSort = SlicedSort<TextSortKeys::Row, TextSortKeys::RowLess>;
    struct KeyLess {
        bool operator()(std::uint64_t a, std::uint64_t b) const { return a < b; }
    };
    using KeySort = SlicedSort<std::uint64_t, KeyLess>;

    std::size_t m_rows;
    ListOrder m_listOrder;
    RowKeyOf m_keyOf;
    RowTextOf m_textOf;
    std::vector<std::uint32_t> m_keys;
    std::unique_ptr<TextSortKeys> m_sortKeys;
    std::size_t m_next = 0;
    std::unique_ptr<TextSort> m_textSort;
    std::unique_ptr<KeySort> m_keySort;
    std::optional<RowOrder> m_order;
};

// The text Copy puts on the clipboard, as joinSelectedTexts gives it.
class ListCopyJob {
public:
    ListCopyJob(std::size_t rows, RowSelection selection, RowTextOf textOf);

    bool step(JobClock::time_point deadline);
    bool done() const { return m_done; }
    int progress() const;
    // The text, once done; the job gives it up.
    std::string takeText() { return std::move(m_text); }

private:
    std::size_t m_rows;
    RowSelection m_selection;
    RowTextOf m_textOf;
    std::size_t m_next = 0;
    bool m_first = true;
    bool m_done = false;
    std::string m_text;
};

// A list saved as ListFile saves it (one value a line with CR LF; CP932, or UTF-8 with a
// byte-order mark once a value needs it), the bytes made and written a piece at a time and
// the file put in place only at the end, safely. Dropping the job before then leaves an
// existing file as it was.
class ListSaveJob {
public:
    ListSaveJob(std::string path, std::size_t rows, RowTextOf textOf);

    bool step(JobClock::time_point deadline);
    bool done() const { return m_done; }
    bool failed() const { return m_failed; }
    const ErrorInfo& error() const { return m_error; }
    int progress() const;

private:
    bool fail();

    std::string m_path;
    std::size_t m_rows;
    RowTextOf m_textOf;
    text::SaveEncoder m_encoder;
    std::size_t m_next = 0;
    std::string m_bytes;
    std::size_t m_written = 0;
    SafeFileStream m_stream;
    bool m_opened = false;
    bool m_done = false;
    bool m_failed = false;
    ErrorInfo m_error;
};

} // namespace kuji
