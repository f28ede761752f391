// The skip rule on byte patterns, and the rewrite of real files through the
// registered stream server.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "app/rewrite.h"
#include "commands/library.h"
#include "runtime/rt.h"

// The module's empty text, which its image otherwise provides.
extern const char mod_emptyText[] = "";

// The job's log of leftover temporary files: here, what was said.
static std::vector<std::pair<std::string, bool>> s_leftovers;
void NoteLeftover(const char* temporary, bool removed) { s_leftovers.push_back({temporary, removed}); }

namespace {

const std::string kTemp = kTemporarySuffix;

// A byte set block {1, n, bytes}.
std::vector<uint8_t> byteSet(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> b(8 + bytes.size());
    b[0] = 1;
    uint32_t n = (uint32_t)bytes.size();
    memcpy(&b[4], &n, 4);
    if (!bytes.empty()) memcpy(&b[8], bytes.data(), bytes.size());
    return b;
}

bool skip(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> set = byteSet(bytes);
    return IsUtf8Text(set.data(), (int32_t)bytes.size());
}

TEST(SkipRule, StructurallyValidUtf8WithHighBytesIsSkipped) {
    EXPECT_TRUE(skip({0xE4, 0xB8, 0xAD}));                          // 中
    EXPECT_TRUE(skip({0xEF, 0xBB, 0xBF, 'a', 0xE4, 0xB8, 0xAD}));   // with a byte-order mark
    EXPECT_TRUE(skip({'k', ':', ' ', 0xC3, 0xA9, '\n'}));
    EXPECT_TRUE(skip({0xF0, 0x9F, 0x98, 0x80, 0xF4, 0x8F, 0xBF, 0xBF}));  // U+1F600, U+10FFFF
    EXPECT_TRUE(skip({0xED, 0x9F, 0xBF, 0xEE, 0x80, 0x80}));  // around the surrogates
}

// What UTF-8 forbids is GBK text that looks like it, and is converted.
TEST(SkipRule, WhatUtf8ForbidsIsRewritten) {
    EXPECT_FALSE(skip({0xC1, 0xAA, 0xCD, 0xA8})) << "联通 in GBK";
    EXPECT_FALSE(skip({'a', '=', 0xC1, 0xAA, 0xCD, 0xA8, '\n'}));
    EXPECT_FALSE(skip({0xC0, 0x80})) << "overlong";
    EXPECT_FALSE(skip({0xE0, 0x9F, 0xBF})) << "overlong";
    EXPECT_FALSE(skip({0xF0, 0x8F, 0xBF, 0xBF})) << "overlong";
    EXPECT_FALSE(skip({0xED, 0xA0, 0x80})) << "a surrogate";
    EXPECT_FALSE(skip({0xF4, 0x90, 0x80, 0x80})) << "above 0x10FFFF";
    EXPECT_FALSE(skip({0xF5, 0x80, 0x80, 0x80}));
    EXPECT_FALSE(skip({0xF8, 0x80, 0x80, 0x80, 0x80}));
    EXPECT_FALSE(skip({0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}));
}

TEST(SkipRule, AnythingElseIsRewritten) {
    EXPECT_FALSE(skip({})) << "empty content";
    EXPECT_FALSE(skip({'a', 'b', '\r', '\n'})) << "ASCII only";
    EXPECT_FALSE(skip({0xE4, 0xB8, 0xAD, 0xC3})) << "a stray lead byte at the end";
    EXPECT_FALSE(skip({0xE4, 0xB8})) << "a cut-off sequence";
    EXPECT_FALSE(skip({'a', 0x80, 'b'})) << "a continuation byte without a lead byte";
    EXPECT_FALSE(skip({0xD6, 0xD0, 0xCE, 0xC4})) << "GBK text";
    EXPECT_FALSE(skip({0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}));
    EXPECT_FALSE(skip({0xE4, 'a', 0xAD}));
}

TEST(SkipRule, LengthAndByteSetBoundTheCheck) {
    std::vector<uint8_t> set = byteSet({0xE4, 0xB8, 0xAD, 0x80});
    EXPECT_TRUE(IsUtf8Text(set.data(), 3)) << "only `length` bytes are examined";
    EXPECT_FALSE(IsUtf8Text(set.data(), 4));
    EXPECT_FALSE(IsUtf8Text(set.data(), -1));
    EXPECT_FALSE(IsUtf8Text(nullptr, 5)) << "a null byte set is empty";
    // A length beyond the set's own never reads past its end.
    std::vector<uint8_t> small = byteSet({0xE4, 0xB8, 0xAD});
    EXPECT_TRUE(IsUtf8Text(small.data(), 1000));
}

std::string tempDir() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string d = std::string(tmp) + "vell_rw_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &n, nullptr);
    CloseHandle(h);
}

