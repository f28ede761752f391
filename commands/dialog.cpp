// Dialog commands: the message box, the folder picker and the pump that
// lets window messages run during long handlers.
#include "commands/dialog.h"
#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include "commands/library.h"
#include "runtime/rt.h"

static int formatLong(int64_t v, char* out) {
    char digits[24];
    int n = 0;
    // Work on the magnitude as unsigned so the most negative value survives.
    uint64_t m = v < 0 ? (uint64_t)0 - (uint64_t)v : (uint64_t)v;
    do {
        digits[n++] = (char)('0' + (int)(m % 10));
        m /= 10;
    } while (m);
    int len = 0;
    if (v < 0) out[len++] = '-';
    while (n) out[len++] = digits[--n];
    out[len] = 0;
    return len;
}

const char* dlg_ValueText(const ArgRecord* a, char (&buf)[64]) {
    buf[0] = 0;
    if (!a) return buf;
    switch (a->type) {
    case TYPE_TEXT: {
        const char* t = (const char*)(uintptr_t)a->low;
        return t ? t : buf;
    }
    case TYPE_BYTE: snprintf(buf, sizeof buf, "%u", (unsigned)(a->low & 0xFF)); break;
    case TYPE_SHORT: snprintf(buf, sizeof buf, "%d", (int)(int16_t)(a->low & 0xFFFF)); break;
    case TYPE_INT: snprintf(buf, sizeof buf, "%d", (int)(int32_t)a->low); break;
    case TYPE_LONG: formatLong((int64_t)(((uint64_t)a->high << 32) | a->low), buf); break;
    case TYPE_FLOAT: {
        float f;
        memcpy(&f, &a->low, 4);
        rt_FormatSingle(f, buf);
        break;
    }
    case TYPE_DOUBLE:
    case TYPE_DATETIME: {
        uint64_t bits = ((uint64_t)a->high << 32) | a->low;
        double d;
        memcpy(&d, &bits, 8);
        if (a->type == TYPE_DOUBLE) rt_FormatDouble(d, buf);
        else rt_FormatDateTime(d, buf);
        break;
    }
    case TYPE_BOOL: snprintf(buf, sizeof buf, "%s", a->low ? "真" : "假"); break;
    default: break;
    }
    return buf;
}

HWND dlg_OwnerHandle(const ArgRecord* owner) {
    if (!owner) return nullptr;
    HWND h = nullptr;
    if (owner->type == KIND_WINDOW) {
        // The live window object of that id; 0 when it is not loaded.
        const FwWnd* obj = (const FwWnd*)(uintptr_t)lib_Notify(NOTE_OBJECT, owner->low, 0);
        if (obj) h = obj->hwnd;
    } else if (owner->type == TYPE_INT) {
        h = (HWND)(uintptr_t)owner->low;
    }
    // A stale handle would make the box fail unseen; show it unowned instead.
    return (h && IsWindow(h)) ? h : nullptr;
}

UINT dlg_BoxType(uint32_t flags) {
    return (flags & MB_SYSTEMMODAL) ? flags : (flags | MB_TASKMODAL);
}

int32_t dlg_ButtonNumber(int pressed) {
    // IDOK 1 .. IDNO 7 become 0 .. 6; no box (0), help, try again and the
    // rest give 0.
    return (pressed >= IDOK && pressed <= IDNO) ? pressed - 1 : 0;
}

extern "C" void cmd_InfoBox(ArgRecord* result, int32_t count, ArgRecord* args) {
    char messageBuf[64], titleBuf[64];
    const char* message = dlg_ValueText(lib_Arg(count, args, 0), messageBuf);
    const ArgRecord* flagsArg = lib_Arg(count, args, 1);
    uint32_t flags = flagsArg ? (uint32_t)lib_ToInt(flagsArg) : 0;
    const ArgRecord* titleArg = lib_Arg(count, args, 2);
    // A given but null title is the empty text, not the system's "Error".
    const char* title = titleArg ? dlg_ValueText(titleArg, titleBuf) : "信息：";
    // A batch run shows no box: its text goes to standard error, and the
    // answer is the first button.
    if (lib_Notify(NOTE_BATCH_LINE, LINE_TO_ERROR, (uint32_t)(uintptr_t)message)) {
        lib_SetInt(result, 0);
        return;
    }
    HWND owner = count >= 4 ? dlg_OwnerHandle(lib_Arg(count, args, 3)) : nullptr;
    int pressed = MessageBoxA(owner, message, title, dlg_BoxType(flags));
    lib_SetInt(result, dlg_ButtonNumber(pressed));
}

