// The parts of the dialog commands that need no window: how a value reads
// in a message box, the box type, and the folder path of the result.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "commands/dialog.h"
#include "runtime/rt.h"

namespace {

ArgRecord rec(uint32_t type, uint32_t low, uint32_t high = 0) { return ArgRecord{low, high, type}; }
ArgRecord dbl(double d, uint32_t type) {
    uint64_t bits;
    memcpy(&bits, &d, 8);
    return rec(type, (uint32_t)bits, (uint32_t)(bits >> 32));
}
std::string textOf(const ArgRecord& a) {
    char buf[64];
    return dlg_ValueText(&a, buf);
}
std::string folder(const char* in) {
    char buf[MAX_PATH + 2];
    strcpy(buf, in);
    rt_FolderResultPath(buf);
    return buf;
}

TEST(DialogValueText, NumbersAsToTextFormatsThem) {
    EXPECT_EQ(textOf(rec(TYPE_INT, (uint32_t)-3)), "-3");
    EXPECT_EQ(textOf(rec(TYPE_INT, 12)), "12");
    EXPECT_EQ(textOf(rec(TYPE_BYTE, 0xFFFFFF80u)), "128");        // only the low byte, unsigned
    EXPECT_EQ(textOf(rec(TYPE_SHORT, 0x0001FFFFu)), "-1");        // sign-extended low half
    int64_t big = -9000000000LL;
    EXPECT_EQ(textOf(rec(TYPE_LONG, (uint32_t)big, (uint32_t)((uint64_t)big >> 32))), "-9000000000");
    EXPECT_EQ(textOf(rec(TYPE_LONG, 0, 0x80000000u)), "-9223372036854775808");
    EXPECT_EQ(textOf(dbl(2.5, TYPE_DOUBLE)), "2.5");
    float f = 0.1f;
    uint32_t fb;
    memcpy(&fb, &f, 4);
    EXPECT_EQ(textOf(rec(TYPE_FLOAT, fb)), "0.1");
}

TEST(DialogValueText, BooleansDatesAndTexts) {
    EXPECT_EQ(textOf(rec(TYPE_BOOL, 1)), "真");
    EXPECT_EQ(textOf(rec(TYPE_BOOL, 7)), "真");
    EXPECT_EQ(textOf(rec(TYPE_BOOL, 0)), "假");
    // 2 January 1900, 12:00.
    EXPECT_EQ(textOf(dbl(3.5, TYPE_DATETIME)), "1900年1月2日12时");
    const char* text = "转换完成";
    char buf[64];
    ArgRecord t = rec(TYPE_TEXT, (uint32_t)(uintptr_t)text);
    EXPECT_EQ(dlg_ValueText(&t, buf), text);  // used in place, not copied or cut
}

TEST(DialogValueText, EverythingElseIsEmpty) {
    EXPECT_EQ(textOf(rec(TYPE_TEXT, 0)), "");                      // null text
    static const uint8_t bytes[] = {1, 0, 0, 0, 1, 0, 0, 0, 'A'};
    EXPECT_EQ(textOf(rec(TYPE_BYTES, (uint32_t)(uintptr_t)bytes)), "");
    EXPECT_EQ(textOf(rec(TYPE_TEXT | TYPE_BYADDR, 0x1234)), "");  // never dereferenced
    EXPECT_EQ(textOf(rec(0x0001000F, 0x52010001, 0x1601000E)), "");
    EXPECT_EQ(textOf(rec(TYPE_NONE, 0)), "");
    char buf[64];
    EXPECT_STREQ(dlg_ValueText(nullptr, buf), "");
}

TEST(DialogBoxType, TaskModalUnlessSystemModal) {
    EXPECT_EQ(dlg_BoxType(0), (UINT)MB_TASKMODAL);
    EXPECT_EQ(dlg_BoxType(MB_YESNO | MB_ICONQUESTION), (UINT)(MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL));
    EXPECT_EQ(dlg_BoxType(MB_SYSTEMMODAL | MB_OKCANCEL), (UINT)(MB_SYSTEMMODAL | MB_OKCANCEL));
}

TEST(DialogButtonNumber, PlatformAnswersMapToCommandNumbers) {
    const int pressed[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO};
    for (int i = 0; i < 7; i++) EXPECT_EQ(dlg_ButtonNumber(pressed[i]), i) << pressed[i];
    EXPECT_EQ(dlg_ButtonNumber(0), 0);           // the box failed
    EXPECT_EQ(dlg_ButtonNumber(IDTRYAGAIN), 0);
    EXPECT_EQ(dlg_ButtonNumber(IDCONTINUE), 0);
    EXPECT_EQ(dlg_ButtonNumber(-1), 0);
}

TEST(DialogFolderPath, DriveRootKeepsItsBackslashFoldersHaveNone) {
    EXPECT_EQ(folder("C:\\"), "C:\\");
    EXPECT_EQ(folder("d:\\"), "d:\\");
    EXPECT_EQ(folder("D:"), "D:\\");
    EXPECT_EQ(folder("D:\\MyServer"), "D:\\MyServer");
    EXPECT_EQ(folder("D:\\MyServer\\"), "D:\\MyServer");
    EXPECT_EQ(folder("D:\\MyServer\\\\"), "D:\\MyServer");
    EXPECT_EQ(folder("C:\\\\"), "C:\\");
    EXPECT_EQ(folder("\\\\host\\share\\"), "\\\\host\\share");
    EXPECT_EQ(folder("\\"), "\\");
    EXPECT_EQ(folder(""), "");
}

TEST(DialogFolderPath, TrailByteThatLooksLikeABackslashIsKept) {
    ASSERT_EQ(GetACP(), 936u);
    // "乗" is 0x81 0x5C in GBK: its second byte must not be taken for "\".
    EXPECT_EQ(folder("D:\\服务端\\乗"), "D:\\服务端\\乗");
    EXPECT_EQ(folder("D:\\乗\\"), "D:\\乗");
    EXPECT_EQ(folder("D:\\服务端\\"), "D:\\服务端");
}

}  // namespace
