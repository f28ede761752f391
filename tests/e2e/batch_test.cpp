// The tool from the command line: a folder to open with, and whole jobs
// run unseen with --batch.
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <stdio.h>
#include "driver.h"
#include "vell_version.h"

using namespace e2e;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> l;
    size_t at = 0;
    for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) l.push_back(text.substr(at, nl - at));
    if (at < text.size()) l.push_back(text.substr(at));
    return l;
}

const std::string kGbk = "名称: 服务器\r\n";
const char kDone[] = "转码完成 您现在可以上传您的服务端到后台了";
// The count line's later labels, none of them met.
const std::string kNoNewOutcomes = " 文件名无法处理:0 只读:0 备份文件:0 删除残留:0 残留临时文件:0";
const std::string kNoRestoreOutcomes = " 文件名无法处理:0 备份文件:0 已修改:0 与备份相同:0 删除残留:0 残留临时文件:0";
const std::string kTemp = ".~vellumor,tmp";
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
                                                  "转码失败:0 备份失败:0 无法访问目录:0 可能不是GBK:0" + kNoNewOutcomes) + "\n");
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

    // Refused before anything is read: the reason on standard error, then
    // the usage; nothing on standard output.
    const struct {
        std::string args, reason;
    } refusals[] = {
        {"--bogus", "未知选项:--bogus"},
        {"--batch", "选项缺少值:--batch"},
        {"--batch " + quoted(root) + " --ext", "选项缺少值:--ext"},
        {"--batch \"\"", "目录为空:--batch"},
        {"--batch a b", "多余的参数 --batch 只接受一个目录:b"},
        {"a --batch b", "多余的参数 --batch 只接受一个目录:b"},
        {"--batch a --batch b", "选项重复:--batch"},
        {"--batch a --ext yml --ext txt", "选项重复:--ext"},
        {"--batch a --no-backup --no-backup", "选项重复:--no-backup"},
        {"--version --version", "选项重复:--version"},
    };
    for (const auto& c : refusals) {
        Finished refused = runToEnd(c.args);
        EXPECT_EQ(refused.code, 2u) << c.args;
        EXPECT_EQ(refused.out, "") << c.args;
        std::vector<std::string> err = lines(refused.err);
        ASSERT_GE(err.size(), 2u) << c.args;
        EXPECT_EQ(err[0], utf8(c.reason)) << c.args;
        EXPECT_EQ(err[1].rfind(utf8("用法: vellumor"), 0), 0u) << c.args;
    }

    // Options that contradict each other: the reason, then the usage.
    makeTree();
    std::map<std::string, std::string> before = snapshot(root);
    std::string batch = "--batch " + quoted(root);
    for (const std::string& args : {batch + " --restore --no-backup",
                                    "--dry-run " + quoted(root)}) {
        Finished refused = runToEnd(args);
        EXPECT_EQ(refused.code, 2u) << args;
        std::vector<std::string> err = lines(refused.err);
        ASSERT_GE(err.size(), 2u) << args;
        EXPECT_EQ(err[0].rfind("--", 0), 0u) << args;
        EXPECT_EQ(err[1].rfind(utf8("用法: vellumor"), 0), 0u) << args;
    }
    EXPECT_EQ(snapshot(root), before);
}

