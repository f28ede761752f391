// A program with a module of its own, for the process-level behaviour of
// the runtime: `child fatal <marker>` fails an allocation after registering
// an exit routine; `child normal <marker>` loads no window and ends;
// `child strings <marker>` ends with 3 when system strings of many sizes,
// made and freed one after another, leave memory held behind.
#include <windows.h>
#include <string.h>
#include "runtime/rt.h"

static char g_marker[MAX_PATH];
static char g_mode[16];

static void writeMarker(void) {
    HANDLE h = CreateFileA(g_marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

static const char kEmpty[4] = "";
static const LibraryRecord* const kLibraries[] = {&vell_library1, &vell_library2};
static const ProgramDescriptor kImage = {
    3, 0, 0x19889, nullptr, kEmpty, sizeof kEmpty, nullptr, 0, 2, kLibraries, 0, nullptr, nullptr};

static size_t heapBusy(void) {
    PROCESS_HEAP_ENTRY e;
    e.lpData = nullptr;
    size_t busy = 0;
    HeapLock(GetProcessHeap());
    while (HeapWalk(GetProcessHeap(), &e))
        if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += e.cbData;
    HeapUnlock(GetProcessHeap());
    return busy;
}

// As a job hands every file's text to a stream object: one string per
// file, each of another size.
static bool stringsLeaveNothing(void) {
    size_t before = heapBusy();
    for (UINT chars = 50; chars < 30000; chars += 37) SysFreeString(SysAllocStringLen(nullptr, chars));
    return heapBusy() - before < 256 * 1024;
}

static int32_t childStart(void) {
    const ServiceTable* svc = &vell_services;
    svc->CallUtility(UTIL_InitProgramImage);
    svc->CallUtility(UTIL_RegisterExitRoutine, &writeMarker);
    if (strcmp(g_mode, "fatal") == 0) svc->Allocate(0x7FFFFFF0);
    if (strcmp(g_mode, "nowindow") == 0) svc->LoadWindow(0x52010001);
    if (strcmp(g_mode, "strings") == 0 && !stringsLeaveNothing()) ExitProcess(3);
    svc->RunMessageLoop();
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmd, int) {
    // cmd: "<mode> <marker path>"
    const char* space = strchr(cmd, ' ');
    if (!space) return 2;
    lstrcpynA(g_mode, cmd, (int)(space - cmd + 1) < 16 ? (int)(space - cmd + 1) : 16);
    lstrcpynA(g_marker, space + 1, MAX_PATH);
    g_rt.image = &kImage;
    g_rt.moduleStart = childStart;
    rt_InstallApplication();
    return FwRun(instance);
}
