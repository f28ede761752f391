// A program with a module of its own, for the process-level behaviour of
// the runtime: `child fatal <marker>` fails an allocation after registering
// an exit routine; `child normal <marker>` loads no window and ends.
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

static int32_t childStart(void) {
    const ServiceTable* svc = &vell_services;
    svc->CallUtility(UTIL_InitProgramImage);
    svc->CallUtility(UTIL_RegisterExitRoutine, &writeMarker);
    if (strcmp(g_mode, "fatal") == 0) svc->Allocate(0x7FFFFFF0);
    if (strcmp(g_mode, "nowindow") == 0) svc->LoadWindow(0x52010001);
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
    return FwRun(instance);
}
