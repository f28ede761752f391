// Folders named on the command line.
#include <gtest/gtest.h>
#include <string>
#include "runtime/rt.h"

namespace {

std::string tempDir() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string d = std::string(tmp) + "vell_cmdline_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

std::string folderPath(const char* given) {
    char* p = rt_FolderPath(given);
    std::string s = p ? p : "<null>";
    rt_Free(p);
    return s;
}

TEST(CommandLine, FoldersAreRelativeToTheStartDirectoryInThePickersForm) {
    std::string start = tempDir();
    char current[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof current, current);
    lstrcpynA(g_rt.startDirectory, start.c_str(), sizeof g_rt.startDirectory);
    EXPECT_EQ(folderPath("server\\plugins\\"), start + "\\server\\plugins");
    EXPECT_EQ(folderPath("a/../b/"), start + "\\b");
    EXPECT_EQ(folderPath("C:\\"), "C:\\");
    EXPECT_EQ(folderPath(""), "<null>");
    char after[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, current);  // the program's folder stays current
    g_rt.startDirectory[0] = 0;
    RemoveDirectoryA(start.c_str());
}

}  // namespace
