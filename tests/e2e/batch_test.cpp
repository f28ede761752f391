// The tool from the command line: a folder to open with, and whole jobs
// run unseen with --batch.
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <stdio.h>
#include "driver.h"

using namespace e2e;

namespace {

// This source's literals are GBK, the tool's output is UTF-8.
std::string utf8(const std::string& ansi) {
    std::wstring w(ansi.size() + 1, L'\0');
    w.resize((size_t)MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &w[0], (int)w.size()) - 1);
    std::string u(w.size() * 3 + 1, '\0');
    u.resize((size_t)WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &u[0], (int)u.size(), nullptr, nullptr) - 1);
    return u;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> l;
    size_t at = 0;
    for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) l.push_back(text.substr(at, nl - at));
    if (at < text.size()) l.push_back(text.substr(at));
    return l;
}

const std::string kGbk = "名称: 服务器\r\n";
const char kDone[] = "转码完成 您现在可以上传您的服务端到后台了";
// Decodes as GBK, but was written in Shift-JIS ("welcome=サーバーへようこそ").
const std::string kShiftJis = "welcome=\x83T\x81[\x83o\x81[\x82\xD6\x82\xE6\x82\xA4\x82\xB1\x82\xBB\n";

// Every file and folder below `dir` by path: a file's bytes, and for both
// the last write time (a folder's changes with its entries).
std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> tree;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return tree;
    do {
        std::string n = fd.cFileName, p = dir + "\\" + n;
        if (n == "." || n == "..") continue;
        char time[32];
        snprintf(time, sizeof time, " @%08lx%08lx", fd.ftLastWriteTime.dwHighDateTime, fd.ftLastWriteTime.dwLowDateTime);
        bool folder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        tree[p] = (folder ? "<folder>" : readFile(p)) + time;
        if (folder) {
            std::map<std::string, std::string> below = snapshot(p);
            tree.insert(below.begin(), below.end());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return tree;
}

// What follows `prefix` in the lines that start with it (GBK prefix).
std::vector<std::string> after(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> rest;
    for (const std::string& l : lines)
        if (l.rfind(utf8(prefix), 0) == 0) rest.push_back(l.substr(utf8(prefix).size()));
    return rest;
}

class Batch : public ::testing::Test {
protected:
    std::string root;
    void SetUp() override { root = tempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name()); }
    void TearDown() override { removeTree(root); }
    // GBK files of two kinds, one already UTF-8, and a folder between.
    void makeTree() {
        removeTree(root);
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA((root + "\\plugins").c_str(), nullptr);
        writeFile(root + "\\a.yml", kGbk);
        writeFile(root + "\\plugins\\b.json", kGbk);
        writeFile(root + "\\plugins\\c.yml", utf8(kGbk));
    }
    // Besides: text probably not GBK, an empty file, and UTF-16.
    void makeMixedTree() {
        makeTree();
        writeFile(root + "\\plugins\\jp.lang", kShiftJis);
        writeFile(root + "\\empty.cfg", "");
        writeFile(root + "\\wide.txt", std::string("\xFF\xFE\x41\x00", 4));
    }
    std::string in(const std::string& path) const { return utf8(root + "\\" + path); }
    std::string quoted(const std::string& s) const { return "\"" + s + "\""; }
};

TEST_F(Batch, FolderArgumentFillsTheRootBoxAsThePickerWould) {
    writeFile(root + "\\server.yml", kGbk);
    Tool tool;
    // A file dropped on the icon along with the folder is passed over; the
    // folder reads as the picker gives it (no trailing separator).
    ASSERT_TRUE(tool.start(quoted(root + "\\server.yml") + " " + quoted(root + "/")));
    EXPECT_EQ(tool.text(C_EDIT_ROOT), root);
    EXPECT_TRUE(tool.log().empty());
    EXPECT_EQ(tool.text(C_EDIT_EXT), "yml,json,txt,lang,cfg,ini,log,conf,toml");
    tool.kill();
}

