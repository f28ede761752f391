// What the command line hands the program: its arguments, folders named
// relative to where it was started, and the batch run, in which the
// program works unseen and speaks through standard output and error.
#include "runtime/rt.h"
#include <shellapi.h>
#include <string.h>

// A name the system code page cannot hold keeps a '?' rather than a
// look-alike, so it can never name another existing file.
static char* ansiText(const wchar_t* w) {
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return nullptr;
    char* s = (char*)rt_Allocate(n);
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, -1, s, n, nullptr, nullptr);
    return s;
}

void* rt_ProgramArguments(void) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    int32_t n = argv && argc > 1 ? argc - 1 : 0;
    uint32_t* array = (uint32_t*)rt_Allocate(8 + 4 * n);
    array[0] = 1;
    array[1] = (uint32_t)n;
    for (int32_t i = 0; i < n; i++) array[2 + i] = (uint32_t)(uintptr_t)ansiText(argv[i + 1]);
    LocalFree(argv);
    return array;
}

static bool isLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

// A GBK trail byte can be 0x5C, so the last byte is a backslash only when
// a character starts there.
static bool endsWithBackslash(const char* p, size_t len) {
    if (len == 0) return false;
    size_t i = 0, last = 0;
    while (i < len) {
        last = i;
        i += (isLeadByte((unsigned char)p[i]) && i + 1 < len) ? 2 : 1;
    }
    return last == len - 1 && p[last] == '\\';
}

static bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void rt_FolderResultPath(char* path) {
    size_t len = strlen(path);
    if (len == 2 && isDriveLetter(path[0]) && path[1] == ':') {
        path[2] = '\\';
        path[3] = 0;
        return;
    }
    while (len > 1 && endsWithBackslash(path, len)) {
        if (len == 3 && isDriveLetter(path[0]) && path[1] == ':') return;
        path[--len] = 0;
    }
}

char* rt_FolderPath(const char* given) {
    if (!given || !*given) return nullptr;
    // Start-up has made the program's folder current since.
    char current[MAX_PATH + 1] = {0};
    GetCurrentDirectoryA(sizeof current, current);
    if (g_rt.startDirectory[0]) SetCurrentDirectoryA(g_rt.startDirectory);
    DWORD need = GetFullPathNameA(given, 0, nullptr, nullptr);
    char* path = nullptr;
    if (need > 0) {
        // One byte more for the picker's form of a drive ("C:" -> "C:\").
        path = (char*)rt_Allocate((int32_t)need + 1);
        GetFullPathNameA(given, need, path, nullptr);
        rt_FolderResultPath(path);
    } else {
        // Too long for the platform to resolve: kept as given, so that the
        // root check names it instead of calling it empty.
        path = (char*)rt_Allocate((int32_t)lstrlenA(given) + 1);
        lstrcpyA(path, given);
    }
    if (current[0]) SetCurrentDirectoryA(current);
    return path;
}

void rt_EnterBatchMode(void) { g_rt.batchMode = true; }

// The handle a line for LINE_TO_OUTPUT or LINE_TO_ERROR goes to: the inherited one when the
// output is redirected, else the console of the program that started this
// one (a GUI program gets none of its own); null when there is neither.
static HANDLE standardHandle(int32_t stream) {
    static HANDLE console;
    static bool attached;
    HANDLE h = GetStdHandle(stream == LINE_TO_ERROR ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN) return h;
    if (!attached) {
        attached = true;
        if (AttachConsole(ATTACH_PARENT_PROCESS))
            console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (console == INVALID_HANDLE_VALUE) console = nullptr;
    }
    return console;
}

void rt_WriteLine(int32_t stream, const char* text) {
    HANDLE h = standardHandle(stream);
    if (!h) return;
    if (!text) text = "";
    int wn = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    wchar_t* wide = (wchar_t*)rt_AllocateQuiet(wn * 2);
    if (!wide) return;
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, wn);
    wide[wn - 1] = L'\n';  // in place of the terminator: one write per line
    DWORD written = 0, mode = 0;
    if (GetConsoleMode(h, &mode)) {
        // A console shows UTF-16 whatever its code page.
        WriteConsoleW(h, wide, (DWORD)wn, &written, nullptr);
    } else {
        int n = WideCharToMultiByte(CP_UTF8, 0, wide, wn, nullptr, 0, nullptr, nullptr);
        char* utf8 = (char*)rt_AllocateQuiet(n);
        if (utf8) {
            WideCharToMultiByte(CP_UTF8, 0, wide, wn, utf8, n, nullptr, nullptr);
            WriteFile(h, utf8, (DWORD)n, &written, nullptr);
            rt_Free(utf8);
        }
    }
    rt_Free(wide);
}
