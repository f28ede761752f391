// File commands on real files in a scratch folder.
#include "tests/support/lib_env.h"

namespace {

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override { connectLibrary(); }
    ScratchDir dir;

    // ReadFileBytes; "<null>" marks the empty (null) byte set.
    static std::string readBytes(const std::string& path) {
        ArgRecord r = callCommand(CMD_ReadFileBytes, {textArg(path.c_str())});
        EXPECT_EQ(r.type, TYPE_BYTES);
        if (!pointerOf(r)) return "<null>";
        EXPECT_GT(rt_ByteSetLength(pointerOf(r)), 0) << "an empty byte set must be null";
        EXPECT_EQ(((int32_t*)pointerOf(r))[0], 1);
        std::string out = bytesOf(pointerOf(r));
        rt_Free(pointerOf(r));
        return out;
    }
    static int32_t fileLength(const std::string& path) {
        ArgRecord r = callCommand(CMD_FileLength, {textArg(path.c_str())});
        EXPECT_EQ(r.type, TYPE_INT);
        return (int32_t)r.low;
    }
    static bool copyFile(const std::string& from, const std::string& to) {
        return callCommand(CMD_CopyFileTo, {textArg(from.c_str()), textArg(to.c_str())}).low != 0;
    }
    // Another handle on the file, as another process would hold it.
    static HANDLE hold(const std::string& path, DWORD access, DWORD share) {
        HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        return h;
    }
};

TEST_F(FileCommands, ReadsWholeContentWithZeroBytes) {
    std::string content("GBK \xD6\xD0\xCE\xC4\0tail", 13);
    std::string p = dir.write("a.txt", content);
    EXPECT_EQ(readBytes(p), content);
    EXPECT_EQ(fileLength(p), 13);

    std::string big(200000, 'x');
    big[199999] = 'y';
    std::string q = dir.write("big.log", big);
    EXPECT_EQ(readBytes(q), big);
    EXPECT_EQ(fileLength(q), 200000);
}

TEST_F(FileCommands, EmptyAndMissingFilesGiveTheEmptyByteSet) {
    std::string empty = dir.write("empty.yml", "");
    EXPECT_EQ(readBytes(empty), "<null>");
    EXPECT_EQ(readBytes(dir.at("missing.yml")), "<null>");
    EXPECT_EQ(readBytes(dir.at("no\\such\\dir.yml")), "<null>");
    EXPECT_EQ(readBytes(dir.path()), "<null>");  // a directory
    EXPECT_EQ(readBytes(""), "<null>");
    EXPECT_EQ(pointerOf(callCommand(CMD_ReadFileBytes, {textArg(nullptr)})), nullptr);
    EXPECT_EQ(pointerOf(callCommand(CMD_ReadFileBytes, {})), nullptr);
    EXPECT_EQ(pointerOf(callCommand(CMD_ReadFileBytes, {intArg(0x1234)})), nullptr);
}

TEST_F(FileCommands, LengthTellsEmptyFromUnreadable) {
    EXPECT_EQ(fileLength(dir.write("empty.cfg", "")), 0);
    EXPECT_EQ(fileLength(dir.at("missing.cfg")), -1);
    EXPECT_EQ(fileLength(dir.path()), -1);
    EXPECT_EQ(fileLength(""), -1);
    EXPECT_EQ((int32_t)callCommand(CMD_FileLength, {}).low, -1);
}

