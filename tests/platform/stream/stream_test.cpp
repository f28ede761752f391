// The stream server driven by name through the automation commands: what
// the rewrite relies on, and that its failures are reported, not hidden.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "automation/automation.h"
#include "commands/library.h"
#include "runtime/rt.h"

namespace {

ArgRecord obj(AutomationRecord* r) { return ArgRecord{(uint32_t)(uintptr_t)r, 0, TYPE_AUTOMATION}; }
ArgRecord text(const char* s) { return ArgRecord{(uint32_t)(uintptr_t)s, 0, TYPE_TEXT}; }
ArgRecord integer(int32_t v) { return ArgRecord{(uint32_t)v, 0, TYPE_INT}; }

std::string tempPath(const char* name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    return std::string(tmp) + "vell_st_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::string readFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string s(GetFileSize(h, nullptr), '\0');
    DWORD n = 0;
    if (!s.empty()) ReadFile(h, &s[0], (DWORD)s.size(), &n, nullptr);
    CloseHandle(h);
    return s;
}

class Stream : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_rt.heap = GetProcessHeap();
        vell_library1.notify(1, (uint32_t)(uintptr_t)&rt_Notify, 0);
        OleInitialize(nullptr);
    }
    AutomationRecord textStream{nullptr, nullptr}, byteStream{nullptr, nullptr};

    void SetUp() override {
        ASSERT_TRUE(create(&textStream)) << "is the stream server registered (scripts/register-stream)?";
        ASSERT_TRUE(create(&byteStream));
    }
    void TearDown() override {
        auto_ClearRecord(&textStream);
        auto_ClearRecord(&byteStream);
    }
    static bool create(AutomationRecord* r) {
        ArgRecord res, a[2] = {obj(r), text("adodb.stream")};
        rt_CallCommand(&res, cmd_CreateAutomationObject, 2, a);
        return res.low == 1;
    }
    static bool set(AutomationRecord* r, const char* name, ArgRecord value) {
        ArgRecord res, a[3] = {obj(r), text(name), value};
        rt_CallCommand(&res, cmd_SetAutomationProperty, 3, a);
        return res.low == 1;
    }
    static int32_t call(AutomationRecord* r, const char* name, std::vector<ArgRecord> args = {}) {
        std::vector<ArgRecord> a = {obj(r), text(name)};
        a.insert(a.end(), args.begin(), args.end());
        ArgRecord res;
        rt_CallCommand(&res, cmd_CallAutomationMethod, (int32_t)a.size(), a.data());
        return auto_LastStatus();
    }
    static int32_t readInt(AutomationRecord* r, const char* name) {
        ArgRecord res{0, 0, TYPE_INT}, a[2] = {obj(r), text(name)};
        AccessMember(&res, 2, a, ACCESS_READ);
        EXPECT_EQ(auto_LastStatus(), 0) << name;
        return (int32_t)res.low;
    }
    void openText(const char* charset) {
        ASSERT_TRUE(set(&textStream, "Type", integer(2)));
        ASSERT_TRUE(set(&textStream, "mode", integer(3)));
        ASSERT_TRUE(set(&textStream, "Charset", text(charset)));
        ASSERT_EQ(call(&textStream, "Open"), 0);
    }
    void openBytes() {
        ASSERT_TRUE(set(&byteStream, "mode", integer(3)));
        ASSERT_TRUE(set(&byteStream, "Type", integer(1)));
        ASSERT_EQ(call(&byteStream, "Open"), 0);
    }
};

// The server keeps its type information between streams; once nothing is
// alive it may be unloaded, and a stream made after that binds names anew.
TEST_F(Stream, StreamsStillBindAfterTheServerWasUnloaded) {
    for (int round = 0; round < 3; round++) {
        openText("utf-8");
        ASSERT_EQ(call(&textStream, "WriteText", {text("abc")}), 0);
        EXPECT_EQ(readInt(&textStream, "Size"), 3 + 3);
        auto_ClearRecord(&textStream);
        auto_ClearRecord(&byteStream);
        CoFreeUnusedLibrariesEx(0, 0);
        CoFreeUnusedLibrariesEx(0, 0);
        ASSERT_TRUE(create(&textStream));
        ASSERT_TRUE(create(&byteStream));
    }
}

TEST_F(Stream, TextInUtf8StartsWithAByteOrderMark) {
    openText("UTF-8");  // the character set name ignores case
    ASSERT_EQ(call(&textStream, "writetext", {text("中a")}), 0);
    EXPECT_EQ(readInt(&textStream, "Size"), 3 + 3 + 1);
    std::string path = tempPath("bom.txt");
    ASSERT_EQ(call(&textStream, "SAVETOFILE", {text(path.c_str()), integer(2)}), 0);
    EXPECT_EQ(readFile(path), std::string("\xEF\xBB\xBF") + u8"中a");
    DeleteFileA(path.c_str());
}

