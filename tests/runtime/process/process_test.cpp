// Whole-process behaviour: the fatal report's box and exit code, and a
// normal end with no window.
#include <windows.h>
#include <gtest/gtest.h>
#include "tests/support/child_process.h"
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

struct Child : testsupport::ChildProcess {
    bool start(const std::string& mode, const std::string& marker) {
        return ChildProcess::start("\"" + childPath() + "\" " + mode + " " + marker);
    }
};
using testsupport::dismissErrorBox;

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

// Over a long job the string cache of the automation layer would keep one
// freed string of every size it saw; the runtime turns it off.
TEST(Process, SystemStringsOfManySizesAreNotKept) {
    std::string marker = markerPath("strings");
    Child c;
    ASSERT_TRUE(c.start("strings", marker));
    EXPECT_EQ(c.wait(), 0u) << "3: freed strings stayed in memory";
    DeleteFileA(marker.c_str());
}

}  // namespace
