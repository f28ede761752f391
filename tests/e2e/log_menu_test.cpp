// The log's context menu, worked from outside: the dry run, the restore,
// the log copied and saved, and the entries that cannot run now.
#include <gtest/gtest.h>
#include <algorithm>
#include "fixture.h"

using namespace e2e;

namespace {

const char kDone[] = "转码完成 您现在可以上传您的服务端到后台了";
const std::string kGbk = "名称: 服务器\r\n端口=25565\r\n";
const std::string kUtf8 = "\xE5\x90\x8D\xE7\xA7\xB0: \xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8\r\n\xE7\xAB\xAF\xE5\x8F\xA3=25565\r\n";

// Menu lines below the top, separators passed over by the arrow keys.
enum : int { PREVIEW = 1, RESTORE = 2, COPY = 3, SAVE = 4 };

std::string utf8Of(const std::string& ansi) {
    std::wstring w(ansi.size() + 1, L'\0');
    w.resize(MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), &w[0], (int)w.size()));
    std::string u(w.size() * 3 + 1, '\0');
    u.resize(WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &u[0], (int)u.size(), nullptr, nullptr));
    return u;
}

// What the clipboard holds, in the code page; "<none>" without text.
std::string clipboardText() {
    std::string out = "<none>";
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        const wchar_t* w = (const wchar_t*)GlobalLock(h);
        int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
        out.assign(n > 0 ? n - 1 : 0, '\0');
        if (n > 1) WideCharToMultiByte(CP_ACP, 0, w, -1, &out[0], n, nullptr, nullptr);
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

// The clipboard once it holds something else (the copy runs once the menu
// has closed), or as it is after two seconds.
std::string clipboardChanged(const std::string& before) {
    std::string now;
    for (int i = 0; i < 100 && (now = clipboardText()) == before; i++) Sleep(20);
    return now;
}

void putOnClipboard(const char* text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    size_t n = strlen(text) + 1;
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, n);
    memcpy(GlobalLock(g), text, n);
    GlobalUnlock(g);
    SetClipboardData(CF_TEXT, g);
    CloseClipboard();
}

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &d);
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &d)) names.push_back(d.cFileName);
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

class LogMenu : public WithTool {
protected:
    // The log as the tool would save it: oldest line first, CRLF after each.
    std::string logText() const {
        std::vector<std::string> l = tool.log();
        std::string s;
        for (auto i = l.rbegin(); i != l.rend(); ++i) s += *i + "\r\n";
        return s;
    }
    void job(const std::string& extensions) {
        tool.setText(C_EDIT_ROOT, root);
        tool.setText(C_EDIT_EXT, extensions);
        tool.click(C_BUTTON_START);
        ASSERT_EQ(tool.answerBox("转换完成"), kDone);
    }
    // Opens the menu and presses Enter on an entry; a greyed one runs
    // nothing (the menu's greyed lines are read in the module's own test).
    void pick(int entry, bool byKey = false) {
        HWND menu = tool.openLogMenu(byKey);
        ASSERT_NE(menu, nullptr) << "no menu";
        tool.pickMenuEntry(menu, entry);
        if (IsWindowVisible(menu)) tool.closeMenu(menu);
    }
    std::string waitForStatus(const char* prefix) const {
        std::string s;
        for (int i = 0; i < 3000 && (s = tool.text(C_STATUS)).rfind(prefix, 0) != 0; i++) Sleep(20);
        return s;
    }
};

TEST_F(LogMenu, EntriesThatCannotRunDoNothing) {
    // No folder, no log: nothing to run on, nothing to copy or save.
    putOnClipboard("before");
    for (int entry : {PREVIEW, RESTORE, COPY, SAVE}) pick(entry);
    Sleep(300);
    EXPECT_FALSE(tool.boxShown("还原备份"));
    EXPECT_FALSE(tool.boxShown("保存日志"));
    EXPECT_TRUE(tool.log().empty());
    EXPECT_EQ(tool.text(C_STATUS), "空闲");
    EXPECT_EQ(clipboardText(), "before");

    for (int i = 0; i < 600; i++) writeFile(root + "\\f" + std::to_string(i) + ".yml", kGbk);
    tool.setText(C_EDIT_ROOT, root);
    tool.setText(C_EDIT_EXT, "yml");
    tool.click(C_BUTTON_START);
    bool running = false;
    for (int i = 0; i < 2000 && !running; i++) {
        running = tool.text(C_STATUS).rfind("转换 已完成:", 0) == 0;
        if (!running) Sleep(5);
    }
    if (running) {
        // The job waits while the menu is open, and goes on after.
        for (int entry : {PREVIEW, RESTORE, SAVE}) pick(entry);
        EXPECT_FALSE(tool.boxShown("保存日志"));
        pick(COPY);
        EXPECT_NE(clipboardChanged("before"), "before") << "the log can be copied while it grows";
    }
    EXPECT_EQ(tool.answerBox("转换完成", 120000), kDone);
    if (!running) GTEST_SKIP() << "the job ended before the menu could be opened";
    std::vector<std::string> log = tool.log();
    EXPECT_EQ(std::count(log.begin(), log.end(), std::string("搜索带转码文件...")), 1) << "no second job";
    EXPECT_EQ(tool.text(C_STATUS), "转换完成 已转换:600 共计:600");
}

