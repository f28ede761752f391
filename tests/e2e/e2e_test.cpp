// The whole tool, worked from outside as a user works it.
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <set>
#include <stdlib.h>
#include "fixture.h"

using namespace e2e;

namespace {

const char kDone[] = "转码完成 您现在可以上传您的服务端到后台了";

// The closing box of a job where something failed: how many of each.
std::string closingAfter(std::initializer_list<const char*> counts) {
    std::string text = "转码结束, 但有文件需要注意:";
    for (const char* c : counts) text += std::string("\n") + c;
    return text + "\n未转码的文件保持原样, 每个文件的情况见日志。";
}
// Chinese text in GBK (this source's literals) and in UTF-8 (escapes).
const std::string kGbk = "名称: 服务器\r\n端口=25565\r\n";
const std::string kUtf8 = "\xE5\x90\x8D\xE7\xA7\xB0: \xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8\r\n\xE7\xAB\xAF\xE5\x8F\xA3=25565\r\n";
const std::string kBom = "\xEF\xBB\xBF";
const std::string kUtf16 = std::string("\xFF\xFE\x41\x00\x42\x00", 6);

class Job : public WithTool {
protected:
    // The log read bottom-up: oldest line first.
    std::vector<std::string> history() const {
        std::vector<std::string> l = tool.log();
        std::reverse(l.begin(), l.end());
        return l;
    }
    void run(const std::string& typedRoot, const std::string& extensions) {
        tool.setText(C_EDIT_ROOT, typedRoot);
        tool.setText(C_EDIT_EXT, extensions);
        tool.click(C_BUTTON_START);
    }
};

// Splits the log of a finished job into its parts.
struct Parsed {
    std::vector<std::string> searchHeads;
    std::map<int, std::vector<std::string>> found;  // by search number, in order
    std::vector<std::string> foundOrder;
    bool backupLine = false;
    std::vector<std::string> conversion;            // lines after the phase head
    std::string last;
};

Parsed parse(const std::vector<std::string>& h) {
    Parsed p;
    size_t i = 0;
    EXPECT_FALSE(h.empty());
    if (h.empty()) return p;
    EXPECT_EQ(h[i++], "搜索带转码文件...");
    int search = 0;
    for (; i < h.size(); i++) {
        const std::string& l = h[i];
        if (l.rfind("搜索[", 0) == 0) { p.searchHeads.push_back(l); search++; continue; }
        const std::string f = "搜索 >> 找到文件:";
        if (l.rfind(f, 0) == 0) { p.found[search].push_back(l.substr(f.size())); p.foundOrder.push_back(l.substr(f.size())); continue; }
        break;
    }
    if (i < h.size() && h[i] == "开始备份文件...") { p.backupLine = true; i++; }
    EXPECT_LT(i, h.size());
    if (i < h.size()) {
        EXPECT_EQ(h[i++], "开始文件编码转换...");
    }
    for (; i + 1 < h.size(); i++) p.conversion.push_back(h[i]);
    if (i < h.size()) p.last = h[i];
    return p;
}

TEST_F(Job, StartsWithItsInitialStateAndEscEndsIt) {
    EXPECT_EQ(tool.text(C_EDIT_ROOT), "");
    EXPECT_EQ(tool.text(C_EDIT_EXT), "yml,json,txt,lang,cfg,ini,log,conf,toml");
    EXPECT_TRUE(tool.checked(C_CHECK_BACKUP));
    EXPECT_TRUE(tool.log().empty());
    EXPECT_EQ(tool.text(C_STATUS), "空闲");
    EXPECT_EQ(tool.text(C_BUTTON_START), "一键转码");
    EXPECT_EQ(tool.text(C_BUTTON_CHOOSE), "选择...");
    tool.pressEsc();
    EXPECT_EQ(tool.waitExit(), 0u);
}

TEST_F(Job, ConvertsAServerTreeWithBackups) {
    writeFile(root + "\\a.yml", kGbk);
    writeFile(root + "\\b.json", kUtf8);
    writeFile(root + "\\c.txt", kBom + kUtf8);
    writeFile(root + "\\d.cfg", "key=value\n");
    writeFile(root + "\\e.lang", kUtf16);
    writeFile(root + "\\empty.ini", "");
    writeFile(root + "\\noext", kGbk);
    writeFile(root + "\\x.dat", kGbk);
    std::string hidden = root + "\\.hidden";
    CreateDirectoryA(hidden.c_str(), nullptr);
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    writeFile(hidden + "\\g.yml", kGbk);
    writeFile(hidden + "\\hid.conf", kGbk);
    SetFileAttributesA((hidden + "\\hid.conf").c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::string likeFile = hidden + "\\dir.yml";
    CreateDirectoryA(likeFile.c_str(), nullptr);
    writeFile(likeFile + "\\h.toml", kGbk);

    run(root, "yml,json,txt,lang,cfg,ini,log,conf,toml");
    EXPECT_EQ(tool.answerBox("转换完成"), kDone);

    Parsed p = parse(history());
    const char* ext[] = {"yml", "json", "txt", "lang", "cfg", "ini", "log", "conf", "toml"};
    ASSERT_EQ(p.searchHeads.size(), 9u);
    for (int i = 0; i < 9; i++)
        EXPECT_EQ(p.searchHeads[i], "搜索[" + std::to_string(i + 1) + "/9] >> *." + ext[i]);
    // Files of a directory come before those of its subdirectories.
    EXPECT_EQ(p.found[1], (std::vector<std::string>{root + "\\a.yml", hidden + "\\g.yml"}));
    EXPECT_EQ(p.found[2], (std::vector<std::string>{root + "\\b.json"}));
    EXPECT_EQ(p.found[3], (std::vector<std::string>{root + "\\c.txt"}));
    EXPECT_EQ(p.found[4], (std::vector<std::string>{root + "\\e.lang"}));
    EXPECT_EQ(p.found[5], (std::vector<std::string>{root + "\\d.cfg"}));
    EXPECT_EQ(p.found[6], (std::vector<std::string>{root + "\\empty.ini"}));
    EXPECT_TRUE(p.found[7].empty());
    EXPECT_EQ(p.found[8], (std::vector<std::string>{hidden + "\\hid.conf"}));
    EXPECT_EQ(p.found[9], (std::vector<std::string>{likeFile + "\\h.toml"}));
    EXPECT_TRUE(p.backupLine);

    std::map<std::string, std::string> expectLine = {
        {root + "\\a.yml", "转码完毕:"}, {hidden + "\\g.yml", "转码完毕:"},
        {root + "\\b.json", "跳过文件 无需转码:"}, {root + "\\c.txt", "跳过文件 无需转码:"},
        {root + "\\e.lang", "跳过文件 非系统编码文本:"}, {root + "\\d.cfg", "转码完毕:"},
        {root + "\\empty.ini", "跳过文件 无需转码:"}, {hidden + "\\hid.conf", "转码完毕:"},
        {likeFile + "\\h.toml", "转码完毕:"}};
    ASSERT_EQ(p.conversion.size(), p.foundOrder.size());
    for (size_t k = 0; k < p.foundOrder.size(); k++)
        EXPECT_EQ(p.conversion[k], expectLine[p.foundOrder[k]] + p.foundOrder[k]);
    EXPECT_EQ(p.last, kDone);

    const int n = (int)p.foundOrder.size();
    EXPECT_EQ(n, 9);
    // Converted: a, g, d, hid and h.
    EXPECT_EQ(tool.text(C_STATUS), "转换完成 已转换:5 共计:" + std::to_string(n));
    EXPECT_EQ(tool.progressPos(), n);
    EXPECT_EQ(tool.progressMax(), n);
    EXPECT_TRUE(tool.enabled(C_BUTTON_START));
    EXPECT_TRUE(tool.enabled(C_BUTTON_CHOOSE));

    EXPECT_EQ(readFile(root + "\\a.yml"), kUtf8);
    EXPECT_EQ(readFile(hidden + "\\g.yml"), kUtf8);
    EXPECT_EQ(readFile(hidden + "\\hid.conf"), kUtf8);
    EXPECT_EQ(readFile(likeFile + "\\h.toml"), kUtf8);
    EXPECT_EQ(readFile(root + "\\b.json"), kUtf8);
    EXPECT_EQ(readFile(root + "\\c.txt"), kBom + kUtf8);
    EXPECT_EQ(readFile(root + "\\d.cfg"), "key=value\n");
    EXPECT_EQ(readFile(root + "\\e.lang"), kUtf16);
    EXPECT_EQ(readFile(root + "\\noext"), kGbk);
    EXPECT_EQ(readFile(root + "\\x.dat"), kGbk);
    // Backups hold the content from before the job, and only files that
    // were rewritten have one.
    EXPECT_EQ(readFile(root + "\\a.yml.bak"), kGbk);
    EXPECT_EQ(readFile(likeFile + "\\h.toml.bak"), kGbk);
    for (const char* kept : {"\\b.json.bak", "\\c.txt.bak", "\\e.lang.bak", "\\empty.ini.bak"})
        EXPECT_FALSE(exists(root + kept)) << kept;
    EXPECT_FALSE(exists(root + "\\x.dat.bak"));
}

TEST_F(Job, WithoutBackupsNoBakFileIsWritten) {
    writeFile(root + "\\a.yml", kGbk);
    tool.click(C_CHECK_BACKUP);
    for (int i = 0; i < 50 && tool.checked(C_CHECK_BACKUP); i++) Sleep(20);
    ASSERT_FALSE(tool.checked(C_CHECK_BACKUP));
    run(root + "\\", "yml");
    EXPECT_EQ(tool.answerBox("转换完成"), kDone);
    Parsed p = parse(history());
    EXPECT_FALSE(p.backupLine);
    EXPECT_EQ(p.foundOrder, (std::vector<std::string>{root + "\\a.yml"}));
    EXPECT_EQ(readFile(root + "\\a.yml"), kUtf8);
    EXPECT_FALSE(exists(root + "\\a.yml.bak"));
}

TEST_F(Job, RepeatedItemIsSearchedOnce) {
    writeFile(root + "\\a.yml", kGbk);
    run(root, "yml,YML,yml");
    EXPECT_EQ(tool.answerBox("转换完成"), kDone);
    Parsed p = parse(history());
    EXPECT_EQ(p.foundOrder, std::vector<std::string>{root + "\\a.yml"});
    EXPECT_EQ(p.conversion, std::vector<std::string>{"转码完毕:" + root + "\\a.yml"});
    EXPECT_EQ(readFile(root + "\\a.yml.bak"), kGbk);
    EXPECT_EQ(tool.text(C_STATUS), "转换完成 已转换:1 共计:1");
}

// sub\up leads back to the root: every walk enters each folder once.
TEST_F(Job, LinkBackToAnAncestorIsNotFollowed) {
    const char* tree = getenv("VELL_LINK_TREE");
    std::string links = tree ? std::string(tree) + "\\ancestor" : "";
    if (!tree || GetFileAttributesA((links + "\\sub\\up\\sub").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no link tree (made by the e2e_link_tree test)";
    writeFile(links + "\\a.yml", kGbk);
    writeFile(links + "\\sub\\b.yml", kGbk);
    writeFile(links + "\\sub\\c.cfg", kGbk);
    run(links, "yml,cfg");
    EXPECT_EQ(tool.answerBox("转换完成"), kDone);
    Parsed p = parse(history());
    EXPECT_EQ(p.found[1], (std::vector<std::string>{links + "\\a.yml", links + "\\sub\\b.yml"}));
    EXPECT_EQ(p.found[2], std::vector<std::string>{links + "\\sub\\c.cfg"});
    EXPECT_EQ(tool.text(C_STATUS), "转换完成 已转换:3 共计:3");
    EXPECT_EQ(readFile(links + "\\sub\\b.yml"), kUtf8);
    for (const char* f : {"\\a.yml", "\\a.yml.bak", "\\sub\\b.yml", "\\sub\\b.yml.bak", "\\sub\\c.cfg",
                          "\\sub\\c.cfg.bak"})
        DeleteFileA((links + f).c_str());
}

// Links are never written through or replaced, and nothing but a matched
// file and its backup is changed: links to files in the tree and outside
// it, a link and a folder where a backup goes, a device name.
TEST_F(Job, LinksAndWhatStandsWhereABackupGoesAreLeftAlone) {
    const char* tree = getenv("VELL_LINK_TREE");
    std::string linked = tree ? std::string(tree) + "\\linked" : "";
    if (!tree || !exists(linked + "\\root\\x.yml")) GTEST_SKIP() << "no link tree (made by e2e_link_tree)";
    const std::string gbk = "名称: 服务器\r\n", utf8 = "\xE5\x90\x8D\xE7\xA7\xB0: \xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8\r\n";
    std::string r = linked + "\\root";
    run(r, "yml");
    EXPECT_EQ(tool.answerBox("转换完成"), closingAfter({"设备名: 1", "备份失败: 2"}));
    Parsed p = parse(history());
    std::map<std::string, std::string> expectLine = {
        {r + "\\real.yml", "转码完毕:"},        {r + "\\alias.yml", "跳过文件 链接:"},
        {r + "\\out.yml", "跳过文件 链接:"},    {r + "\\x.yml", "备份失败 已跳过转码:"},
        {r + "\\y.yml", "备份失败 已跳过转码:"}, {r + "\\aux.yml", "跳过文件 设备名:"}};
    ASSERT_EQ(p.conversion.size(), expectLine.size());
    for (size_t k = 0; k < p.foundOrder.size(); k++)
        EXPECT_EQ(p.conversion[k], expectLine[p.foundOrder[k]] + p.foundOrder[k]);
    EXPECT_EQ(tool.text(C_STATUS), "转换完成 已转换:1 共计:6");
    EXPECT_EQ(readFile(r + "\\real.yml"), utf8);
    EXPECT_EQ(readFile(r + "\\real.yml.bak"), gbk);
    EXPECT_EQ(readFile(r + "\\out.yml"), gbk) << "still the link to the shared file";
    EXPECT_EQ(readFile(linked + "\\outside\\shared.yml"), gbk);
    EXPECT_EQ(readFile(linked + "\\outside\\victim.bak"), "victim\n");
    EXPECT_EQ(readFile(r + "\\x.yml"), gbk);
    EXPECT_EQ(readFile(r + "\\y.yml"), gbk);
    EXPECT_EQ(readFile(r + "\\y.yml.bak\\keep.txt"), "keep\n");
    EXPECT_FALSE(exists(r + "\\alias.yml.bak"));
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((r + "\\*").c_str(), &d);
    std::set<std::string> names;
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &d)) names.insert(d.cFileName);
    FindClose(h);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "alias.yml", "aux.yml", "out.yml", "real.yml",
                                            "real.yml.bak", "x.yml", "x.yml.bak", "y.yml", "y.yml.bak"}))
        << "nothing moved aside, nothing left behind";
}