// Asked for, the usage and the version go to standard output, exit 0.
TEST_F(Batch, HelpAndVersionAnswerOnStandardOutput) {
    for (const char* args : {"--help", "-h", "/?"}) {
        Finished help = runToEnd(args);
        EXPECT_EQ(help.code, 0u) << args;
        EXPECT_EQ(help.out.rfind(utf8("用法: vellumor [目录]\n"), 0), 0u) << args;
        EXPECT_NE(help.out.find("--version"), std::string::npos) << args;
        EXPECT_EQ(help.err, "") << args;
    }
    Finished version = runToEnd("--version");
    EXPECT_EQ(version.code, 0u);
    EXPECT_EQ(version.out, "Vellumor " VELL_VERSION "\n");
    EXPECT_EQ(version.err, "");
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

// A stream component that cannot be created, or not driven as the rewrite
// drives it: the job says so before its first write, and writes nothing.
TEST_F(Batch, AJobThatCannotConvertSaysSoBeforeItWrites) {
    for (const char* fault : {"Create", "WriteText"}) {
        makeTree();
        std::map<std::string, std::string> before = snapshot(root);
        SetEnvironmentVariableA("VELL_STREAM_FAIL", fault);
        Finished run = runToEnd("--batch " + quoted(root));
        SetEnvironmentVariableA("VELL_STREAM_FAIL", nullptr);
        EXPECT_EQ(run.code, 1u) << fault << run.err;
        EXPECT_EQ(snapshot(root), before) << fault;
        EXPECT_NE(run.err.find("\"adodb.stream\""), std::string::npos) << fault << run.err;
        EXPECT_TRUE(after(lines(run.out), "转码完毕:").empty()) << fault;
    }
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
                            "无法访问目录:0 可能不是GBK:1" + kNoNewOutcomes) + "\n");

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
    // The closing message says what to look at, and the way back.
    std::vector<std::string> closing = lines(real.err);
    ASSERT_EQ(closing.size(), 5u) << real.err;
    EXPECT_EQ(closing[0], utf8("转码结束, 但有文件需要注意:"));
    EXPECT_EQ(closing[1], utf8("可能不是GBK: 1"));
    EXPECT_NE(closing[3].find("--restore"), std::string::npos);
    EXPECT_EQ(closing[4], utf8("统计 已转换:3 无需转码:2 非系统编码:1 文件过大:0 链接:0 设备名:0 "
                               "转码失败:0 备份失败:0 无法访问目录:0 可能不是GBK:1" + kNoNewOutcomes));
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
    EXPECT_EQ(back.err, utf8("统计 已还原:3 还原失败:0 无备份:3 无法访问目录:0" + kNoRestoreOutcomes) + "\n");
    EXPECT_EQ(readFile(root + "\\plugins\\jp.lang.bak"), kShiftJis);
    EXPECT_FALSE(exists(root + "\\a.yml" + kTemp));
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
    EXPECT_EQ(back.err, utf8("统计 已还原:1 还原失败:2 无备份:3 无法访问目录:0" + kNoRestoreOutcomes) + "\n");
    EXPECT_FALSE(exists(root + "\\a.yml" + kTemp));
}

// What a restore does with each file depends on what the file is to its
// backup: only a file that is this tool's conversion of its backup gets
// the backup's bytes; everything else stays, named, and fails the run.
TEST_F(Batch, ARestorePutsBackOnlyWhatFollowsFromTheBackup) {
    const std::string kGbk2 = "名称: 第二版\r\n";
    writeFile(root + "\\conv.yml", kGbk);
    writeFile(root + "\\edited.yml", kGbk);
    writeFile(root + "\\twice.yml", kGbk);
    writeFile(root + "\\own.yml", utf8(kGbk2));
    writeFile(root + "\\own.yml.bak", kGbk);  // the user's own, half a year old
    ASSERT_EQ(runToEnd("--batch " + quoted(root)).code, 0u);
    writeFile(root + "\\edited.yml", utf8(kGbk) + "edited after\n");
    writeFile(root + "\\twice.yml", kGbk2);  // converted again, its first backup kept
    ASSERT_EQ(runToEnd("--batch " + quoted(root) + " --no-backup").code, 0u);
    std::map<std::string, std::string> before = snapshot(root);

    Finished dry = runToEnd("--batch " + quoted(root) + " --restore --dry-run");
    EXPECT_EQ(dry.code, 1u) << dry.err;
    EXPECT_EQ(snapshot(root), before);
    EXPECT_EQ(after(lines(dry.out), "将还原:"), std::vector<std::string>{in("conv.yml")});
    EXPECT_EQ(lines(dry.out).back(), utf8("还原预览完成 将还原:1 共计:4"));

    const std::vector<std::string> modified = {in("edited.yml"), in("own.yml"), in("twice.yml")};
    Finished back = runToEnd("--batch " + quoted(root) + " --restore");
    EXPECT_EQ(back.code, 1u) << back.err;
    EXPECT_EQ(after(lines(back.out), "已还原:"), std::vector<std::string>{in("conv.yml")});
    std::vector<std::string> kept = after(lines(back.out), "未还原 文件已被修改:");
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, modified);
    EXPECT_EQ(back.err, utf8("统计 已还原:1 还原失败:0 无备份:0 无法访问目录:0 文件名无法处理:0 备份文件:0 "
                             "已修改:3 与备份相同:0 删除残留:0 残留临时文件:0") + "\n");
    std::map<std::string, std::string> now = snapshot(root);
    for (const auto& entry : before) {
        if (entry.first == root + "\\conv.yml") continue;
        EXPECT_EQ(now[entry.first], entry.second) << entry.first;
    }
    EXPECT_EQ(readFile(root + "\\conv.yml"), kGbk);

    // Again: the restored file already holds its backup's bytes.
    Finished again = runToEnd("--batch " + quoted(root) + " --restore");
    EXPECT_EQ(after(lines(again.out), "跳过文件 与备份相同:"), std::vector<std::string>{in("conv.yml")});
    EXPECT_EQ(readFile(root + "\\conv.yml"), kGbk);
}

