// File commands of the first library: ReadFileBytes, CopyFileTo and
// FileLength. Paths are ANSI texts handed to the Windows file functions
// unchanged.
#include "commands/library.h"
#include "commands/value_args.h"
#include "runtime/rt.h"

namespace {

// Opened as ReadFileBytes opens it, so FileLength answers for exactly the
// files ReadFileBytes can read: readers may share, writers may not.
HANDLE openForReading(const char* path) {
    if (!path || !*path) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

uint8_t* readAll(const char* path) {
    HANDLE h = openForReading(path);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    uint8_t* block = nullptr;
    LARGE_INTEGER size;
    // A byte set's length is a 32-bit count; a larger file cannot be one.
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart <= 0x7FFFFFF0 - 8) {
        const int32_t want = (int32_t)size.QuadPart;
        // Quiet allocation: a file too big for memory is a failed read, not
        // the end of the program.
        block = (uint8_t*)(uintptr_t)lib_Notify(NOTE_ALLOCATE, (uint32_t)(8 + want), 1);
        if (block) {
            int32_t got = 0;
            bool failed = false;
            while (got < want) {
                DWORD n = 0;
                if (!ReadFile(h, block + 8 + got, (DWORD)(want - got), &n, nullptr)) {
                    failed = true;
                    break;
                }
                if (n == 0) break;  // the file became shorter
                got += (int32_t)n;
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
    CloseHandle(h);
    return block;
}

// Attributes a file may be given; the rest describe what it is.
const DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Whether another program holds `path` open in a way that forbids
// replacing it. Share modes are enforced at open, under Wine as on Windows,
// so asking for delete access while sharing everything tells.
bool heldAgainstReplace(const char* path) {
    HANDLE h = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_FILE_NOT_FOUND;
    CloseHandle(h);
    return false;
}

bool replaceFile(const char* target, const char* replacement) {
    DWORD attributes = GetFileAttributesA(target);
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    if (exists) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) return false;
        if (heldAgainstReplace(target)) return false;
        DWORD own = GetFileAttributesA(replacement);
        if (own == INVALID_FILE_ATTRIBUTES) return false;
        // Read-only waits for the rename: it would keep the replacement
        // from being removed if the rename fails.
        DWORD wanted = attributes & kSettableAttributes & ~(DWORD)FILE_ATTRIBUTE_READONLY;
        if (!SetFileAttributesA(replacement, wanted ? wanted : FILE_ATTRIBUTE_NORMAL)) return false;
        if (!MoveFileExA(replacement, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            SetFileAttributesA(replacement, own);
            return false;
        }
        if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(target, attributes & kSettableAttributes);
        return true;
    }
    return MoveFileExA(replacement, target, MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

extern "C" void cmd_ReadFileBytes(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetBytes(result, readAll(arg_Text(lib_Arg(count, args, 0))));
}

extern "C" void cmd_CopyFileTo(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* source = arg_Text(lib_Arg(count, args, 0));
    const char* target = arg_Text(lib_Arg(count, args, 1));
    bool ok = source && *source && target && *target && CopyFileA(source, target, FALSE);
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
// deletes what it moved, and it drops attributes. A target that is a
// folder or a link is refused with nothing moved; a target held open
// against deletion by another program is refused. The replacement takes
// the target's attributes before the rename, so the new file is never seen
// without them. On failure the target is as it was and the replacement
// stays where it was.
extern "C" void cmd_ReplaceFileWith(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* target = arg_Text(lib_Arg(count, args, 0));
    const char* replacement = arg_Text(lib_Arg(count, args, 1));
    lib_SetBool(result, target && *target && replacement && *replacement && replaceFile(target, replacement));
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
