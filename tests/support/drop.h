// A drop list as the shell hands it to WM_DROPFILES; DragFinish frees it.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <string.h>
#include <string>
#include <vector>

inline HDROP dropOf(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& p : paths) list += p + '\0';
    list += '\0';
    HGLOBAL g = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    DROPFILES* d = (DROPFILES*)GlobalLock(g);
    d->pFiles = sizeof(DROPFILES);
    memcpy(d + 1, list.data(), list.size());
    GlobalUnlock(g);
    return (HDROP)g;
}