TEST_F(Job, NothingFoundStillFinishes) {
    run(root, "yml");
    EXPECT_EQ(tool.answerBox("转换完成"), kDone);
    std::vector<std::string> h = history();
    EXPECT_EQ(h, (std::vector<std::string>{"搜索带转码文件...", "搜索[1/1] >> *.yml", "开始备份文件...",
                                           "开始文件编码转换...", kDone}));
    EXPECT_EQ(tool.text(C_STATUS), "转换完成 已转换:0 共计:0");
    EXPECT_EQ(tool.progressPos(), 0);
    EXPECT_EQ(tool.progressMax(), 0);
}

TEST_F(Job, LockedFileIsReportedAndLeftAlone) {
    std::string path = root + "\\locked.yml";
    writeFile(path, kGbk);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    tool.click(C_CHECK_BACKUP);  // backups off: the copy alone would not fail
    run(root, "yml");
    EXPECT_EQ(tool.answerBox("转换完成"), closingAfter({"转码失败: 1"}));
    CloseHandle(h);
    Parsed p = parse(history());
    ASSERT_EQ(p.conversion.size(), 1u);
    EXPECT_EQ(p.conversion[0], "转码失败 文件是否正在被占用? :" + path);
    EXPECT_EQ(readFile(path), kGbk);
}

