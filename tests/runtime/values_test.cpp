// Values and memory: the constant-area rule, texts, byte sets, arrays.
#include <gtest/gtest.h>
#include <vector>
#include <string.h>
#include "runtime/rt.h"

namespace {

// A fake constant area: an empty text, then the empty array {1, 0},
// then a 2-element integer array.
alignas(4) uint8_t g_constants[32] = {
    0, 0, 0, 0,               // empty text (padded)
    1, 0, 0, 0, 0, 0, 0, 0,   // {1, 0}
    1, 0, 0, 0, 2, 0, 0, 0,   // {1, 2, 7, 9}
    7, 0, 0, 0, 9, 0, 0, 0,
    0xAA, 0xBB, 0xCC, 0xDD};

class Values : public ::testing::Test {
protected:
    void SetUp() override {
        g_rt.heap = GetProcessHeap();
        g_rt.constantsStart = g_constants;
        g_rt.constantsEnd = g_constants + sizeof g_constants;
    }
    void TearDown() override { g_rt.constantsStart = g_rt.constantsEnd = nullptr; }
};

TEST_F(Values, FreeIgnoresNullAndConstants) {
    rt_Free(nullptr);
    rt_Free(g_constants);        // the empty text
    rt_Free(g_constants + 4);    // the empty array
    EXPECT_EQ(g_constants[4], 1);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

TEST_F(Values, ConstantBoundsAreHalfOpen) {
    EXPECT_TRUE(rt_IsConstant(g_constants));
    EXPECT_TRUE(rt_IsConstant(g_constants + sizeof g_constants - 1));
    EXPECT_FALSE(rt_IsConstant(g_constants + sizeof g_constants));
    g_rt.constantsStart = g_rt.constantsEnd = nullptr;  // no constant area
    EXPECT_FALSE(rt_IsConstant(g_constants));
}

TEST_F(Values, ReallocateOfConstantCopiesOnlyToEndOfArea) {
    uint8_t* src = g_constants + 28;  // 4 bytes before the end
    uint8_t* p = (uint8_t*)rt_Reallocate(src, 16);
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(rt_IsConstant(p));
    EXPECT_EQ(memcmp(p, src, 4), 0);
    EXPECT_EQ(g_constants[28], 0xAA);  // the constant is left as it was
    rt_Free(p);
}

TEST_F(Values, ReallocateOfConstantToSmallerSize) {
    int32_t* p = (int32_t*)rt_Reallocate(g_constants + 12, 8);
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1], 2);
    rt_Free(p);
}

// An array appended to one element at a time moves a logarithmic number of
// times, keeps every element, and gives memory back when it shrinks a lot.
TEST_F(Values, GrowingByOneElementMovesRarelyAndKeepsTheElements) {
    void* var = nullptr;
    int moves = 0;
    const int32_t kCount = 20000;
    std::vector<void*> texts;  // as in a search: a path text between appends
    for (int32_t i = 0; i < kCount; i++) {
        void* before = var;
        rt_ArrayAppend(&var, 4, &i);
        if (var != before) moves++;
        texts.push_back(rt_Allocate(70));
    }
    for (void* t : texts) rt_Free(t);
    EXPECT_LT(moves, 60);
    ASSERT_EQ(rt_ArrayCount(var), kCount);
    const int32_t* e = (const int32_t*)rt_ArrayElements(var);
    for (int32_t i = 0; i < kCount; i++) ASSERT_EQ(e[i], i);
    void* small = rt_Reallocate(var, 64);
    EXPECT_EQ(((const int32_t*)small)[0], 1);
    EXPECT_EQ(((const int32_t*)small)[1], kCount);
    EXPECT_EQ(((const int32_t*)small)[2], 0);
    EXPECT_EQ(((const int32_t*)small)[15], 13);
    EXPECT_LT(HeapSize(GetProcessHeap(), 0, small), (SIZE_T)4096);
    rt_Free(small);
}

TEST_F(Values, UnshareCopiesConstantArrayOnly) {
    void* var = g_constants + 12;
    rt_UnshareArray(&var, 4);
    ASSERT_NE(var, (void*)(g_constants + 12));
    EXPECT_EQ(memcmp(var, g_constants + 12, 16), 0);
    void* heapArray = var;
    rt_UnshareArray(&var, 4);
    EXPECT_EQ(var, heapArray);  // a heap array stays where it is
    rt_Free(var);
}

TEST_F(Values, AppendToConstantEmptyArray) {
    void* var = g_constants + 4;
    int32_t v = 42;
    rt_ArrayAppend(&var, 4, &v);
    ASSERT_FALSE(rt_IsConstant(var));
    EXPECT_EQ(rt_ArrayCount(var), 1);
    EXPECT_EQ(((int32_t*)var)[2], 42);
    EXPECT_EQ(((int32_t*)(g_constants + 4))[1], 0);
    rt_Free(var);
}

TEST_F(Values, AppendToTwoDimensionalArrayKeepsElements) {
    int32_t* a = (int32_t*)rt_Allocate(4 + 8 + 4 * 4);
    a[0] = 2; a[1] = 2; a[2] = 2;
    a[3] = 10; a[4] = 11; a[5] = 12; a[6] = 13;
    void* var = a;
    int32_t v = 14;
    rt_ArrayAppend(&var, 4, &v);
    int32_t* b = (int32_t*)var;
    ASSERT_EQ(b[0], 1);
    ASSERT_EQ(b[1], 5);
    for (int i = 0; i < 5; i++) EXPECT_EQ(b[2 + i], 10 + i) << i;
    rt_Free(var);
}

