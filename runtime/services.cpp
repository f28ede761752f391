// The service table, the utility table, the command call and the
// notification channel the libraries call back through.
#include "runtime/rt.h"
#include <stdarg.h>
#include <string.h>

void rt_CallCommand(ArgRecord* result, CommandEntry cmd, int32_t count, ArgRecord* args) {
    ArgRecord r = {0, 0, 0};
    cmd(&r, count, args);
    *result = r;
}

static void svcReportRuntimeError(int32_t code, int32_t loc1, int32_t loc2) { rt_ReportRuntimeError(code, loc1, loc2); }

static uint64_t svcReadProperty(uint32_t w, uint32_t c, int32_t p, int32_t m) {
    if (!g_rt.ui.readProperty) rt_FatalReport("未载入欲访问窗口组件所在的窗口", 0, (int32_t)w, (int32_t)c);
    return g_rt.ui.readProperty(w, c, p, m);
}

static void svcWriteProperty(uint32_t w, uint32_t c, int32_t p, int32_t m, uint32_t lo, uint32_t hi) {
    if (!g_rt.ui.writeProperty) rt_FatalReport("未载入欲访问窗口组件所在的窗口", 0, (int32_t)w, (int32_t)c);
    g_rt.ui.writeProperty(w, c, p, m, lo, hi);
}

static void svcExitProgram(int32_t code) { rt_ExitProgram(code); }

static void svcPackageSubroutine(void) {
    rt_FatalReport("静态编译的程序不能调用位于外部程序包中的子程序", 0, 0, 0);
}

static int64_t svcCallUtility(int32_t number, ...) {
    va_list ap;
    va_start(ap, number);
    int64_t r = 0;
    switch (number) {
    case UTIL_FindFile: {
        const char* pattern = va_arg(ap, const char*);
        uint32_t mask = va_arg(ap, uint32_t);
        uint32_t filesOnly = va_arg(ap, uint32_t);
        uint32_t* handle = va_arg(ap, uint32_t*);
        r = (int64_t)(uint32_t)(uintptr_t)rt_FindFile(pattern, mask, filesOnly, handle);
        break;
    }
    case UTIL_CloseFind: rt_CloseFind(va_arg(ap, uint32_t)); break;
    case UTIL_UnshareArray: {
        void** var = va_arg(ap, void**);
        int32_t size = va_arg(ap, int32_t);
        rt_UnshareArray(var, size);
        break;
    }
    case UTIL_RegisterExitRoutine: rt_RegisterExitRoutine(va_arg(ap, void (*)(void))); break;
    case UTIL_InitProgramImage: rt_InitProgramImage(); break;
    case UTIL_ProgramArguments: r = (int64_t)(uint32_t)(uintptr_t)rt_ProgramArguments(); break;
    case UTIL_FolderPath: r = (int64_t)(uint32_t)(uintptr_t)rt_FolderPath(va_arg(ap, const char*)); break;
    case UTIL_EnterBatchMode: rt_EnterBatchMode(); break;
    case UTIL_WriteLine: {
        int32_t stream = va_arg(ap, int32_t);
        rt_WriteLine(stream, va_arg(ap, const char*));
        break;
    }
    default: break;  // value properties of non-window objects: none in this program
    }
    va_end(ap);
    return r;
}

extern "C" const ServiceTable vell_services = {
    svcReportRuntimeError,
    (void*)rt_CallForeignTrampoline,
    rt_CallCommand,
    rt_CallCommand,
    svcReadProperty,
    svcWriteProperty,
    rt_Allocate,
    rt_Reallocate,
    rt_Free,
    svcExitProgram,
    rt_RunMessageLoop,
    rt_LoadWindow,
    svcCallUtility,
    svcPackageSubroutine,
};

void rt_RegisterExitRoutine(void (*routine)(void)) {
    for (int i = 0; i < g_rt.exitRoutineCount; i++)
        if (g_rt.exitRoutines[i] == routine) return;
    const int cap = (int)(sizeof g_rt.exitRoutines / sizeof g_rt.exitRoutines[0]);
    if (g_rt.exitRoutineCount < cap) g_rt.exitRoutines[g_rt.exitRoutineCount++] = routine;
}

