// What command code of both libraries shares: the runtime's notification
// function (handed over with notification 1) and value constructors that
// allocate through it, so an allocation failure ends in the runtime's report.
#pragma once
#include <stdint.h>
#include "runtime/service_table.h"
#include "runtime/notes.h"

// The runtime's notification function, or null before notification 1.
extern RuntimeNotify lib_notify;

uint32_t lib_Notify(int32_t code, uint32_t a1 = 0, uint32_t a2 = 0);
void* lib_Allocate(int32_t bytes);           // fatal on failure
void lib_Free(void* p);
void* lib_Reallocate(void* p, int32_t bytes);
__attribute__((noreturn)) void lib_Fatal(const char* message);
int32_t lib_ToInt(const ArgRecord* r);       // fatal for non-numeric values

char* lib_DupText(const char* s);                     // null for null/empty
char* lib_TextFromBytes(const void* p, int32_t n);    // null for n <= 0
uint8_t* lib_ByteSetFromBytes(const void* p, int32_t n);  // null for n == 0

// Result helpers.
inline void lib_SetText(ArgRecord* r, char* text) { r->low = (uint32_t)(uintptr_t)text; r->high = 0; r->type = TYPE_TEXT; }
inline void lib_SetBytes(ArgRecord* r, uint8_t* b) { r->low = (uint32_t)(uintptr_t)b; r->high = 0; r->type = TYPE_BYTES; }
inline void lib_SetInt(ArgRecord* r, int32_t v) { r->low = (uint32_t)v; r->high = 0; r->type = TYPE_INT; }
inline void lib_SetBool(ArgRecord* r, bool v) { r->low = v ? 1u : 0u; r->high = 0; r->type = TYPE_BOOL; }

// Argument helpers: an omitted argument (type 0) or one past `count` reads
// as absent.
inline const ArgRecord* lib_Arg(int32_t count, const ArgRecord* args, int32_t i) {
    return (i < count && args[i].type != TYPE_NONE) ? &args[i] : nullptr;
}
inline const char* lib_ArgText(const ArgRecord* a) { return a ? (const char*)(uintptr_t)a->low : nullptr; }

// Command entry points of library 1, by command number.
extern "C" {
void cmd_ListBoxClear(ArgRecord*, int32_t, ArgRecord*);
void cmd_SplitText(ArgRecord*, int32_t, ArgRecord*);
void cmd_InfoBox(ArgRecord*, int32_t, ArgRecord*);
void cmd_ListBoxInsertItem(ArgRecord*, int32_t, ArgRecord*);
void cmd_ToText(ArgRecord*, int32_t, ArgRecord*);
void cmd_ProcessEvents(ArgRecord*, int32_t, ArgRecord*);
void cmd_CopyFileTo(ArgRecord*, int32_t, ArgRecord*);
void cmd_ReadFileBytes(ArgRecord*, int32_t, ArgRecord*);
void cmd_ByteSetLength(ArgRecord*, int32_t, ArgRecord*);
void cmd_TextRight(ArgRecord*, int32_t, ArgRecord*);
void cmd_ToInteger(ArgRecord*, int32_t, ArgRecord*);
void cmd_CreateAutomationObject(ArgRecord*, int32_t, ArgRecord*);
void cmd_SetAutomationProperty(ArgRecord*, int32_t, ArgRecord*);
void cmd_CallAutomationMethod(ArgRecord*, int32_t, ArgRecord*);
void cmd_ClearAutomationObject(ArgRecord*, int32_t, ArgRecord*);
void cmd_FileLength(ArgRecord*, int32_t, ArgRecord*);
void cmd_AutomationStatus(ArgRecord*, int32_t, ArgRecord*);
void cmd_ReplaceFileWith(ArgRecord*, int32_t, ArgRecord*);
void cmd_RemoveFile(ArgRecord*, int32_t, ArgRecord*);
void cmd_Utf8Length(ArgRecord*, int32_t, ArgRecord*);
void cmd_LastFindError(ArgRecord*, int32_t, ArgRecord*);
void cmd_FolderIdentity(ArgRecord*, int32_t, ArgRecord*);
void cmd_FileStamp(ArgRecord*, int32_t, ArgRecord*);
void cmd_ReadFileStamped(ArgRecord*, int32_t, ArgRecord*);
void cmd_WriteFileBytes(ArgRecord*, int32_t, ArgRecord*);
void cmd_AppendFileTo(ArgRecord*, int32_t, ArgRecord*);
void cmd_IsUtf8Of(ArgRecord*, int32_t, ArgRecord*);
void cmd_ClaimTree(ArgRecord*, int32_t, ArgRecord*);
void cmd_ListBoxItemCount(ArgRecord*, int32_t, ArgRecord*);
void cmd_ListBoxItemText(ArgRecord*, int32_t, ArgRecord*);
void cmd_Utf8Bytes(ArgRecord*, int32_t, ArgRecord*);
// Library 2.
void cmd_BrowseForFolder(ArgRecord*, int32_t, ArgRecord*);
void cmd_PopupMenu(ArgRecord*, int32_t, ArgRecord*);
void cmd_SaveFileDialog(ArgRecord*, int32_t, ArgRecord*);
void cmd_SetClipboardText(ArgRecord*, int32_t, ArgRecord*);
}

// The component-kind table of library 1 (51 records), from the window layer.
extern const void* const lib1_kind_table;
extern const uint32_t lib1_kind_count;
