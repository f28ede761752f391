// File commands of the first library: ReadFileBytes, CopyFileTo and
// FileLength. Paths are ANSI texts handed to the Windows file functions
// unchanged.
#include <stdlib.h>
#include <string.h>
#include <string>
#include <unordered_map>
#include "commands/library.h"
#include "commands/value_args.h"
#include "platform/files/new_name.h"
#include "runtime/rt.h"

namespace {

// Opened as ReadFileBytes opens it, so FileLength answers for exactly the
// files ReadFileBytes can read: readers may share, writers may not.
HANDLE openForReading(const char* path) {
    if (!path || !*path) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A large file is read or written in pieces of this size; where the caller
// allows, pending events run between them, so the window answers.
const int32_t kIoPiece = 16 << 20;

// Between two pieces of `total` bytes, when events may run.
void betweenPieces(bool events, int32_t total) {
    if (events && total > kIoPiece) lib_Notify(NOTE_PUMP);
}

// The bytes of the file open as `h`, when it holds no more than `limit`.
uint8_t* readAllFrom(HANDLE h, int64_t limit, bool events) {
    uint8_t* block = nullptr;
    LARGE_INTEGER size;
    // A byte set's length is a 32-bit count; a larger file cannot be one.
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart <= limit && size.QuadPart <= 0x7FFFFFF0 - 8) {
        const int32_t want = (int32_t)size.QuadPart;
        // Quiet allocation: a file too big for memory is a failed read, not
        // the end of the program.
        block = (uint8_t*)(uintptr_t)lib_Notify(NOTE_ALLOCATE, (uint32_t)(8 + want), 1);
        if (block) {
            int32_t got = 0;
            bool failed = false;
            while (got < want) {
                DWORD n = 0;
                DWORD piece = (DWORD)(want - got < kIoPiece ? want - got : kIoPiece);
                if (!ReadFile(h, block + 8 + got, piece, &n, nullptr)) {
                    failed = true;
                    break;
                }
                if (n == 0) break;  // the file became shorter
                got += (int32_t)n;
                if (got < want) betweenPieces(events, want);
            }
            if (failed || got == 0) {
                lib_Free(block);
                block = nullptr;
            } else {
                ((int32_t*)block)[0] = 1;
                ((int32_t*)block)[1] = got;
            }
        }
    }
    return block;
}

uint8_t* readAll(const char* path) {
    HANDLE h = openForReading(path);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    uint8_t* block = readAllFrom(h, 0x7FFFFFFF, false);
    CloseHandle(h);
    return block;
}

// Attributes a file may be given; the rest describe what it is.
const DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::wstring wide(const char* s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::wstring w(n > 0 ? (size_t)n : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s, -1, &w[0], n);
    w.resize(wcslen(w.c_str()));
    return w;
}

// The final paths of the folders asked about on this thread: a job visits
// every folder once per extension item and phase, and opening the folder
// again each time costs lookups. A remembered path is only trusted to say
// "no link": when the file's own final path disagrees, the folder is asked
// again.
thread_local std::unordered_map<std::wstring, std::wstring> s_folders;
// Bounded, but above the folders of a large server tree: each of the nine
// passes of a job walks every folder in turn, so a table smaller than the
// tree's folders keeps none of them from one pass to the next (5,000
// folders at 100,000 files: a folder open for every second file).
const size_t kFoldersKept = 1 << 16;

const std::wstring* learnFolder(const std::wstring& folder) {
    s_folders.erase(folder);
    std::wstring final = FinalPathAt(folder);
    if (final.empty()) return nullptr;
    if (final.back() != L'\\') final += L'\\';
    if (s_folders.size() >= kFoldersKept) s_folders.clear();
    return &(s_folders[folder] = final);
}

// Whether the file open as `h` is reached by `path` through a link in its
// last step. Windows marks links themselves as reparse points; Wine shows a
// Unix link to a file as the file, but names the file it reached by its
// own path: the path the file ends at differs from its folder's + its name.
bool reachedThroughLink(const std::wstring& path, HANDLE h) {
    size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return false;
    std::wstring folder = path.substr(0, cut + 1);
    std::wstring reached = FinalPath(h);
    auto differs = [&](const std::wstring* folderFinal) {
        std::wstring expected = *folderFinal + path.substr(cut + 1);
        return CompareStringOrdinal(expected.c_str(), (int)expected.size(), reached.c_str(), (int)reached.size(),
                                    TRUE) != CSTR_EQUAL;
    };
    auto known = s_folders.find(folder);
    if (known != s_folders.end() && !differs(&known->second)) return false;
    // Not known yet, or the folder may have changed since: ask it again.
    const std::wstring* fresh = learnFolder(folder);
    return !fresh || differs(fresh);
}

// The file's index on its volume. The platform's whole-file information
// also asks for the volume's serial number, which Wine answers through its
// mount manager process: the costliest part of a look at a file.
struct IoStatus {
    void* status;
    ULONG_PTR information;
};
typedef LONG(WINAPI* QueryInformationFileFn)(HANDLE, IoStatus*, void*, ULONG, int);
bool fileIndex(HANDLE h, LARGE_INTEGER* index) {
    static QueryInformationFileFn query =
        (QueryInformationFileFn)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile");
    const int kFileInternalInformation = 6;
    IoStatus io;
    return query && query(h, &io, index, sizeof *index, kFileInternalInformation) >= 0;
}

// The stamp of the file open as `h`, reached by `w` (see stampOf).
std::string stampOfOpen(const std::wstring& w, HANDLE h) {
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    LARGE_INTEGER index;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof standard) || !fileIndex(h, &index))
        return "X";
    if (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return "L";
    char buffer[96];
    const ULARGE_INTEGER size = {{(DWORD)standard.EndOfFile.LowPart, (DWORD)standard.EndOfFile.HighPart}};
    wsprintfA(buffer, " %lu %lu %08lX%08lX %08lX%08lX", size.HighPart, size.LowPart,
              (DWORD)basic.LastWriteTime.HighPart, basic.LastWriteTime.LowPart, (DWORD)index.HighPart,
              index.LowPart);
    const char* kind = standard.Directory              ? "D"
                       : reachedThroughLink(w, h)        ? "L"
                       : basic.FileAttributes & FILE_ATTRIBUTE_READONLY ? "R"
                                                         : "F";
    return std::string(kind) + buffer;
}

