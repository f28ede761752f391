// Text commands through the first library's command table, on the
// runtime's value model.
#include "tests/support/lib_env.h"

namespace {

class TextCommands : public ::testing::Test {
protected:
    void SetUp() override { connectLibrary(); }
};

// Splits and returns the elements; a null element reads as "<null>".
std::vector<std::string> split(std::vector<ArgRecord> args, bool* arrayPresent = nullptr) {
    ArgRecord r = callCommand(CMD_SplitText, args);
    EXPECT_EQ(r.type, TYPE_TEXT | TYPE_BYADDR);
    std::vector<std::string> out;
    int32_t* a = (int32_t*)pointerOf(r);
    if (arrayPresent) *arrayPresent = a != nullptr;
    if (!a) return out;
    EXPECT_EQ(a[0], 1);
    char** items = (char**)(a + 2);
    for (int32_t i = 0; i < a[1]; i++) {
        if (items[i]) {
            EXPECT_NE(items[i][0], 0) << "an empty element must be null";
        }
        out.push_back(items[i] ? items[i] : "<null>");
    }
    rt_FreeArray(TYPE_TEXT, a);
    return out;
}
using Items = std::vector<std::string>;

TEST_F(TextCommands, SplitAtDefaultAndGivenComma) {
    EXPECT_EQ(split({textArg("yml,json,txt"), textArg(",")}), (Items{"yml", "json", "txt"}));
    EXPECT_EQ(split({textArg("yml,json,txt")}), (Items{"yml", "json", "txt"}));
    EXPECT_EQ(split({textArg("yml,json"), omitted(), omitted()}), (Items{"yml", "json"}));
    EXPECT_EQ(split({textArg("a,,b")}), (Items{"a", "<null>", "b"}));
    EXPECT_EQ(split({textArg(",a")}), (Items{"<null>", "a"}));
    EXPECT_EQ(split({textArg("a,")}), (Items{"a"}));
    EXPECT_EQ(split({textArg(",")}), (Items{"<null>"}));
    EXPECT_EQ(split({textArg(",,")}), (Items{"<null>", "<null>"}));
    EXPECT_EQ(split({textArg(" yml, json")}), (Items{" yml", " json"}));
}

TEST_F(TextCommands, SplitOfEmptyTextIsAnEmptyArray) {
    bool present = false;
    EXPECT_TRUE(split({textArg("")}, &present).empty());
    EXPECT_TRUE(present);
    EXPECT_TRUE(split({textArg(nullptr)}, &present).empty());
    EXPECT_TRUE(present);
    EXPECT_TRUE(split({}, &present).empty());
    EXPECT_TRUE(present);
    // A value of another type is not taken for a text pointer.
    EXPECT_TRUE(split({intArg(0x1234)}, &present).empty());
}

TEST_F(TextCommands, SplitMaximumCount) {
    EXPECT_EQ(split({textArg("a,b,c"), textArg(","), intArg(2)}), (Items{"a", "b"}));
    EXPECT_EQ(split({textArg("a,b,c"), textArg(","), intArg(1)}), (Items{"a"}));
    EXPECT_EQ(split({textArg("a,b,c"), textArg(","), intArg(3)}), (Items{"a", "b", "c"}));
    EXPECT_EQ(split({textArg("abc"), textArg(","), intArg(1)}), (Items{"abc"}));
    EXPECT_TRUE(split({textArg("a,b,c"), textArg(","), intArg(0)}).empty());
    EXPECT_TRUE(split({textArg("a,b,c"), textArg(","), intArg(-5)}).empty());
    EXPECT_EQ(split({textArg("a,b"), omitted(), intArg(5)}), (Items{"a", "b"}));
}

TEST_F(TextCommands, SplitWithEmptyOrLongerDelimiter) {
    EXPECT_EQ(split({textArg("a,b"), textArg("")}), (Items{"a,b"}));
    EXPECT_EQ(split({textArg("a,b"), textArg(nullptr)}), (Items{"a,b"}));
    EXPECT_EQ(split({textArg("a::b:c::"), textArg("::")}), (Items{"a", "b:c"}));
    EXPECT_EQ(split({textArg("ab"), textArg("abc")}), (Items{"ab"}));
    // A full-width comma as delimiter.
    EXPECT_EQ(split({textArg("甲，乙"), textArg("，")}), (Items{"甲", "乙"}));
}

TEST_F(TextCommands, SplitNeverCutsADoubleByteCharacter) {
    // B0 5C and B0 7C are characters whose second byte is '\' and '|'.
    EXPECT_EQ(split({textArg("x\xB0\x5Cy\\z"), textArg("\\")}), (Items{"x\xB0\x5Cy", "z"}));
    EXPECT_EQ(split({textArg("\xB0\x7C|\xB0\x7C"), textArg("|")}), (Items{"\xB0\x7C", "\xB0\x7C"}));
    EXPECT_EQ(split({textArg("\xB0\x7C"), textArg("|")}), (Items{"\xB0\x7C"}));
    // A lead byte with nothing after it ends the scan; the rest is one piece.
    EXPECT_EQ(split({textArg("a,b\xB0")}), (Items{"a", "b\xB0"}));
}

TEST_F(TextCommands, TextRight) {
    auto right = [](const char* s, int32_t n) {
        ArgRecord r = callCommand(CMD_TextRight, {textArg(s), intArg(n)});
        EXPECT_EQ(r.type, TYPE_TEXT);
        std::string out = textOf(r) ? textOf(r) : "<null>";
        rt_Free(pointerOf(r));
        return out;
    };
    EXPECT_EQ(right("abc", 1), "c");
    EXPECT_EQ(right("abc", 3), "abc");
    EXPECT_EQ(right("abc", 5), "abc");
    EXPECT_EQ(right("abc", 0), "<null>");
    EXPECT_EQ(right("abc", -1), "<null>");
    EXPECT_EQ(right(nullptr, 1), "<null>");
    EXPECT_EQ(right("", 1), "<null>");
    EXPECT_EQ(right("a\xB0\x5C", 1), "\x5C");  // by bytes
}

std::string toText(ArgRecord value) {
    ArgRecord r = callCommand(CMD_ToText, {value});
    EXPECT_EQ(r.type, TYPE_TEXT);
    std::string out = textOf(r) ? textOf(r) : "<null>";
    if (textOf(r)) {
        EXPECT_NE(textOf(r)[0], 0) << "an empty text must be null";
    }
    rt_Free(pointerOf(r));
    return out;
}

TEST_F(TextCommands, ToTextOfIntegers) {
    EXPECT_EQ(toText(intArg(12)), "12");
    EXPECT_EQ(toText(intArg(-3)), "-3");
    EXPECT_EQ(toText(intArg(0)), "0");
    EXPECT_EQ(toText(intArg(INT32_MIN)), "-2147483648");
    EXPECT_EQ(toText(ArgRecord{0xFFFFFFC8u, 0, TYPE_BYTE}), "200");
    EXPECT_EQ(toText(ArgRecord{0xFFFFu, 0, TYPE_SHORT}), "-1");
    EXPECT_EQ(toText(ArgRecord{0x7FFFu, 0, TYPE_SHORT}), "32767");
    int64_t big = -1234567890123LL;
    EXPECT_EQ(toText(ArgRecord{(uint32_t)big, (uint32_t)((uint64_t)big >> 32), TYPE_LONG}), "-1234567890123");
    EXPECT_EQ(toText(ArgRecord{0, 0x80000000u, TYPE_LONG}), "-9223372036854775808");
}

TEST_F(TextCommands, ToTextOfByteSetsStopsAtZero) {
    uint8_t* withZero = rt_ByteSetFromBytes("\x41\x00\x42", 3);
    EXPECT_EQ(toText(ArgRecord{(uint32_t)(uintptr_t)withZero, 0, TYPE_BYTES}), "A");
    uint8_t* plain = rt_ByteSetFromBytes("AB", 2);
    EXPECT_EQ(toText(ArgRecord{(uint32_t)(uintptr_t)plain, 0, TYPE_BYTES}), "AB");
    uint8_t* leadingZero = rt_ByteSetFromBytes("\x00" "A", 2);
    EXPECT_EQ(toText(ArgRecord{(uint32_t)(uintptr_t)leadingZero, 0, TYPE_BYTES}), "<null>");
    EXPECT_EQ(toText(ArgRecord{0, 0, TYPE_BYTES}), "<null>");
    rt_Free(withZero);
    rt_Free(plain);
    rt_Free(leadingZero);
}

TEST_F(TextCommands, ToTextOfBooleansTextsAndOthers) {
    EXPECT_EQ(toText(ArgRecord{1, 0, TYPE_BOOL}), "\xD5\xE6");  // 真
    EXPECT_EQ(toText(ArgRecord{7, 0, TYPE_BOOL}), "真");
    EXPECT_EQ(toText(ArgRecord{0, 0, TYPE_BOOL}), "\xBC\xD9");  // 假
    EXPECT_EQ(toText(textArg("文本")), "文本");
    EXPECT_EQ(toText(textArg("")), "<null>");
    EXPECT_EQ(toText(textArg(nullptr)), "<null>");
    EXPECT_EQ(toText(omitted()), "<null>");
    EXPECT_EQ(toText(ArgRecord{1, 0, TYPE_AUTOMATION}), "<null>");
    EXPECT_EQ(toText(ArgRecord{1, 2, 0x0001000Fu}), "<null>");
}

TEST_F(TextCommands, ToTextOfReals) {
    EXPECT_EQ(toText(doubleArg(2.5)), "2.5");
    EXPECT_EQ(toText(doubleArg(-0.1)), "-0.1");
    EXPECT_EQ(toText(doubleArg(1.0 / 3.0)), "0.3333333333333");
    EXPECT_EQ(toText(doubleArg(123456789.0)), "123456789");
    EXPECT_EQ(toText(floatArg(2.9f)), "2.9");
    EXPECT_EQ(toText(floatArg(0.1f)), "0.1");
    EXPECT_EQ(toText(doubleArg(45000.5, TYPE_DATETIME)), "2023年3月15日12时");
}

TEST_F(TextCommands, ToTextOfNumericArrays) {
    struct { int32_t d, n; uint8_t b[4]; } bytes = {1, 4, {'h', 'i', 0, 'x'}};
    EXPECT_EQ(toText(ArgRecord{(uint32_t)(uintptr_t)&bytes, 0, TYPE_BYTE | TYPE_BYADDR}), "hi");
    struct { int32_t d, n; int32_t v[2]; } ints = {1, 2, {0x64636261, 0x00006665}};
    EXPECT_EQ(toText(ArgRecord{(uint32_t)(uintptr_t)&ints, 0, TYPE_INT | TYPE_BYADDR}), "abcdef");
    struct { int32_t d, a, b; int16_t v[4]; } grid = {2, 2, 1, {0x4241, 0x4443, 0, 0}};
    EXPECT_EQ(toText(ArgRecord{(uint32_t)(uintptr_t)&grid, 0, TYPE_SHORT | TYPE_BYADDR}), "ABCD");
    struct { int32_t d; } none = {0};
    EXPECT_EQ(toText(ArgRecord{(uint32_t)(uintptr_t)&none, 0, TYPE_INT | TYPE_BYADDR}), "<null>");
    // Arrays of other element types give the empty text.
    const char* texts[] = {"a"};
    struct { int32_t d, n; const char* v[1]; } textArray = {1, 1, {texts[0]}};
    EXPECT_EQ(toText(ArgRecord{(uint32_t)(uintptr_t)&textArray, 0, TYPE_TEXT | TYPE_BYADDR}), "<null>");
    EXPECT_EQ(toText(ArgRecord{0, 0, TYPE_INT | TYPE_BYADDR}), "<null>");
}

int32_t toInteger(ArgRecord value) {
    ArgRecord r = callCommand(CMD_ToInteger, {value});
    EXPECT_EQ(r.type, TYPE_INT);
    return (int32_t)r.low;
}

TEST_F(TextCommands, ToIntegerOfTexts) {
    EXPECT_EQ(toInteger(textArg(" 42abc")), 42);
    EXPECT_EQ(toInteger(textArg("\t-17")), -17);
    EXPECT_EQ(toInteger(textArg("+8")), 8);
    EXPECT_EQ(toInteger(textArg("abc")), 0);
    EXPECT_EQ(toInteger(textArg("- 5")), 0);
    EXPECT_EQ(toInteger(textArg("")), 0);
    EXPECT_EQ(toInteger(textArg(nullptr)), 0);
    EXPECT_EQ(toInteger(textArg("12个")), 12);
    EXPECT_EQ(toInteger(textArg("99999999999")), INT32_MAX);
    EXPECT_EQ(toInteger(textArg("-99999999999")), INT32_MIN);
    EXPECT_EQ(toInteger(textArg("-2147483648")), INT32_MIN);
}

TEST_F(TextCommands, ToIntegerMapsFullWidthForms) {
    EXPECT_EQ(toInteger(textArg("４２")), 42);
    EXPECT_EQ(toInteger(textArg("\xA3\xB4\xA3\xB2")), 42);
    EXPECT_EQ(toInteger(textArg("－７")), -7);
    EXPECT_EQ(toInteger(textArg("＋１２ａ")), 12);
    EXPECT_EQ(toInteger(textArg("　３")), 3);  // ideographic space
    EXPECT_EQ(toInteger(textArg("4２x")), 42);
    EXPECT_EQ(toInteger(textArg("中1")), 0);
}

TEST_F(TextCommands, ToIntegerOfOtherTypes) {
    EXPECT_EQ(toInteger(doubleArg(2.9)), 2);
    EXPECT_EQ(toInteger(doubleArg(-2.9)), -2);
    EXPECT_EQ(toInteger(floatArg(2.9f)), 2);
    EXPECT_EQ(toInteger(floatArg(-2.9f)), -2);
    EXPECT_EQ(toInteger(doubleArg(1e20)), INT32_MAX);
    EXPECT_EQ(toInteger(doubleArg(-1e20)), INT32_MIN);
    EXPECT_EQ(toInteger(doubleArg(0.0 / 0.0)), 0);
    EXPECT_EQ(toInteger(ArgRecord{1, 0, TYPE_BOOL}), 1);
    EXPECT_EQ(toInteger(ArgRecord{0xFFFFFFFFu, 0, TYPE_BYTE}), 255);
    EXPECT_EQ(toInteger(ArgRecord{0x8000u, 0, TYPE_SHORT}), -32768);
    EXPECT_EQ(toInteger(intArg(-5)), -5);
    EXPECT_EQ(toInteger(ArgRecord{0x401000u, 0, TYPE_SUBROUTINE}), 0x401000);
    EXPECT_EQ(toInteger(ArgRecord{7, 1, TYPE_LONG}), 7);
    EXPECT_EQ(toInteger(ArgRecord{7, 0, TYPE_AUTOMATION}), 0);
    EXPECT_EQ(toInteger(doubleArg(3.0, TYPE_DATETIME)), 0);
    EXPECT_EQ(toInteger(omitted()), 0);
}

TEST_F(TextCommands, ByteSetLength) {
    uint8_t* b = rt_ByteSetFromBytes("\x00\x01\x02", 3);
    ArgRecord r = callCommand(CMD_ByteSetLength, {ArgRecord{(uint32_t)(uintptr_t)b, 0, TYPE_BYTES}});
    EXPECT_EQ(r.type, TYPE_INT);
    EXPECT_EQ((int32_t)r.low, 3);
    EXPECT_EQ((int32_t)callCommand(CMD_ByteSetLength, {ArgRecord{0, 0, TYPE_BYTES}}).low, 0);
    EXPECT_EQ((int32_t)callCommand(CMD_ByteSetLength, {omitted()}).low, 0);
    EXPECT_EQ((int32_t)callCommand(CMD_ByteSetLength, {intArg(0x1234)}).low, 0);
    // A byte array has the byte set's layout.
    EXPECT_EQ((int32_t)callCommand(CMD_ByteSetLength, {ArgRecord{(uint32_t)(uintptr_t)b, 0, TYPE_BYTE | TYPE_BYADDR}}).low, 3);
    rt_Free(b);
}

}  // namespace
