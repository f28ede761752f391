// A program whose image declares foreign commands, for the paths that end
// the process: `foreign_child <mode>` calls foreign command 0 of the mode's
// table with two arguments (2, 3) and exits with the native result.
#include <windows.h>
#include <string.h>
#include "runtime/rt.h"

uint32_t mod_CallForeign(uint32_t number, int32_t argc, const uint32_t* args, int32_t loc1, int32_t loc2);

struct Mode {
    const char* name;
    const char* library;
    const char* command;
};
static const Mode kModes[] = {
    {"balanced", "vell_ftest.dll", "vt_add2"},
    {"stack", "vell_ftest.dll", "vt_cdecl2"},
    {"noexport", "vell_ftest.dll", "vt_missing"},
    {"colon", "C:\\vell_no_such_dir\\vell_ftest.dll", "vt_add2"},
    {"nolib", "", "vt_missing_everywhere"},
};

static const char* g_library[1];
static const char* g_command[1];
static const char kEmpty[4] = "";
static const LibraryRecord* const kLibraries[] = {&vell_library1, &vell_library2};
static ProgramDescriptor g_image = {
    3, 0, 0x19889, nullptr, kEmpty, sizeof kEmpty, nullptr, 0, 2, kLibraries, 1, g_library, g_command};

static int32_t childStart(void) {
    const ServiceTable* svc = &vell_services;
    svc->CallUtility(UTIL_InitProgramImage);
    const uint32_t args[2] = {2, 3};
    uint32_t r = mod_CallForeign(0, 2, args, 0x04014E55, 0x232);
    svc->ExitProgram((int32_t)r);
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmd, int) {
    const Mode* mode = nullptr;
    for (const Mode& m : kModes)
        if (strcmp(cmd, m.name) == 0) mode = &m;
    if (!mode) return 2;
    g_library[0] = mode->library;
    g_command[0] = mode->command;
    g_rt.image = &g_image;
    g_rt.moduleStart = childStart;
    rt_InstallApplication();
    return FwRun(instance);
}