TEST_F(FileCommands, FileOpenForWritingElsewhereIsNotRead) {
    std::string p = dir.write("busy.log", "being written");
    HANDLE writer = hold(p, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_EQ(readBytes(p), "<null>");
    // The length agrees: the job must not take this file for an empty one.
    EXPECT_EQ(fileLength(p), -1);
    CloseHandle(writer);
    EXPECT_EQ(readBytes(p), "being written");
    EXPECT_EQ(fileLength(p), 13);

    // Other readers are fine.
    HANDLE reader = hold(p, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_EQ(readBytes(p), "being written");
    EXPECT_EQ(fileLength(p), 13);
    CloseHandle(reader);
}

TEST_F(FileCommands, CopyReplacesAnExistingTarget) {
    std::string src = dir.write("config.yml", "new content");
    std::string dst = dir.write("config.yml.bak", "an older and longer backup");
    EXPECT_TRUE(copyFile(src, dst));
    EXPECT_EQ(ScratchDir::read(dst), "new content");
    EXPECT_EQ(ScratchDir::read(src), "new content");

    std::string fresh = dir.at("fresh.bak");
    EXPECT_TRUE(copyFile(src, fresh));
    EXPECT_EQ(ScratchDir::read(fresh), "new content");
}

TEST_F(FileCommands, CopyFailsOntoATargetHeldWithoutWriteSharing) {
    std::string src = dir.write("a.ini", "source");
    std::string dst = dir.write("a.ini.bak", "kept");
    HANDLE holder = hold(dst, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_FALSE(copyFile(src, dst));
    CloseHandle(holder);
    EXPECT_EQ(ScratchDir::read(dst), "kept");
}

TEST_F(FileCommands, ReplaceIsOneStepOrNothing) {
    auto replace = [](const std::string& target, const std::string& with) {
        return callCommand(CMD_ReplaceFileWith, {textArg(target.c_str()), textArg(with.c_str())}).low != 0;
    };
    std::string target = dir.write("c.yml", "old");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(replace(target, dir.write("c.tmp", "new")));
    EXPECT_EQ(ScratchDir::read(target), "new");
    EXPECT_EQ(fileLength(dir.at("c.tmp")), -1) << "the replacement is gone";
    EXPECT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(replace(dir.at("fresh.bak"), dir.write("d.tmp", "first"))) << "no older file";
    EXPECT_EQ(ScratchDir::read(dir.at("fresh.bak")), "first");

    HANDLE holder = hold(target, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_FALSE(replace(target, dir.write("e.tmp", "lost")));
    CloseHandle(holder);
    EXPECT_EQ(ScratchDir::read(target), "new");
    EXPECT_FALSE(replace(dir.mkdir("folder"), dir.at("e.tmp")));
    EXPECT_TRUE(GetFileAttributesA(dir.at("folder").c_str()) & FILE_ATTRIBUTE_DIRECTORY) << "the folder is not moved";
    EXPECT_EQ(ScratchDir::read(dir.at("e.tmp")), "lost") << "a failed replace keeps the replacement";
    auto sized = [](const std::string& target, const std::string& with, int32_t length) {
        return callCommand(CMD_ReplaceFileWith, {textArg(target.c_str()), textArg(with.c_str()), omitted(),
                                                 intArg(length)}).low != 0;
    };
    EXPECT_FALSE(sized(target, dir.at("e.tmp"), 3)) << "a short replacement";
    EXPECT_FALSE(sized(dir.at("none.yml"), dir.at("e.tmp"), 5)) << "a long one, also to a new name";
    EXPECT_EQ(ScratchDir::read(target), "new");
    EXPECT_TRUE(sized(target, dir.at("e.tmp"), 4));
    EXPECT_EQ(ScratchDir::read(target), "lost");
    dir.write("e.tmp", "x");

    EXPECT_TRUE(callCommand(CMD_RemoveFile, {textArg(dir.at("e.tmp").c_str())}).low);
    EXPECT_FALSE(callCommand(CMD_RemoveFile, {textArg(dir.at("e.tmp").c_str())}).low);
}

TEST_F(FileCommands, AppendAddsTheWholeSourceOrReportsFailure) {
    auto append = [](const std::string& from, const std::string& to) {
        return callCommand(CMD_AppendFileTo, {textArg(from.c_str()), textArg(to.c_str())}).low != 0;
    };
    std::string big(3 << 20, 'x');
    big[(1 << 20) - 1] = 'y';  // across the first buffer's end
    std::string target = dir.write("t.tmp", "head;");
    EXPECT_TRUE(append(dir.write("p.tmp", big), target));
    EXPECT_TRUE(ScratchDir::read(target) == "head;" + big);
    EXPECT_FALSE(append(dir.at("none.tmp"), target));
    EXPECT_FALSE(append(dir.at("p.tmp"), dir.at("none.tmp"))) << "no target is made";
    EXPECT_EQ(fileLength(dir.at("none.tmp")), -1);
    HANDLE holder = hold(target, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_FALSE(append(dir.at("p.tmp"), target)) << "another program holds it";
    CloseHandle(holder);
    EXPECT_EQ(fileLength(target), 5 + (3 << 20));
}

// A stamp names what the path is and changes with the file; a replace
// that is given one refuses a target that no longer has it.
TEST_F(FileCommands, StampsTellKindsAndChanges) {
    auto stamp = [](const std::string& path) {
        ArgRecord r = callCommand(CMD_FileStamp, {textArg(path.c_str())});
        std::string s = pointerOf(r) ? (const char*)pointerOf(r) : "";
        rt_Free(pointerOf(r));
        return s;
    };
    std::string log = dir.write("latest.log", "line 1\n");
    std::string before = stamp(log);
    EXPECT_EQ(before.substr(0, 4), "F 0 ") << before;
    EXPECT_EQ(stamp(log), before);
    EXPECT_EQ(stamp(dir.mkdir("sub"))[0], 'D');
    EXPECT_EQ(stamp(dir.at("none")), "");
    EXPECT_EQ(stamp(dir.write("aux.yml", "x"))[0], 'X') << "a device name is no file";

    HANDLE writer = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD n;
    WriteFile(writer, "line 2\n", 7, &n, nullptr);
    CloseHandle(writer);
    EXPECT_NE(stamp(log), before);
    ArgRecord r = callCommand(CMD_ReplaceFileWith, {textArg(log.c_str()), textArg(dir.write("l.tmp", "new").c_str()),
                                                    textArg(before.c_str())});
    EXPECT_FALSE(r.low) << "the appended line would be lost";
    EXPECT_EQ(ScratchDir::read(log), "line 1\nline 2\n");
    EXPECT_EQ(ScratchDir::read(dir.at("l.tmp")), "new");
    std::string now = stamp(log);
    r = callCommand(CMD_ReplaceFileWith, {textArg(log.c_str()), textArg(dir.at("l.tmp").c_str()), textArg(now.c_str())});
    EXPECT_TRUE(r.low);
    EXPECT_EQ(ScratchDir::read(log), "new");
}

// One open gives what FileStamp and ReadFileBytes give, the bytes only of
// a plain file within the limit that no writer holds.
TEST_F(FileCommands, ReadStampedGivesTheStampAndTheBytesOfAPlainFile) {
    auto look = [](const std::string& path, int32_t limit, std::string* stamp) {
        char* s = lib_DupText("old");
        ArgRecord r = callCommand(CMD_ReadFileStamped, {textArg(path.c_str()), intArg(limit),
                                                        ArgRecord{(uint32_t)(uintptr_t)&s, 0, TYPE_TEXT | TYPE_BYADDR}});
        ArgRecord plain = callCommand(CMD_FileStamp, {textArg(path.c_str())});
        *stamp = s ? s : "";
        EXPECT_EQ(*stamp, pointerOf(plain) ? (const char*)pointerOf(plain) : "") << path;
        rt_Free(pointerOf(plain));
        rt_Free(s);
        std::string bytes = pointerOf(r) ? bytesOf(pointerOf(r)) : "<null>";
        rt_Free(pointerOf(r));
        return bytes;
    };
    std::string stamp;
    std::string p = dir.write("a.yml", std::string("\xD6\xD0\0z", 4));
    EXPECT_EQ(look(p, 4, &stamp), std::string("\xD6\xD0\0z", 4));
    EXPECT_EQ(stamp[0], 'F');
    EXPECT_EQ(look(p, 3, &stamp), "<null>") << "over the limit";
    EXPECT_EQ(stamp[0], 'F');
    HANDLE writer = hold(p, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_EQ(look(p, 4, &stamp), "<null>") << "a writer holds it";
    EXPECT_EQ(stamp[0], 'F');
    CloseHandle(writer);
    EXPECT_EQ(look(dir.path(), 4, &stamp), "<null>");
    EXPECT_EQ(stamp[0], 'D');
    EXPECT_EQ(look(dir.at("none"), 4, &stamp), "<null>");
    EXPECT_EQ(stamp, "");
}

// The window answers during a large file: pending events run between its
// pieces, and never during a small one.
TEST_F(FileCommands, ALargeFileIsReadAndWrittenWithEventsBetweenItsPieces) {
    auto post = [] { PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0); };
    auto pending = [] {
        MSG m;
        return PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_REMOVE) != 0;
    };
    char* stamp = nullptr;
    ArgRecord var{(uint32_t)(uintptr_t)&stamp, 0, TYPE_TEXT | TYPE_BYADDR};
    std::string big(40 << 20, 'x');
    big.back() = 'y';
    std::string p = dir.write("big.log", big);
    post();
    ArgRecord r = callCommand(CMD_ReadFileStamped, {textArg(p.c_str()), intArg(64 << 20), var});
    EXPECT_FALSE(pending());
    EXPECT_TRUE(bytesOf(pointerOf(r)) == big);
    post();
    EXPECT_TRUE(callCommand(CMD_WriteFileBytes, {textArg(dir.at("copy.log").c_str()), ArgRecord{r.low, 0, TYPE_BYTES}}).low);
    EXPECT_FALSE(pending());
    EXPECT_TRUE(ScratchDir::read(dir.at("copy.log")) == big);
    rt_Free(pointerOf(r));
    post();
    r = callCommand(CMD_ReadFileStamped, {textArg(dir.write("small.yml", "a").c_str()), intArg(64 << 20), var});
    EXPECT_TRUE(pending());
    rt_Free(pointerOf(r));
    rt_Free(stamp);
}

TEST_F(FileCommands, WriteMakesOnlyNewFilesWithTheStampsTime) {
    std::string source = dir.write("a.yml", std::string("GBK \xD6\xD0\0z", 7));
    ArgRecord b = callCommand(CMD_ReadFileBytes, {textArg(source.c_str())});
    ArgRecord stamp = callCommand(CMD_FileStamp, {textArg(source.c_str())});
    ArgRecord bytes = {b.low, 0, TYPE_BYTES};
    auto write = [&](const std::string& to) {
        return callCommand(CMD_WriteFileBytes, {textArg(to.c_str()), bytes, stamp}).low != 0;
    };
    std::string copy = dir.at("a.yml.bak");
    ASSERT_TRUE(write(copy));
    EXPECT_EQ(ScratchDir::read(copy), ScratchDir::read(source));
    WIN32_FILE_ATTRIBUTE_DATA from, to;
    GetFileAttributesExA(source.c_str(), GetFileExInfoStandard, &from);
    GetFileAttributesExA(copy.c_str(), GetFileExInfoStandard, &to);
    EXPECT_EQ(CompareFileTime(&from.ftLastWriteTime, &to.ftLastWriteTime), 0);
    std::string other = dir.write("b.yml", "keep");
    EXPECT_FALSE(write(other)) << "never through what stands there";
    EXPECT_EQ(ScratchDir::read(other), "keep");
    EXPECT_FALSE(write(dir.at("none\\c.yml")));
    rt_Free(pointerOf(b));
    rt_Free(pointerOf(stamp));
}

TEST_F(FileCommands, Utf8LengthOfCodePageText) {
    auto length = [](const char* text) { return (int32_t)callCommand(CMD_Utf8Length, {textArg(text)}).low; };
    EXPECT_EQ(length("abc"), 3);
    EXPECT_EQ(length("\xD6\xD0\xCE\xC4"), 6) << "two GBK characters";
    EXPECT_EQ(length(""), 0);
    EXPECT_EQ(length("ab\x81"), -1) << "a lead byte cut off";
    // Longer than one piece, with a character across every piece boundary.
    std::string big = "a";
    for (int i = 0; i < 40000; i++) big += "\xD6\xD0";
    EXPECT_EQ(length(big.c_str()), 1 + 40000 * 3);
    std::vector<uint8_t> set = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 0, 'b'};
    ArgRecord bytes{(uint32_t)(uintptr_t)set.data(), 0, TYPE_BYTES};
    EXPECT_EQ((int32_t)callCommand(CMD_Utf8Length, {bytes}).low, -1) << "a zero byte is no text";
    // Every one- and two-byte sequence, against the platform's own decoding.
    for (int lead = 1; lead < 256; lead++)
        for (int next = 0; next < 256; next += lead >= 0x80 ? 1 : 255) {
            char s[3] = {(char)lead, (char)next, 0};
            WCHAR wide[4];
            int w = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, s, next ? 2 : 1, wide, 4);
            int expected = w <= 0 ? -1 : WideCharToMultiByte(CP_UTF8, 0, wide, w, nullptr, 0, nullptr, nullptr);
            ASSERT_EQ(length(s), expected) << lead << " " << next;
        }
}

TEST_F(FileCommands, FolderIdentitySeesThroughPaths) {
    auto identity = [](const std::string& path) {
        ArgRecord r = callCommand(CMD_FolderIdentity, {textArg(path.c_str())});
        std::string s = pointerOf(r) ? (const char*)pointerOf(r) : "";
        rt_Free(pointerOf(r));
        return s;
    };
    std::string a = dir.mkdir("a"), b = dir.mkdir("b");
    EXPECT_NE(identity(a), "");
    EXPECT_EQ(identity(a), identity(a + "\\"));
    EXPECT_EQ(identity(a), identity(b + "\\..\\a"));
    EXPECT_NE(identity(a), identity(b));
    EXPECT_EQ(identity(dir.at("none")), "");
}

TEST_F(FileCommands, CopyFailuresReportZero) {
    std::string src = dir.write("b.ini", "x");
    EXPECT_FALSE(copyFile(dir.at("missing.ini"), dir.at("out.ini")));
    EXPECT_FALSE(copyFile(src, dir.at("no\\such\\folder.ini")));
    dir.mkdir("adir");
    EXPECT_FALSE(copyFile(src, dir.at("adir")));
    EXPECT_FALSE(copyFile("", dir.at("out.ini")));
    EXPECT_FALSE(copyFile(src, ""));
    ArgRecord r = callCommand(CMD_CopyFileTo, {textArg(src.c_str())});
    EXPECT_EQ(r.low, 0u);
}

}  // namespace
