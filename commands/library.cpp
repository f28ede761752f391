#include "commands/library.h"
#include <string.h>
#include "runtime/rt.h"

RuntimeNotify lib_notify = nullptr;

uint32_t lib_Notify(int32_t code, uint32_t a1, uint32_t a2) {
    return lib_notify ? lib_notify(code, a1, a2) : 0;
}

void* lib_Allocate(int32_t bytes) { return (void*)(uintptr_t)lib_Notify(NOTE_ALLOCATE, (uint32_t)bytes, 0); }
void lib_Free(void* p) { if (p) lib_Notify(NOTE_FREE, (uint32_t)(uintptr_t)p, 0); }
void* lib_Reallocate(void* p, int32_t bytes) {
    return (void*)(uintptr_t)lib_Notify(NOTE_REALLOCATE, (uint32_t)(uintptr_t)p, (uint32_t)bytes);
}
void lib_Fatal(const char* message) {
    lib_Notify(NOTE_FATAL, (uint32_t)(uintptr_t)message, 0);
    ExitProcess((UINT)-1);  // only reached without a runtime
}
int32_t lib_ToInt(const ArgRecord* r) { return (int32_t)lib_Notify(NOTE_TO_INT, (uint32_t)(uintptr_t)r, 0); }

char* lib_TextFromBytes(const void* p, int32_t n) { return rt_TextFromBytesBy(lib_Allocate, p, n); }
char* lib_DupText(const char* s) { return s ? lib_TextFromBytes(s, (int32_t)strlen(s)) : nullptr; }
uint8_t* lib_ByteSetFromBytes(const void* p, int32_t n) { return rt_ByteSetFromBytesBy(lib_Allocate, p, n); }

static uint32_t lib1Notify(int32_t code, uint32_t a1, uint32_t) {
    if (code == NOTE_LIBRARY_START) lib_notify = (RuntimeNotify)(uintptr_t)a1;
    return 0;
}
static uint32_t lib2Notify(int32_t code, uint32_t a1, uint32_t) {
    if (code == NOTE_LIBRARY_START) lib_notify = (RuntimeNotify)(uintptr_t)a1;
    return 0;
}

static const CommandEntry lib1Commands[] = {
    cmd_ListBoxClear, cmd_SplitText, cmd_InfoBox, cmd_ListBoxInsertItem, cmd_ToText,
    cmd_ProcessEvents, cmd_CopyFileTo, cmd_ReadFileBytes, cmd_ByteSetLength, cmd_TextRight,
    cmd_ToInteger, cmd_CreateAutomationObject, cmd_SetAutomationProperty,
    cmd_CallAutomationMethod, cmd_ClearAutomationObject, cmd_FileLength, cmd_AutomationStatus,
    cmd_ReplaceFileWith, cmd_RemoveFile, cmd_Utf8Length, cmd_LastFindError, cmd_FolderIdentity,
    cmd_FileStamp, cmd_WriteFileBytes, cmd_ReadFileStamped, cmd_AppendFileTo, cmd_IsUtf8Of, cmd_ClaimTree,
    cmd_ListBoxItemCount, cmd_ListBoxItemText, cmd_Utf8Bytes,
};
static const CommandEntry lib2Commands[] = {cmd_BrowseForFolder, cmd_PopupMenu, cmd_SaveFileDialog,
                                            cmd_SetClipboardText};

extern "C" const LibraryRecord vell_library1 = {
    LIBRARY_FORMAT, "5f0c2a8e91b34d7aa6e1c3b9d4f27086", {5, 7, 0x40, 3, 7, 3, 7},
    "基础命令库", 1, 0, 0xC0000001u, {}, lib1_kind_count, lib1_kind_table, {},
    sizeof lib1Commands / sizeof lib1Commands[0], 0, lib1Commands, {}, lib1Notify, {}};

extern "C" const LibraryRecord vell_library2 = {
    LIBRARY_FORMAT, "8b3e71d04c6a4f2e9d5a0c7b2e61f9a4", {3, 0, 0, 3, 0, 3, 0},
    "界面命令库", 1, 0, 0, {}, 0, nullptr, {},
    sizeof lib2Commands / sizeof lib2Commands[0], 0, lib2Commands, {}, lib2Notify, {}};
