// Depth-first search for the files below a directory that match a pattern.
#include "app/app.h"
#include <windows.h>
#include <string.h>

static char* findFile(const char* pattern, uint32_t mask, uint32_t filesOnly, uint32_t* handle) {
    return (char*)(uintptr_t)SVC->CallUtility(UTIL_FindFile, pattern, mask, filesOnly, handle);
}

// The callback gets the path's characters; its entry copies them.
static void callWithCopy(FileCallback callback, const char* chars) {
    char* copy = ConcatTexts(1, chars);
    callback(copy);
    SVC->Free(copy);
}

// Directories of the current walk, by volume and file identity, so that a
// link back to an ancestor is not entered again.
struct DirIdentity { DWORD volume, high, low; };
static DirIdentity* s_visited;
static int32_t s_visitedCount;
static int32_t s_depth;

static bool identify(const char* dir, DirIdentity* id) {
    HANDLE h = CreateFileA(dir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!ok || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)) return false;
    *id = DirIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// Identities by path for the whole job: its walks (one per extension item)
// visit the same folders, and asking for a folder's identity costs more
// than enumerating it. A link back to an ancestor has a new path each time
// round, so it is still identified and caught.
struct KnownDir { uint32_t hash; char* path; DirIdentity id; bool ok; };
static KnownDir* s_known;
static uint32_t s_knownCapacity, s_knownCount;

static uint32_t pathHash(const char* s) {
    uint32_t h = 2166136261u;
    for (; *s; s++) h = (h ^ (uint8_t)*s) * 16777619u;
    return h;
}

static KnownDir* knownSlot(KnownDir* table, uint32_t capacity, uint32_t hash, const char* path) {
    for (uint32_t i = hash & (capacity - 1);; i = (i + 1) & (capacity - 1)) {
        KnownDir* k = &table[i];
        if (!k->path || (k->hash == hash && strcmp(k->path, path) == 0)) return k;
    }
}

static void growKnown(void) {
    uint32_t capacity = s_knownCapacity ? s_knownCapacity * 2 : 256;
    KnownDir* table = (KnownDir*)SVC->Allocate((int32_t)(capacity * sizeof(KnownDir)));
    memset(table, 0, capacity * sizeof(KnownDir));
    for (uint32_t i = 0; i < s_knownCapacity; i++)
        if (s_known[i].path) *knownSlot(table, capacity, s_known[i].hash, s_known[i].path) = s_known[i];
    SVC->Free(s_known);
    s_known = table;
    s_knownCapacity = capacity;
}

static bool identifyKnown(const char* dir, DirIdentity* id) {
    if ((s_knownCount + 1) * 2 > s_knownCapacity) growKnown();
    uint32_t hash = pathHash(dir);
    KnownDir* k = knownSlot(s_known, s_knownCapacity, hash, dir);
    if (!k->path) {
        k->ok = identify(dir, &k->id);
        k->hash = hash;
        k->path = ConcatTexts(1, dir);
        s_knownCount++;
    }
    *id = k->id;
    return k->ok;
}

void ForgetDirectories(void) {
    for (uint32_t i = 0; i < s_knownCapacity; i++) SVC->Free(s_known[i].path);
    SVC->Free(s_known);
    s_known = nullptr;
    s_knownCapacity = s_knownCount = 0;
}

// true when the directory was already entered in this walk.
static bool enterDirectory(const char* dir) {
    DirIdentity id;
    if (!identifyKnown(dir, &id)) return false;
    for (int32_t i = 0; i < s_visitedCount; i++)
        if (s_visited[i].volume == id.volume && s_visited[i].high == id.high && s_visited[i].low == id.low)
            return true;
    s_visited = (DirIdentity*)SVC->Reallocate(s_visited, (s_visitedCount + 1) * (int32_t)sizeof(DirIdentity));
    s_visited[s_visitedCount++] = id;
    return false;
}

static void searchBelow(char** directory, FileCallback callback, char** pattern) {
    mod_ProcessEvents();
    ArgRecord a[2] = {mod_Text(*directory), mod_Int(1)};
    char* last = (char*)(uintptr_t)mod_Call(CMD_TextRight, 2, a).low;
    if (CompareTexts(last, K("\\")) != 0) mod_Assign(directory, ConcatTexts(2, *directory, K("\\")));
    SVC->Free(last);
    if (enterDirectory(*directory)) return;

    uint32_t handle = 0;
    char* full = ConcatTexts(2, *directory, *pattern);
    char* name = findFile(full, 0, 1, &handle);
    SVC->Free(full);
    while (name) {
        char* path = ConcatTexts(2, *directory, name);
        uint32_t args[3] = {(uint32_t)(uintptr_t)path, (uint32_t)(uintptr_t)path, 0};
        const char* chars = (const char*)(uintptr_t)mod_CallForeign(FOREIGN_LSTRCPYN, 3, args, 0x04014E55, 0x232);
        callWithCopy(callback, chars);
        SVC->Free(path);
        SVC->Free(name);
        name = findFile(nullptr, 0, 1, &handle);
    }

    full = ConcatTexts(2, *directory, K("*.*"));
    name = findFile(full, 0x10, 0, &handle);
    SVC->Free(full);
    while (name) {
        if (CompareTexts(name, K(".")) != 0 && CompareTexts(name, K("..")) != 0) {
            char* sub = ConcatTexts(2, *directory, name);
            searchBelow(&sub, callback, pattern);
            SVC->Free(sub);
        }
        SVC->Free(name);
        name = findFile(nullptr, 0x10, 0, &handle);
    }
    SVC->CallUtility(UTIL_CloseFind, handle);
}

void SearchFiles(char** directory, FileCallback callback, char** pattern) {
    if (s_depth++ == 0) s_visitedCount = 0;
    searchBelow(directory, callback, pattern);
    if (--s_depth == 0) {
        SVC->Free(s_visited);
        s_visited = nullptr;
        s_visitedCount = 0;
    }
}

void FileFound(const char* path) {
    mod_LogOwned(ConcatTexts(2, K("搜索 >> 找到文件:"), path));
    mod_AppendText(&foundFiles, ConcatTexts(1, path));
}
