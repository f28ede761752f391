// The one header the application module includes: values as they cross
// between module, runtime and commands, the service table, the utility
// numbers and the command numbers. Nothing else of the runtime is visible
// to the module.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include "runtime/kind_ids.h"

#ifdef __cplusplus
extern "C" {
#endif

// Type codes. System types have bit 31 set; library types are
// (library number << 16) | record number.
enum : uint32_t {
    TYPE_NONE       = 0x00000000u,
    TYPE_BYTE       = 0x80000101u,
    TYPE_SHORT      = 0x80000201u,
    TYPE_INT        = 0x80000301u,
    TYPE_LONG       = 0x80000401u,
    TYPE_FLOAT      = 0x80000501u,
    TYPE_DOUBLE     = 0x80000601u,
    TYPE_BOOL       = 0x80000002u,
    TYPE_DATETIME   = 0x80000003u,
    TYPE_TEXT       = 0x80000004u,
    TYPE_BYTES      = 0x80000005u,
    TYPE_SUBROUTINE = 0x80000006u,
    TYPE_AUTOMATION = 0x00010030u,
    TYPE_VARIANT    = 0x00010031u,
    TYPE_BYADDR     = 0x20000000u,  // data low holds the address of the value
    TYPE_SYSTEM_BIT = 0x80000000u,  // set in every system type
};

// Argument and result record: 8 data bytes and a type code (0 = omitted).
typedef struct ArgRecord {
    uint32_t low;
    uint32_t high;
    uint32_t type;
} ArgRecord;

// A command: (result record, argument count, first of `count` records).
typedef void (*CommandEntry)(ArgRecord* result, int32_t count, ArgRecord* args);

// A module event handler as the dispatcher calls it. `args` holds `argc`
// 32-bit arguments; a handler that returns a value sets *returned to 1.
typedef int32_t (*EventHandler)(int32_t argc, const uint32_t* args, int32_t* returned);

// Runtime error codes (slot 0), each with its text in the fatal report.
enum {
    RTE_SUBSCRIPT_RANGE = 1,      // an array subscript past the array's end
    RTE_NOT_NUMERIC = 2,
    RTE_DIMENSIONS = 3,
    RTE_SUBSCRIPT_BELOW_ONE = 4,
    RTE_TYPE_MISMATCH = 5,
    RTE_FOREIGN_STACK = 6,        // a foreign command left the stack unbalanced
    RTE_NO_RESULT = 7,
    RTE_COMPARE = 8,
    RTE_CHOICE_INDEX = 9,
    RTE_REDIMENSION = 10,
    RTE_ARGUMENT_TYPE = 11,
    RTE_LAST = RTE_ARGUMENT_TYPE,
};

// Service table, in slot order. The module's copy holds slots 0..12.
typedef struct ServiceTable {
    /* 0 */ void (*ReportRuntimeError)(int32_t code, int32_t loc1, int32_t loc2);
    // Raw entry: called with the foreign command number pushed last
    // (stdcall-shaped: number, then the function's native arguments). It
    // continues into the resolved function, which returns straight to the
    // caller. Use it only through a stack-checking call site.
    /* 1 */ void* CallForeignCommand;
    /* 2 */ void (*CallShellCommand)(ArgRecord* result, CommandEntry cmd, int32_t count, ArgRecord* args);
    /* 3 */ void (*CallBaseCommand)(ArgRecord* result, CommandEntry cmd, int32_t count, ArgRecord* args);
    /* 4 */ uint64_t (*ReadProperty)(uint32_t window, uint32_t component, int32_t prop, int32_t member);
    /* 5 */ void (*WriteProperty)(uint32_t window, uint32_t component, int32_t prop, int32_t member,
                                  uint32_t low, uint32_t high);
    /* 6 */ void* (*Allocate)(int32_t bytes);
    /* 7 */ void* (*Reallocate)(void* p, int32_t bytes);
    /* 8 */ void (*Free)(void* p);
    /* 9 */ void (*ExitProgram)(int32_t code);
    /* 10 */ void (*RunMessageLoop)(void);
    /* 11 */ void (*LoadWindow)(uint32_t window);
    /* 12 */ int64_t (*CallUtility)(int32_t number, ...);
    /* 13 */ void (*CallPackageSubroutine)(void);
} ServiceTable;

// Utility numbers (slot 12).
enum {
    UTIL_FindFile = 0,            // (pattern text, mask, files-only flag, uint32_t* handle) -> text
    UTIL_CloseFind = 1,           // (handle)
    UTIL_UnshareArray = 2,        // (void** array variable, element size)
    UTIL_RegisterExitRoutine = 3, // (void (*)(void))
    UTIL_ReadValueProperty = 4,
    UTIL_WriteValueProperty = 5,
    UTIL_InitProgramImage = 6,    // ()
    UTIL_ProgramArguments = 7,    // () -> array of texts, the arguments after the program's name
    UTIL_FolderPath = 8,          // (text) -> text: full path of a folder given relative to the
                                  //   directory the program was started in, as the picker gives it
    UTIL_EnterBatchMode = 9,      // (): windows load hidden, boxes and the log go to standard error/output
    UTIL_WriteLine = 10,          // (LINE_TO_OUTPUT or LINE_TO_ERROR, text): one line in UTF-8
};
// Where a line of a batch run goes (utility 10, notification 2040).
enum { LINE_TO_OUTPUT = 1, LINE_TO_ERROR = 2 };
// UTIL_FindFile's mask: the entries with the folder attribute, which the
// files-only flag then leaves out or keeps alone.
enum : uint32_t { FIND_FOLDERS = 0x10 };

// Command numbers of the first library.
enum {
    CMD_ListBoxClear = 0,
    CMD_SplitText = 1,
    CMD_InfoBox = 2,
    CMD_ListBoxInsertItem = 3,
    CMD_ToText = 4,
    CMD_ProcessEvents = 5,
    CMD_CopyFileTo = 6,
    CMD_ReadFileBytes = 7,
    CMD_ByteSetLength = 8,
    CMD_TextRight = 9,
    CMD_ToInteger = 10,
    CMD_CreateAutomationObject = 11,
    CMD_SetAutomationProperty = 12,
    CMD_CallAutomationMethod = 13,
    CMD_ClearAutomationObject = 14,
    CMD_FileLength = 15,          // file length in bytes, -1 when it cannot be opened
    CMD_AutomationStatus = 16,    // the thread's last automation status (integer)
    CMD_ReplaceFileWith = 17,     // (target, replacement[, stamp the target must still have[, length
                                  //   the replacement must have]]) in one step -> boolean
    CMD_RemoveFile = 18,          // (path) -> boolean
    CMD_Utf8Length = 19,          // (text or byte set in the code page) -> UTF-8 length, -1 if not such text
    CMD_LastFindError = 20,       // platform error of the last failed search start, 0 if none
    CMD_FolderIdentity = 21,      // (folder) -> text naming the folder itself, empty if unknown
    CMD_FileStamp = 22,           // (path) -> text: what the path is now (kind letter first), empty if
                                  //   it cannot be opened; a file's changes change it
    CMD_WriteFileBytes = 23,      // (path, byte set[, stamp whose write time it takes]) to a new file
                                  //   only -> boolean; nothing is left when it fails; pending events
                                  //   run between the 16 MB pieces of a large one
    CMD_ReadFileStamped = 24,     // (path, largest length, stamp variable) -> byte set: the file's
                                  //   FileStamp into the variable and, for a plain file no longer than
                                  //   that, its bytes; one open for both; pending events run between
                                  //   the 16 MB pieces of a large one
    CMD_AppendFileTo = 25,        // (source, target) -> boolean: the source file's bytes added at the
                                  //   end of the target file; false when either cannot be opened or a
                                  //   write fails
    CMD_IsUtf8Of = 26,            // (UTF-8 byte set, byte set in the code page, whole) -> boolean: the
                                  //   first is the UTF-8 form of the second (whole true) or its start
    CMD_ClaimTree = 27,           // (folder, claim) -> boolean: with claim true, registers the folder
                                  //   for this process's job unless a job of another process runs on
                                  //   it, a folder above it or one below (false then); with claim
                                  //   false, ends this process's claim
    CMD_ListBoxItemCount = 28,    // (list box) -> integer: the lines it shows
    CMD_ListBoxItemText = 29,     // (list box, 0-based position) -> text of that line
    CMD_Utf8Bytes = 30,           // (text[, with byte-order mark]) -> byte set: the text in UTF-8
};
// Command numbers of the second library.
enum {
    CMD2_BrowseForFolder = 0,
    CMD2_PopupMenu = 1,           // (component, screen x, y, lines joined by "\n" (empty: a separator),
                                  //   greyed mask: bit n-1 greys line n) -> line chosen from 1, 0 none
    CMD2_SaveFileDialog = 2,      // (title, file name, filter "name|pattern|...") -> path, empty if cancelled;
                                  //   an existing file is replaced only once the user agreed
    CMD2_SetClipboardText = 3,    // (text) -> boolean: the clipboard holds the text
};

// Command library record; only the fields the runtime reads are named.
typedef struct LibraryRecord {
    uint32_t format;              // 0x00 LIBRARY_FORMAT
    const char* identifier;       // 0x04 32 hex digits
    uint32_t version[7];          // 0x08..0x20
    const char* name;             // 0x24
    uint32_t one;                 // 0x28 1 in both libraries
    uint32_t zero2C;              // 0x2C
    uint32_t flags;               // 0x30
    uint32_t zero34[8];           // 0x34..0x50
    uint32_t typeCount;           // 0x54
    const void* typeTable;        // 0x58 data type (component kind) records
    uint32_t zero5C[2];           // 0x5C, 0x60
    uint32_t commandCount;        // 0x64
    uint32_t zero68;              // 0x68
    const CommandEntry* commands; // 0x6C indexed by command number
    uint32_t zero70[2];           // 0x70, 0x74
    // 0x78: notification entry: code 1 hands the runtime's notification
    // function (a1); code 6 is shutdown.
    uint32_t (*notify)(int32_t code, uint32_t a1, uint32_t a2);
    uint32_t zero7C[5];           // 0x7C..0x8C
} LibraryRecord;
enum : uint32_t { LIBRARY_FORMAT = 0x01312D65u };

// The runtime's notification function as handed to libraries.
typedef uint32_t (*RuntimeNotify)(int32_t code, uint32_t a1, uint32_t a2);

// Program image descriptor: 13 words.
typedef struct ProgramDescriptor {
    uint32_t word0;                    // 0x00
    uint32_t word1;                    // 0x04
    uint32_t freshBase;                // 0x08
    const void* codeBase;              // 0x0C handler offsets are relative to it
    const void* constants;             // 0x10
    uint32_t constantsSize;            // 0x14
    const void* templates;             // 0x18
    uint32_t templatesSize;            // 0x1C
    uint32_t libraryCount;             // 0x20
    const LibraryRecord* const* libraries; // 0x24
    uint32_t foreignCount;             // 0x28
    const char* const* foreignLibraries;   // 0x2C
    const char* const* foreignNames;       // 0x30
} ProgramDescriptor;

// What the runtime provides to the module, resolved when the program links.
extern const ServiceTable vell_services;
extern const LibraryRecord vell_library1;
extern const LibraryRecord vell_library2;

// What the module provides to the runtime's entry point.
extern const ProgramDescriptor vell_program_image;
int32_t vell_module_start(void);

#ifdef __cplusplus
}  // extern "C"
static_assert(sizeof(ArgRecord) == 12, "argument record");
static_assert(sizeof(ServiceTable) == 14 * 4, "service table");
static_assert(sizeof(ProgramDescriptor) == 13 * 4, "descriptor");
static_assert(offsetof(LibraryRecord, name) == 0x24, "library name");
static_assert(offsetof(LibraryRecord, flags) == 0x30, "library flags");
static_assert(offsetof(LibraryRecord, typeCount) == 0x54, "library types");
static_assert(offsetof(LibraryRecord, commandCount) == 0x64, "library commands");
static_assert(offsetof(LibraryRecord, commands) == 0x6C, "library command table");
static_assert(offsetof(LibraryRecord, notify) == 0x78, "library notify");
static_assert(sizeof(LibraryRecord) == 0x90, "library record");
#endif