// The stamp the path's attributes alone give (empty: none, "?": open it).
std::string stampByAttributes(const char* path) {
    if (!path || !*path) return std::string();
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::string();
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "L";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "D";
    return "?";
}

// What `path` is now, as a text that changes whenever the file does: a
// kind letter (F a plain file, L a link, D a folder, X anything else, such
// as a device name, R a read-only plain file, which is never replaced),
// then size, last write time and index. Empty when
// nothing can be opened there.
std::string stampOf(const char* path) {
    std::string byAttributes = stampByAttributes(path);
    if (byAttributes != "?") return byAttributes;
    std::wstring w = wide(path);
    HANDLE h = CreateFileW(w.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string stamp = stampOfOpen(w, h);
    CloseHandle(h);
    return stamp;
}

// Whether another program holds `path` open in a way that forbids
// replacing it. Share modes are enforced at open, under Wine as on Windows,
// so asking for delete access while sharing everything tells. `stamp`, if
// given, receives what stands there, from the same open; empty when there
// is nothing.
bool heldAgainstReplace(const char* path, std::string* stamp) {
    std::wstring w = wide(path);
    HANDLE h = CreateFileW(w.c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE |
                           FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_FILE_NOT_FOUND;
    if (stamp) *stamp = stampOfOpen(w, h);
    CloseHandle(h);
    return false;
}

// `expected`: the stamp the target must still have, or null for any plain
// file or none at all.
bool replaceFile(const char* target, const char* replacement, const char* expected, int64_t length) {
    // The replacement's size from its attributes: no open, which costs
    // lookups under Wine.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (length >= 0 && (!GetFileAttributesExA(replacement, GetFileExInfoStandard, &data) ||
                        ((int64_t)data.nFileSizeHigh << 32 | data.nFileSizeLow) != length))
        return false;
    // Most often nothing stands there yet (a first backup): a rename to a
    // new name is then the one lookup, by the name that costs no scan.
    const std::wstring from = wide(replacement);
    auto toNewName = [&] {
        return MoveFileExW(from.c_str(), NewFileName(wide(target)).c_str(), MOVEFILE_WRITE_THROUGH);
    };
    if (!expected || !*expected) {
        if (toNewName()) return true;
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED)
            return false;
    }
    // With a stamp to keep, the last look below is the one that counts: a
    // plain file's stamp cannot match anything else.
    std::string now = expected && *expected ? std::string(expected) : stampOf(target);
    if (now.empty()) {
        // Nothing there, or nothing that can be opened: only a new name.
        if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES || GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
        return toNewName() != FALSE;
    }
    // With a stamp, the open that asks whether the target is held also
    // takes the last look: a writer that appended since the stamp was taken
    // must not lose its lines to the rename.
    std::string last;
    if (now[0] != 'F' || heldAgainstReplace(target, expected && *expected ? &last : nullptr)) return false;
    if (expected && *expected && last != expected) return false;
    DWORD attributes = GetFileAttributesA(target);
    DWORD own = GetFileAttributesA(replacement);
    if (attributes == INVALID_FILE_ATTRIBUTES || own == INVALID_FILE_ATTRIBUTES) return false;
    // Read-only waits for the rename: it would keep the replacement from
    // being removed if the rename fails.
    DWORD wanted = attributes & kSettableAttributes & ~(DWORD)FILE_ATTRIBUTE_READONLY;
    if (!wanted) wanted = FILE_ATTRIBUTE_NORMAL;
    // Most often they already agree (both archive only): setting them costs
    // an open of the file.
    if ((own & kSettableAttributes) != (wanted & kSettableAttributes) && !SetFileAttributesA(replacement, wanted))
        return false;
    if (!MoveFileExA(replacement, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        SetFileAttributesA(replacement, own);
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(target, attributes & kSettableAttributes);
    return true;
}

// The last write time a stamp records (its third field), false when it
// records none.
bool stampTime(const char* stamp, FILETIME* time) {
    const char* p = stamp;
    for (int field = 0; field < 3 && p; field++) p = strchr(p + 1, ' ');
    if (!p || strlen(p + 1) < 16) return false;
    char hex[17];
    memcpy(hex, p + 1, 16);
    hex[16] = 0;
    char* end = nullptr;
    unsigned long long t = strtoull(hex, &end, 16);
    if (end != hex + 16) return false;
    time->dwHighDateTime = (DWORD)(t >> 32);
    time->dwLowDateTime = (DWORD)t;
    return true;
}

// A new file holding exactly `block`'s bytes; on any failure nothing of it
// is left.
bool writeNew(const char* path, const uint8_t* block, const char* stamp) {
    HANDLE h = CreateNewFile(wide(path));
    if (h == INVALID_HANDLE_VALUE) return false;
    const uint8_t* bytes = block ? block + 8 : nullptr;
    int32_t left = block ? ((const int32_t*)block)[1] : 0;
    bool ok = true;
    const int32_t total = left;
    while (ok && left > 0) {
        DWORD n = 0;
        ok = WriteFile(h, bytes, (DWORD)(left < kIoPiece ? left : kIoPiece), &n, nullptr) && n > 0;
        bytes += n;
        left -= (int32_t)n;
        if (ok && left > 0) betweenPieces(true, total);
    }
    FILETIME time;
    if (ok && stamp && stampTime(stamp, &time)) ok = SetFileTime(h, nullptr, nullptr, &time) != FALSE;
    ok = CloseHandle(h) && ok;
    if (!ok) DeleteFileA(path);
    return ok;
}

}  // namespace