// Each match is held to its own long name, each file found once, and the
// tool's own backups and temporaries are never input.
TEST_F(Batch, OnlyTheFilesAskedForAreTouched) {
    const char* const others[] = {"conf.ymlx", "messages.yml_old", "notes.txt~", "server.log1",
                                  "a.yml.~,tmp", "a.yml.bak.~,tmp"};
    for (const char* name : others) writeFile(root + "\\" + name, kGbk);
    writeFile(root + "\\a.yml", kGbk);
    writeFile(root + "\\old.bak", kGbk);  // a user's file, no old beside it
    Finished run = runToEnd("--batch " + quoted(root) + " --ext yml,txt,log,YML,yml");
    EXPECT_EQ(run.code, 0u) << run.err;
    EXPECT_EQ(after(lines(run.out), "搜索 >> 找到文件:"), std::vector<std::string>{in("a.yml")});
    EXPECT_EQ(lines(run.out).back(), utf8("转换完成 已转换:1 共计:1"));
    EXPECT_EQ(after(lines(run.out), "搜索["), (std::vector<std::string>{"1/3] >> *.yml", "2/3] >> *.txt", "3/3] >> *.log"}));
    for (const char* name : others) EXPECT_EQ(readFile(root + "\\" + name), kGbk) << name;

    std::map<std::string, std::string> converted = snapshot(root);
    Finished baks = runToEnd("--batch " + quoted(root) + " --ext bak");
    EXPECT_EQ(baks.code, 0u) << baks.err;
    EXPECT_EQ(after(lines(baks.out), "跳过文件 备份文件:"), std::vector<std::string>{in("a.yml.bak")});
    EXPECT_EQ(readFile(root + "\\a.yml.bak"), kGbk);
    EXPECT_EQ(readFile(root + "\\old.bak"), utf8(kGbk));

    converted = snapshot(root);
    for (const char* list : {"*", "*.*", "y*", "yml,?ml"}) {
        Finished refused = runToEnd("--batch " + quoted(root) + " --ext \"" + list + "\"");
        EXPECT_EQ(refused.code, 2u) << list;
        EXPECT_EQ(refused.err.rfind(utf8("扩展名不能含有通配符"), 0), 0u) << list << refused.err;
    }
    EXPECT_EQ(snapshot(root), converted);
}

// A file at a temporary name goes only when it is the start of what the
// job writes there, as a killed run leaves it; each is named.
TEST_F(Batch, OnlyTheToolsOwnLeftoversAreRemoved) {
    writeFile(root + "\\a.yml", kGbk);
    writeFile(root + "\\b.yml", kGbk);
    writeFile(root + "\\a.yml.bak" + kTemp, kGbk.substr(0, 4));
    writeFile(root + "\\a.yml" + kTemp, utf8(kGbk).substr(0, 5));
    writeFile(root + "\\b.yml" + kTemp, "the user's own");
    Finished run = runToEnd("--batch " + quoted(root));
    EXPECT_EQ(run.code, 1u) << run.err;
    std::vector<std::string> removed = after(lines(run.out), "已删除残留临时文件:");
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{in("a.yml.bak" + kTemp), in("a.yml" + kTemp)}));
    EXPECT_EQ(after(lines(run.out), "残留临时文件 未能删除:"), std::vector<std::string>{in("b.yml" + kTemp)});
    EXPECT_EQ(readFile(root + "\\a.yml"), utf8(kGbk));
    EXPECT_EQ(readFile(root + "\\a.yml.bak"), kGbk);
    EXPECT_EQ(readFile(root + "\\b.yml"), kGbk);
    EXPECT_EQ(readFile(root + "\\b.yml" + kTemp), "the user's own");
}

