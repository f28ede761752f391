// Depth-first search for the files below a directory that match a pattern.
#include "app/app.h"
#include "app/job.h"
#include "app/rewrite.h"
#include <string.h>

static char* findFile(const char* pattern, uint32_t mask, uint32_t filesOnly, uint32_t* handle) {
    return (char*)(uintptr_t)SVC->CallUtility(UTIL_FindFile, pattern, mask, filesOnly, handle);
}

static int32_t lastFindError(void) { return (int32_t)mod_Call(CMD_LastFindError, 0, nullptr).low; }

// The callback gets the path's characters; its entry copies them.
static void callWithCopy(FileCallback callback, const char* chars) {
    char* copy = ConcatTexts(1, chars);
    callback(copy);
    SVC->Free(copy);
}

// What the job knows of one folder, by its path with the trailing "\": its
// identity (empty when the platform gives none), and whether the log has
// named it as a folder that cannot be entered. The walks of a job (one per
// extension item) meet the same folders; asking for an identity costs more
// than enumerating, and a folder is named in the log once. A link back to
// an ancestor has a new path each time round, so it is still identified.
struct KnownFolder {
    uint32_t hash;
    char* path;
    char* identity;
    bool reported;
    bool listed;          // its subfolders are known: the same for every walk
    int32_t subCount;
    char** subfolders;    // names, in the platform's order
};

// A folder identity and the last walk that entered it.
struct Entered {
    uint32_t hash;
    const char* identity;     // owned by its KnownFolder
    uint32_t walk;
};

// A file reported in this job: each is reported once, whichever items
// match it.
struct Reported {
    uint32_t hash;
    char* path;
};

struct SearchState {
    KnownFolder* known;       // open-addressed table, capacity a power of two
    uint32_t capacity, count;
    Reported* reported;       // the same way
    uint32_t reportedCapacity, reportedCount;
    Entered* entered;         // by identity, the same way: every folder of a
    uint32_t enteredCapacity, enteredCount;  // large tree is entered once a walk
    uint32_t walk;
};

static uint32_t pathHash(const char* s) {
    uint32_t h = 2166136261u;
    for (; *s; s++) h = (h ^ (uint8_t)*s) * 16777619u;
    return h;
}

// Both tables are open-addressed by a text key (`field`, null in an empty
// slot), their capacity a power of two and at most half full.
template <class T, class K>
static T* slotIn(T* table, uint32_t capacity, uint32_t hash, const char* key, K T::*field) {
    for (uint32_t i = hash & (capacity - 1);; i = (i + 1) & (capacity - 1)) {
        T* e = &table[i];
        if (!(e->*field) || (e->hash == hash && strcmp(e->*field, key) == 0)) return e;
    }
}

template <class T, class K>
static void makeRoom(T** table, uint32_t* capacity, uint32_t count, K T::*field) {
    if ((count + 1) * 2 <= *capacity) return;
    uint32_t grown = *capacity ? *capacity * 2 : 256;
    T* fresh = (T*)SVC->Allocate((int32_t)(grown * sizeof(T)));
    memset(fresh, 0, grown * sizeof(T));
    for (uint32_t i = 0; i < *capacity; i++)
        if ((*table)[i].*field) *slotIn(fresh, grown, (*table)[i].hash, (*table)[i].*field, field) = (*table)[i];
    SVC->Free(*table);
    *table = fresh;
    *capacity = grown;
}

static KnownFolder* knownFolder(SearchState* s, const char* dir) {
    makeRoom(&s->known, &s->capacity, s->count, &KnownFolder::path);
    uint32_t hash = pathHash(dir);
    KnownFolder* k = slotIn(s->known, s->capacity, hash, dir, &KnownFolder::path);
    if (!k->path) {
        k->identity = (char*)(uintptr_t)mod_CallText(CMD_FolderIdentity, dir).low;
        k->hash = hash;
        k->path = ConcatTexts(1, dir);
        s->count++;
    }
    return k;
}

