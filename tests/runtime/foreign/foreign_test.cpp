// Foreign commands: resolution order, ordinals, caching, release, the call
// through slot 1 and the stack check. Paths that end the process run in
// foreign_child.exe.
#include <windows.h>
#include <gtest/gtest.h>
#include "tests/support/child_process.h"
#include <string>
#include <vector>
#include "runtime/rt.h"

uint32_t mod_CallForeign(uint32_t number, int32_t argc, const uint32_t* args, int32_t loc1, int32_t loc2);

namespace {

std::string selfDir() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string p = self;
    return p.substr(0, p.rfind('\\'));
}

std::string builtDll() { return selfDir() + "\\vell_ftest.dll"; }

// A fresh folder under the temporary directory.
std::string freshDir(const char* tag) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string d = std::string(tmp) + "vell_ft_" + tag + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

void placeDll(const std::string& dir, const std::string& name) {
    ASSERT_TRUE(CopyFileA(builtDll().c_str(), (dir + "\\" + name).c_str(), FALSE)) << dir << "\\" << name;
}

std::string moduleDir(HMODULE h) {
    char path[MAX_PATH] = {0};
    GetModuleFileNameA(h, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.rfind('\\'));
}

bool sameDir(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

class Foreign : public ::testing::Test {
protected:
    std::vector<std::string> texts;  // keeps the table's texts alive

    void SetUp() override {
        g_rt.heap = GetProcessHeap();
        g_rt.programDirectory[0] = 0;
        g_rt.programDirectorySlash[0] = 0;
        g_rt.userSearchDirectory[0] = 0;
    }
    void TearDown() override {
        rt_ReleaseForeignModules();
        SetDllDirectoryA(nullptr);
    }
    // Installs a table of (library, command) pairs as start-up would.
    void table(std::initializer_list<std::pair<const char*, const char*>> entries) {
        rt_ReleaseForeignModules();
        uint32_t n = (uint32_t)entries.size();
        texts.clear();
        texts.reserve(2 * n);
        g_rt.foreignCount = n;
        g_rt.foreignLibraries = (const char**)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n * sizeof(char*));
        g_rt.foreignNames = (const char**)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n * sizeof(char*));
        g_rt.foreignModules = (HMODULE*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n * sizeof(HMODULE));
        g_rt.foreignEntries = (void**)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n * sizeof(void*));
        uint32_t i = 0;
        for (const auto& e : entries) {
            texts.push_back(e.first);
            texts.push_back(e.second);
            g_rt.foreignLibraries[i] = texts[2 * i].c_str();
            g_rt.foreignNames[i] = texts[2 * i + 1].c_str();
            i++;
        }
    }
    void programDirectory(const std::string& d) { lstrcpynA(g_rt.programDirectory, d.c_str(), MAX_PATH + 1); }
};

TEST_F(Foreign, ExportsResolveByNameAndByOrdinal) {
    std::string a = freshDir("names");
    placeDll(a, "ft_names.dll");
    programDirectory(a);
    table({{"ft_names.dll", "vt_add2"}, {"ft_names.dll", "#1"}, {"ft_names.dll", "#3"}, {"ft_names.dll", "#65537"}});
    void* byName = rt_ResolveForeignCommand(0);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(rt_ResolveForeignCommand(1), byName) << "#1 is the export with ordinal 1";
    EXPECT_EQ(rt_ResolveForeignCommand(3), byName) << "ordinals are taken AND 0xFFFF";
    // Ordinal 3 has no name at all.
    EXPECT_EQ(mod_CallForeign(2, 0, nullptr, 1, 2), 7u);
}

TEST_F(Foreign, NativeArgumentsAndResultPassUnchanged) {
    std::string a = freshDir("args");
    placeDll(a, "ft_args.dll");
    programDirectory(a);
    table({{"ft_args.dll", "vt_add2"}, {"ft_args.dll", "vt_digits"}, {"ft_args.dll", "vt_seven"}});
    const uint32_t two[2] = {40, 2};
    EXPECT_EQ(mod_CallForeign(0, 2, two, 1, 2), 42u);
    const uint32_t four[4] = {1, 2, 3, 4};
    EXPECT_EQ(mod_CallForeign(1, 4, four, 1, 2), 1234u) << "argument 0 must be the lowest on the stack";
    // The trampoline itself leaves no trace: the same call again, now cached.
    EXPECT_EQ(mod_CallForeign(1, 4, four, 1, 2), 1234u);
}