extern "C" void cmd_ReadFileBytes(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetBytes(result, readAll(arg_Text(lib_Arg(count, args, 0))));
}

// A third argument, when true, makes a copy only to a new name: it never
// writes through whatever already stands at the target.
extern "C" void cmd_CopyFileTo(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* source = arg_Text(lib_Arg(count, args, 0));
    const char* target = arg_Text(lib_Arg(count, args, 1));
    const ArgRecord* flag = lib_Arg(count, args, 2);
    BOOL onlyNew = flag && flag->low != 0;
    bool ok = source && *source && target && *target && CopyFileA(source, target, onlyNew);
    lib_SetBool(result, ok);
}

// The length in bytes, or -1 when the file cannot be opened for reading;
// lengths beyond 32 bits read as the largest integer.
extern "C" void cmd_FileLength(ArgRecord* result, int32_t count, ArgRecord* args) {
    HANDLE h = openForReading(arg_Text(lib_Arg(count, args, 0)));
    int32_t length = -1;
    if (h != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER size;
        if (GetFileSizeEx(h, &size))
            length = size.QuadPart > 0x7FFFFFFF ? 0x7FFFFFFF : (int32_t)size.QuadPart;
        CloseHandle(h);
    }
    lib_SetInt(result, length);
}

// Puts `replacement` in the place of `target` in one step: a rename over
// it, which the file system does whole or not at all. The platform's own
// replace is not used: under Wine it moves a folder or a link aside and
// deletes what it moved, and it drops attributes. Only a plain file, or no
// file at all, is replaced: a folder, a link or a device in the target's
// place, a target held open against deletion by another program, or one
// whose stamp is no longer the one given, refuses it with nothing moved.
// The replacement takes the target's attributes before the rename, so the
// new file is never seen without them. A length, when given, is what the
// replacement must hold. On failure the target is as it was and the
// replacement stays where it was.
extern "C" void cmd_ReplaceFileWith(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* target = arg_Text(lib_Arg(count, args, 0));
    const char* replacement = arg_Text(lib_Arg(count, args, 1));
    const char* expected = count > 2 ? arg_Text(lib_Arg(count, args, 2)) : nullptr;
    const ArgRecord* length = lib_Arg(count, args, 3);
    int64_t bytes = length && length->type == TYPE_INT ? (int32_t)length->low : -1;
    lib_SetBool(result, target && *target && replacement && *replacement &&
                            replaceFile(target, replacement, expected, bytes));
}

