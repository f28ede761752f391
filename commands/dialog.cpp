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
    if (lib_Notify(NOTE_BATCH_LINE, 2, (uint32_t)(uintptr_t)message)) {
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