void rt_AddIdleCallback(HWND hwnd, void (*callback)(uint32_t), uint32_t param) {
    const int cap = (int)(sizeof g_rt.idleWindows / sizeof g_rt.idleWindows[0]);
    if (g_rt.idleCount >= cap) return;
    g_rt.idleWindows[g_rt.idleCount] = hwnd;
    g_rt.idleCallbacks[g_rt.idleCount] = callback;
    g_rt.idleParams[g_rt.idleCount] = param;
    g_rt.idleCount++;
}

uint32_t rt_NextFreshNumber(void) { return ++g_rt.freshNumber; }

void rt_GetProgramIcons(HICON* large, HICON* small) {
    if (!g_rt.iconLarge) {
        HINSTANCE inst = GetModuleHandleA(nullptr);
        g_rt.iconLarge = (HICON)LoadImageA(inst, "DEFAULT_ICON", IMAGE_ICON, 32, 32, 0);
        g_rt.iconSmall = (HICON)LoadImageA(inst, "DEFAULT_ICON", IMAGE_ICON, 16, 16, 0);
    }
    if (large) *large = g_rt.iconLarge;
    if (small) *small = g_rt.iconSmall;
}

static void freeArrayNote(uint32_t type, void* array) { rt_FreeArray(type & ~TYPE_BYADDR, array); }

uint32_t rt_Notify(int32_t code, uint32_t a1, uint32_t a2) {
    switch (code) {
    case NOTE_ICONS: {
        HICON* pair = (HICON*)(uintptr_t)a1;
        rt_GetProgramIcons(&pair[0], &pair[1]);
        return 1;
    }
    case NOTE_TO_INT: return (uint32_t)rt_ToInt32((const ArgRecord*)(uintptr_t)a1);
    case NOTE_PROGRAM_DIRECTORY: return (uint32_t)(uintptr_t)g_rt.programDirectory;
    case NOTE_PROGRAM_FILE: return (uint32_t)(uintptr_t)g_rt.programFileName;
    case NOTE_PUMP_BLOCK: rt_ProcessPendingMessages(); g_rt.eventBlock++; return 0;
    case NOTE_PUMP_UNBLOCK: rt_ProcessPendingMessages(); if (g_rt.eventBlock > 0) g_rt.eventBlock--; return 0;
    case NOTE_PUMP: rt_ProcessPendingMessages(); return 0;
    case NOTE_FREE_ARRAY: freeArrayNote(a1, (void*)(uintptr_t)a2); return 0;
    case NOTE_ALLOCATE:
        return (uint32_t)(uintptr_t)(a2 ? rt_AllocateQuiet((int32_t)a1) : rt_Allocate((int32_t)a1));
    case NOTE_FREE: rt_Free((void*)(uintptr_t)a1); return 0;
    case NOTE_REALLOCATE: return (uint32_t)(uintptr_t)rt_Reallocate((void*)(uintptr_t)a1, (int32_t)a2);
    case NOTE_FATAL: rt_FatalReport((const char*)(uintptr_t)a1, 0, 0, 0);
    case NOTE_EXIT: rt_ExitProgram((int32_t)a1);
    case NOTE_WORD0: return g_rt.descriptorWord0;
    case NOTE_RELEASE_OBJECT:
        if (g_rt.releaseAutomationObject) g_rt.releaseAutomationObject((void*)(uintptr_t)a1);
        return 0;
    case NOTE_BATCH_LINE:
        if (!g_rt.batchMode) return 0;
        rt_WriteLine((int32_t)a1, (const char*)(uintptr_t)a2);
        return 1;
    default: break;
    }
    if (g_rt.ui.notify) {
        bool handled = false;
        uint32_t r = g_rt.ui.notify(code, a1, a2, &handled);
        if (handled) return r;
    }
    return 0;
}