TEST_F(Batch, WritesTheLogAClickWritesAndConvertsTheTree) {
    makeTree();
    Tool tool;
    ASSERT_TRUE(tool.start());
    tool.setText(C_EDIT_ROOT, root);
    tool.click(C_BUTTON_START);
    ASSERT_EQ(tool.answerBox("转换完成"), kDone);
    std::vector<std::string> clicked = tool.log();
    std::reverse(clicked.begin(), clicked.end());
    std::string status = tool.text(C_STATUS);
    tool.kill();

    makeTree();
    Finished run = runToEnd("--batch " + quoted(root));
    EXPECT_EQ(run.code, 0u) << run.err;
    std::vector<std::string> expected;
    for (const std::string& l : clicked) expected.push_back(utf8(l));
    expected.push_back(utf8(status));
    EXPECT_EQ(lines(run.out), expected);
    EXPECT_EQ(status, "转换完成 已转换:2 共计:3");  // one is already UTF-8
    EXPECT_EQ(run.err, utf8(kDone) + "\n" + utf8("统计 已转换:2 无需转码:1 非系统编码:0 文件过大:0 链接:0 设备名:0 "
                                                  "转码失败:0 备份失败:0 无法访问目录:0 可能不是GBK:0") + "\n");
    EXPECT_EQ(readFile(root + "\\a.yml"), utf8(kGbk));
    EXPECT_EQ(readFile(root + "\\plugins\\b.json"), utf8(kGbk));
    EXPECT_EQ(readFile(root + "\\a.yml.bak"), kGbk);
}

TEST_F(Batch, ExtensionListAndNoBackupAreHonoured) {
    makeTree();
    Finished run = runToEnd("--batch " + quoted(root) + " --ext json --no-backup");
    EXPECT_EQ(run.code, 0u) << run.err;
    EXPECT_EQ(readFile(root + "\\plugins\\b.json"), utf8(kGbk));
    EXPECT_EQ(readFile(root + "\\a.yml"), kGbk);
    EXPECT_FALSE(exists(root + "\\plugins\\b.json.bak"));
    std::vector<std::string> out = lines(run.out);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), utf8("转换完成 已转换:1 共计:1"));
    EXPECT_EQ(std::count(out.begin(), out.end(), utf8("开始备份文件...")), 0);
}

TEST_F(Batch, RefusedInputExitsTwoWithTheReasonOnStandardError) {
    Finished missing = runToEnd("--batch " + quoted(root + "\\nothing"));
    EXPECT_EQ(missing.code, 2u);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, utf8("所选目录不存在:" + root + "\\nothing") + "\n");

    std::string deep = root + "\\" + std::string(262 - root.size() - 1, 'd');
    Finished tooLong = runToEnd("--batch " + quoted(deep));
    EXPECT_EQ(tooLong.code, 2u);
    EXPECT_EQ(tooLong.err, utf8("所选目录不存在:" + deep) + "\n") << "not taken for an empty root";

    Finished noItems = runToEnd("--batch " + quoted(root) + " --ext \"\"");
    EXPECT_EQ(noItems.code, 2u);
    EXPECT_EQ(noItems.err, utf8("请设置至少一个扩展名过滤器") + "\n");

    for (const char* args : {"--help", "--bogus", "--batch", "--batch a b"}) {
        Finished usage = runToEnd(args);
        EXPECT_EQ(usage.code, 2u) << args;
        std::string text = args == std::string("--help") ? usage.out : usage.err;
        EXPECT_EQ(text.rfind(utf8("用法: vellumor.exe"), 0), 0u) << args;
    }

    // Options that contradict each other: the reason, then the usage.
    makeTree();
    std::map<std::string, std::string> before = snapshot(root);
    std::string batch = "--batch " + quoted(root);
    for (const std::string& args : {batch + " --dry-run --restore", batch + " --restore --no-backup",
                                    "--dry-run " + quoted(root)}) {
        Finished refused = runToEnd(args);
        EXPECT_EQ(refused.code, 2u) << args;
        std::vector<std::string> err = lines(refused.err);
        ASSERT_GE(err.size(), 2u) << args;
        EXPECT_EQ(err[0].rfind("--", 0), 0u) << args;
        EXPECT_EQ(err[1].rfind(utf8("用法: vellumor.exe"), 0), 0u) << args;
    }
    EXPECT_EQ(snapshot(root), before);
}

