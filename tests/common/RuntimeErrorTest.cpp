#include "common/RuntimeError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>
#include <system_error>

using namespace kuji;

TEST(RuntimeError, ReportTextPutsNumberAndDescriptionOnTwoLines)
{
    EXPECT_EQ(
        formatRuntimeErrorText(53, "ファイルが見つかりません。"), "実行時エラー '53':\r\nファイルが見つかりません。");
    EXPECT_EQ(formatRuntimeErrorText(1003, ""), "実行時エラー '1003':\r\n");
    EXPECT_EQ(formatRuntimeErrorText(-5, "x"), "実行時エラー '-5':\r\nx");
}

TEST(RuntimeError, StartsEmptyAndClearsBackToNumberZero)
{
    RuntimeError pending;
    EXPECT_FALSE(pending.isPending());
    EXPECT_EQ(pending.number(), 0);

    pending.set(53, "ファイルが見つかりません。");
    EXPECT_TRUE(pending.isPending());
    EXPECT_EQ(pending.number(), 53);
    EXPECT_EQ(pending.description(), "ファイルが見つかりません。");

    pending.clear();
    EXPECT_FALSE(pending.isPending());
    EXPECT_EQ(pending.number(), 0);
    EXPECT_EQ(pending.description(), "");
}

TEST(RuntimeError, ErrnoGivesItsNumberAndSystemText)
{
    RuntimeError pending;
    pending.setFromErrno(ENOENT);
    EXPECT_EQ(pending.number(), ENOENT);
    EXPECT_EQ(pending.description(), std::strerror(ENOENT));
    EXPECT_FALSE(pending.description().empty());

    // A newer error replaces the older one: only one is ever pending.
    pending.setFromErrno(EACCES);
    EXPECT_EQ(pending.number(), EACCES);
}

TEST(RuntimeError, FailureWithoutANumberIsNotLost)
{
    // Number 0 would read as "nothing pending" and the failure would go unreported.
    RuntimeError pending;
    pending.setFromErrno(0);
    EXPECT_EQ(pending.number(), kUnexpectedInternalError);
    EXPECT_FALSE(pending.description().empty());

    pending.set(0, "書き込めませんでした。");
    EXPECT_EQ(pending.number(), kUnexpectedInternalError);
    EXPECT_EQ(pending.description(), "書き込めませんでした。");

    pending.set(0, "");
    EXPECT_EQ(pending.description(), describeRuntimeErrorNumber(kUnexpectedInternalError));
}

TEST(RuntimeError, OwnNumbersAreTheSystemsWhereItHasOne)
{
    // A file too large and memory running out read the same wherever they are noticed.
    EXPECT_EQ(kFileTooLargeError, EFBIG);
    EXPECT_EQ(kOutOfMemoryError, ENOMEM);
    for (int number : { kUnexpectedInternalError, kPrinterError })
        EXPECT_GT(number, 133) << number; // above every errno value Linux defines
    for (int number : { kFileTooLargeError, kOutOfMemoryError, kUnexpectedInternalError, kPrinterError })
        EXPECT_FALSE(describeRuntimeErrorNumber(number).empty()) << number;
    EXPECT_TRUE(describeRuntimeErrorNumber(53).empty());
}

TEST(RuntimeError, ExceptionsMapToTheirKind)
{
    RuntimeError pending;
    pending.setFromException(std::system_error(std::make_error_code(std::errc::no_space_on_device)));
    EXPECT_EQ(pending.number(), ENOSPC);
    EXPECT_EQ(pending.description(), std::strerror(ENOSPC));

    pending.setFromException(
        std::filesystem::filesystem_error("copy", std::make_error_code(std::errc::permission_denied)));
    EXPECT_EQ(pending.number(), EACCES);

    pending.setFromException(std::bad_alloc());
    EXPECT_EQ(pending.number(), kOutOfMemoryError);
    EXPECT_EQ(pending.description(), describeRuntimeErrorNumber(kOutOfMemoryError));

    pending.setFromException(std::runtime_error("list index 7"));
    EXPECT_EQ(pending.number(), kUnexpectedInternalError);
    EXPECT_NE(pending.description().find("list index 7"), std::string::npos);
}