TEST_F(Job, EmptyExtensionListIsRefused) {
    writeFile(root + "\\a.yml", kGbk);
    run(root, "");
    EXPECT_EQ(tool.answerBox("缺少过滤设置"), "请设置至少一个扩展名过滤器");
    EXPECT_TRUE(tool.log().empty());
    EXPECT_EQ(tool.text(C_STATUS), "空闲");
    EXPECT_EQ(readFile(root + "\\a.yml"), kGbk);
}

TEST_F(Job, EmptyOrMissingRootIsRefused) {
    run("", "yml");
    EXPECT_EQ(tool.answerBox("缺少目录设置"), "请选择欲转码的服务端根目录");
    EXPECT_TRUE(tool.log().empty());
    std::string missing = root + "\\nowhere";
    run(missing, "yml");
    EXPECT_EQ(tool.answerBox("目录无效"), "所选目录不存在:" + missing);
    EXPECT_TRUE(tool.log().empty());
    EXPECT_EQ(tool.text(C_STATUS), "空闲");
}

TEST_F(Job, FailedBackupLeavesTheFileAlone) {
    writeFile(root + "\\a.yml", kGbk);
    writeFile(root + "\\b.yml", kGbk);
    // A folder where the backup should go: the copy cannot be made.
    CreateDirectoryA((root + "\\a.yml.bak").c_str(), nullptr);
    run(root, "yml");
    EXPECT_EQ(tool.answerBox("转换完成"), closingAfter({"备份失败: 1"}));
    Parsed p = parse(history());
    ASSERT_EQ(p.conversion.size(), 2u);
    for (size_t k = 0; k < 2; k++) {
        const std::string& f = p.foundOrder[k];
        if (f == root + "\\a.yml") EXPECT_EQ(p.conversion[k], "备份失败 已跳过转码:" + f);
        else EXPECT_EQ(p.conversion[k], "转码完毕:" + f);
    }
    EXPECT_EQ(readFile(root + "\\a.yml"), kGbk);
    EXPECT_EQ(readFile(root + "\\b.yml"), kUtf8);
    EXPECT_EQ(readFile(root + "\\b.yml.bak"), kGbk);
}