TEST_F(Stream, CopyToTakesTheBytesFromThePositionOn) {
    openText("utf-8");
    ASSERT_EQ(call(&textStream, "WriteText", {text("abc")}), 0);
    ASSERT_TRUE(set(&textStream, "Position", integer(3)));
    openBytes();
    AutomationRecord* target = &byteStream;
    ASSERT_EQ(call(&textStream, "CopyTo", {ArgRecord{(uint32_t)(uintptr_t)&target, 0, TYPE_AUTOMATION | TYPE_BYADDR}}), 0);
    EXPECT_EQ(readInt(&textStream, "Position"), 6);
    EXPECT_EQ(readInt(&byteStream, "Size"), 3);
    std::string path = tempPath("copy.txt");
    ASSERT_EQ(call(&byteStream, "SaveToFile", {text(path.c_str()), integer(2)}), 0);
    EXPECT_EQ(readFile(path), "abc");
    DeleteFileA(path.c_str());
    EXPECT_EQ(call(&textStream, "flush"), 0);
    EXPECT_EQ(call(&textStream, "Close"), 0);
}

// A large stream is kept in pieces: a character across a piece's end, and
// a copy whose bytes lie differently over the pieces of its target.
TEST_F(Stream, ALargeStreamKeepsEveryByte) {
    openText("utf-8");
    const std::string a((16 << 20) - 4, 'a'), b(5 << 20, 'b');
    ASSERT_EQ(call(&textStream, "WriteText", {text((a + "\xD6\xD0").c_str())}), 0);
    ASSERT_EQ(call(&textStream, "WriteText", {text((b + "\xCE\xC4").c_str())}), 0);
    ASSERT_TRUE(set(&textStream, "Position", integer(3)));
    openBytes();
    AutomationRecord* target = &byteStream;
    ASSERT_EQ(call(&textStream, "CopyTo", {ArgRecord{(uint32_t)(uintptr_t)&target, 0, TYPE_AUTOMATION | TYPE_BYADDR}}), 0);
    std::string path = tempPath("large.txt");
    ASSERT_EQ(call(&byteStream, "SaveToFile", {text(path.c_str()), integer(2)}), 0);
    EXPECT_TRUE(readFile(path) == a + u8"中" + b + u8"文");
    DeleteFileA(path.c_str());
}

TEST_F(Stream, SaveCreatesOnlyOrReplacesByOption) {
    openBytes();
    openText("utf-8");
    ASSERT_EQ(call(&textStream, "WriteText", {text("new")}), 0);
    std::string path = tempPath("exists.txt");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n;
    WriteFile(h, "old", 3, &n, nullptr);
    CloseHandle(h);
    EXPECT_NE(call(&textStream, "SaveToFile", {text(path.c_str()), integer(1)}), 0) << "option 1 never replaces";
    EXPECT_EQ(readFile(path), "old");
    EXPECT_NE(call(&textStream, "SaveToFile", {text(path.c_str())}), 0) << "the default is option 1";
    EXPECT_EQ(call(&textStream, "SaveToFile", {text(path.c_str()), integer(2)}), 0);
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBFnew");
    DeleteFileA(path.c_str());
    EXPECT_NE(call(&textStream, "SaveToFile", {text(tempPath("missing\\dir\\x.txt").c_str()), integer(2)}), 0);
}

TEST_F(Stream, MisuseIsReportedAsAFailure) {
    EXPECT_NE(call(&textStream, "WriteText", {text("x")}), 0) << "not open";
    EXPECT_FALSE(set(&textStream, "Charset", text("no-such-charset")));
    openText("utf-8");
    EXPECT_FALSE(set(&textStream, "Position", integer(1))) << "beyond the end";
    EXPECT_FALSE(set(&textStream, "mode", integer(1))) << "mode is fixed once open";
    AutomationRecord empty{nullptr, nullptr};
    EXPECT_NE(call(&textStream, "CopyTo", {obj(&empty)}), 0) << "no stream to copy into";
    EXPECT_NE(call(&byteStream, "Close"), 0) << "closing a stream that is not open";
    EXPECT_EQ(call(&textStream, "Close"), 0);
    EXPECT_NE(call(&textStream, "Open", {integer(1)}), 0) << "more arguments than declared";
}

}  // namespace