SearchState* NewSearchState(void) {
    SearchState* s = (SearchState*)SVC->Allocate(sizeof(SearchState));
    memset(s, 0, sizeof *s);
    return s;
}

void FreeSearchState(SearchState* s) {
    if (!s) return;
    for (uint32_t i = 0; i < s->capacity; i++) {
        KnownFolder* k = &s->known[i];
        SVC->Free(k->path);
        SVC->Free(k->identity);
        for (int32_t j = 0; j < k->subCount; j++) SVC->Free(k->subfolders[j]);
        SVC->Free(k->subfolders);
    }
    SVC->Free(s->known);
    for (uint32_t i = 0; i < s->reportedCapacity; i++) SVC->Free(s->reported[i].path);
    SVC->Free(s->reported);
    SVC->Free(s->entered);
    SVC->Free(s);
}

// true when the folder was already entered in this walk.
static bool enterFolder(SearchState* s, KnownFolder* k) {
    if (!k->identity) return false;
    makeRoom(&s->entered, &s->enteredCapacity, s->enteredCount, &Entered::identity);
    uint32_t hash = pathHash(k->identity);
    Entered* e = slotIn(s->entered, s->enteredCapacity, hash, k->identity, &Entered::identity);
    if (e->identity && e->walk == s->walk) return true;
    if (!e->identity) {
        *e = {hash, k->identity, 0};
        s->enteredCount++;
    }
    e->walk = s->walk;
    return false;
}

// The platform's word for a name with characters no name may hold: an
// extension item such as "y|ml" makes such a pattern, which says nothing
// of the folder; a folder whose name the code page turned into '?' gets
// it too, and is caught by the "*.*" enumeration, which no item shapes.
enum : int32_t { kInvalidName = 123 };

// A folder that exists but cannot be enumerated (no permission, a path too
// long, a name the code page cannot hold) is named in the log, once a job.
static void reportUnreadable(KnownFolder* k, const char* shown) {
    if (k->reported) return;
    k->reported = true;
    Report(O_FOLDER_UNREADABLE, shown);
}

// True the first time a path is met in this job.
static bool firstReport(SearchState* s, char* path) {
    makeRoom(&s->reported, &s->reportedCapacity, s->reportedCount, &Reported::path);
    uint32_t hash = pathHash(path);
    Reported* r = slotIn(s->reported, s->reportedCapacity, hash, path, &Reported::path);
    if (r->path) return false;
    *r = {hash, ConcatTexts(1, path)};
    s->reportedCount++;
    return true;
}

// `item`: what the pattern's "*." is followed by. The platform matches a
// pattern against a file's short name too (MESSAG~1.YML for
// messages.yml_old), so each match is held to its own name.
static void reportFiles(SearchState* s, const char* dir, const char* item, FileCallback callback, char* name,
                        uint32_t* handle) {
    // A folder of thousands of matches would keep the window waiting.
    for (uint32_t found = 1; name; found++) {
        if (found % 256 == 0) mod_ProcessEvents();
        char* path = ConcatTexts(2, dir, name);
        if ((!item || NameHasExtension(name, item)) && firstReport(s, path)) {
            uint32_t args[3] = {(uint32_t)(uintptr_t)path, (uint32_t)(uintptr_t)path, 0};
            const char* chars =
                (const char*)(uintptr_t)mod_CallForeign(FOREIGN_LSTRCPYN, 3, args, 0x04014E55, 0x232);
            callWithCopy(callback, chars);
        }
        SVC->Free(path);
        SVC->Free(name);
        name = findFile(nullptr, 0, 1, handle);
    }
}

// The last byte only: a double-byte character whose second byte is 0x5C
// counts as a backslash, as the search has always counted it.
bool EndsWithBackslash(const char* directory) {
    ArgRecord a[2] = {mod_Text(directory), mod_Int(1)};
    char* last = (char*)(uintptr_t)mod_Call(CMD_TextRight, 2, a).low;
    bool slash = CompareTexts(last, K("\\")) == 0;
    SVC->Free(last);
    return slash;
}