TEST_F(Batch, AFailedBackupExitsOne) {
    makeTree();
    CreateDirectoryA((root + "\\a.yml.bak").c_str(), nullptr);
    Finished run = runToEnd("--batch " + quoted(root));
    EXPECT_EQ(run.code, 1u);
    std::vector<std::string> out = lines(run.out);
    EXPECT_NE(std::find(out.begin(), out.end(), utf8("备份失败 已跳过转码:" + root + "\\a.yml")), out.end());
    EXPECT_EQ(readFile(root + "\\a.yml"), kGbk);
    EXPECT_EQ(readFile(root + "\\plugins\\b.json"), utf8(kGbk));
    EXPECT_TRUE(GetFileAttributesA((root + "\\a.yml.bak").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// A stream that fails mid-write (the stream server's injected fault) is a
// failed conversion: logged, counted in the exit code, the file as it was.
TEST_F(Batch, AFailedConversionIsLoggedAndExitsOne) {
    makeTree();
    SetEnvironmentVariableA("VELL_STREAM_FAIL", "WriteText");
    Finished run = runToEnd("--batch " + quoted(root));
    SetEnvironmentVariableA("VELL_STREAM_FAIL", nullptr);
    EXPECT_EQ(run.code, 1u) << run.err;
    std::vector<std::string> out = lines(run.out);
    EXPECT_EQ(after(out, "转码失败 文件是否正在被占用? :"), (std::vector<std::string>{in("a.yml"), in("plugins\\b.json")}));
    EXPECT_TRUE(after(out, "转码完毕:").empty());
    EXPECT_EQ(readFile(root + "\\a.yml"), kGbk);
    EXPECT_EQ(readFile(root + "\\plugins\\b.json"), kGbk);
    EXPECT_EQ(readFile(root + "\\a.yml.bak"), kGbk);
}

// A second run finds everything converted: it backs nothing up, so the
// backups keep the originals.
TEST_F(Batch, ASecondRunKeepsTheOriginalsInTheBackups) {
    makeTree();
    ASSERT_EQ(runToEnd("--batch " + quoted(root)).code, 0u);
    Finished again = runToEnd("--batch " + quoted(root));
    EXPECT_EQ(again.code, 0u) << again.err;
    EXPECT_EQ(lines(again.out).back(), utf8("转换完成 已转换:0 共计:3"));
    EXPECT_EQ(readFile(root + "\\a.yml.bak"), kGbk);
    EXPECT_EQ(readFile(root + "\\plugins\\b.json.bak"), kGbk);
    EXPECT_FALSE(exists(root + "\\plugins\\c.yml.bak"));
}

TEST_F(Batch, ADryRunWritesNothingAndNamesTheFilesARealRunConverts) {
    makeMixedTree();
    std::map<std::string, std::string> before = snapshot(root);
    Finished dry = runToEnd("--batch " + quoted(root) + " --dry-run");
    EXPECT_EQ(dry.code, 0u) << dry.err;
    EXPECT_EQ(snapshot(root), before) << "no byte, time, backup or temporary file";
    std::vector<std::string> said = lines(dry.out);
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.back(), utf8("预览完成 将转换:3 共计:6"));
    EXPECT_EQ(after(said, "跳过文件 无需转码:"), (std::vector<std::string>{in("plugins\\c.yml"), in("empty.cfg")}));
    EXPECT_EQ(after(said, "跳过文件 非系统编码文本:"), std::vector<std::string>{in("wide.txt")});
    EXPECT_EQ(dry.err, utf8("统计 将转换:3 无需转码:2 非系统编码:1 文件过大:0 链接:0 设备名:0 转码失败:0 "
                            "无法访问目录:0 可能不是GBK:1") + "\n");

    Finished real = runToEnd("--batch " + quoted(root));
    EXPECT_EQ(real.code, 0u) << real.err;
    std::vector<std::string> done = lines(real.out);
    std::vector<std::string> converted = after(done, "转码完毕:");
    EXPECT_EQ(after(said, "将转码:"), converted);
    EXPECT_EQ(converted.size(), 3u);
    // The warning follows the file's own line in both runs.
    for (const std::vector<std::string>* log : {&said, &done}) {
        auto warned = std::find(log->begin(), log->end(), utf8("可能不是GBK编码:") + in("plugins\\jp.lang"));
        ASSERT_NE(warned, log->begin());
        ASSERT_NE(warned, log->end());
        EXPECT_EQ(warned[-1].substr(warned[-1].find(':') + 1), in("plugins\\jp.lang"));
    }
    EXPECT_EQ(real.err, utf8(kDone) + "\n" + utf8("统计 已转换:3 无需转码:2 非系统编码:1 文件过大:0 链接:0 设备名:0 "
                                                   "转码失败:0 备份失败:0 无法访问目录:0 可能不是GBK:1") + "\n");
}

TEST_F(Batch, ARestoreGivesBackEveryOriginalByteAndKeepsTheBackups) {
    makeMixedTree();
    std::map<std::string, std::string> original = snapshot(root);
    ASSERT_EQ(runToEnd("--batch " + quoted(root)).code, 0u);
    Finished back = runToEnd("--batch " + quoted(root) + " --restore");
    EXPECT_EQ(back.code, 0u) << back.err;
    for (const auto& entry : original) {
        if (entry.second.rfind("<folder>", 0) == 0) continue;
        EXPECT_EQ(readFile(entry.first), entry.second.substr(0, entry.second.rfind(" @"))) << entry.first;
    }
    std::vector<std::string> said = lines(back.out);
    EXPECT_EQ(after(said, "已还原:"),
              (std::vector<std::string>{in("a.yml"), in("plugins\\b.json"), in("plugins\\jp.lang")}));
    EXPECT_EQ(said.back(), utf8("还原完成 已还原:3 共计:6"));
    EXPECT_EQ(back.err, utf8("统计 已还原:3 还原失败:0 无备份:3 无法访问目录:0") + "\n");
    EXPECT_EQ(readFile(root + "\\plugins\\jp.lang.bak"), kShiftJis);
    EXPECT_FALSE(exists(root + "\\a.yml.~,tmp"));
}

// A backup another program holds, and a folder where a backup goes: both
// files stay as they are; the third is restored.
TEST_F(Batch, ARestoreThatCannotReadABackupExitsOneAndLeavesThatFile) {
    makeMixedTree();
    ASSERT_EQ(runToEnd("--batch " + quoted(root)).code, 0u);
    std::string json = root + "\\plugins\\b.json";
    DeleteFileA((json + ".bak").c_str());
    CreateDirectoryA((json + ".bak").c_str(), nullptr);
    std::map<std::string, std::string> converted = snapshot(root);
    HANDLE held = CreateFileA((root + "\\a.yml.bak").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Finished back = runToEnd("--batch " + quoted(root) + " --restore");
    CloseHandle(held);
    EXPECT_EQ(back.code, 1u) << back.err;
    std::map<std::string, std::string> now = snapshot(root);
    for (const std::string& kept : {root + "\\a.yml", json, json + ".bak"}) EXPECT_EQ(now[kept], converted[kept]) << kept;
    EXPECT_EQ(readFile(root + "\\plugins\\jp.lang"), kShiftJis);
    EXPECT_EQ(after(lines(back.out), "还原失败:"), (std::vector<std::string>{in("a.yml"), in("plugins\\b.json")}));
    EXPECT_EQ(back.err, utf8("统计 已还原:1 还原失败:2 无备份:3 无法访问目录:0") + "\n");
    EXPECT_FALSE(exists(root + "\\a.yml.~,tmp"));
}

}  // namespace
