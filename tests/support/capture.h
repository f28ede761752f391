// Pixels of a live window as the display shows them, for tests that compare
// what two controls look like.
#pragma once
#include <windows.h>
#include "tests/support/pump.h"
#include <stdint.h>
#include <vector>

namespace capture {

// The whole window, frame and scroll bars included, as 32-bit pixels.
inline std::vector<uint32_t> Window(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<uint32_t> px((size_t)(w > 0 ? w : 0) * (size_t)(h > 0 ? h : 0));
    if (px.empty()) return px;
    BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};  // top-down
    void* bits = nullptr;
    HDC screen = GetWindowDC(hwnd);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    for (size_t i = 0; i < px.size(); i++) px[i] = ((const uint32_t*)bits)[i] & 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(hwnd, screen);
    return px;
}

// Processes messages, timers included, for `ms` milliseconds.
inline void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        pumpMessages();
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

}  // namespace capture
