// Runtime internals shared by runtime/, ui/, commands/ and automation/.
// The module never includes this.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/service_table.h"
#include "platform/framework.h"
#include "runtime/notes.h"

#ifndef VELL_NORETURN
#define VELL_NORETURN __attribute__((noreturn))
#endif

// Private messages.
enum : UINT {
    RT_MSG_OBJECT_QUERY = 0x8002,  // (0, 0) -> the window's runtime object (FwWnd*)
    RT_MSG_EXIT_REQUEST = 0x83E7,  // (exit code, 0), sent to the hidden owner
};

// Entry points of the window layer that the core calls. The window layer
// fills them in when it starts; every field may be null (no windows).
struct RtWindowLayer {
    // Reads the template block into the registry (handlers relocated with
    // codeBase). false: the data is unreadable.
    bool (*loadTemplates)(const void* block, uint32_t size, const void* codeBase);
    // Destroys every window and empties the registry.
    void (*clearRegistry)(void);
    // Creates and shows a window; false when there is no such template or
    // creation failed.
    bool (*loadWindow)(uint32_t windowId);
    // Whether any registry window currently exists as a native window.
    bool (*anyWindowExists)(void);
    // Idle processing of the registry's windows; first = start of an idle
    // period. Returns whether any window wants more idle time.
    bool (*idle)(bool first, DWORD elapsedMs);
    // Names for the fatal report. Returns 0 when the window is not in the
    // registry; 1 with *windowName set when the window is there but the
    // entry is not (or must not be named); 2 with both set.
    int (*describe)(uint32_t windowId, uint32_t componentId,
                    const char** windowName, const char** entryName);
    // Property slots 4 and 5.
    uint64_t (*readProperty)(uint32_t w, uint32_t c, int32_t p, int32_t m);
    void (*writeProperty)(uint32_t w, uint32_t c, int32_t p, int32_t m, uint32_t lo, uint32_t hi);
    // Notification codes the window layer serves; *handled = false if not.
    uint32_t (*notify)(int32_t code, uint32_t a1, uint32_t a2, bool* handled);
};

// The runtime's application state: one object, as the framework expects.
struct RtState {
    HANDLE heap;
    uint32_t descriptorWord0, descriptorWord1;
    uint32_t freshNumber;
    bool oleInitialised;
    char programDirectory[MAX_PATH + 1];       // no trailing backslash
    char programFileName[MAX_PATH + 1];
    char programDirectorySlash[MAX_PATH + 1];  // with trailing backslash
    char startDirectory[MAX_PATH + 1];         // current directory before start-up changed it
    HWND hiddenOwner;
    DWORD guiThreadId;
    const uint8_t* constantsStart;
    const uint8_t* constantsEnd;
    const ProgramDescriptor* image;  // set by the entry point before start
    int32_t (*moduleStart)(void);    // the module's start routine, likewise

    // Foreign commands: four parallel columns of foreignCount entries.
    uint32_t foreignCount;
    const char** foreignLibraries;
    const char** foreignNames;
    HMODULE* foreignModules;
    void** foreignEntries;
    char userSearchDirectory[MAX_PATH + 1];
    HMODULE overrideModule;       // one-shot override of the next resolution
    char overrideName[256];

    // Command libraries and their per-library words.
    uint32_t libraryCount;
    const LibraryRecord** libraries;
    uint32_t* libraryWords;

    RtWindowLayer ui;

    int32_t eventBlock;           // > 0: no event reaches a handler
    bool shuttingDown;
    bool messageLoopStarted;
    bool recreating;              // a component is being re-created
    uint32_t eventSourceWindow, eventSourceComponent;
    uint32_t modalWindowId;       // nested loop (mode 1) runs while non-zero
    int (*fatalHook)(int32_t code, const char* text);
    // Exit routines, in registration order.
    void (*exitRoutines[256])(void);
    int exitRoutineCount;
    // Idle callbacks: three parallel lists.
    HWND idleWindows[32];
    void (*idleCallbacks[32])(uint32_t);
    uint32_t idleParams[32];
    int idleCount;
    bool fatalHookActive;

    // Releases the object of an automation object record (notification
    // 2035); set by the automation layer.
    void (*releaseAutomationObject)(void* record);
    // Installs the window layer (fills `ui`); called by rt_InitProgramImage
    // before templates are read. Set by the program's entry point.
    void (*installWindowLayer)(void);

    HICON iconLarge, iconSmall;   // "DEFAULT_ICON", loaded on first request
    // A batch run: windows load hidden, message boxes and the list box
    // write to standard error and output instead (notification 2040).
    bool batchMode;
};
extern RtState g_rt;