TEST_F(Values, ArrayCounts) {
    int32_t zeroDims[1] = {0};
    EXPECT_EQ(rt_ArrayCount(zeroDims), 0);
    EXPECT_EQ(rt_ArrayCount(g_constants + 4), 0);
    int32_t threeByFour[3] = {2, 3, 4};
    EXPECT_EQ(rt_ArrayCount(threeByFour), 12);
    EXPECT_EQ(rt_ArrayCount(nullptr), 0);
}

TEST_F(Values, TextConstructorsNeverReturnEmptyBlocks) {
    EXPECT_EQ(rt_DupText(nullptr), nullptr);
    EXPECT_EQ(rt_DupText(""), nullptr);
    EXPECT_EQ(rt_TextFromBytes("abc", 0), nullptr);
    EXPECT_EQ(rt_TextFromBytes("abc", -1), nullptr);
    EXPECT_EQ(rt_ByteSetFromBytes("abc", 0), nullptr);
    char* t = rt_TextFromBytes("abcdef", 3);
    EXPECT_STREQ(t, "abc");
    rt_Free(t);
    uint8_t* b = rt_ByteSetFromBytes("a\0b", 3);
    EXPECT_EQ(((int32_t*)b)[0], 1);
    EXPECT_EQ(rt_ByteSetLength(b), 3);
    EXPECT_EQ(memcmp(rt_ByteSetData(b), "a\0b", 3), 0);
    rt_Free(b);
}

TEST_F(Values, FreeArrayReleasesTextElements) {
    int32_t* a = (int32_t*)rt_Allocate(8 + 8);
    a[0] = 1; a[1] = 2;
    ((char**)(a + 2))[0] = rt_DupText("x");
    ((char**)(a + 2))[1] = nullptr;
    rt_FreeArray(TYPE_TEXT | TYPE_BYADDR, a);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

TEST_F(Values, ElementSizes) {
    EXPECT_EQ(rt_ElementSize(TYPE_BYTE), 1);
    EXPECT_EQ(rt_ElementSize(TYPE_SHORT), 2);
    EXPECT_EQ(rt_ElementSize(TYPE_INT), 4);
    EXPECT_EQ(rt_ElementSize(TYPE_LONG), 8);
    EXPECT_EQ(rt_ElementSize(TYPE_FLOAT), 4);
    EXPECT_EQ(rt_ElementSize(TYPE_DOUBLE), 8);
    EXPECT_EQ(rt_ElementSize(TYPE_TEXT), 0);
    EXPECT_EQ(rt_ElementSize(TYPE_DATETIME), 0);
}

TEST_F(Values, NumericConversionTowardZero) {
    ArgRecord r{0xFF, 0, TYPE_BYTE};
    EXPECT_EQ(rt_ToInt32(&r), 255);
    r = ArgRecord{0xFFFF, 0, TYPE_SHORT};
    EXPECT_EQ(rt_ToInt32(&r), -1);
    r = ArgRecord{5, 1, TYPE_LONG};
    EXPECT_EQ(rt_ToInt32(&r), 5);
    double d = -2.9;
    memcpy(&r.low, &d, 8);
    r.type = TYPE_DOUBLE;
    EXPECT_EQ(rt_ToInt32(&r), -2);
    float f = 2.9f;
    r = ArgRecord{0, 0, TYPE_FLOAT};
    memcpy(&r.low, &f, 4);
    EXPECT_EQ(rt_ToInt32(&r), 2);
}

// ---- formatting ----

std::string single(float v) {
    char buf[64];
    rt_FormatSingle(v, buf);
    return buf;
}
std::string dateTime(double v) {
    char buf[64];
    rt_FormatDateTime(v, buf);
    return buf;
}

TEST(Format, SingleIsRoundedToSixDigits) {
    EXPECT_EQ(single(0.1f), "0.1");        // not 0.100000001
    EXPECT_EQ(single(3.14159274f), "3.14159");
    EXPECT_EQ(single(1234567.0f), "1.23457e+06");
    EXPECT_EQ(single(-2.5f), "-2.5");
    EXPECT_EQ(single(0.0f), "0");
    EXPECT_EQ(single(100.0f), "100");
    EXPECT_EQ(single(16777216.0f), "1.67772e+07");
}

TEST(Format, DoubleUsesThirteenDigits) {
    char buf[64];
    rt_FormatDouble(0.1, buf);
    EXPECT_STREQ(buf, "0.1");
    rt_FormatDouble(1.0 / 3.0, buf);
    EXPECT_STREQ(buf, "0.3333333333333");
    rt_FormatDouble(1e20, buf);
    EXPECT_STREQ(buf, "1e+20");
}

TEST(Format, DateTimeDropsTrailingZeroFields) {
    EXPECT_EQ(dateTime(0.0), "1899年12月30日");
    EXPECT_EQ(dateTime(2.5), "1900年1月1日12时");
    EXPECT_EQ(dateTime(2.0 + (13 * 60 + 5) / 1440.0), "1900年1月1日13时5分");
    EXPECT_EQ(dateTime(2.0 + 7.0 / 86400.0), "1900年1月1日0时0分7秒");
}

TEST(Format, DateTimeIsClamped) {
    EXPECT_EQ(dateTime(-1e9), "100年1月1日");
    EXPECT_EQ(dateTime(1e9), "9999年12月31日");
}

}  // namespace
