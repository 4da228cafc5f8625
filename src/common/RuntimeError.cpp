#include "common/RuntimeError.h"

#include "common/TextCodec.h"

#include <new>
#include <system_error>

namespace kuji {

std::string_view describeRuntimeErrorNumber(int number)
{
    switch (number) {
    case kPrinterError:
        return "プリンターでエラーが発生しました。";
    case kFileTooLargeError:
        return "ファイルが大き過ぎるため読み込めません。";
    case kOutOfMemoryError:
        return "メモリが不足しています。";
    case kUnexpectedInternalError:
        return "予期しないエラーが発生しました。";
    default:
        return {};
    }
}

void RuntimeError::set(int number, std::string description)
{
    if (number == kNoRuntimeError) {
        number = kUnexpectedInternalError;
        if (description.empty())
            description = describeRuntimeErrorNumber(number);
    }
    m_number = number;
    m_description = std::move(description);
}

void RuntimeError::setFromErrno(int err)
{
    if (err == 0) {
        set(kUnexpectedInternalError, std::string(describeRuntimeErrorNumber(kUnexpectedInternalError)));
        return;
    }
    // The generic category gives the same text as strerror, without its shared buffer. It
    // comes in the locale's encoding; a locale that is not UTF-8 gets a plain stand-in.
    std::string description = std::generic_category().message(err);
    if (!text::isValidUtf8(description))
        description = "システムエラー " + std::to_string(err);
    set(err, std::move(description));
}

void RuntimeError::setFromException(const std::exception& error)
{
    if (const auto* system = dynamic_cast<const std::system_error*>(&error)) {
        const std::error_code code = system->code();
        if (code.category() == std::generic_category() || code.category() == std::system_category()) {
            setFromErrno(code.value());
            return;
        }
    }
    if (dynamic_cast<const std::bad_alloc*>(&error)) {
        set(kOutOfMemoryError, std::string(describeRuntimeErrorNumber(kOutOfMemoryError)));
        return;
    }
    std::string description(describeRuntimeErrorNumber(kUnexpectedInternalError));
    const std::string_view what = error.what();
    if (!what.empty())
        description += "\r\n" + std::string(what);
    set(kUnexpectedInternalError, std::move(description));
}

void RuntimeError::clear()
{
    m_number = kNoRuntimeError;
    m_description.clear();
}

std::string formatRuntimeErrorText(int number, std::string_view description)
{
    std::string text = "実行時エラー '" + std::to_string(number) + "':\r\n";
    text += description;
    return text;
}

} // namespace kuji
