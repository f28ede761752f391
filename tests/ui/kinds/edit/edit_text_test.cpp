#include <gtest/gtest.h>
#include "ui/kinds/edit/edit_text.h"

namespace {

TEST(EditTypingFilter, ModesAcceptTheirCharacters) {
    const char* probe = "5-.a";
    // For each mode: which of '5', '-', '.', 'a' pass.
    const char* expected[EDIT_MODE_COUNT] = {"5-.a", "5-.a", "5-.a", "5-", "5-.", "5", "5-", "5-", "5-",
                                             "5-.", "5-.", "5-.a"};
    for (int mode = 0; mode < EDIT_MODE_COUNT; mode++) {
        std::string passed;
        for (const char* c = probe; *c; c++)
            if (ed_CharAllowed(mode, (uint8_t)*c)) passed += *c;
        EXPECT_EQ(passed, expected[mode]) << "mode " << mode;
        EXPECT_TRUE(ed_CharAllowed(mode, '\b'));
        EXPECT_TRUE(ed_CharAllowed(mode, 0x1F));
    }
    EXPECT_FALSE(ed_CharAllowed(5, 0xB0));  // a GBK lead byte
    EXPECT_TRUE(ed_CharAllowed(11, 0xB0));
}

TEST(EditNumbers, ReadLikeTheCLibraryAndSaturate) {
    EXPECT_EQ(ed_ReadInt64("  -12abc"), -12);
    EXPECT_EQ(ed_ReadInt64("+7"), 7);
    EXPECT_EQ(ed_ReadInt64("abc"), 0);
    EXPECT_EQ(ed_ReadInt64(""), 0);
    EXPECT_EQ(ed_ReadInt64(nullptr), 0);
    EXPECT_EQ(ed_ReadInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(ed_ReadInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(ed_ReadInt64("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(ed_ReadInt64("-99999999999999999999999"), INT64_MIN);
}

TEST(EditNormalise, NumericModes) {
    EXPECT_EQ(ed_Normalise(5, "300"), "255");
    EXPECT_EQ(ed_Normalise(5, "0"), "");
    EXPECT_EQ(ed_Normalise(5, "-3"), "");
    EXPECT_EQ(ed_Normalise(5, "37"), "37");
    EXPECT_EQ(ed_Normalise(5, "99999999999"), "255");
    EXPECT_EQ(ed_Normalise(6, "-40000"), "-32768");
    EXPECT_EQ(ed_Normalise(6, "40000"), "32767");
    EXPECT_EQ(ed_Normalise(7, "99999999999"), "2147483647");
    EXPECT_EQ(ed_Normalise(7, "-99999999999"), "-2147483648");
    EXPECT_EQ(ed_Normalise(8, "99999999999"), "99999999999");
    EXPECT_EQ(ed_Normalise(8, "007"), "7");
    EXPECT_EQ(ed_Normalise(9, "3.14159265"), "3.14159");
    EXPECT_EQ(ed_Normalise(9, "0.1"), "0.1");
    EXPECT_EQ(ed_Normalise(10, "3.14159265358979"), "3.14159265359");
    EXPECT_EQ(ed_Normalise(10, "abc"), "");
    EXPECT_EQ(ed_Normalise(0, "abc"), "abc");
    EXPECT_EQ(ed_Normalise(4, "1.2.3"), "1.2.3");
}

TEST(EditNormalise, DateTimes) {
    EXPECT_EQ(ed_Normalise(11, "2024-2-30"), "");
    EXPECT_EQ(ed_Normalise(11, "2024-2-29"), "2024年2月29日");
    EXPECT_EQ(ed_Normalise(11, "2023-2-29"), "");
    EXPECT_EQ(ed_Normalise(11, "1900-2-29"), "");
    EXPECT_EQ(ed_Normalise(11, "2000-2-29"), "2000年2月29日");
    EXPECT_EQ(ed_Normalise(11, "2024-2-3"), "2024年2月3日");
    EXPECT_EQ(ed_Normalise(11, "2024-2-3 5:06"), "2024年2月3日5时6分");
    EXPECT_EQ(ed_Normalise(11, "2024-2-3 5:06:07"), "2024年2月3日5时6分7秒");
    EXPECT_EQ(ed_Normalise(11, "2024/2/3 5"), "2024年2月3日5时");
    EXPECT_EQ(ed_Normalise(11, "2024-2-3 0:0:9"), "2024年2月3日0时0分9秒");
    EXPECT_EQ(ed_Normalise(11, "2024年2月3日5时6分7秒"), "2024年2月3日5时6分7秒");
    EXPECT_EQ(ed_Normalise(11, "20240203"), "2024年2月3日");
    EXPECT_EQ(ed_Normalise(11, "2024-2"), "");           // no day
    EXPECT_EQ(ed_Normalise(11, "2024"), "");
    EXPECT_EQ(ed_Normalise(11, "99-1-1"), "");           // year below 100
    EXPECT_EQ(ed_Normalise(11, "2024-13-1"), "");
    EXPECT_EQ(ed_Normalise(11, "2024-1-1 24:00"), "");
    EXPECT_EQ(ed_Normalise(11, "2024-1-1 1:60"), "");
    EXPECT_EQ(ed_Normalise(11, "2024-1-1 x"), "");        // trailing text
    EXPECT_EQ(ed_Normalise(11, "2024-1-1 1:2:3秒后"), "2024年1月1日1时2分3秒");
    EXPECT_EQ(ed_Normalise(11, "1899-12-30"), "");       // day zero of the scale
    EXPECT_EQ(ed_Normalise(11, "1899-12-30 1"), "1899年12月30日1时");
    EXPECT_EQ(ed_Normalise(11, ""), "");
}

}  // namespace