extern "C" void cmd_ProcessEvents(ArgRecord*, int32_t, ArgRecord*) {
    lib_Notify(NOTE_PUMP);
}

// ---- the folder picker ----

void dlg_BeginModality(DlgModality* m) {
    m->active = GetActiveWindow();
    m->foreground = GetForegroundWindow();
    m->disabledCount = 0;
    const int cap = (int)(sizeof m->disabled / sizeof m->disabled[0]);
    int32_t windows = (int32_t)lib_Notify(NOTE_WINDOW_COUNT);
    for (int32_t i = 0; i < windows && m->disabledCount < cap; i++) {
        HWND h = (HWND)(uintptr_t)lib_Notify(NOTE_WINDOW_HANDLE, (uint32_t)i);
        if (!h || !IsWindow(h) || (GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) continue;
        if (!IsWindowEnabled(h)) continue;
        EnableWindow(h, FALSE);
        m->disabled[m->disabledCount++] = h;
    }
}

void dlg_EndModality(const DlgModality* m) {
    for (int i = 0; i < m->disabledCount; i++)
        if (IsWindow(m->disabled[i])) EnableWindow(m->disabled[i], TRUE);
    if (m->foreground && IsWindow(m->foreground)) SetForegroundWindow(m->foreground);
    if (m->active && IsWindow(m->active)) SetActiveWindow(m->active);
}

extern "C" void cmd_BrowseForFolder(ArgRecord* result, int32_t count, ArgRecord* args) {
    char* chosen = nullptr;
    char titleBuf[64];
    const char* title = dlg_ValueText(lib_Arg(count, args, 0), titleBuf);
    const ArgRecord* withFiles = lib_Arg(count, args, 1);

    char displayName[MAX_PATH];
    displayName[0] = 0;
    BROWSEINFOA bi;
    memset(&bi, 0, sizeof bi);
    HWND active = GetActiveWindow();
    bi.hwndOwner = (active && IsWindow(active)) ? active : nullptr;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = displayName;
    bi.lpszTitle = title;
    bi.ulFlags = BIF_EDITBOX;
    if (withFiles && withFiles->low) bi.ulFlags |= BIF_BROWSEINCLUDEFILES;

    DlgModality modality;
    dlg_BeginModality(&modality);
    LPITEMIDLIST item = SHBrowseForFolderA(&bi);
    dlg_EndModality(&modality);

    if (item) {
        // One byte beyond MAX_PATH for the "\" a bare drive may gain.
        char path[MAX_PATH + 2];
        path[0] = 0;
        if (SHGetPathFromIDListA(item, path)) {
            path[MAX_PATH] = 0;
            rt_FolderResultPath(path);
            chosen = lib_DupText(path);
        }
        IMalloc* alloc = nullptr;
        if (SUCCEEDED(SHGetMalloc(&alloc)) && alloc) {
            alloc->Free(item);
            alloc->Release();
        }
    }
    lib_SetText(result, chosen);
}

// ---- the popup menu, the save dialog and the clipboard ----

// The native window of a component argument (window id low, component id
// high; 0 for the window itself); a window or component that is not loaded
// ends in the runtime's report.
static HWND componentHandle(const ArgRecord* a) {
    if (!a) return nullptr;
    const FwWnd* obj = (const FwWnd*)(uintptr_t)lib_Notify(NOTE_OBJECT_CHECKED, a->low, a->high);
    return obj && IsWindow(obj->hwnd) ? obj->hwnd : nullptr;
}

HMENU dlg_BuildMenu(const char* items, uint32_t greyed) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    const char* p = items ? items : "";
    for (UINT number = 1;; number++) {
        const char* end = strchr(p, '\n');
        size_t n = end ? (size_t)(end - p) : strlen(p);
        char text[256];
        if (n >= sizeof text) n = sizeof text - 1;
        memcpy(text, p, n);
        text[n] = 0;
        UINT flags = n == 0 ? MF_SEPARATOR : MF_STRING;
        if (number <= 32 && (greyed >> (number - 1) & 1u)) flags |= MF_GRAYED;
        AppendMenuA(menu, flags, number, text);
        if (!end) break;
        p = end + 1;
    }
    return menu;
}

