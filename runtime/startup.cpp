// The life of the process: the application object, reading the program
// image, the message loop with its idle step, and the ordered shutdown.
#include "runtime/rt.h"
#include <string.h>

RtState g_rt;

static BOOL appInitInstance(FwApp* app);
static BOOL appPreTranslate(FwApp* app, MSG* msg);
static BOOL appOnIdle(FwApp* app, LONG count);
static int appExitInstance(FwApp* app);

static const FwAppSteps kAppSteps = {appInitInstance, appPreTranslate, appOnIdle, appExitInstance};
static FwApp g_app = {&kAppSteps, nullptr, nullptr, {}};

void rt_InstallApplication(void) { fw_app = &g_app; }

// ---- initialisation ----

static void splitProgramPath(const char* path) {
    const char* slash = strrchr(path, '\\');
    if (slash) {
        size_t dir = (size_t)(slash - path);
        memcpy(g_rt.programDirectory, path, dir);
        g_rt.programDirectory[dir] = 0;
        lstrcpynA(g_rt.programFileName, slash + 1, MAX_PATH + 1);
    } else {
        g_rt.programDirectory[0] = 0;
        lstrcpynA(g_rt.programFileName, path, MAX_PATH + 1);
    }
}

static BOOL appInitInstance(FwApp* app) {
    char path[MAX_PATH + 1] = {0};
    GetModuleFileNameA(app->instance, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = 0; else path[0] = 0;
    lstrcpynA(g_rt.programDirectorySlash, path, MAX_PATH + 1);
    int32_t r = g_rt.moduleStart ? g_rt.moduleStart() : 0;
    return r != 0;
}

static LRESULT CALLBACK hiddenOwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == RT_MSG_EXIT_REQUEST) rt_ExitProgram((int32_t)wp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

static void createHiddenOwner(void) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = hiddenOwnerProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
    wc.lpszClassName = "_QX_HideOwner";
    RegisterClassA(&wc);  // fails harmlessly when already registered
    g_rt.hiddenOwner = CreateWindowExA(WS_EX_TOOLWINDOW, "_QX_HideOwner", "", 0, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
}

// Texts cross into automation objects as system strings, one per file of a
// job and each the size of the file. The string cache would keep a freed
// one of every size it has seen, so memory would grow with the number of
// files; without it they go straight back to the heap.
static void disableStringCache(void) {
    HMODULE oleaut = GetModuleHandleA("oleaut32.dll");
    if (!oleaut) oleaut = LoadLibraryA("oleaut32.dll");
    typedef void(WINAPI * SetOaNoCacheFn)(void);
    SetOaNoCacheFn fn = oleaut ? (SetOaNoCacheFn)(void*)GetProcAddress(oleaut, "SetOaNoCache") : nullptr;
    if (fn) fn();
}

void rt_InitProgramImage(void) {
    const ProgramDescriptor* d = g_rt.image;
    g_rt.heap = GetProcessHeap();
    if (!d) return;
    g_rt.descriptorWord0 = d->word0;
    g_rt.descriptorWord1 = d->word1;
    g_rt.freshNumber = d->freshBase + 1;
    if (!g_rt.oleInitialised && SUCCEEDED(OleInitialize(nullptr))) g_rt.oleInitialised = true;
    disableStringCache();

    char path[MAX_PATH + 1] = {0};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    splitProgramPath(path);
    // Folders named on the command line are relative to where it was given.
    if (!g_rt.startDirectory[0]) GetCurrentDirectoryA(sizeof g_rt.startDirectory, g_rt.startDirectory);
    if (g_rt.programDirectory[0]) SetCurrentDirectoryA(g_rt.programDirectory);

    createHiddenOwner();
    g_rt.guiThreadId = GetCurrentThreadId();
    if (d->constantsSize > 0) {
        g_rt.constantsStart = (const uint8_t*)d->constants;
        g_rt.constantsEnd = g_rt.constantsStart + d->constantsSize;
    }
    if (d->foreignCount > 0) {
        uint32_t n = d->foreignCount;
        g_rt.foreignCount = n;
        g_rt.foreignLibraries = (const char**)HeapAlloc(g_rt.heap, HEAP_ZERO_MEMORY, n * sizeof(char*));
        g_rt.foreignNames = (const char**)HeapAlloc(g_rt.heap, HEAP_ZERO_MEMORY, n * sizeof(char*));
        g_rt.foreignModules = (HMODULE*)HeapAlloc(g_rt.heap, HEAP_ZERO_MEMORY, n * sizeof(HMODULE));
        g_rt.foreignEntries = (void**)HeapAlloc(g_rt.heap, HEAP_ZERO_MEMORY, n * sizeof(void*));
        for (uint32_t i = 0; i < n; i++) {
            g_rt.foreignLibraries[i] = d->foreignLibraries[i];
            g_rt.foreignNames[i] = d->foreignNames[i];
        }
    }
    for (uint32_t i = 0; i < d->libraryCount; i++) {
        const LibraryRecord* lib = d->libraries[i];
        if (lib && lib->notify) lib->notify(NOTE_LIBRARY_START, (uint32_t)(uintptr_t)&rt_Notify, 0);
    }
    g_rt.libraryCount = d->libraryCount;
    g_rt.libraries = (const LibraryRecord**)HeapAlloc(g_rt.heap, HEAP_ZERO_MEMORY, (d->libraryCount + 1) * sizeof(void*));
    g_rt.libraryWords = (uint32_t*)HeapAlloc(g_rt.heap, HEAP_ZERO_MEMORY, (d->libraryCount + 1) * sizeof(uint32_t));
    for (uint32_t i = 0; i < d->libraryCount; i++) g_rt.libraries[i] = d->libraries[i];

    if (g_rt.installWindowLayer) g_rt.installWindowLayer();
    if (d->templatesSize > 0) {
        bool ok = g_rt.ui.loadTemplates && g_rt.ui.loadTemplates(d->templates, d->templatesSize, d->codeBase);
        if (!ok) rt_FatalReport("载入窗口模板数据段出错!", 0, 0, 0);
    }
}

void rt_LoadWindow(uint32_t windowId) {
    if (!g_rt.ui.loadWindow || !g_rt.ui.loadWindow(windowId))
        rt_FatalReport("载入启动窗口失败", 0, (int32_t)windowId, 0);
}

// ---- message loop ----

static void runIdleCallbacks(void) {
    for (int i = g_rt.idleCount - 1; i >= 0; i--) {
        if (!IsWindow(g_rt.idleWindows[i])) {
            for (int j = i; j + 1 < g_rt.idleCount; j++) {
                g_rt.idleWindows[j] = g_rt.idleWindows[j + 1];
                g_rt.idleCallbacks[j] = g_rt.idleCallbacks[j + 1];
                g_rt.idleParams[j] = g_rt.idleParams[j + 1];
            }
            g_rt.idleCount--;
        } else {
            g_rt.idleCallbacks[i](g_rt.idleParams[i]);
        }
    }
}

void rt_MessageLoop(int mode) {
    LONG idleCount = 0;
    bool idling = true;
    MSG peek;
    for (;;) {
        while (idling && !PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            runIdleCallbacks();
            if (!appOnIdle(&g_app, idleCount++)) idling = false;
            if (mode == 1 && g_rt.modalWindowId == 0) return;
        }
        do {
            // A nested loop leaves the quit message queued for the outer one.
            if (mode == 1 && PeekMessageA(&peek, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return;
            if (!FwPumpMessage()) return;
            if (mode == 1 && g_rt.modalWindowId == 0) return;
            if (FwIsIdleMessage(&g_app.current)) {
                idling = true;
                idleCount = 0;
            }
        } while (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void rt_RunMessageLoop(void) {
    g_rt.messageLoopStarted = true;
    if (g_rt.ui.anyWindowExists && g_rt.ui.anyWindowExists()) rt_MessageLoop(0);
}

void rt_ProcessPendingMessages(void) {
    MSG peek;
    while (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE) && peek.message != WM_QUIT) {
        if (!FwPumpMessage()) {
            // The quit message came after all: keep it for the main loop.
            PostQuitMessage((int)g_app.current.wParam);
            break;
        }
    }
}

// ---- the runtime's overrides ----

static bool s_fwIdlePending;
static bool s_idleReset;
static DWORD s_idleStart;

static BOOL appOnIdle(FwApp* app, LONG count) {
    if (count == 0) {
        s_fwIdlePending = true;
        s_idleStart = GetTickCount();
        s_idleReset = true;
    }
    if (s_fwIdlePending) {
        s_fwIdlePending = FwBaseOnIdle(app, count) != 0;
        return TRUE;
    }
    if (count <= 1) return TRUE;
    DWORD elapsed = GetTickCount() - s_idleStart;
    bool first = s_idleReset;
    s_idleReset = false;
    return g_rt.ui.idle && g_rt.ui.idle(first, elapsed);
}

// A window that has no framework object is asked for its runtime object.
static FwWnd* objectOf(HWND h) {
    FwWnd* w = FwFromHandle(h);
    if (w) return w;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId()) return nullptr;
    w = (FwWnd*)SendMessageA(h, RT_MSG_OBJECT_QUERY, 0, 0);
    // Windows of other code may give 0x8002 a meaning of their own.
    if (!w || IsBadReadPtr(w, sizeof(FwWnd)) || w->hwnd != h) return nullptr;
    return w;
}

static BOOL appPreTranslate(FwApp* app, MSG* msg) {
    if (!msg->hwnd) {
        if (CallMsgFilterA(msg, 0)) return TRUE;
    }
    HWND stop = app->mainWindow;
    for (HWND h = msg->hwnd; h && h != stop; h = GetParent(h)) {
        FwWnd* w = objectOf(h);
        if (w && w->steps && w->steps->PreTranslateMessage && w->steps->PreTranslateMessage(w, msg)) return TRUE;
    }
    return FALSE;
}

static int appExitInstance(FwApp* app) {
    rt_Shutdown(0);
    return FwBaseExitInstance(app);
}

// ---- shutdown ----

void rt_Shutdown(int32_t code) {
    g_rt.eventBlock++;
    if (g_rt.guiThreadId && GetCurrentThreadId() != g_rt.guiThreadId) {
        if (g_rt.hiddenOwner && IsWindow(g_rt.hiddenOwner)) {
            SendMessageA(g_rt.hiddenOwner, RT_MSG_EXIT_REQUEST, (WPARAM)code, 0);
            if (!g_rt.shuttingDown) ExitProcess((UINT)code);
        }
        return;
    }
    g_rt.shuttingDown = true;
    g_rt.idleCount = 0;
    if (g_rt.ui.clearRegistry) g_rt.ui.clearRegistry();

    // A routine may register another; the list is read as it grows.
    for (int i = 0; i < g_rt.exitRoutineCount; i++) g_rt.exitRoutines[i]();
    g_rt.exitRoutineCount = 0;

    for (uint32_t i = 0; i < g_rt.libraryCount; i++) {
        const LibraryRecord* lib = g_rt.libraries[i];
        if (lib && lib->notify) lib->notify(NOTE_LIBRARY_SHUTDOWN, g_rt.libraryWords[i], 0);
    }
    g_rt.libraryCount = 0;

    rt_ReleaseForeignModules();
    g_rt.userSearchDirectory[0] = 0;
    g_rt.overrideModule = nullptr;
    g_rt.overrideName[0] = 0;
    g_rt.constantsStart = g_rt.constantsEnd = nullptr;

    if (g_rt.iconLarge) DestroyIcon(g_rt.iconLarge);
    if (g_rt.iconSmall) DestroyIcon(g_rt.iconSmall);
    g_rt.iconLarge = g_rt.iconSmall = nullptr;
    if (g_rt.hiddenOwner) DestroyWindow(g_rt.hiddenOwner);
    g_rt.hiddenOwner = nullptr;

    if (g_rt.oleInitialised) {
        OleUninitialize();
        g_rt.oleInitialised = false;
    }
}

void rt_ExitProgram(int32_t code) {
    rt_Shutdown(code);
    ExitProcess((UINT)code);
}
