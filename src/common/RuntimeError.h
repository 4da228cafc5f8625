#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace kuji {

// Numbers of the errors the program raises itself. System errors carry their errno value
// (all below 200 on Linux): a file too large to load is EFBIG (27) and running out of memory
// ENOMEM (12), whatever noticed it. The printer error keeps the number the print dialog
// knows it by, and the last number is above every errno.
enum RuntimeErrorNumber : int {
    kNoRuntimeError = 0, // nothing pending
    kOutOfMemoryError = 12, // ENOMEM: memory ran out during an operation
    kFileTooLargeError = 27, // EFBIG: a file too large to load into a list or the editor
    kPrinterError = 482, // the printer refused a page or the job
    kUnexpectedInternalError = 1003, // anything else that should not have happened
};

// The pending runtime error of the program: the one error a guarded handler ran into, kept
// until the runtime error box reports it. Number 0 means nothing is pending. Texts are UTF-8.
class RuntimeError {
public:
    // Records an error. Number 0 is reserved for "nothing pending", so a failure recorded
    // with it becomes kUnexpectedInternalError rather than vanish unreported.
    void set(int number, std::string description);
    // Records a system error: the number is the errno value and the description its
    // system text. errno 0 (a failure that left no reason) becomes kUnexpectedInternalError.
    void setFromErrno(int err);
    // Records the error carried by a caught exception: system errors by their code, running
    // out of memory as kOutOfMemoryError, anything else as kUnexpectedInternalError.
    void setFromException(const std::exception& error);
    // Forgets the pending error (number 0, empty description).
    void clear();

    int number() const { return m_number; }
    const std::string& description() const { return m_description; }
    bool isPending() const { return m_number != kNoRuntimeError; }

private:
    int m_number = kNoRuntimeError;
    std::string m_description;
};

// The description the program gives its own error numbers ("" for other numbers).
std::string_view describeRuntimeErrorNumber(int number);

// The report text: "実行時エラー '" + number + "':" + CR LF + description.
std::string formatRuntimeErrorText(int number, std::string_view description);

} // namespace kuji
