// Our GUI application framework: the application object's steps, window
// objects attached to handles, and the message pump.
#include "platform/framework.h"

FwApp* fw_app = nullptr;

static const char* const kAttachProp = "FwWnd";

// This thread's windows, asked for on every message; the property stays
// for the windows of other threads.
static thread_local FwHandleTable<FwWnd> t_attached;

void FwAttach(HWND hwnd, FwWnd* wnd) {
    t_attached.remove(hwnd);
    if (SetPropA(hwnd, kAttachProp, (HANDLE)wnd)) t_attached.add(hwnd, wnd);
}

void FwDetach(HWND hwnd) {
    t_attached.remove(hwnd);
    RemovePropA(hwnd, kAttachProp);
}

FwWnd* FwFromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    FwWnd* wnd = t_attached.find(hwnd);
    return wnd ? wnd : (FwWnd*)GetPropA(hwnd, kAttachProp);
}

BOOL FwBasePreTranslateMessage(FwApp*, MSG*) { return FALSE; }

BOOL FwBaseOnIdle(FwApp*, LONG count) {
    // The framework's own idle work is a single pass of housekeeping.
    return count < 1;
}

int FwBaseExitInstance(FwApp* app) { return (int)app->current.wParam; }

static BOOL preTranslate(MSG* msg) {
    if (fw_app && fw_app->steps && fw_app->steps->PreTranslateMessage)
        return fw_app->steps->PreTranslateMessage(fw_app, msg);
    return FALSE;
}

BOOL FwPumpMessage(void) {
    MSG* msg = fw_app ? &fw_app->current : nullptr;
    MSG local;
    if (!msg) msg = &local;
    BOOL r = GetMessageA(msg, nullptr, 0, 0);
    if (r == 0 || r == -1) return FALSE;
    if (!preTranslate(msg)) {
        TranslateMessage(msg);
        DispatchMessageA(msg);
    }
    return TRUE;
}

BOOL FwIsIdleMessage(const MSG* msg) {
    static POINT last = {-1, -1};
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
        if (msg->pt.x == last.x && msg->pt.y == last.y) return FALSE;
        last = msg->pt;
        return TRUE;
    }
    return msg->message != WM_PAINT && msg->message != 0x0118 /* caret blink */;
}

static int defaultLoop(void) {
    LONG idle = 0;
    bool idling = true;
    for (;;) {
        MSG peek;
        while (idling && !PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!fw_app->steps->OnIdle(fw_app, idle++)) idling = false;
        }
        do {
            if (!FwPumpMessage()) return fw_app->steps->ExitInstance(fw_app);
            if (FwIsIdleMessage(&fw_app->current)) {
                idling = true;
                idle = 0;
            }
        } while (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

int FwRun(HINSTANCE instance) {
    if (!fw_app || !fw_app->steps) return -1;
    fw_app->instance = instance;
    if (fw_app->steps->InitInstance(fw_app)) return defaultLoop();
    if (fw_app->mainWindow && IsWindow(fw_app->mainWindow)) DestroyWindow(fw_app->mainWindow);
    return fw_app->steps->ExitInstance(fw_app);
}
