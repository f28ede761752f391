// Puts the backups back: every found file with a <name>.bak beside it gets
// the backup's bytes, in one step and by the rewrite's own safe path (a
// copy to a new temporary name, its length checked, a replace that holds
// only while the file is the one looked at). The backup stays. Only plain
// files are read or replaced: a link, folder or device in the file's or
// the backup's place fails the restore with nothing changed.
#include "app/app.h"
#include "app/job.h"
#include "app/rewrite.h"

enum : int32_t { LOC_RESTORE = 0x04014F50 };

static char* stampOf(const char* path) { return (char*)(uintptr_t)mod_CallText(CMD_FileStamp, path).low; }

// Whether anything has this name: a backup that cannot be opened is still
// a backup, whose restore fails. (The search answers for files, then for
// folders.)
static bool nameTaken(const char* path) {
    char* stamp = stampOf(path);
    bool taken = stamp != nullptr;
    SVC->Free(stamp);
    const uint32_t filesOnly[2] = {1, 0};
    for (int32_t i = 0; i < 2 && !taken; i++) {
        uint32_t handle = 0;
        char* name = (char*)(uintptr_t)SVC->CallUtility(UTIL_FindFile, path, 0x10u, filesOnly[i], &handle);
        SVC->CallUtility(UTIL_CloseFind, handle);
        taken = name != nullptr;
        SVC->Free(name);
    }
    return taken;
}

static bool restoreFrom(const char* path, const char* bak) {
    char* stamp = stampOf(path);
    char* bakStamp = stampOf(bak);
    bool ok = false;
    if (stamp && stamp[0] == 'F' && bakStamp && bakStamp[0] == 'F') {
        char* temporary = TemporaryPathFor(path);
        // To a new name only; what a killed run left there goes first.
        ArgRecord c[3] = {mod_Text(bak), mod_Text(temporary), mod_Bool(true)};
        bool copied = mod_Call(CMD_CopyFileTo, 3, c).low != 0;
        if (!copied && mod_CallText(CMD_RemoveFile, temporary).low) copied = mod_Call(CMD_CopyFileTo, 3, c).low != 0;
        char* bakNow = copied ? stampOf(bak) : nullptr;
        // The copy holds exactly the backup looked at, or it is not used;
        // the replace removes it itself when it fails.
        bool handedOver = copied && CompareTexts(bakNow, bakStamp) == 0 &&
                          (int64_t)(int32_t)mod_CallText(CMD_FileLength, temporary).low == StampSize(bakStamp);
        if (handedOver) ok = ReplaceWithTemporary(path, temporary, stamp);
        else mod_CallText(CMD_RemoveFile, temporary);
        SVC->Free(bakNow);
        SVC->Free(temporary);
    }
    SVC->Free(stamp);
    SVC->Free(bakStamp);
    return ok;
}

void RestoreJob(void) {
    if (!FindJobFiles()) return;
    int32_t n = mod_ArrayCount(foundFiles), restored = 0;
    for (int32_t k = 1; k <= n; k++) {
        const char* path = mod_ArrayText(foundFiles, k, LOC_RESTORE, 1);
        char* bak = ConcatTexts(2, path, K(".bak"));
        if (!nameTaken(bak)) {
            TallyNoBackup();
        } else if (restoreFrom(path, bak)) {
            restored++;
            mod_LogOwned(ConcatTexts(2, K("已还原:"), path));
        } else {
            mod_LogOwned(ConcatTexts(2, K("还原失败:"), path));
        }
        SVC->Free(bak);
        mod_ProcessEvents();
    }
    mod_SetStatusOwned(ProgressText(K("还原完成 已还原:"), restored, n));
    EndJobFiles();
}
