// Our small GUI application framework: an application object with
// initialisation, pre-translate, idle and exit steps, window objects that
// can pre-translate messages, and the message pump. The runtime overrides
// the application steps through the table below.
#pragma once
#include <windows.h>
#include <vector>

struct FwApp;
struct FwWnd;

// Application steps, in the framework's slot order.
struct FwAppSteps {
    BOOL (*InitInstance)(FwApp* app);                 // FALSE: do not run our own loop
    BOOL (*PreTranslateMessage)(FwApp* app, MSG* msg);
    BOOL (*OnIdle)(FwApp* app, LONG count);           // TRUE: more idle time wanted
    int (*ExitInstance)(FwApp* app);                  // the process exit code
};

struct FwApp {
    const FwAppSteps* steps;
    HINSTANCE instance;
    HWND mainWindow;   // the thread's main window, if any
    MSG current;       // the message being pumped
};

// Window objects: anything the pre-translation walk can find for a HWND.
struct FwWndSteps {
    BOOL (*PreTranslateMessage)(FwWnd* wnd, MSG* msg);
};
struct FwWnd {
    const FwWndSteps* steps;
    HWND hwnd;
};

// The application object FwRun runs; its owner installs it first.
extern FwApp* fw_app;

// Runs the application: InitInstance, then (when it returned TRUE) the
// framework's own loop; then ExitInstance. Returns the exit code.
int FwRun(HINSTANCE instance);

// The framework's own steps, for overrides to fall back on.
BOOL FwBasePreTranslateMessage(FwApp* app, MSG* msg);
BOOL FwBaseOnIdle(FwApp* app, LONG count);
int FwBaseExitInstance(FwApp* app);

// Retrieves one message (waiting for it), pre-translates and dispatches it.
// FALSE when it was WM_QUIT.
BOOL FwPumpMessage(void);
// Whether a message restarts idle processing (mouse moves that did not move
// and the caret blink do not).
BOOL FwIsIdleMessage(const MSG* msg);

// Framework objects attached to native windows (in addition to the 0x8002
// query the runtime uses for its own objects).
void FwAttach(HWND hwnd, FwWnd* wnd);
void FwDetach(HWND hwnd);
FwWnd* FwFromHandle(HWND hwnd);

// Records of one thread's windows by handle, found without asking the
// system: window properties live in Wine's server, and a lookup on every
// message would be a round trip.
template <typename T>
struct FwHandleTable {
    struct Entry {
        HWND hwnd;
        T* record;
    };
    std::vector<Entry> entries;

    T* find(HWND hwnd) const {
        for (const Entry& e : entries)
            if (e.hwnd == hwnd) return e.record;
        return nullptr;
    }
    void add(HWND hwnd, T* record) {
        remove(hwnd);
        entries.push_back({hwnd, record});
    }
    void remove(HWND hwnd) {
        for (size_t i = 0; i < entries.size(); i++)
            if (entries[i].hwnd == hwnd) {
                entries[i] = entries.back();
                entries.pop_back();
                return;
            }
    }
};