// (path, byte set[, stamp]): the bytes in a new file only, never through
// what stands at the path; with a stamp, the file takes the last write time
// it records, as a copy would.
extern "C" void cmd_WriteFileBytes(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* path = arg_Text(lib_Arg(count, args, 0));
    const uint8_t* block = (const uint8_t*)arg_ByteSet(lib_Arg(count, args, 1));
    const char* stamp = count > 2 ? arg_Text(lib_Arg(count, args, 2)) : nullptr;
    lib_SetBool(result, path && *path && writeNew(path, block, stamp));
}

// (source, target): the source's bytes added at the target's end, through
// a buffer of a megabyte; neither is shared with a writer meanwhile.
extern "C" void cmd_AppendFileTo(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* source = arg_Text(lib_Arg(count, args, 0));
    const char* target = arg_Text(lib_Arg(count, args, 1));
    HANDLE from = openForReading(source);
    HANDLE to = target && *target ? CreateFileA(target, FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr)
                                  : INVALID_HANDLE_VALUE;
    const DWORD kBuffer = 1 << 20;
    uint8_t* buffer = from != INVALID_HANDLE_VALUE && to != INVALID_HANDLE_VALUE
                          ? (uint8_t*)HeapAlloc(GetProcessHeap(), 0, kBuffer)
                          : nullptr;
    bool ok = buffer != nullptr;
    for (DWORD n = 1; ok && n > 0;) {
        DWORD written = 0;
        ok = ReadFile(from, buffer, kBuffer, &n, nullptr) &&
             (n == 0 || (WriteFile(to, buffer, n, &written, nullptr) && written == n));
    }
    if (buffer) HeapFree(GetProcessHeap(), 0, buffer);
    if (from != INVALID_HANDLE_VALUE) CloseHandle(from);
    if (to != INVALID_HANDLE_VALUE) ok = CloseHandle(to) && ok;
    lib_SetBool(result, ok);
}

extern "C" void cmd_RemoveFile(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* path = arg_Text(lib_Arg(count, args, 0));
    lib_SetBool(result, path && *path && DeleteFileA(path));
}

// The platform error of the last failed search start (0: it started, or
// the folder holds no matching entry).
extern "C" void cmd_LastFindError(ArgRecord* result, int32_t, ArgRecord*) {
    lib_SetInt(result, (int32_t)rt_LastFindError());
}

// A folder's identity (volume and file index) as a text, empty when the
// platform gives none; a link back to an ancestor has the ancestor's.
extern "C" void cmd_FolderIdentity(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* path = arg_Text(lib_Arg(count, args, 0));
    char* text = nullptr;
    HANDLE h = path && *path ? CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                             : INVALID_HANDLE_VALUE;
    if (h != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(h, &info) && (info.nFileIndexHigh || info.nFileIndexLow)) {
            char buffer[32];
            wsprintfA(buffer, "%08lX%08lX%08lX", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                      info.nFileIndexLow);
            text = lib_DupText(buffer);
        }
        CloseHandle(h);
    }
    lib_SetText(result, text);
}

// (path, largest length, stamp variable): the file's stamp, as FileStamp
// gives it, into the variable, and its bytes when it is a plain file of at
// most that length that can be read; one open does both.
extern "C" void cmd_ReadFileStamped(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* path = arg_Text(lib_Arg(count, args, 0));
    const ArgRecord* limitArg = lib_Arg(count, args, 1);
    const ArgRecord* var = lib_Arg(count, args, 2);
    std::string stamp = stampByAttributes(path);
    uint8_t* bytes = nullptr;
    if (stamp == "?") {
        HANDLE h = openForReading(path);
        if (h != INVALID_HANDLE_VALUE) {
            stamp = stampOfOpen(wide(path), h);
            int64_t limit = limitArg && limitArg->type == TYPE_INT ? (int32_t)limitArg->low : 0x7FFFFFFF;
            if (stamp[0] == 'F' || stamp[0] == 'R') bytes = readAllFrom(h, limit, true);
            CloseHandle(h);
        } else {
            // Held by a writer, or no file to read: what stands there all the same.
            stamp = stampOf(path);
        }
    }
    if (var && var->type == (TYPE_TEXT | TYPE_BYADDR) && var->low) {
        char** text = (char**)(uintptr_t)var->low;
        lib_Free(*text);
        *text = stamp.empty() ? nullptr : lib_DupText(stamp.c_str());
    }
    lib_SetBytes(result, bytes);
}

