// Whole-process behaviour: the fatal report's box and exit code, and a
// normal end with no window.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string childPath() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string p = self;
    return p.substr(0, p.rfind('\\') + 1) + "runtime_child.exe";
}

std::string markerPath(const char* name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string p = std::string(tmp) + "vell_marker_" + name + "_" + std::to_string(GetCurrentProcessId());
    DeleteFileA(p.c_str());
    return p;
}

bool exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Child {
    PROCESS_INFORMATION pi{};
    bool start(const std::string& mode, const std::string& marker) {
        std::string cmd = "\"" + childPath() + "\" " + mode + " " + marker;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        return CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
    }
    DWORD wait() {
        WaitForSingleObject(pi.hProcess, 30000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    }
};

// Finds the error box of the child, returns its text and presses OK.
std::string dismissErrorBox(DWORD pid) {
    for (int i = 0; i < 200; i++) {
        HWND box = nullptr;
        while ((box = FindWindowExA(nullptr, box, nullptr, "错误")) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner != pid) continue;
            char text[2048] = {0};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(50);
    }
    return "<no box>";
}

TEST(Process, FatalReportShowsBoxAndExitsWithMinusOne) {
    std::string marker = markerPath("fatal");
    Child c;
    ASSERT_TRUE(c.start("fatal", marker));
    std::string text = dismissErrorBox(c.pi.dwProcessId);
    EXPECT_EQ(c.wait(), 0xFFFFFFFFu);
    // The static controls of a message box keep line breaks as they are.
    EXPECT_NE(text.find("运行时出错!"), std::string::npos) << text;
    EXPECT_NE(text.find("分配 2147483632 字节内存失败!"), std::string::npos) << text;
    EXPECT_FALSE(exists(marker)) << "exit routines ran after a fatal error";
}

TEST(Process, MissingStartWindowIsFatal) {
    std::string marker = markerPath("nowindow");
    Child c;
    ASSERT_TRUE(c.start("nowindow", marker));
    std::string text = dismissErrorBox(c.pi.dwProcessId);
    EXPECT_EQ(c.wait(), 0xFFFFFFFFu);
    EXPECT_NE(text.find("载入启动窗口失败"), std::string::npos) << text;
    EXPECT_NE(text.find("1375797249, 0"), std::string::npos) << text;
    EXPECT_FALSE(exists(marker));
}

TEST(Process, NoWindowEndsAtOnceAfterCleanup) {
    std::string marker = markerPath("normal");
    Child c;
    ASSERT_TRUE(c.start("normal", marker));
    EXPECT_EQ(c.wait(), 0u);
    EXPECT_TRUE(exists(marker)) << "the exit routine did not run";
    DeleteFileA(marker.c_str());
}

}  // namespace
