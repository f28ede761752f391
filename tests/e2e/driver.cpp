#include "driver.h"
#include <string.h>

namespace e2e {

std::string programFolder() {
    char given[MAX_PATH] = {0};
    if (GetEnvironmentVariableA("VELL_PROGRAM_DIR", given, MAX_PATH) && given[0]) return given;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string p = self;
    return p.substr(0, p.rfind('\\'));
}

std::string programPath() { return programFolder() + "\\vellumor.exe"; }

std::string tempFolder(const char* tag) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string d = std::string(tmp) + "vell_e2e_" + tag + "_" + std::to_string(GetCurrentProcessId());
    removeTree(d);
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

void removeTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..") continue;
            std::string p = dir + "\\" + n;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(p);
            else DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    if (h == INVALID_HANDLE_VALUE) return;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &n, nullptr);
    CloseHandle(h);
}

std::string readFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string s;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) s.append(buf, n);
    CloseHandle(h);
    return s;
}

std::string utf8(const std::string& ansi) {
    std::wstring w(ansi.size() + 1, L'\0');
    w.resize((size_t)MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &w[0], (int)w.size()) - 1);
    std::string u(w.size() * 3 + 1, '\0');
    u.resize((size_t)WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &u[0], (int)u.size(), nullptr, nullptr) - 1);
    return u;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct FindCtx { DWORD pid; const char* title; HWND found; };

static BOOL CALLBACK findTop(HWND h, LPARAM lp) {
    FindCtx* c = (FindCtx*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != c->pid || !IsWindowVisible(h)) return TRUE;
    char t[256] = {0};
    GetWindowTextA(h, t, sizeof t);
    if (strcmp(t, c->title) == 0) {
        c->found = h;
        return FALSE;
    }
    return TRUE;
}

static HWND findWindowOf(DWORD pid, const char* title) {
    FindCtx c{pid, title, nullptr};
    EnumWindows(findTop, (LPARAM)&c);
    return c.found;
}

bool Tool::start(const std::string& args) {
    std::string cmd = "\"" + programPath() + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    for (int i = 0; i < 400 && !main; i++) {
        main = findWindowOf(pi.dwProcessId, "Vellumor");
        if (!main) Sleep(50);
    }
    if (main) WaitForInputIdle(pi.hProcess, 5000);
    return main != nullptr;
}

std::string Tool::text(int id) const {
    char buf[4096] = {0};
    DWORD_PTR r = 0;
    SendMessageTimeoutA(control(id), WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 5000, &r);
    return buf;
}

void Tool::setText(int id, const std::string& s) const {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(control(id), WM_SETTEXT, 0, (LPARAM)s.c_str(), SMTO_ABORTIFHUNG, 5000, &r);
}

void Tool::click(int id) const { PostMessageA(control(id), BM_CLICK, 0, 0); }

bool Tool::checked(int id) const {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    return r == BST_CHECKED;
}

std::vector<std::string> Tool::log() const {
    std::vector<std::string> lines;
    HWND lb = control(C_LOG);
    DWORD_PTR count = 0;
    SendMessageTimeoutA(lb, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    for (DWORD_PTR i = 0; i < count; i++) {
        // Across processes Wine hands list box texts over as UTF-16 whatever
        // the message's character set, so ask in UTF-16 and convert back.
        wchar_t wide[4096] = {0};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(lb, LB_GETTEXT, i, (LPARAM)wide, SMTO_ABORTIFHUNG, 5000, &r);
        char buf[8192] = {0};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
        lines.push_back(buf);
    }
    return lines;
}

int Tool::progressPos() const {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(control(C_PROGRESS), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    return (int)r;
}

int Tool::progressMax() const {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(control(C_PROGRESS), PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &r);
    return (int)r;
}

bool Tool::boxShown(const char* title) const { return findWindowOf(pi.dwProcessId, title) != nullptr; }

std::string Tool::answerBox(const char* title, int timeoutMs) const { return answerBoxWith(title, IDOK, timeoutMs); }

std::string Tool::answerBoxWith(const char* title, int button, int timeoutMs) const {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        HWND box = findWindowOf(pi.dwProcessId, title);
        if (box) {
            char text[4096] = {0};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            PostMessageA(box, WM_COMMAND, (WPARAM)button, 0);
            for (int i = 0; i < 100 && IsWindow(box); i++) Sleep(20);
            return text;
        }
        Sleep(50);
    }
    return "<no box>";
}

// A visible window of the process of this class, or null.
static HWND windowOfClass(DWORD pid, const char* cls) {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, cls, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid && IsWindowVisible(h)) return h;
    }
    return nullptr;
}

