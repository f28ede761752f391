// The tool from the command line: a folder to open with, and whole jobs
// run unseen with --batch.
#include <gtest/gtest.h>
#include <algorithm>
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
    EXPECT_EQ(run.err, utf8(kDone) + "\n");
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

}  // namespace