std::string readFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string s(GetFileSize(h, nullptr), '\0');
    DWORD n = 0;
    if (!s.empty()) ReadFile(h, &s[0], (DWORD)s.size(), &n, nullptr);
    CloseHandle(h);
    return s;
}

const char* const kForeignLibraries[] = {"kernel32.dll", "ole32.dll", "ole32.dll"};
const char* const kForeignNames[] = {"lstrcpyn", "CoInitialize", "CoUninitialize"};

class Rewrite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_rt.heap = GetProcessHeap();
        vell_library1.notify(1, (uint32_t)(uintptr_t)&rt_Notify, 0);
        OleInitialize(nullptr);  // as the runtime does at start-up
    }
    std::string dir = tempDir();

    void SetUp() override {
        g_rt.foreignCount = 3;
        g_rt.foreignLibraries = (const char**)HeapAlloc(GetProcessHeap(), 0, sizeof kForeignLibraries);
        g_rt.foreignNames = (const char**)HeapAlloc(GetProcessHeap(), 0, sizeof kForeignNames);
        memcpy(g_rt.foreignLibraries, kForeignLibraries, sizeof kForeignLibraries);
        memcpy(g_rt.foreignNames, kForeignNames, sizeof kForeignNames);
        g_rt.foreignModules = (HMODULE*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 3 * sizeof(HMODULE));
        g_rt.foreignEntries = (void**)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 3 * sizeof(void*));
    }
    void TearDown() override { rt_ReleaseForeignModules(); }

    // Rewrites `path` from a text; returns the rewrite's result.
    int32_t rewrite(const char* text, const std::string& path) {
        char* t = lib_DupText(text);
        char* p = lib_DupText(path.c_str());
        char* before = t;
        int32_t r = RewriteAsUtf8(&t, &p);
        EXPECT_EQ(t, before) << "the text variable is left alone";
        if (t) {
            EXPECT_STREQ(t, text);
        }
        lib_Free(t);
        lib_Free(p);
        return r;
    }
};

TEST_F(Rewrite, GbkTextBecomesTheSameCharactersInUtf8WithoutMark) {
    std::string path = dir + "\\gbk.yml";
    writeFile(path, "an older, much longer content that must be replaced in full\r\n");
    ASSERT_EQ(rewrite("名称: 中文测试\r\n说明: abc", path), 1);
    EXPECT_EQ(readFile(path), std::string(u8"名称: 中文测试\r\n说明: abc"));
    // A large text goes in pieces; a character lies across the first cut.
    std::string large = std::string((4 << 20) - 1, 'a') + "中文" + std::string(3 << 20, 'b') + "尾";
    ASSERT_EQ(rewrite(large.c_str(), path), 1);
    EXPECT_TRUE(readFile(path) == std::string((4 << 20) - 1, 'a') + u8"中文" + std::string(3 << 20, 'b') + u8"尾");
}

TEST_F(Rewrite, AsciiContentKeepsItsBytes) {
    std::string path = dir + "\\ascii.cfg";
    const char* text = "key=value\r\n[section]\tx=1\n";
    writeFile(path, text);
    ASSERT_EQ(rewrite(text, path), 1);
    EXPECT_EQ(readFile(path), std::string(text));    ASSERT_EQ(rewrite("", path), 1);
    EXPECT_EQ(readFile(path), "");
}

// What a large file's bytes take in UTF-8, measured piece by piece.
TEST_F(Rewrite, ALargeTextIsMeasuredAsAWhole) {
    std::string large = std::string((4 << 20) - 1, 'a') + "中文" + std::string(5 << 20, 'b');
    std::vector<uint8_t> bytes(large.begin(), large.end());
    EXPECT_EQ(Utf8LengthOf(byteSet(bytes).data()), (int32_t)large.size() + 2) << "a character across the cut";
    bytes.push_back(0x81);
    EXPECT_EQ(Utf8LengthOf(byteSet(bytes).data()), -1) << "a lead byte cut off at the end";
    bytes.back() = 0;
    EXPECT_EQ(Utf8LengthOf(byteSet(bytes).data()), -1) << "a zero byte";
}

TEST_F(Rewrite, UnwritableTargetFailsAndLeavesTheFile) {
    std::string path = dir + "\\held.txt";
    writeFile(path, "original \xD6\xD0");
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(rewrite("新内容", path), 0) << "a file that could not be saved is a failure";
    CloseHandle(holder);
    EXPECT_EQ(readFile(path), std::string("original \xD6\xD0"));

    std::string missing = dir + "\\no_such_folder\\x.txt";
    EXPECT_EQ(rewrite("abc", missing), 0);
    EXPECT_EQ(readFile(missing), "<missing>");
}