TEST_F(Foreign, WideResultComesBackInTwoWords) {
    std::string a = freshDir("wide");
    placeDll(a, "ft_wide.dll");
    programDirectory(a);
    table({{"ft_wide.dll", "vt_wide"}});
    // Slot 1 is stdcall-shaped: the number, then the function's arguments.
    typedef int64_t(__stdcall * Slot)(uint32_t number, int32_t hi, int32_t lo);
    Slot slot = (Slot)vell_services.CallForeignCommand;
    EXPECT_EQ(slot(0, 0x12345678, (int32_t)0x9ABCDEF0u), (int64_t)0x123456789ABCDEF0ll);
}

TEST_F(Foreign, ProgramDirectoryComesBeforeTheSearchPath) {
    std::string program = freshDir("prog"), search = freshDir("search");
    placeDll(program, "ft_pref.dll");
    placeDll(search, "ft_pref.dll");
    SetDllDirectoryA(search.c_str());
    programDirectory(program);
    table({{"ft_pref.dll", "vt_add2"}});
    ASSERT_NE(rt_ResolveForeignCommand(0), nullptr);
    EXPECT_TRUE(sameDir(moduleDir(g_rt.foreignModules[0]), program)) << moduleDir(g_rt.foreignModules[0]);
}

TEST_F(Foreign, SearchPathWhenNotBesideTheProgram) {
    std::string program = freshDir("empty"), search = freshDir("search2");
    placeDll(search, "ft_path.dll");
    SetDllDirectoryA(search.c_str());
    programDirectory(program);
    table({{"ft_path.dll", "vt_add2"}});
    ASSERT_NE(rt_ResolveForeignCommand(0), nullptr);
    EXPECT_TRUE(sameDir(moduleDir(g_rt.foreignModules[0]), search));
}

TEST_F(Foreign, UserSearchDirectoryComesFirst) {
    std::string program = freshDir("prog3"), user = freshDir("user");
    placeDll(program, "ft_user.dll");
    placeDll(user, "ft_user.dll");
    programDirectory(program);
    table({{"ft_user.dll", "vt_add2"}});
    lstrcpynA(g_rt.userSearchDirectory, (user + "\\").c_str(), MAX_PATH + 1);
    ASSERT_NE(rt_ResolveForeignCommand(0), nullptr);
    EXPECT_TRUE(sameDir(moduleDir(g_rt.foreignModules[0]), user));
}

TEST_F(Foreign, NameWithColonIsLoadedFromThatPath) {
    std::string program = freshDir("prog4"), other = freshDir("abs");
    placeDll(program, "ft_abs.dll");
    placeDll(other, "ft_abs.dll");
    programDirectory(program);
    std::string full = other + "\\ft_abs.dll";
    table({{full.c_str(), "vt_add2"}});
    ASSERT_NE(rt_ResolveForeignCommand(0), nullptr);
    EXPECT_TRUE(sameDir(moduleDir(g_rt.foreignModules[0]), other));
}

TEST_F(Foreign, SecondCallDoesNotLoadAgain) {
    std::string a = freshDir("once");
    placeDll(a, "ft_once.dll");
    programDirectory(a);
    table({{"ft_once.dll", "vt_add2"}});
    void* first = rt_ResolveForeignCommand(0);
    EXPECT_EQ(rt_ResolveForeignCommand(0), first);
    HMODULE h = g_rt.foreignModules[0];
    ASSERT_NE(h, nullptr);
    // One load means one release unloads it.
    FreeLibrary(h);
    EXPECT_EQ(GetModuleHandleA("ft_once.dll"), nullptr);
    g_rt.foreignModules[0] = nullptr;
}

TEST_F(Foreign, EachCommandLoadsItsLibraryAndShutdownReleasesEach) {
    std::string a = freshDir("twice");
    placeDll(a, "ft_twice.dll");
    programDirectory(a);
    table({{"ft_twice.dll", "vt_add2"}, {"ft_twice.dll", "vt_digits"}});
    ASSERT_NE(rt_ResolveForeignCommand(0), nullptr);
    ASSERT_NE(rt_ResolveForeignCommand(1), nullptr);
    HMODULE h = g_rt.foreignModules[0];
    EXPECT_EQ(g_rt.foreignModules[1], h);
    FreeLibrary(h);
    EXPECT_NE(GetModuleHandleA("ft_twice.dll"), nullptr) << "the second command holds its own load";
    LoadLibraryA((a + "\\ft_twice.dll").c_str());
    rt_ReleaseForeignModules();
    EXPECT_EQ(GetModuleHandleA("ft_twice.dll"), nullptr);
    EXPECT_EQ(g_rt.foreignCount, 0u);
    EXPECT_EQ(g_rt.foreignModules, nullptr);
    EXPECT_EQ(g_rt.foreignEntries, nullptr);
}

