#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

// The program reads and writes configuration text in the ANSI code page;
// under Wine that must be GBK, or every conversion test is meaningless.
TEST(Smoke, AnsiCodePageIsGbk) {
    EXPECT_EQ(GetACP(), 936u);
}

// Narrow literals are compiled to GBK, so they compare equal to what the
// ANSI Windows functions hand back.
TEST(Smoke, NarrowLiteralIsGbk) {
    const char zhong[] = "中";
    ASSERT_EQ(std::strlen(zhong), 2u);
    EXPECT_EQ(static_cast<unsigned char>(zhong[0]), 0xD6);
    EXPECT_EQ(static_cast<unsigned char>(zhong[1]), 0xD0);
}

TEST(Smoke, LiteralRoundTripsThroughAnsiCodePage) {
    wchar_t wide[4] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "中", -1, wide, 4), 2);
    EXPECT_EQ(wide[0], 0x4E2D);
}

TEST(Smoke, ThirtyTwoBitBuild) {
    EXPECT_EQ(sizeof(void*), 4u);
}