// Whatever stops the rewrite part-way, the file keeps its bytes and no
// temporary file is left beside it.
TEST_F(Rewrite, AFailureAnywhereLeavesTheFileWholeAndNoTemporary) {
    std::string path = dir + "\\whole.yml";
    const std::string original = "name: \xD6\xD0\xCE\xC4\r\n";
    for (const char* step : {"WriteText", "CopyTo"}) {
        writeFile(path, original);
        SetEnvironmentVariableA("VELL_STREAM_FAIL", step);
        EXPECT_EQ(rewrite("新内容", path), 0) << step;
        SetEnvironmentVariableA("VELL_STREAM_FAIL", nullptr);
        EXPECT_EQ(readFile(path), original) << step;
        EXPECT_EQ(readFile(path + kTemp), "<missing>") << step;
    }
    // A temporary that cannot be written: a folder holds its name.
    ASSERT_TRUE(CreateDirectoryA((path + kTemp).c_str(), nullptr));
    EXPECT_EQ(rewrite("新内容", path), 0);
    EXPECT_EQ(readFile(path), original);
    RemoveDirectoryA((path + kTemp).c_str());
    // A large text's second piece cannot be saved: nothing of the first is left.
    ASSERT_TRUE(CreateDirectoryA((path + kTemp + "~2").c_str(), nullptr));
    EXPECT_EQ(rewrite((std::string(5 << 20, 'a') + "尾").c_str(), path), 0);
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(readFile(path + kTemp), "<missing>");
    RemoveDirectoryA((path + kTemp + "~2").c_str());
    // Text the code page cannot hold is not written at all.
    EXPECT_EQ(rewrite("\x81", path), 0);
    EXPECT_EQ(readFile(path), original);
}

// What a killed run left is the start of what it was writing: that gives
// way, named; anything else at the name stays, named, and the file too.
TEST_F(Rewrite, OnlyALeftoverOfAKilledRunGivesWay) {
    std::string path = dir + "\\left.yml";
    const struct {
        std::string left, after;
        int32_t result;
    } cases[] = {
        {u8"键=", "<missing>", 1},
        {"", "<missing>", 1},
        {"a user's own file", "a user's own file", 0},
        {u8"键=值 and more", u8"键=值 and more", 0},
    };
    for (const auto& c : cases) {
        writeFile(path, "a=1");
        writeFile(path + kTemp, c.left);
        s_leftovers.clear();
        EXPECT_EQ(rewrite("键=值", path), c.result) << c.left;
        EXPECT_EQ(readFile(path), c.result ? std::string(u8"键=值") : "a=1") << c.left;
        EXPECT_EQ(readFile(path + kTemp), c.after) << c.left;
        EXPECT_EQ(s_leftovers, (std::vector<std::pair<std::string, bool>>{{path + kTemp, c.result == 1}})) << c.left;
        DeleteFileA((path + kTemp).c_str());
    }
    // The start of a later piece of a large text, at that piece's name.
    std::string large = std::string(5 << 20, 'a') + "尾";
    writeFile(path + kTemp + "~2", "a");
    ASSERT_EQ(rewrite(large.c_str(), path), 1);
    EXPECT_EQ(readFile(path + kTemp + "~2"), "<missing>");
}

TEST_F(Rewrite, TheReplacedFileKeepsItsAttributes) {
    std::string path = dir + "\\hidden.ini";
    writeFile(path, "a=1");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(rewrite("键=值", path), 1);
    EXPECT_EQ(readFile(path), std::string(u8"键=值"));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// Runs the rewrite on a thread of its own that has not initialised COM.
struct ThreadRun {
    std::string path;
    const char* text;
    int32_t result = -1;
    HRESULT initAfter = E_FAIL;
};

DWORD WINAPI rewriteOnThread(LPVOID p) {
    ThreadRun* run = (ThreadRun*)p;
    char* t = lib_DupText(run->text);
    char* path = lib_DupText(run->path.c_str());
    run->result = RewriteAsUtf8(&t, &path);
    lib_Free(t);
    lib_Free(path);
    // S_OK only if the rewrite left no initialisation behind.
    run->initAfter = CoInitialize(nullptr);
    if (SUCCEEDED(run->initAfter)) CoUninitialize();
    return 0;
}

TEST_F(Rewrite, ComInitialisationIsBalancedOnEveryPath) {
    ThreadRun ok{dir + "\\thread.txt", "abc"};
    HANDLE th = CreateThread(nullptr, 0, rewriteOnThread, &ok, 0, nullptr);
    WaitForSingleObject(th, 20000);
    CloseHandle(th);
    EXPECT_EQ(ok.result, 1);
    EXPECT_EQ(ok.initAfter, S_OK);

    ThreadRun failed{dir + "\\no_such_folder\\thread.txt", "abc"};
    th = CreateThread(nullptr, 0, rewriteOnThread, &failed, 0, nullptr);
    WaitForSingleObject(th, 20000);
    CloseHandle(th);
    EXPECT_EQ(failed.result, 0);
    EXPECT_EQ(failed.initAfter, S_OK);
}

}  // namespace
