#include "common/VersionInfo.h"

#include <gtest/gtest.h>

using namespace kuji;

TEST(VersionInfo, MinorIsPaddedToTwoDigits)
{
    EXPECT_EQ(formatVersionLine(1, 5, 3), "くじ丸 Version 1.05.3");
    EXPECT_EQ(formatVersionLine(2, 7, 0), "くじ丸 Version 2.07.0");
    EXPECT_EQ(formatVersionLine(0, 0, 0), "くじ丸 Version 0.00.0");
    // Wider numbers are written whole, neither padded nor cut.
    EXPECT_EQ(formatVersionLine(10, 12, 345), "くじ丸 Version 10.12.345");
    EXPECT_EQ(formatVersionLine(1, 100, 7), "くじ丸 Version 1.100.7");
}