// A second job of any kind on a tree where one runs, above it or below it,
// is refused before it touches anything; on another tree it runs.
TEST_F(Batch, OneJobPerTreeAtATime) {
    CreateDirectoryA((root + "\\sub").c_str(), nullptr);
    for (int i = 0; i < 1500; i++) writeFile(root + "\\sub\\f" + std::to_string(i) + ".yml", kGbk);
    std::string other = tempFolder("other_tree");
    writeFile(other + "\\x.yml", kGbk);
    Running first("--batch " + quoted(root + "\\sub"));
    for (int i = 0; i < 600 && first.out().find(utf8("搜索 >> 找到文件:")) == std::string::npos; i++) Sleep(50);
    std::map<std::string, std::string> before = snapshot(other);
    Finished elsewhere = runToEnd("--batch " + quoted(other) + " --dry-run");
    for (const std::string& args : {"--batch " + quoted(root), "--batch " + quoted(root + "\\sub") + " --restore",
                                    "--batch " + quoted(root + "\\sub\\.") + " --dry-run"}) {
        Finished refused = runToEnd(args);
        EXPECT_EQ(refused.code, 2u) << args;
        EXPECT_EQ(refused.out, "") << args;
        EXPECT_EQ(refused.err.rfind(utf8("另一个任务正在处理此目录"), 0), 0u) << args << refused.err;
    }
    Finished done = first.finish();
    EXPECT_EQ(done.code, 0u) << done.err;
    EXPECT_EQ(lines(done.out).back(), utf8("转换完成 已转换:1500 共计:1500"));
    EXPECT_EQ(elsewhere.code, 0u) << elsewhere.err;
    EXPECT_EQ(snapshot(other), before);
    removeTree(other);
}

