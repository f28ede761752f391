// vellumor.com as a user meets it: a .bat file run by cmd calls
// "vellumor --batch ..." and then reads %errorlevel%; with no arguments the
// window opens and the launcher returns at once.
#include <gtest/gtest.h>
#include "driver.h"
#include "vell_version.h"

using namespace e2e;

namespace {

const std::string kGbk = "名称: 服务器\r\n";

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Launcher : public ::testing::Test {
protected:
    std::string root, bat;
    void SetUp() override {
        root = tempFolder("launcher");
        bat = tempFolder("launcher_bat") + "\\run.bat";
        writeFile(bat, "@echo off\r\ncd /d " + programFolder() + "\r\nvellumor %*\r\necho errorlevel=%errorlevel%\r\n");
    }
    void TearDown() override {
        removeTree(root);
        removeTree(bat.substr(0, bat.rfind('\\')));
    }
    Finished fromCmd(const std::string& args) { return runCommandToEnd("cmd.exe /c " + bat + " " + args); }
};

// The job's own lines and count on the launcher's output and error, its
// exit code as cmd's errorlevel; files as the job leaves them.
TEST_F(Launcher, ABatFileSeesTheJobsLinesAndExitCode) {
    std::string ok = root + "\\ok", blocked = root + "\\blocked";
    for (const std::string& dir : {ok, ok + "\\plugins", blocked}) CreateDirectoryA(dir.c_str(), nullptr);
    writeFile(ok + "\\a.yml", kGbk);
    writeFile(ok + "\\plugins\\b.json", kGbk);
    // A folder where the backup goes: the file is not done, exit 1.
    writeFile(blocked + "\\c.yml", kGbk);
    CreateDirectoryA((blocked + "\\c.yml.bak").c_str(), nullptr);
    const struct {
        std::string args;
        const char* errorlevel;
        std::string outLine, errLine;
    } cases[] = {
        {"--batch " + ok, "errorlevel=0", utf8("转码完毕:" + ok + "\\plugins\\b.json"), utf8("统计 已转换:2 ")},
        {"--batch " + blocked, "errorlevel=1", utf8("备份失败 已跳过转码:" + blocked + "\\c.yml"), utf8(" 备份失败:1 ")},
        {"--batch " + root + "\\missing", "errorlevel=2", "", utf8("所选目录不存在:" + root + "\\missing")},
        {"--version", "errorlevel=0", "Vellumor " VELL_VERSION "\n", ""},
    };
    for (const auto& c : cases) {
        Finished run = fromCmd(c.args);
        EXPECT_TRUE(has(run.out, c.outLine)) << c.args << "\n" << run.out;
        EXPECT_TRUE(has(run.err, c.errLine)) << c.args << "\n" << run.err;
        // The errorlevel line comes last, after everything the job wrote.
        std::string last = std::string(c.errorlevel) + "\r\n";
        EXPECT_EQ(run.out.size() >= last.size() ? run.out.substr(run.out.size() - last.size()) : run.out, last)
            << c.args << "\n" << run.out << run.err;
    }
    EXPECT_EQ(readFile(ok + "\\a.yml"), utf8(kGbk));
    EXPECT_EQ(readFile(ok + "\\a.yml.bak"), kGbk);
    EXPECT_EQ(readFile(blocked + "\\c.yml"), kGbk);
}

struct Found {
    DWORD pid;
    HWND window;
};

BOOL CALLBACK findMain(HWND h, LPARAM lp) {
    char title[64] = {0};
    GetWindowTextA(h, title, sizeof title);
    if (!IsWindowVisible(h) || std::string(title) != "Vellumor") return TRUE;
    Found* f = (Found*)lp;
    f->window = h;
    GetWindowThreadProcessId(h, &f->pid);
    return FALSE;
}

TEST_F(Launcher, WithoutArgumentsOpensTheWindowAndReturnsAtOnce) {
    std::string cmd = "\"" + programFolder() + "\\vellumor.com\"";
    Finished run = runCommandToEnd(cmd, 10000);
    EXPECT_EQ(run.code, 0u);
    Found found = {0, nullptr};
    for (int i = 0; i < 200 && !found.window; i++) {
        EnumWindows(findMain, (LPARAM)&found);
        if (!found.window) Sleep(50);
    }
    ASSERT_NE(found.window, nullptr) << "no window after the launcher returned";
    HANDLE program = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, found.pid);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(WaitForSingleObject(program, 0), (DWORD)WAIT_TIMEOUT) << "the window's program still runs";
    TerminateProcess(program, 0);
    CloseHandle(program);
}

}  // namespace
