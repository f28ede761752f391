// Drives the real program from outside, as a user would: finds its window
// by the caption, its controls by control id, and its message boxes by
// title.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace e2e {

// Control ids in creation order.
enum : int {
    C_LABEL1 = 100, C_EDIT_ROOT = 110, C_BUTTON_CHOOSE = 120, C_LABEL2 = 130, C_EDIT_EXT = 140,
    C_CHECK_BACKUP = 150, C_LOG = 160, C_LABEL3 = 170, C_LABEL4 = 180, C_PROGRESS = 190,
    C_STATUS = 200, C_BUTTON_START = 210,
};

// The folder of vellumor.exe and vellumor.com: VELL_PROGRAM_DIR, else the
// test's own.
std::string programFolder();
std::string programPath();
std::string tempFolder(const char* tag);   // a fresh empty folder
void removeTree(const std::string& dir);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);  // "<missing>" when absent
bool exists(const std::string& path);
// The sources' literals are GBK, the tool's output is UTF-8.
std::string utf8(const std::string& ansi);

struct Tool {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;
    bool start(const std::string& args = "");  // starts and waits for the main window
    HWND control(int id) const { return GetDlgItem(main, id); }
    std::string text(int id) const;
    void setText(int id, const std::string& s) const;
    void click(int id) const;     // posted, so a long handler does not block us
    bool checked(int id) const;
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != 0; }
    std::vector<std::string> log() const;  // top line first
    int progressPos() const;
    int progressMax() const;
    // Waits for a message box of the tool with this title; returns its text
    // and presses its first button. "<no box>" after the timeout.
    std::string answerBox(const char* title, int timeoutMs = 60000) const;
    // The same with another button: IDYES, IDNO, IDCANCEL.
    std::string answerBoxWith(const char* title, int button, int timeoutMs = 60000) const;
    bool boxShown(const char* title) const;
    // The log's context menu, opened by a right click on the log or by the
    // menu key: the menu's window, or null when none opened.
    HWND openLogMenu(bool byKey = false) const;
    // Moves down `steps` entries (separators are passed over) and presses
    // Enter: an enabled entry closes the menu and runs, a greyed one leaves
    // it open.
    void pickMenuEntry(HWND menu, int steps) const;
    void closeMenu(HWND menu) const;
    // The save dialog of the tool titled so, answered with this path.
    bool answerSaveDialog(const char* title, const std::string& path, int timeoutMs = 20000) const;
    void pressEsc() const;
    DWORD waitExit(int timeoutMs = 20000);  // exit code, or STILL_ACTIVE
    void kill();
};

// Runs the tool with these arguments until it ends: its exit code and what
// it wrote to standard output and error.
struct Finished {
    DWORD code = STILL_ACTIVE;
    std::string out, err;
};
Finished runToEnd(const std::string& args, int timeoutMs = 120000);
// The same for any command line (cmd.exe and a .bat file, the launcher).
Finished runCommandToEnd(std::string commandLine, int timeoutMs = 120000);

// The same, started now and waited for later.
struct Running {
    PROCESS_INFORMATION pi{};
    std::string dir;
    explicit Running(const std::string& args);
    Running() = default;
    void start(std::string commandLine);
    std::string out() const;  // what it has written to standard output so far
    Finished finish(int timeoutMs = 120000);
};

}  // namespace e2e