// ---- values and memory ----
void* rt_Allocate(int32_t bytes);                 // fatal on failure
void* rt_AllocateQuiet(int32_t bytes);            // null on failure
void* rt_Reallocate(void* p, int32_t bytes);      // fatal on failure
void rt_Free(void* p);                            // ignores null and constants
bool rt_IsConstant(const void* p);
char* rt_DupText(const char* s);                  // null for null/empty
char* rt_TextFromBytes(const void* p, int32_t n); // null for n <= 0
uint8_t* rt_ByteSetFromBytes(const void* p, int32_t n);  // {1, n, bytes}; null for n == 0
// The same two made through another allocator: a library's goes through its
// notification function (commands/library.cpp).
typedef void* (*RtAllocator)(int32_t bytes);
char* rt_TextFromBytesBy(RtAllocator allocate, const void* p, int32_t n);
uint8_t* rt_ByteSetFromBytesBy(RtAllocator allocate, const void* p, int32_t n);
int32_t rt_ByteSetLength(const void* byteSet);    // 0 for null
const uint8_t* rt_ByteSetData(const void* byteSet);
int32_t rt_ElementSize(uint32_t type);            // 1,2,4,8,4,8 numeric; else 0
int32_t rt_ArrayCount(const void* array);
void* rt_ArrayElements(void* array);
void rt_UnshareArray(void** var, int32_t elementSize);
// Appends one element (elementSize bytes at `element`) to a 1-D array variable.
void rt_ArrayAppend(void** var, int32_t elementSize, const void* element);
void rt_FreeArray(uint32_t elementType, void* array);  // frees text/byte set elements too
int32_t rt_ToInt32(const ArgRecord* r);           // fatal for non-numeric types

// Value formatting into a caller buffer (at least 64 bytes); returns the length.
int rt_FormatSingle(float v, char* out);
int rt_FormatDouble(double v, char* out);
int rt_FormatDateTime(double v, char* out);
double rt_RoundSingle(float v);                   // the 6-significant-digit rounding

// ---- fatal report ----
// Composes the report text into out (size cap); returns its length.
int rt_ComposeFatal(const char* message, int32_t code, int32_t loc1, int32_t loc2,
                    char* out, int cap);
VELL_NORETURN void rt_FatalReport(const char* message, int32_t code, int32_t loc1, int32_t loc2);
VELL_NORETURN void rt_ReportRuntimeError(int32_t code, int32_t loc1, int32_t loc2);
const char* rt_RuntimeErrorText(int32_t code);    // null outside 1..11

// ---- notifications, commands, life cycle ----
uint32_t rt_Notify(int32_t code, uint32_t a1, uint32_t a2);
void rt_CallCommand(ArgRecord* result, CommandEntry cmd, int32_t count, ArgRecord* args);
// Makes the runtime's application object the framework's (before FwRun).
void rt_InstallApplication(void);
void rt_InitProgramImage(void);
void rt_RegisterExitRoutine(void (*routine)(void));
void rt_AddIdleCallback(HWND hwnd, void (*callback)(uint32_t), uint32_t param);
void rt_RunMessageLoop(void);
void rt_MessageLoop(int mode);                    // 0 main, 1 nested modal
void rt_ProcessPendingMessages(void);
void rt_Shutdown(int32_t code);
VELL_NORETURN void rt_ExitProgram(int32_t code);
void rt_LoadWindow(uint32_t windowId);
void rt_GetProgramIcons(HICON* large, HICON* small);
uint32_t rt_NextFreshNumber(void);

// ---- the command line and batch runs (utilities 7 to 10) ----
void* rt_ProgramArguments(void);                  // array of texts, arguments after the program's name
char* rt_FolderPath(const char* given);           // full path in the folder picker's form; null for ""
// Brings a path into the folder picker's result form in place: no trailing
// "\" on a folder, exactly one on a drive root ("C:" becomes "C:\"; needs
// room for one more byte). Double-byte characters are respected: a trail
// byte 0x5C is not a backslash.
void rt_FolderResultPath(char* path);
void rt_EnterBatchMode(void);
// Writes the text and a line end to standard output (1) or error (2) as UTF-8.
void rt_WriteLine(int32_t stream, const char* text);

// ---- foreign commands ----
void* rt_ResolveForeignCommand(uint32_t number);
void rt_ReleaseForeignModules(void);
extern "C" void rt_CallForeignTrampoline(void);   // slot 1 (assembly)

// ---- find handles (utilities 0, 1) ----
char* rt_FindFile(const char* pattern, uint32_t mask, uint32_t filesOnly, uint32_t* handle);
void rt_CloseFind(uint32_t handle);
// The platform error of the last failed search start, 0 when it started or
// merely matched nothing.
uint32_t rt_LastFindError(void);
