// New files made by the name that costs no lookup: they must be the very
// files the ordinary names reach.
#include "platform/files/new_name.h"
#include "tests/support/lib_env.h"

namespace {

std::wstring wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    w.resize(n - 1);
    return w;
}

bool writeNew(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateNewFile(wide(path));
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &n, nullptr);
    return CloseHandle(h) && n == bytes.size();
}

TEST(NewFiles, AreTheFilesTheirOrdinaryNamesReach) {
    ScratchDir dir;
    CreateDirectoryA(dir.at("Sub").c_str(), nullptr);
    // GBK names, and a folder written in another letter case than on disk.
    const std::string name = "\xC5\xE4\xD6\xC3.yml.bak";
    ASSERT_TRUE(writeNew(dir.at("SUB\\" + name), "backup"));
    EXPECT_EQ(ScratchDir::read(dir.at("Sub\\" + name)), "backup");
    EXPECT_FALSE(writeNew(dir.at("sub\\" + name), "again")) << "a file stands there";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_EXISTS);
    EXPECT_FALSE(writeNew(dir.at("Sub"), "x")) << "a folder stands there";
    EXPECT_EQ(ScratchDir::read(dir.at("Sub\\" + name)), "backup");

    // A rename onto the new name, as a first backup is put in place.
    std::string from = dir.write("a.tmp", "first");
    EXPECT_TRUE(MoveFileExW(wide(from).c_str(), NewFileName(wide(dir.at("Sub\\a.bak"))).c_str(), 0));
    EXPECT_EQ(ScratchDir::read(dir.at("sub\\A.BAK")), "first");
    EXPECT_EQ(GetFileAttributesA(from.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Names the Win32 rules change or refuse keep those rules.
TEST(NewFiles, NamesTheWin32RulesChangeAreLeftToThem) {
    ScratchDir dir;
    for (const char* name : {"aux.yml.bak", "trailing.", "space ", "a?b", "x\\"}) {
        std::wstring path = wide(dir.at(name));
        EXPECT_EQ(NewFileName(path), path) << name;
    }
    EXPECT_EQ(NewFileName(L"\\\\.\\pipe\\p"), L"\\\\.\\pipe\\p");
    EXPECT_EQ(NewFileName(L"relative"), L"relative");
}

}  // namespace