TEST_F(Foreign, EmptyLibraryNameSearchesTheSystemLibrariesInOrder) {
    table({{"", "GetTickCount"}, {"", "MessageBeep"}, {"", "CryptAcquireContextA"}});
    ASSERT_NE(rt_ResolveForeignCommand(0), nullptr);
    EXPECT_EQ(g_rt.foreignModules[0], GetModuleHandleA("kernel32.dll"));
    ASSERT_NE(rt_ResolveForeignCommand(1), nullptr);
    EXPECT_EQ(g_rt.foreignModules[1], GetModuleHandleA("user32.dll"));
    ASSERT_NE(rt_ResolveForeignCommand(2), nullptr);
    EXPECT_EQ(g_rt.foreignModules[2], GetModuleHandleA("advapi32.dll"));
}

TEST_F(Foreign, OverrideRedirectsOneResolutionAndIsNotCached) {
    table({{"kernel32.dll", "GetTickCount"}});
    g_rt.overrideModule = GetModuleHandleA("kernel32.dll");
    lstrcpynA(g_rt.overrideName, "GetCurrentProcessId", sizeof g_rt.overrideName);
    void* redirected = rt_ResolveForeignCommand(0);
    EXPECT_EQ(redirected, (void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetCurrentProcessId"));
    EXPECT_EQ(g_rt.overrideModule, nullptr);
    EXPECT_EQ(g_rt.overrideName[0], 0);
    EXPECT_EQ(g_rt.foreignEntries[0], nullptr);
    EXPECT_EQ(rt_ResolveForeignCommand(0), (void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount"))
        << "the next resolution is the ordinary one";
}

// ---- paths that end the process ----

struct Child : testsupport::ChildProcess {
    bool start(const char* mode) {
        return ChildProcess::start("\"" + selfDir() + "\\foreign_child.exe\" " + mode);
    }
};
using testsupport::dismissErrorBox;

std::string expectedReport(const char* message, int32_t code, int32_t loc1, int32_t loc2) {
    char text[2048];
    rt_ComposeFatal(message, code, loc1, loc2, text, sizeof text);
    return text;
}

TEST(ForeignProcess, BalancedCallReturnsItsResult) {
    Child c;
    ASSERT_TRUE(c.start("balanced"));
    EXPECT_EQ(c.wait(), 5u);
}

TEST(ForeignProcess, WrongCallingConventionIsRuntimeError6) {
    Child c;
    ASSERT_TRUE(c.start("stack"));
    std::string text = dismissErrorBox(c.pi.dwProcessId);
    EXPECT_EQ(c.wait(), 0xFFFFFFFFu);
    EXPECT_EQ(text, expectedReport("调用DLL命令后发现堆栈错误", 6, 0x04014E55, 0x232));
}

TEST(ForeignProcess, MissingExportNamesLibraryAndCommand) {
    Child c;
    ASSERT_TRUE(c.start("noexport"));
    std::string text = dismissErrorBox(c.pi.dwProcessId);
    EXPECT_EQ(c.wait(), 0xFFFFFFFFu);
    EXPECT_EQ(text, expectedReport("无法找到指定DLL库文件“vell_ftest.dll”中的输出命令“vt_missing”", 0, 0, 0));
}

TEST(ForeignProcess, NameWithColonIsNotLookedForBesideTheProgram) {
    // vell_ftest.dll lies beside the child; the path given does not exist.
    Child c;
    ASSERT_TRUE(c.start("colon"));
    std::string text = dismissErrorBox(c.pi.dwProcessId);
    EXPECT_EQ(c.wait(), 0xFFFFFFFFu);
    EXPECT_EQ(text, expectedReport("无法找到指定DLL库文件“C:\\vell_no_such_dir\\vell_ftest.dll”中的输出命令“vt_add2”", 0, 0, 0));
}

TEST(ForeignProcess, MissingExportWithoutLibraryName) {
    Child c;
    ASSERT_TRUE(c.start("nolib"));
    std::string text = dismissErrorBox(c.pi.dwProcessId);
    EXPECT_EQ(c.wait(), 0xFFFFFFFFu);
    EXPECT_EQ(text, expectedReport("无法找到指定DLL库文件中的输出命令“vt_missing_everywhere”", 0, 0, 0));
}

}  // namespace
