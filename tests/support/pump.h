// The one message pump of the tests: runs what is queued, then returns.
#pragma once
#include <windows.h>

inline void pumpMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}
