// Test helpers shared by the kind tests: a recording notification function
// standing in for the runtime, a plain parent window and a message pump.
#pragma once
#include <windows.h>
#include "tests/support/pump.h"
#include <functional>
#include <vector>
#include "commands/library.h"
#include "ui/kind_api.h"
#include "ui/kinds/common/common.h"

struct KindTestNotes {
    std::vector<std::pair<uint32_t, uint32_t>> destroyed;  // 2000 (window, component)
    std::vector<EventRecord> events;                        // 2008, as raised
    // Handler for raised events: return true and set *result to answer.
    std::function<bool(const EventRecord&, int32_t* result)> handler;
    std::vector<HWND> registryWindows;                      // answers of 2032/2033
};

inline KindTestNotes& kindNotes() {
    static KindTestNotes n;
    return n;
}

inline uint32_t kindTestNotify(int32_t code, uint32_t a1, uint32_t a2) {
    KindTestNotes& n = kindNotes();
    switch (code) {
    case NOTE_COMPONENT_DESTROYED: n.destroyed.push_back({a1, a2}); return 0;
    case NOTE_RAISE_EVENT: {
        EventRecord* rec = (EventRecord*)(uintptr_t)a1;
        n.events.push_back(*rec);
        int32_t result = 0;
        if (n.handler && n.handler(*rec, &result)) {
            rec->resultPresent = 1;
            rec->result = result;
            return 1;
        }
        return 0;
    }
    case NOTE_WINDOW_COUNT: return (uint32_t)n.registryWindows.size();
    case NOTE_WINDOW_HANDLE:
        return a1 < n.registryWindows.size() ? (uint32_t)(uintptr_t)n.registryWindows[a1] : 0;
    case NOTE_ALLOCATE: return (uint32_t)(uintptr_t)HeapAlloc(GetProcessHeap(), 0, a1 ? a1 : 1);
    case NOTE_FREE: if (a1) HeapFree(GetProcessHeap(), 0, (void*)(uintptr_t)a1); return 0;
    default: (void)a2; return 0;
    }
}

inline void installKindTestNotify() {
    kindNotes() = KindTestNotes();
    lib_notify = kindTestNotify;
}

inline LRESULT CALLBACK kindTestParentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (ui_ReflectToChild(msg, wp, lp, &r)) return r;
    return DefWindowProcA(h, msg, wp, lp);
}

// A visible top-level window to put components on. A pop-up: Wine waits
// two seconds for a window manager when it hides a managed (captioned) one.
inline HWND makeTestParent(int w = 400, int h = 300) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = kindTestParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = "VellKindTestParent";
        registered = RegisterClassA(&wc) != 0;
    }
    HWND h0 = CreateWindowExA(0, "VellKindTestParent", "kinds", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN,
                              10, 10, w, h, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(h0, SW_SHOWNA);
    pumpMessages();
    return h0;
}

inline ValueRecord intValue(int32_t v) { return ValueRecord{(uint32_t)v, 0}; }
inline ValueRecord textValue(const char* s) { return ValueRecord{(uint32_t)(uintptr_t)s, 0}; }