// Names the tool cannot open as written, a path too long, a read-only
// file and a plain file named like a link's target: each its own line.
TEST_F(Batch, EveryLineTellsWhatHappened) {
    // A file path of 250 characters: the file opens, but its backup's
    // temporary name would pass the limit.
    std::string deep = root;
    while (deep.size() < 241) {
        deep += "\\" + std::string(std::min<size_t>(19, 241 - deep.size() - 1), 'd');
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    writeFile(deep + "\\long.yml", kGbk);
    ASSERT_TRUE(exists(deep + "\\long.yml"));
    writeFile(root + "\\ro.yml", kGbk);
    SetFileAttributesA((root + "\\ro.yml").c_str(), FILE_ATTRIBUTE_READONLY);
    Finished run = runToEnd("--batch " + quoted(root));
    SetFileAttributesA((root + "\\ro.yml").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(run.code, 1u) << run.err << run.out;
    EXPECT_EQ(after(lines(run.out), "跳过文件 文件名无法处理:"), std::vector<std::string>{utf8(deep + "\\long.yml")}) << run.out;
    EXPECT_EQ(after(lines(run.out), "跳过文件 只读:"), std::vector<std::string>{in("ro.yml")});
    EXPECT_EQ(readFile(root + "\\ro.yml"), kGbk);
    EXPECT_FALSE(exists(root + "\\ro.yml.bak"));
}

// Names the host makes: one the code page cannot hold, a plain file whose
// name ends in a dot beside the file without it, and case twins, where a
// restore puts back only a file's own backup.
TEST_F(Batch, HostNamesAreToldAsWhatTheyAre) {
    const char* tree = getenv("VELL_LINK_TREE");
    std::string names = tree ? std::string(tree) + "\\names" : "";
    if (!tree || !exists(names + "\\x.yml")) GTEST_SKIP() << "no host names (made by e2e_link_tree)";
    Finished run = runToEnd("--batch " + quoted(names) + " --ext yml");
    EXPECT_EQ(run.code, 1u) << run.err;
    std::vector<std::string> out = lines(run.out);
    std::vector<std::string> unheld = after(out, "跳过文件 文件名无法处理:");
    ASSERT_EQ(unheld.size(), 1u) << run.out;
    EXPECT_EQ(unheld[0].rfind(utf8(names + "\\smile?"), 0), 0u) << unheld[0];
    EXPECT_EQ(after(out, "转码完毕:"), (std::vector<std::string>{utf8(names + "\\x.yml"), utf8(names + "\\twins\\a.yml")}));
    EXPECT_TRUE(after(out, "跳过文件 链接:").empty()) << run.out;

    Finished back = runToEnd("--batch " + quoted(names + "\\twins") + " --restore");
    EXPECT_EQ(back.code, 0u) << back.err;
    EXPECT_EQ(after(lines(back.out), "已还原:"), std::vector<std::string>{utf8(names + "\\twins\\a.yml")});
    EXPECT_EQ(back.err, utf8("统计 已还原:1 还原失败:0 无备份:1 无法访问目录:0" + kNoRestoreOutcomes) + "\n");
}

}  // namespace

namespace {

// The count line of a run, by label.
std::map<std::string, int> counts(const std::string& err) {
    std::map<std::string, int> c;
    for (const std::string& l : lines(err)) {
        if (l.rfind(utf8("统计 "), 0) != 0) continue;
        size_t at = utf8("统计 ").size();
        while (at < l.size()) {
            size_t colon = l.find(':', at), space = l.find(' ', colon);
            if (space == std::string::npos) space = l.size();
            c[l.substr(at, colon - at)] = atoi(l.substr(colon + 1, space - colon - 1).c_str());
            at = space + 1;
        }
    }
    return c;
}

// One file of each outcome a job can meet here: the count line says it
// once, the exit code follows whether it failed.
TEST_F(Batch, TheCountLineAndExitCodeFollowEveryOutcome) {
    struct Case {
        const char* label;  // GBK
        DWORD code;
        void (*make)(const std::string& dir);
        const char* also;  // the other label it is counted under, or null
    };
    static const Case cases[] = {
        {"已转换", 0, [](const std::string& d) { writeFile(d + "\\a.yml", kGbk); }, nullptr},
        {"无需转码", 0, [](const std::string& d) { writeFile(d + "\\a.yml", utf8(kGbk)); }, nullptr},
        {"非系统编码", 0, [](const std::string& d) { writeFile(d + "\\a.yml", std::string("\xFF\xFE\x41\x00", 4)); }, nullptr},
        {"文件过大", 0, [](const std::string& d) {
             HANDLE h = CreateFileA((d + "\\a.yml").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
             LARGE_INTEGER at;
             at.QuadPart = (257LL << 20);
             SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
             SetEndOfFile(h);
             CloseHandle(h);
         }, nullptr},
        {"备份失败", 1, [](const std::string& d) {
             writeFile(d + "\\a.yml", kGbk);
             CreateDirectoryA((d + "\\a.yml.bak").c_str(), nullptr);
         }, nullptr},
        {"可能不是GBK", 0, [](const std::string& d) { writeFile(d + "\\a.yml", kShiftJis); }, "已转换"},
        {"只读", 1, [](const std::string& d) {
             writeFile(d + "\\a.yml", kGbk);
             SetFileAttributesA((d + "\\a.yml").c_str(), FILE_ATTRIBUTE_READONLY);
         }, nullptr},
        {"删除残留", 0, [](const std::string& d) {
             writeFile(d + "\\a.yml", kGbk);
             writeFile(d + "\\a.yml" + kTemp, "");
         }, "已转换"},
        {"残留临时文件", 1, [](const std::string& d) {
             writeFile(d + "\\a.yml", kGbk);
             writeFile(d + "\\a.yml" + kTemp, "mine");
         }, "转码失败"},
    };
    for (const Case& c : cases) {
        removeTree(root);
        CreateDirectoryA(root.c_str(), nullptr);
        c.make(root);
        Finished run = runToEnd("--batch " + quoted(root) + " --ext yml");
        SetFileAttributesA((root + "\\a.yml").c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(run.code, c.code) << c.label << run.err;
        std::map<std::string, int> said = counts(run.err);
        EXPECT_EQ(said.size(), 15u) << c.label << run.err;
        for (const auto& count : said) {
            bool expected = count.first == utf8(c.label) || (c.also && count.first == utf8(c.also));
            EXPECT_EQ(count.second, expected ? 1 : 0) << c.label << ": " << count.first;
        }
    }
}

}  // namespace