extern "C" void cmd_FileStamp(ArgRecord* result, int32_t count, ArgRecord* args) {
    std::string stamp = stampOf(arg_Text(lib_Arg(count, args, 0)));
    lib_SetText(result, stamp.empty() ? nullptr : lib_DupText(stamp.c_str()));
}

namespace {

// The folders jobs run on, shared by every process of the session: a
// named table guarded by a named mutex. A row whose process has ended is
// free again, so a killed job holds nothing.
struct TreeClaim {
    DWORD process;
    FILETIME started;            // the process's start: an id may be reused
    WCHAR folder[MAX_PATH * 2];  // final path, with a trailing separator
};
struct TreeClaims {
    TreeClaim rows[64];
};
const wchar_t kClaimsName[] = L"Local\\VellumorTreeClaims";
const wchar_t kClaimsLock[] = L"Local\\VellumorTreeClaimsLock";

bool processStart(DWORD id, FILETIME* started) {
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!p) return false;
    FILETIME exited, kernel, user;
    DWORD code = 0;
    bool alive = GetProcessTimes(p, started, &exited, &kernel, &user) && GetExitCodeProcess(p, &code) &&
                 code == STILL_ACTIVE;
    CloseHandle(p);
    return alive;
}

bool rowLive(const TreeClaim& row) {
    FILETIME started;
    return row.process && processStart(row.process, &started) &&
           CompareFileTime(&started, &row.started) == 0;
}

// One folder holds the other (or they are the same).
bool nested(const WCHAR* a, const WCHAR* b) {
    size_t la = wcslen(a), lb = wcslen(b), shorter = la < lb ? la : lb;
    return CompareStringOrdinal(a, (int)shorter, b, (int)shorter, TRUE) == CSTR_EQUAL;
}

// Under the lock: claims `folder` for this process (empty: ends its claim).
bool claim(const std::wstring& folder) {
    HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TreeClaims),
                                    kClaimsName);
    if (!map) return folder.empty();
    // The mapping stays open for the process's life: the table lives while
    // one of its jobs does.
    static HANDLE kept = nullptr;
    if (!kept) kept = map;
    TreeClaims* t = (TreeClaims*)MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TreeClaims));
    if (map != kept) CloseHandle(map);
    if (!t) return folder.empty();
    const DWORD self = GetCurrentProcessId();
    FILETIME started;
    processStart(self, &started);
    TreeClaim* free = nullptr;
    bool ok = true;
    for (TreeClaim& row : t->rows) {
        if (row.process == self) row.process = 0;
        if (row.process && !rowLive(row)) row.process = 0;
        if (!row.process) {
            if (!free) free = &row;
        } else if (!folder.empty() && nested(row.folder, folder.c_str())) {
            ok = false;
        }
    }
    if (!folder.empty() && ok) {
        // A full table refuses rather than lets a job go unguarded.
        ok = free && folder.size() < sizeof free->folder / sizeof(WCHAR);
        if (ok) {
            free->process = self;
            free->started = started;
            wcscpy(free->folder, folder.c_str());
        }
    }
    UnmapViewOfFile(t);
    return ok;
}

}  // namespace

extern "C" void cmd_ClaimTree(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* path = arg_Text(lib_Arg(count, args, 0));
    const ArgRecord* want = lib_Arg(count, args, 1);
    std::wstring folder;
    if (!want || want->low) {
        folder = path && *path ? FinalPathAt(wide(path)) : std::wstring();
        if (folder.empty()) {
            lib_SetBool(result, false);
            return;
        }
        if (folder.back() != L'\\') folder += L'\\';
    }
    HANDLE lock = CreateMutexW(nullptr, FALSE, kClaimsLock);
    DWORD waited = lock ? WaitForSingleObject(lock, 10000) : WAIT_FAILED;
    // An owner that died holding it leaves the table whole: rows are
    // written in one copy.
    bool locked = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    bool ok = locked ? claim(folder) : folder.empty();
    if (locked) ReleaseMutex(lock);
    if (lock) CloseHandle(lock);
    lib_SetBool(result, ok);
}
