// Shared by the dialog command tests with real windows: a stand-in window
// registry served through the notification channel, and a helper thread
// that finds the box or folder dialog a command shows, looks at it and
// answers it while the command waits on the test's thread.
#pragma once
#include <windows.h>
#include "tests/support/lib_env.h"
#include "tests/support/pump.h"
#include <shlobj.h>
#include <gtest/gtest.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include "commands/dialog.h"
#include "commands/library.h"
#include "runtime/rt.h"
#include "ui/kind_api.h"

namespace dialog_test {

// ---- a stand-in window registry served through the notification channel

struct FakeWindow {
    ComponentObject obj;
    bool loaded;
};
inline std::vector<FakeWindow*> g_registry;

inline uint32_t fakeUi(int32_t code, uint32_t a1, uint32_t a2, bool* handled) {
    switch (code) {
    case NOTE_OBJECT:
        *handled = true;
        for (FakeWindow* w : g_registry)
            if (w->loaded && w->obj.windowId == a1 && a2 == 0) return (uint32_t)(uintptr_t)&w->obj;
        return 0;
    case NOTE_WINDOW_COUNT: *handled = true; return (uint32_t)g_registry.size();
    case NOTE_WINDOW_HANDLE:
        *handled = true;
        if (a1 < g_registry.size() && g_registry[a1]->loaded) return (uint32_t)(uintptr_t)g_registry[a1]->obj.fw.hwnd;
        return 0;
    default: return 0;
    }
}

inline LRESULT CALLBACK testProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP + 1) {
        // A posted message that posts another one: both run in one pump.
        int* hits = (int*)l;
        ++*hits;
        if (w) PostMessageA(h, WM_APP + 1, 0, l);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

inline HWND makeWindow(const char* title) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = testProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VellDialogTest";
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassA(&wc);
        registered = true;
    }
    HWND h = CreateWindowExA(0, "VellDialogTest", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(h, nullptr);
    return h;
}

inline void drain() { pumpMessages(); }

class DialogGui : public ::testing::Test {
protected:
    void SetUp() override {
        connectLibrary();
        g_rt.ui.notify = fakeUi;
        mainThread_ = GetCurrentThreadId();
    }
    void TearDown() override {
        for (FakeWindow* w : g_registry) {
            if (IsWindow(w->obj.fw.hwnd)) DestroyWindow(w->obj.fw.hwnd);
            delete w;
        }
        g_registry.clear();
        for (HWND h : plain_)
            if (IsWindow(h)) DestroyWindow(h);
        drain();
        g_rt.ui.notify = nullptr;
    }
    // A window of the stand-in registry with the given id.
    HWND registryWindow(uint32_t id, const char* title) {
        FakeWindow* w = new FakeWindow();
        w->obj.fw.hwnd = makeWindow(title);
        w->obj.windowId = id;
        w->obj.componentId = id + 1;
        w->obj.kindId = KIND_WINDOW;
        w->loaded = true;
        g_registry.push_back(w);
        return w->obj.fw.hwnd;
    }
    HWND plainWindow(const char* title) {
        HWND h = makeWindow(title);
        plain_.push_back(h);
        return h;
    }
    DWORD mainThread_ = 0;
    std::vector<HWND> plain_;
};

// A dialog of the test thread of class "#32770" (the box and the folder
// dialog both are), optionally with a given title.
struct DialogSearch {
    const char* title;
    HWND found;
};
inline BOOL CALLBACK matchDialog(HWND h, LPARAM p) {
    DialogSearch* s = (DialogSearch*)p;
    char cls[64] = {0}, text[256] = {0};
    GetClassNameA(h, cls, sizeof cls);
    if (strcmp(cls, "#32770") || !IsWindowVisible(h)) return TRUE;
    GetWindowTextA(h, text, sizeof text);
    if (s->title && strcmp(text, s->title)) return TRUE;
    s->found = h;
    return FALSE;
}
inline HWND findDialog(DWORD thread, const char* title) {
    DialogSearch s = {title, nullptr};
    EnumThreadWindows(thread, matchDialog, (LPARAM)&s);
    return s.found;
}

// Runs `look` on the dialog once it shows, then answers it with `button`.
// Without a dialog after 10 s, or if `look` answers nothing, any dialog of
// the thread is closed so that the command cannot hang the test.
class Helper {
public:
    Helper(DWORD thread, const char* title, std::function<int(HWND)> look)
        : thread_([=] {
              HWND box = nullptr;
              for (int i = 0; i < 200 && !box; i++) {
                  box = findDialog(thread, title);
                  if (!box) Sleep(50);
              }
              found_ = box != nullptr;
              int button = box ? look(box) : 0;
              if (!box) box = findDialog(thread, nullptr);
              if (!box) return;
              if (button == 0) button = IDCANCEL;
              HWND b = GetDlgItem(box, button);
              if (b && IsWindowVisible(b)) PostMessageA(b, BM_CLICK, 0, 0);
              else PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
          }) {}
    ~Helper() { join(); }
    void join() {
        if (thread_.joinable()) thread_.join();
    }
    bool found() {
        join();
        return found_;
    }

private:
    std::atomic<bool> found_{false};
    std::thread thread_;
};

inline std::string dlgText(HWND box, int id) {
    char text[1024] = {0};
    GetDlgItemTextA(box, id, text, sizeof text);
    return text;
}
inline std::string windowText(HWND h) {
    char text[256] = {0};
    GetWindowTextA(h, text, sizeof text);
    return text;
}
inline bool shown(HWND box, int id) {
    HWND b = GetDlgItem(box, id);
    return b && IsWindowVisible(b);
}

inline ArgRecord boolArg(bool v) { return ArgRecord{v ? 1u : 0u, 0, TYPE_BOOL}; }
inline ArgRecord windowArg(uint32_t id) { return ArgRecord{id, 0, KIND_WINDOW}; }
inline ArgRecord none() { return ArgRecord{0, 0, TYPE_NONE}; }

inline ArgRecord call(CommandEntry cmd, std::vector<ArgRecord> args, int32_t count = -1) {
    ArgRecord r = {0xDEAD, 0xBEEF, 0xFFFF};
    vell_services.CallBaseCommand(&r, cmd, count < 0 ? (int32_t)args.size() : count,
                                  args.empty() ? nullptr : args.data());
    return r;
}

}  // namespace dialog_test
