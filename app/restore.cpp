// Puts the backups back, but only where nothing is lost by it: a file gets
// its <name>.bak's bytes only while it holds exactly what this tool's
// conversion of that backup gives, so its content follows from the backup.
// A file edited since, never converted, or another file's backup (a case
// twin's, where names are matched without regard to case) is left as it
// is and named. The put back goes by the rewrite's own safe path: the
// backup's bytes, as compared, to a new temporary name, then a replace
// that holds only while the file is the one looked at. The backup stays.
// Only plain files are read or replaced.
#include "app/app.h"
#include "app/job.h"
#include "app/rewrite.h"
#include <string.h>

enum : int32_t { LOC_RESTORE = 0x04014F50 };

// A converted file takes up to half again its original's bytes.
static const int32_t kMaxRestoredBytes = 384 * 1024 * 1024;

// Whether the file has a backup of its own: something by exactly its name
// + ".bak" (a backup that cannot be opened is still one, whose restore
// fails). Where names match without regard to case, a.yml.bak is found
// for A.YML too, and is not A.YML's.
static bool hasOwnBackup(const char* bakPath) {
    const char* own = NameOf(bakPath);
    bool found = false;
    const uint32_t filesOnly[2] = {1, 0};
    for (int32_t i = 0; i < 2 && !found; i++) {
        uint32_t handle = 0;
        char* name = (char*)(uintptr_t)SVC->CallUtility(UTIL_FindFile, bakPath, FIND_FOLDERS, filesOnly[i], &handle);
        SVC->CallUtility(UTIL_CloseFind, handle);
        found = name && CompareTexts(name, own) == 0;
        SVC->Free(name);
    }
    return found;
}

// A plain file's stamp and bytes (null when empty); false when it is not
// one or cannot be read whole.
static int32_t lengthOf(const uint8_t* set) { return set ? ((const int32_t*)set)[1] : 0; }

struct Held {
    char* stamp;
    uint8_t* bytes;
};

static bool hold(const char* path, Held* h) {
    ArgRecord read[3] = {mod_Text(path), mod_Int(kMaxRestoredBytes), mod_ByAddr(&h->stamp, TYPE_TEXT)};
    h->bytes = (uint8_t*)(uintptr_t)mod_Call(CMD_ReadFileStamped, 3, read).low;
    if (!h->stamp || (h->stamp[0] != 'F' && h->stamp[0] != 'R')) return false;
    return lengthOf(h->bytes) == StampSize(h->stamp);
}

static void release(Held* h) {
    SVC->Free(h->stamp);
    SVC->Free(h->bytes);
}

// What the file is to its backup.
static Outcome compare(const Held* file, const Held* bak) {
    int32_t n = lengthOf(file->bytes);
    if (n == lengthOf(bak->bytes) && (n == 0 || memcmp(file->bytes + 8, bak->bytes + 8, (size_t)n) == 0))
        return O_SAME_AS_BACKUP;
    // Only a backup this tool would convert can be the source of the file.
    if (IsUtf8Text(bak->bytes, lengthOf(bak->bytes))) return O_MODIFIED;
    ArgRecord a[3] = {mod_Bytes(file->bytes), mod_Bytes(bak->bytes), mod_Bool(true)};
    return lengthOf(bak->bytes) > 0 && mod_Call(CMD_IsUtf8Of, 3, a).low ? O_WOULD_RESTORE : O_MODIFIED;
}

static bool putBack(const char* path, const Held* file, const Held* bak) {
    if (file->stamp[0] != 'F') return false;
    char* temporary = TemporaryPathFor(path);
    // To a new name only; what a killed restore left there goes first.
    ArgRecord w[3] = {mod_Text(temporary), mod_Bytes(bak->bytes), mod_Text(bak->stamp)};
    bool written = mod_Call(CMD_WriteFileBytes, 3, w).low != 0;
    if (!written && ClearLeftover(temporary, bak->bytes, false)) written = mod_Call(CMD_WriteFileBytes, 3, w).low != 0;
    bool ok = written && ReplaceWithTemporary(path, temporary, file->stamp, lengthOf(bak->bytes));
    SVC->Free(temporary);
    return ok;
}

static Outcome restoreOne(const char* path, bool write) {
    char* bakPath = ConcatTexts(2, path, K(".bak"));
    Outcome o = O_NO_BACKUP;
    if (hasOwnBackup(bakPath)) {
        Held file = {}, bak = {};
        o = hold(path, &file) && hold(bakPath, &bak) ? compare(&file, &bak) : O_RESTORE_FAILED;
        if (o == O_WOULD_RESTORE && write) o = putBack(path, &file, &bak) ? O_RESTORED : O_RESTORE_FAILED;
        release(&file);
        release(&bak);
    }
    SVC->Free(bakPath);
    return o;
}

// How many found files have a backup of their own.
static int32_t countBackups(int32_t n) {
    int32_t backups = 0;
    for (int32_t k = 1; k <= n; k++) {
        char* bakPath = ConcatTexts(2, mod_ArrayText(foundFiles, k, LOC_RESTORE, 2), K(".bak"));
        if (hasOwnBackup(bakPath)) backups++;
        SVC->Free(bakPath);
    }
    return backups;
}

static void restoreFiles(bool write) {
    if (!FindJobFiles()) return;
    int32_t n = mod_ArrayCount(foundFiles);
    if (write && !InBatchRun() && !ConfirmRestore(countBackups(n))) {
        mod_SetStatusOwned(ConcatTexts(1, K("还原已取消")));
        EndJobFiles();
        return;
    }
    mod_SetProgress(PROP_POSITION, 0);
    mod_SetProgress(PROP_MAXIMUM, n);
    for (int32_t k = 1; k <= n; k++) {
        const char* path = mod_ArrayText(foundFiles, k, LOC_RESTORE, 1);
        Report(restoreOne(path, write), path);
        mod_SetProgress(PROP_POSITION, k);
        mod_ProcessEvents();
    }
    int32_t restored = TallyCount(write ? O_RESTORED : O_WOULD_RESTORE);
    mod_SetStatusOwned(ProgressText(write ? K("还原完成 已还原:") : K("还原预览完成 将还原:"), restored, n));
    EndJobFiles();
}

void RestoreJob(void) { restoreFiles(true); }
void RestorePreviewJob(void) { restoreFiles(false); }