extern "C" void cmd_PopupMenu(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetInt(result, 0);
    HWND anchor = componentHandle(lib_Arg(count, args, 0));
    if (!anchor) return;
    const ArgRecord* x = lib_Arg(count, args, 1);
    const ArgRecord* y = lib_Arg(count, args, 2);
    const ArgRecord* greyed = lib_Arg(count, args, 4);
    HMENU menu = dlg_BuildMenu(lib_ArgText(lib_Arg(count, args, 3)), greyed ? (uint32_t)lib_ToInt(greyed) : 0);
    if (!menu) return;
    POINT at = {x ? lib_ToInt(x) : 0, y ? lib_ToInt(y) : 0};
    HWND owner = GetAncestor(anchor, GA_ROOT);
    // A menu whose owner is not in front would stay open after a click
    // elsewhere; the empty message afterwards lets it close properly.
    SetForegroundWindow(owner);
    UINT chosen = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x,
                                       at.y, 0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    lib_SetInt(result, (int32_t)chosen);
}

void dlg_FilterText(const char* filter, char* out, size_t size) {
    size_t n = 0;
    for (const char* p = filter ? filter : ""; *p && n + 2 < size; p++) out[n++] = *p == '|' ? '\0' : *p;
    out[n++] = 0;
    out[n] = 0;
}

extern "C" void cmd_SaveFileDialog(ArgRecord* result, int32_t count, ArgRecord* args) {
    char titleBuf[64], nameBuf[64], filterBuf[64];
    const char* title = dlg_ValueText(lib_Arg(count, args, 0), titleBuf);
    const char* name = dlg_ValueText(lib_Arg(count, args, 1), nameBuf);
    const char* filterArg = dlg_ValueText(lib_Arg(count, args, 2), filterBuf);
    char filter[512];
    dlg_FilterText(filterArg, filter, sizeof filter);
    char path[MAX_PATH];
    lstrcpynA(path, name, MAX_PATH);
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    HWND active = GetActiveWindow();
    ofn.hwndOwner = (active && IsWindow(active)) ? active : nullptr;
    ofn.lpstrFilter = filter[0] ? filter : nullptr;
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title[0] ? title : nullptr;
    ofn.lpstrDefExt = "txt";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    DlgModality modality;
    dlg_BeginModality(&modality);
    BOOL chosen = GetSaveFileNameA(&ofn);
    dlg_EndModality(&modality);
    lib_SetText(result, chosen ? lib_DupText(path) : nullptr);
}

extern "C" void cmd_SetClipboardText(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetBool(result, false);
    const char* text = lib_ArgText(lib_Arg(count, args, 0));
    if (!text) text = "";
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    HGLOBAL block = wideLength > 0 ? GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)wideLength * sizeof(WCHAR)) : nullptr;
    if (!block) return;
    MultiByteToWideChar(CP_ACP, 0, text, -1, (WCHAR*)GlobalLock(block), wideLength);
    GlobalUnlock(block);
    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int i = 0; i < 10 && !(open = OpenClipboard(GetActiveWindow())); i++) Sleep(20);
    bool done = open && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block);
    if (open) CloseClipboard();
    if (!done) GlobalFree(block);
    lib_SetBool(result, done);
}
