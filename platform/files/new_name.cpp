#include "platform/files/new_name.h"

namespace {

typedef char*(CDECL* UnixNameFn)(const WCHAR*);

// The folder's name in Wine's Unix namespace, empty where there is none or
// it cannot be told for certain: it must lead to the very folder `folder`
// does.
std::wstring unixFolder(const std::wstring& folder) {
    static UnixNameFn unixName =
        (UnixNameFn)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!unixName) return std::wstring();
    char* bytes = unixName(folder.c_str());
    if (!bytes) return std::wstring();
    // Wine's Unix names are UTF-8 in the locales it is run in here; a name
    // that is not is left to the ordinary lookup.
    int n = bytes[0] == '/' ? MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, -1, nullptr, 0) : 0;
    std::wstring name;
    if (n > 1) {
        std::wstring unix(n, L'\0');
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, -1, &unix[0], n);
        unix.resize(n - 1);
        // A backslash is a character of a Unix name, not a separator.
        if (unix.find(L'\\') == std::wstring::npos) {
            for (WCHAR& c : unix)
                if (c == L'/') c = L'\\';
            name = L"\\\\?\\unix" + unix;
            if (name.back() == L'\\') name.pop_back();  // the root
        }
    }
    HeapFree(GetProcessHeap(), 0, bytes);
    if (name.empty()) return name;
    // The Unix root opens only with its closing backslash.
    std::wstring reached = FinalPathAt(name == L"\\\\?\\unix" ? name + L"\\" : name);
    return !reached.empty() && reached == FinalPathAt(folder) ? name : std::wstring();
}

SRWLOCK s_lock = SRWLOCK_INIT;
// The last folder asked about: a job makes its new names folder by folder.
std::wstring s_folder, s_unixFolder;

// The full path of `path` when it names a file the same way in both
// namespaces: a plain name in a drive or network folder that the Win32
// rules leave as it is (no device name, no trailing dot or space, no
// character those rules refuse). Empty otherwise.
std::wstring plainFullPath(const std::wstring& path) {
    WCHAR buffer[1024];
    DWORD n = GetFullPathNameW(path.c_str(), 1024, buffer, nullptr);
    if (n == 0 || n >= 1024) return std::wstring();
    std::wstring full(buffer, n);
    size_t cut = full.find_last_of(L'\\');
    size_t given = path.find_last_of(L"\\/");
    const bool plain = cut != std::wstring::npos && cut + 1 < full.size() && given != std::wstring::npos &&
                       full.compare(0, 4, L"\\\\?\\") != 0 && full.compare(0, 4, L"\\\\.\\") != 0 &&
                       full.compare(cut + 1, std::wstring::npos, path, given + 1, std::wstring::npos) == 0;
    if (!plain) return std::wstring();
    for (size_t i = cut + 1; i < full.size(); i++)
        if (full[i] < 32 || wcschr(L"<>:\"/|?*", full[i])) return std::wstring();
    return full;
}

}  // namespace

std::wstring NewFileName(const std::wstring& path) {
    std::wstring full = plainFullPath(path);
    if (full.empty()) return path;
    size_t cut = full.find_last_of(L'\\');
    std::wstring folder = full.substr(0, cut);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // a drive's root, not its current folder
    AcquireSRWLockExclusive(&s_lock);
    if (folder != s_folder) {
        s_unixFolder = unixFolder(folder);
        s_folder = folder;
    }
    std::wstring name = s_unixFolder.empty() ? path : s_unixFolder + full.substr(cut);
    ReleaseSRWLockExclusive(&s_lock);
    return name;
}

std::wstring FinalPath(HANDLE h) {
    WCHAR buffer[1024];
    DWORD n = GetFinalPathNameByHandleW(h, buffer, 1024, FILE_NAME_NORMALIZED);
    return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

std::wstring FinalPathAt(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::wstring();
    std::wstring final = FinalPath(h);
    CloseHandle(h);
    return final;
}

HANDLE CreateNewFile(const std::wstring& path) {
    return CreateFileW(NewFileName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}
