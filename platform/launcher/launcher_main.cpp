// vellumor.com: the name the shells take before vellumor.exe, so that
// "vellumor --batch D:\MyServer" typed in cmd, PowerShell or a .bat file
// behaves as a console program: it starts vellumor.exe beside it with the
// same arguments, the job's lines show as they are written, and the shell
// waits and gets the job's exit code. With no arguments the window opens
// and the prompt returns at once, as for the program itself.
#include <windows.h>

namespace {

enum : DWORD { EXIT_NOT_STARTED = 2, PATH_ROOM = 32768 };

const wchar_t kProgram[] = L"vellumor.exe";

void say(const wchar_t* text) {
    HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0, mode = 0;
    int n = lstrlenW(text);
    if (GetConsoleMode(h, &mode)) {
        WriteConsoleW(h, text, (DWORD)n, &written, nullptr);
        return;
    }
    // Redirected: UTF-8, as the program's own lines.
    char bytes[1024];
    int len = WideCharToMultiByte(CP_UTF8, 0, text, n, bytes, sizeof bytes, nullptr, nullptr);
    WriteFile(h, bytes, (DWORD)len, &written, nullptr);
}

// What follows the launcher's own name on its command line, as typed: the
// program gets the very same text, so quoting survives untouched.
const wchar_t* argumentsOf(const wchar_t* line) {
    if (*line == L'"') {
        for (line++; *line && *line != L'"'; line++) {}
        if (*line) line++;
    } else {
        while (*line && *line != L' ' && *line != L'\t') line++;
    }
    return line;
}

bool onlySpaces(const wchar_t* s) {
    for (; *s; s++)
        if (*s != L' ' && *s != L'\t') return false;
    return true;
}

// A handle the program may inherit. A console is left out: the program
// finds the console through its parent, this launcher, and writes UTF-16
// to it; a file or pipe is handed on.
HANDLE handOn(DWORD which) {
    HANDLE h = GetStdHandle(which), copy = nullptr;
    DWORD mode = 0;
    if (!h || h == INVALID_HANDLE_VALUE || GetConsoleMode(h, &mode)) return nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

// The program ends with the launcher (Ctrl+C, a closed window): a job left
// running would write into a prompt that has moved on. Where the launcher
// already runs in a job that allows none inside it, the program runs as is.
void endWithLauncher(HANDLE process) {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !AssignProcessToJobObject(job, process))
        CloseHandle(job);
    // Otherwise the handle stays open until the launcher ends.
}

}  // namespace

int main() {
    static wchar_t path[PATH_ROOM];
    DWORD n = GetModuleFileNameW(nullptr, path, PATH_ROOM);
    if (n == 0 || n >= PATH_ROOM) {
        say(L"无法确定 vellumor.com 所在的目录\n");
        return EXIT_NOT_STARTED;
    }
    DWORD slash = n;
    while (slash > 0 && path[slash - 1] != L'\\' && path[slash - 1] != L'/') slash--;
    if (slash + ARRAYSIZE(kProgram) > PATH_ROOM) {
        say(L"路径过长\n");
        return EXIT_NOT_STARTED;
    }
    lstrcpyW(path + slash, kProgram);

    const wchar_t* args = argumentsOf(GetCommandLineW());
    bool window = onlySpaces(args);
    int room = 2 + lstrlenW(path) + lstrlenW(args) + 1;
    wchar_t* line = (wchar_t*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)room * sizeof(wchar_t));
    if (!line) return EXIT_NOT_STARTED;
    lstrcpyW(line, L"\"");
    lstrcatW(line, path);
    lstrcatW(line, L"\"");
    lstrcatW(line, args);

    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (!window) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = handOn(STD_OUTPUT_HANDLE);
        si.hStdError = handOn(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(path, line, nullptr, nullptr, !window, window ? 0 : CREATE_SUSPENDED, nullptr, nullptr,
                        &si, &pi)) {
        say(L"无法启动 ");
        say(path);
        say(L"\n");
        return EXIT_NOT_STARTED;
    }
    DWORD code = 0;
    if (!window) {
        endWithLauncher(pi.hProcess);
        ResumeThread(pi.hThread);
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &code);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (int)code;
}