TEST_F(Job, DefaultListSearchesNineTimes) {
    run(root, "yml,json,txt,lang,cfg,ini,log,conf,toml");
    EXPECT_EQ(tool.answerBox("转换完成"), kDone);
    Parsed p = parse(history());
    ASSERT_EQ(p.searchHeads.size(), 9u);
    EXPECT_EQ(p.searchHeads.front(), "搜索[1/9] >> *.yml");
    EXPECT_EQ(p.searchHeads.back(), "搜索[9/9] >> *.toml");
}

// While a job runs the buttons are off, a second click does nothing and the
// window refuses to close.
TEST_F(Job, ClicksAndCloseDuringAJobAreRefused) {
    for (int i = 0; i < 600; i++) writeFile(root + "\\f" + std::to_string(i) + ".yml", kGbk);
    run(root, "yml");
    bool seen = false;
    for (int i = 0; i < 2000 && !seen; i++) {
        if (tool.text(C_STATUS).rfind("转换 已完成:", 0) == 0) seen = true;
        else Sleep(5);
    }
    if (seen) {
        EXPECT_FALSE(tool.enabled(C_BUTTON_START));
        EXPECT_FALSE(tool.enabled(C_BUTTON_CHOOSE));
        tool.click(C_BUTTON_START);
        PostMessageA(tool.main, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(tool.answerBox("转换完成", 120000), kDone);
    EXPECT_TRUE(IsWindow(tool.main));
    Sleep(300);
    EXPECT_FALSE(tool.boxShown("转换完成"));  // no second job ran
    std::vector<std::string> h = history();
    EXPECT_EQ(std::count(h.begin(), h.end(), std::string("搜索带转码文件...")), 1);
    EXPECT_EQ(tool.text(C_STATUS), "转换完成 已转换:600 共计:600");
    EXPECT_TRUE(tool.enabled(C_BUTTON_START));
    if (!seen) GTEST_SKIP() << "the job ended before it could be interrupted";
}

TEST_F(Job, CancelledFolderPickerEmptiesTheRoot) {
    tool.setText(C_EDIT_ROOT, "C:\\somewhere");
    tool.click(C_BUTTON_CHOOSE);
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && !dialog; i++) {
        HWND h = nullptr;
        while ((h = FindWindowExA(nullptr, h, "#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == tool.pi.dwProcessId && IsWindowVisible(h)) { dialog = h; break; }
        }
        if (!dialog) Sleep(50);
    }
    ASSERT_NE(dialog, nullptr) << "no folder picker";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 100 && IsWindow(dialog); i++) Sleep(50);
    for (int i = 0; i < 100 && !tool.text(C_EDIT_ROOT).empty(); i++) Sleep(20);
    EXPECT_EQ(tool.text(C_EDIT_ROOT), "");
    EXPECT_TRUE(tool.enabled(C_BUTTON_START));
}

// ---- nothing lost ----

std::string utf8Of(const std::string& gbk) {
    std::wstring w(gbk.size(), L'\0');
    w.resize(MultiByteToWideChar(936, 0, gbk.data(), (int)gbk.size(), &w[0], (int)w.size()));
    std::string u(w.size() * 3, '\0');
    u.resize(WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &u[0], (int)u.size(), nullptr, nullptr));
    return u;
}

bool logHas(const std::vector<std::string>& h, const std::string& line) {
    return std::find(h.begin(), h.end(), line) != h.end();
}

// "yml, " and "yml,." would be trimmed by the platform to "*": every file.
// An item no pattern can hold ("y|ml") finds nothing, and blames no folder.
TEST_F(Job, ItemsEndingInASpaceOrADotFindNothing) {
    writeFile(root + "\\a.yml", kGbk);
    writeFile(root + "\\b.bin", kGbk);
    writeFile(root + "\\old.yml.bak", kGbk);
    for (const char* list : {"yml, ", "yml,.", "yml,y|ml"}) {
        run(root, list);
        EXPECT_EQ(tool.answerBox("转换完成"), kDone) << list;
        std::vector<std::string> h = history();
        EXPECT_EQ(std::count_if(h.begin(), h.end(), [](const std::string& l) { return l.rfind("跳过目录", 0) == 0; }), 0)
            << list;
        Parsed p = parse(h);
        EXPECT_EQ(p.foundOrder, std::vector<std::string>{root + "\\a.yml"}) << list;
        EXPECT_TRUE(p.found[2].empty()) << list;
    }
    EXPECT_EQ(readFile(root + "\\b.bin"), kGbk);
    EXPECT_FALSE(exists(root + "\\b.bin.bak"));
    EXPECT_FALSE(exists(root + "\\old.yml.bak.bak"));
    EXPECT_EQ(readFile(root + "\\old.yml.bak"), kGbk);
}

TEST_F(Job, RootWithTrailingSpacesIsRefused) {
    writeFile(root + "\\a.yml", kGbk);
    run(root + "  ", "yml");
    EXPECT_EQ(tool.answerBox("目录无效"), "所选目录不存在:" + root + "  ");
    EXPECT_TRUE(tool.log().empty());
    EXPECT_EQ(readFile(root + "\\a.yml"), kGbk);
}

// Chinese names in, and a folder whose name the code page cannot hold:
// named in the log once, the job goes on around it.
TEST_F(Job, ChineseNamesConvertAndAnUnreadableFolderIsNamed) {
    std::string plugins = root + "\\插件";
    ASSERT_TRUE(CreateDirectoryA(plugins.c_str(), nullptr));
    writeFile(plugins + "\\配置.yml", kGbk);
    std::wstring wroot(root.size(), L'\0');
    wroot.resize(MultiByteToWideChar(CP_ACP, 0, root.data(), (int)root.size(), &wroot[0], (int)wroot.size()));
    std::wstring hangul = wroot + L"\\\xD55C\xAE00";
    ASSERT_TRUE(CreateDirectoryW(hangul.c_str(), nullptr));
    CreateDirectoryW((hangul + L"\\inner").c_str(), nullptr);
    run(root, "yml,yml");
    EXPECT_EQ(tool.answerBox("转换完成"), closingAfter({"无法访问目录: 1"}));
    std::vector<std::string> h = history();
    EXPECT_EQ(std::count(h.begin(), h.end(), "跳过目录 无法访问:" + root + "\\??"), 1) << "once a job";
    EXPECT_TRUE(logHas(h, "转码完毕:" + plugins + "\\配置.yml"));
    EXPECT_EQ(readFile(plugins + "\\配置.yml"), kUtf8);
    EXPECT_EQ(readFile(plugins + "\\配置.yml.bak"), kGbk);
    RemoveDirectoryW((hangul + L"\\inner").c_str());
    RemoveDirectoryW(hangul.c_str());
}

// The process ended mid-conversion, as by the task manager: every file is
// either what it was or its whole UTF-8 form, every backup whole.
TEST_F(Job, AKilledJobLeavesEveryFileWhole) {
    std::string gbk;
    while (gbk.size() < 3u << 20) gbk += "说明: 这是一个很长的服务端配置文件 line=" + std::to_string(gbk.size()) + "\r\n";
    const std::string utf8 = utf8Of(gbk);
    const int files = 12;
    for (int i = 0; i < files; i++) writeFile(root + "\\big" + std::to_string(i) + ".log", gbk);
    run(root, "log");
    bool converting = false;
    for (int i = 0; i < 6000 && !converting; i++) {
        std::string status = tool.text(C_STATUS);
        converting = status.rfind("转换 已完成:", 0) == 0 && status.rfind("转换 已完成:1 ", 0) != 0;
        if (!converting) Sleep(5);
    }
    tool.kill();
    int converted = 0;
    for (int i = 0; i < files; i++) {
        std::string f = root + "\\big" + std::to_string(i) + ".log";
        std::string now = readFile(f);
        EXPECT_TRUE(now == gbk || now == utf8) << f << " is damaged (" << now.size() << " bytes)";
        converted += now == utf8;
        EXPECT_EQ(readFile(f + ".bak"), gbk) << f;
    }
    if (!converting) GTEST_SKIP() << "the conversion was not reached in time";
    EXPECT_GT(converted, 0);
}

TEST_F(Job, AFileChangedAfterItsBackupIsNotConverted) {
    for (int i = 0; i < 600; i++) writeFile(root + "\\f" + std::to_string(i) + ".yml", kGbk);
    // The platform's order is the job's: the last file found is converted
    // last. The one before it is UTF-8, left alone by the backup phase.
    std::string last, skipped;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((root + "\\*.yml").c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        skipped = last;
        last = root + "\\" + fd.cFileName;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    writeFile(skipped, kUtf8);
    run(root, "yml");
    bool converting = false;
    for (int i = 0; i < 20000 && !converting; i++) {
        converting = tool.text(C_STATUS).rfind("转换 已完成:", 0) == 0;
        if (!converting) Sleep(1);
    }
    if (converting) {
        writeFile(last, kGbk + "追加\r\n");
        writeFile(skipped, kGbk);
    }
    std::string box = tool.answerBox("转换完成", 120000);
    if (!converting) GTEST_SKIP() << "the conversion was not reached in time";
    std::vector<std::string> h = history();
    if (std::count(h.begin(), h.end(), "转码完毕:" + last)) {
        EXPECT_EQ(readFile(last), kGbk + "追加\r\n") << "converted after it changed, its backup older";
        GTEST_SKIP() << "converted before it changed";
    }
    EXPECT_EQ(std::count(h.begin(), h.end(), "转码失败 文件是否正在被占用? :" + last), 1);
    EXPECT_EQ(box, closingAfter({"转码失败: 2"}));
    EXPECT_EQ(readFile(last), kGbk + "追加\r\n") << "the change stays as it was written";
    EXPECT_EQ(readFile(last + ".bak"), kGbk);
    // Changed since the backup phase found nothing to do: looked at again,
    // not converted without a backup.
    EXPECT_EQ(std::count(h.begin(), h.end(), "转码失败 文件是否正在被占用? :" + skipped), 1);
    EXPECT_EQ(readFile(skipped), kGbk);
    EXPECT_FALSE(exists(skipped + ".bak"));
}

}  // namespace

namespace {

// The window tells what the command line tells: the warning after the
// file's line, the closing box that counts it and points at the restore,
// and a stream component it cannot drive, before anything is written.
TEST_F(Job, TheWindowWarnsAndSaysWhatItCouldNotDo) {
    // Decodes as GBK, but was written in Big5 ("伺服器設定").
    const std::string big5 = "name=\xA6\xF8\xAA\x41\xBE\xB9\xB3\x5D\xA9\x77\r\n";
    writeFile(root + "\\big5.yml", big5);
    run(root, "yml");
    std::string box = tool.answerBox("转换完成");
    EXPECT_EQ(box.substr(0, box.find('\n')), "转码结束, 但有文件需要注意:");
    EXPECT_NE(box.find("\n可能不是GBK: 1\n"), std::string::npos) << box;
    EXPECT_NE(box.find("还原备份..."), std::string::npos) << box;
    std::vector<std::string> h = history();
    auto warned = std::find(h.begin(), h.end(), "可能不是GBK编码:" + root + "\\big5.yml");
    ASSERT_NE(warned, h.end());
    EXPECT_EQ(warned[-1], "转码完毕:" + root + "\\big5.yml");

    writeFile(root + "\\big5.yml", big5);
    DeleteFileA((root + "\\big5.yml.bak").c_str());
    tool.kill();
    SetEnvironmentVariableA("VELL_STREAM_FAIL", "Create");
    ASSERT_TRUE(tool.start());
    SetEnvironmentVariableA("VELL_STREAM_FAIL", nullptr);
    run(root, "yml");
    box = tool.answerBox("无法转码");
    EXPECT_NE(box.find("\"adodb.stream\""), std::string::npos) << box;
    EXPECT_EQ(readFile(root + "\\big5.yml"), big5);
    EXPECT_FALSE(exists(root + "\\big5.yml.bak"));
}

}  // namespace