// The folders below `dir`, enumerated once a job: every walk meets them.
static void listSubfolders(KnownFolder* k, const char* dir, const char* shown) {
    k->listed = true;
    uint32_t handle = 0;
    char* full = ConcatTexts(2, dir, K("*.*"));
    char* name = findFile(full, FIND_FOLDERS, 0, &handle);
    SVC->Free(full);
    if (!name && lastFindError() != 0) reportUnreadable(k, shown);
    while (name) {
        if (CompareTexts(name, K(".")) != 0 && CompareTexts(name, K("..")) != 0) {
            k->subfolders = (char**)SVC->Reallocate(k->subfolders, (k->subCount + 1) * (int32_t)sizeof(char*));
            k->subfolders[k->subCount++] = name;
        } else {
            SVC->Free(name);
        }
        name = findFile(nullptr, FIND_FOLDERS, 0, &handle);
    }
    SVC->CallUtility(UTIL_CloseFind, handle);
}

static void searchBelow(SearchState* s, char** directory, FileCallback callback, char** pattern) {
    mod_ProcessEvents();
    char* shown = ConcatTexts(1, *directory);
    if (!EndsWithBackslash(*directory)) mod_Assign(directory, ConcatTexts(2, *directory, K("\\")));
    // Valid until the recursion below: a deeper folder may grow the table.
    KnownFolder* k = knownFolder(s, *directory);
    if (enterFolder(s, k)) {
        SVC->Free(shown);
        return;
    }

    uint32_t handle = 0;
    char* full = ConcatTexts(2, *directory, *pattern);
    char* name = findFile(full, 0, 1, &handle);
    SVC->Free(full);
    int32_t error = name ? 0 : lastFindError();
    if (error != 0 && error != kInvalidName) {
        reportUnreadable(k, shown);
        SVC->Free(shown);
        return;
    }
    const char* item = *pattern && strncmp(*pattern, "*.", 2) == 0 ? *pattern + 2 : nullptr;
    reportFiles(s, *directory, item, callback, name, &handle);

    if (!k->listed) listSubfolders(k, *directory, shown);
    SVC->Free(shown);
    // The list stays where it is when a deeper folder grows the table.
    char** subfolders = k->subfolders;
    int32_t count = k->subCount;
    for (int32_t i = 0; i < count; i++) {
        char* sub = ConcatTexts(2, *directory, subfolders[i]);
        searchBelow(s, &sub, callback, pattern);
        SVC->Free(sub);
    }
}

void SearchFiles(SearchState* state, char** directory, FileCallback callback, char** pattern) {
    state->walk++;
    searchBelow(state, directory, callback, pattern);
}

// A name the platform's functions of this program cannot open as it is
// written: a character the code page cannot hold arrives as '?', which no
// name may contain; a name ending in a dot or a space opens another file;
// and the file with its backup's temporary name must fit the path limit.
static bool nameCanBeHandled(const char* path) {
    // Neither byte is ever a double-byte character's second (0x40 and up).
    const char* name = NameOf(path);
    char last = *name ? name[strlen(name) - 1] : 0;
    return !strchr(name, '?') && last != '.' && last != ' ' && strlen(path) + kLongestSuffix <= kMaxPath;
}

// <name>.bak beside <name>: a backup, never the input of a job.
static bool isBackupBeside(const char* path) {
    size_t n = strlen(path);
    if (n < 5 || !SameName(path + n - 4, ".bak")) return false;
    char* file = ConcatTexts(1, path);
    file[n - 4] = 0;
    char* stamp = (char*)(uintptr_t)mod_CallText(CMD_FileStamp, file).low;
    bool beside = stamp && stamp[0] != 'D';
    SVC->Free(stamp);
    SVC->Free(file);
    return beside;
}

void FileFound(const char* path) {
    if (!nameCanBeHandled(path)) return Report(O_BAD_NAME, path);
    if (isBackupBeside(path)) return Report(O_BACKUP_FILE, path);
    mod_LogOwned(ConcatTexts(2, K("搜索 >> 找到文件:"), path));
    mod_AppendText(&foundFiles, ConcatTexts(1, path));
}
