// Directory enumeration for the module (utilities 0 and 1): the platform's
// find handle lives in a 32-bit variable of the caller, 0 when none is open.
#include "runtime/rt.h"
#include <string.h>

static HANDLE handleOf(uint32_t word) {
    return (word == 0 || word == (uint32_t)(uintptr_t)INVALID_HANDLE_VALUE)
               ? INVALID_HANDLE_VALUE : (HANDLE)(uintptr_t)word;
}

// Searches started with a no-extension pattern, remembered so that
// find-next applies the same rule. Few are open at once (one per directory
// level at most); if the list is full the rule is dropped for that search.
static uint32_t s_noExtension[64];

static bool takeNoExtension(uint32_t handle, bool remove) {
    if (handle == 0) return false;
    for (uint32_t& h : s_noExtension) {
        if (h == handle) {
            if (remove) h = 0;
            return true;
        }
    }
    return false;
}

static void rememberNoExtension(uint32_t handle) {
    for (uint32_t& h : s_noExtension) {
        if (h == 0) {
            h = handle;
            return;
        }
    }
}

static void closeSearch(HANDLE h) {
    takeNoExtension((uint32_t)(uintptr_t)h, true);
    FindClose(h);
}

void rt_CloseFind(uint32_t handle) {
    HANDLE h = handleOf(handle);
    if (h != INVALID_HANDLE_VALUE) closeSearch(h);
}

// A pattern whose last part ends in a dot and has no other dot ("*.")
// asks for names without an extension. Windows matches it so; Wine's
// matcher drops the trailing dot and matches every name, so the rule is
// applied here as well.
static bool wantsNoExtension(const char* pattern) {
    const char* tail = pattern;
    for (const char* p = pattern; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':') tail = p + 1;
    size_t n = strlen(tail);
    if (n < 2 || tail[n - 1] != '.') return false;
    for (size_t i = 0; i + 1 < n; i++)
        if (tail[i] == '.') return false;
    return true;
}

// A last part ending in a space or a dot (other than the no-extension
// form) names nothing: no file name ends so. The platform would trim the
// pattern ("*. " and "*.." become "*") and match every name.
static bool matchesNothing(const char* pattern) {
    size_t n = strlen(pattern);
    if (n == 0 || (pattern[n - 1] != ' ' && pattern[n - 1] != '.')) return false;
    return !wantsNoExtension(pattern);
}

// Why the last search start found nothing: 0 when it started, or when the
// folder simply holds no matching entry; the platform's error otherwise
// (no such folder, access denied, a path too long or a bad name).
static DWORD s_lastStartError;

uint32_t rt_LastFindError(void) { return s_lastStartError; }

static void noteStartError(DWORD error) {
    s_lastStartError = (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) ? 0 : error;
}

static bool nameFits(const char* name, bool noExtension) {
    if (!noExtension || !strcmp(name, ".") || !strcmp(name, "..")) return true;
    return strchr(name, '.') == nullptr;
}

static bool accepted(DWORD attributes, uint32_t mask) {
    if (mask == 0) return attributes == 0;
    if (mask == 0xFFFFFFFFu) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return (attributes & mask) != 0;
}

char* rt_FindFile(const char* pattern, uint32_t mask, uint32_t filesOnly, uint32_t* handle) {
    if (!handle) return nullptr;
    const uint32_t effective = filesOnly ? 0xFFFFFFFFu : (mask & 0x37u);
    WIN32_FIND_DATAA entry;
    HANDLE h;
    bool have;
    bool noExtension;
    if (!pattern || !*pattern) {
        h = handleOf(*handle);
        if (h == INVALID_HANDLE_VALUE) {
            *handle = 0;
            return nullptr;
        }
        noExtension = takeNoExtension(*handle, false);
        have = FindNextFileA(h, &entry) != 0;
    } else {
        rt_CloseFind(*handle);
        *handle = 0;
        s_lastStartError = 0;
        if (matchesNothing(pattern)) return nullptr;
        h = FindFirstFileA(pattern, &entry);
        if (h == INVALID_HANDLE_VALUE) {
            noteStartError(GetLastError());
            return nullptr;
        }
        *handle = (uint32_t)(uintptr_t)h;
        takeNoExtension(*handle, true);
        noExtension = wantsNoExtension(pattern);
        if (noExtension) rememberNoExtension(*handle);
        have = true;
    }
    while (have) {
        // An empty name could not be told from the end of the search.
        if (entry.cFileName[0] && accepted(entry.dwFileAttributes, effective) &&
            nameFits(entry.cFileName, noExtension))
            return rt_DupText(entry.cFileName);
        have = FindNextFileA(h, &entry) != 0;
    }
    closeSearch(h);
    *handle = 0;
    return nullptr;
}