static HWND waitForClass(DWORD pid, const char* cls, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (HWND h = windowOfClass(pid, cls)) return h;
        Sleep(20);
    }
    return nullptr;
}

HWND Tool::openLogMenu(bool byKey) const {
    // A menu closed a moment ago may not be hidden yet.
    for (int i = 0; i < 50 && windowOfClass(pi.dwProcessId, "#32768"); i++) Sleep(20);
    HWND lb = control(C_LOG);
    if (byKey) {
        PostMessageA(lb, WM_KEYDOWN, VK_APPS, 0x015D0001);
        PostMessageA(lb, WM_KEYUP, VK_APPS, 0xC15D0001);
    } else {
        PostMessageA(lb, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
        PostMessageA(lb, WM_RBUTTONUP, 0, MAKELPARAM(30, 30));
    }
    return waitForClass(pi.dwProcessId, "#32768", 5000);
}

static void key(HWND h, UINT vk) {
    PostMessageA(h, WM_KEYDOWN, vk, 1);
    PostMessageA(h, WM_KEYUP, vk, 0xC0000001);
}

void Tool::pickMenuEntry(HWND menu, int steps) const {
    for (int i = 0; i < steps; i++) key(menu, VK_DOWN);
    key(menu, VK_RETURN);
    for (int i = 0; i < 25 && IsWindowVisible(menu); i++) Sleep(20);
}

void Tool::closeMenu(HWND menu) const {
    key(menu, VK_ESCAPE);
    for (int i = 0; i < 100 && IsWindowVisible(menu); i++) Sleep(20);
}

bool Tool::answerSaveDialog(const char* title, const std::string& path, int timeoutMs) const {
    HWND dialog = nullptr;
    for (int waited = 0; waited < timeoutMs && !dialog; waited += 50) {
        dialog = findWindowOf(pi.dwProcessId, title);
        if (!dialog) Sleep(50);
    }
    if (!dialog) return false;
    // The file name box: a combo box in the newer dialog, an edit box in the older.
    HWND name = GetDlgItem(dialog, 0x47C);
    if (!name) name = GetDlgItem(dialog, 0x480);
    if (!name) return false;
    DWORD_PTR r = 0;
    SendMessageTimeoutA(name, WM_SETTEXT, 0, (LPARAM)path.c_str(), SMTO_ABORTIFHUNG, 5000, &r);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 250 && IsWindow(dialog); i++) Sleep(20);
    return !IsWindow(dialog);
}

void Tool::pressEsc() const {
    HWND focus = control(C_EDIT_ROOT);
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

DWORD Tool::waitExit(int timeoutMs) {
    if (WaitForSingleObject(pi.hProcess, (DWORD)timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

void Tool::kill() {
    // Gone before the next start looks for a window by its caption.
    if (pi.hProcess && WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, 10000);
    }
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    pi = PROCESS_INFORMATION{};
    main = nullptr;
}

static HANDLE inheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
}

Running::Running(const std::string& args) { start("\"" + programPath() + "\" " + args); }

void Running::start(std::string cmd) {
    dir = tempFolder(("output" + std::to_string(GetTickCount())).c_str());
    HANDLE out = inheritableFile(dir + "\\out"), err = inheritableFile(dir + "\\err");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) pi = {};
    CloseHandle(out);
    CloseHandle(err);
}

std::string Running::out() const { return readFile(dir + "\\out"); }

Finished Running::finish(int timeoutMs) {
    Finished f;
    if (pi.hProcess) {
        if (WaitForSingleObject(pi.hProcess, (DWORD)timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &f.code);
        else TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
    }
    f.out = readFile(dir + "\\out");
    f.err = readFile(dir + "\\err");
    removeTree(dir);
    return f;
}

Finished runToEnd(const std::string& args, int timeoutMs) { return Running(args).finish(timeoutMs); }

Finished runCommandToEnd(std::string commandLine, int timeoutMs) {
    Running run;
    run.start(commandLine);
    return run.finish(timeoutMs);
}

}  // namespace e2e