TEST_F(LogMenu, PreviewWritesNothingAndNamesWhatAJobConverts) {
    writeFile(root + "\\a.yml", kGbk);
    writeFile(root + "\\b.yml", kUtf8);
    writeFile(root + "\\c.yml", "");
    const std::vector<std::string> before = namesIn(root);
    tool.setText(C_EDIT_ROOT, root);
    tool.setText(C_EDIT_EXT, "yml");
    pick(PREVIEW, true);  // opened by the menu key
    EXPECT_EQ(waitForStatus("预览完成"), "预览完成 将转换:1 共计:3");
    std::vector<std::string> log = tool.log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "将转码:" + root + "\\a.yml"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "跳过文件 无需转码:" + root + "\\b.yml"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "跳过文件 无需转码:" + root + "\\c.yml"), 1);
    EXPECT_EQ(log.back(), "搜索带转码文件...");
    EXPECT_EQ(tool.progressPos(), 3);
    EXPECT_EQ(tool.progressMax(), 3);
    EXPECT_EQ(namesIn(root), before) << "no backup, no temporary file";
    EXPECT_EQ(readFile(root + "\\a.yml"), kGbk);
    EXPECT_EQ(readFile(root + "\\b.yml"), kUtf8);
    EXPECT_FALSE(tool.boxShown("转换完成"));
    EXPECT_TRUE(tool.enabled(C_BUTTON_START));
}

TEST_F(LogMenu, RestoreAsksWithTheCountAndGivesBackEveryByte) {
    const std::string ascii = "port=25565\n", big = std::string(70000, 'x') + "名称\r\n";
    CreateDirectoryA((root + "\\sub").c_str(), nullptr);
    writeFile(root + "\\a.yml", kGbk);
    writeFile(root + "\\sub\\b.yml", big);
    writeFile(root + "\\c.yml", kUtf8);
    writeFile(root + "\\d.yml", ascii);
    job("yml");
    ASSERT_EQ(readFile(root + "\\a.yml"), kUtf8);
    // d.yml is ASCII: rewritten with the same bytes, and backed up; its
    // backup is found, and it has nothing to get back.
    const std::string prompt = "找到 3 个备份文件 (.bak)。\n仍是本工具转码结果的文件将还原为备份的内容, "
                               "之后改动过的文件保持不变, 备份保留。\n是否还原?";

    pick(RESTORE);
    EXPECT_EQ(tool.answerBoxWith("还原备份", IDNO), prompt);
    EXPECT_EQ(waitForStatus("还原已取消"), "还原已取消");
    EXPECT_EQ(readFile(root + "\\a.yml"), kUtf8) << "a no changes nothing";

    pick(RESTORE);
    EXPECT_EQ(tool.answerBoxWith("还原备份", IDYES), prompt);
    EXPECT_EQ(waitForStatus("还原完成"), "还原完成 已还原:2 共计:4");
    EXPECT_EQ(readFile(root + "\\a.yml"), kGbk);
    EXPECT_EQ(readFile(root + "\\sub\\b.yml"), big);
    EXPECT_EQ(readFile(root + "\\c.yml"), kUtf8);
    EXPECT_EQ(readFile(root + "\\d.yml"), ascii);
    EXPECT_EQ(readFile(root + "\\a.yml.bak"), kGbk) << "the backup stays";
    std::vector<std::string> log = tool.log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "已还原:" + root + "\\sub\\b.yml"), 1);
    EXPECT_EQ(tool.progressPos(), 4);
}

TEST_F(LogMenu, CopyAndSaveGiveTheLogOldestLineFirst) {
    writeFile(root + "\\配置.yml", kGbk);
    job("yml");
    const std::string log = logText();
    putOnClipboard("before");
    ASSERT_EQ(log.rfind("搜索带转码文件...\r\n", 0), 0u);

    pick(COPY);
    EXPECT_EQ(clipboardChanged("before"), log);

    const std::string saved = root + "\\saved log.txt";
    pick(SAVE);
    ASSERT_TRUE(tool.answerSaveDialog("保存日志", saved)) << "no save dialog";
    std::string bytes;
    for (int i = 0; i < 100 && (bytes = readFile(saved)) == "<missing>"; i++) Sleep(50);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + utf8Of(log));
    EXPECT_EQ(namesIn(root), (std::vector<std::string>{".", "..", "saved log.txt", "配置.yml", "配置.yml.bak"}));
}

}  // namespace
