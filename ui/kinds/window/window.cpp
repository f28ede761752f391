#include "ui/kinds/window/window.h"
#include "ui/loader/loader.h"
#include "platform/picture.h"
#include <mmsystem.h>
#include <shellapi.h>
#include <algorithm>
#include <ctype.h>
#include <string.h>
#include <vector>

static_assert(offsetof(WindowObject, marks) == offsetof(UiWindowObject, marks), "the loader's marks");

// ---- styles ----

bool window_Resizable(int32_t border) { return border == 1 || border == 3 || border == 5; }

void window_BorderStyles(int32_t border, uint32_t* style, uint32_t* exStyle) {
    *style = 0;
    *exStyle = 0;
    if (border == 0) return;
    *style = WS_DLGFRAME;
    if (window_Resizable(border)) *style |= WS_THICKFRAME;
    if (border == 3 || border == 4) *exStyle = WS_EX_TOOLWINDOW;
    if (border == 5 || border == 6) *exStyle = WS_EX_CLIENTEDGE;
}

uint32_t window_CaptionBits(const WindowProps& p) {
    uint32_t bits = 0;
    if (p.border != 0) {
        bits |= WS_DLGFRAME;
        if (!p.title.empty() || p.controlBox) {
            bits |= WS_CAPTION;
            if (p.controlBox) bits |= WS_SYSMENU;
        }
    }
    if (p.maxBox) bits |= WS_MAXIMIZEBOX;
    if (p.minBox) bits |= WS_MINIMIZEBOX;
    return bits;
}

static const UINT kFrameChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
static const uint32_t kCaptionMask = 0x00CB0000u;

static void applyCaptionBits(WindowObject* o) {
    HWND h = o->head.fw.hwnd;
    uint32_t st = (uint32_t)GetWindowLongA(h, GWL_STYLE);
    st = (st & ~kCaptionMask) | window_CaptionBits(o->props);
    SetWindowLongA(h, GWL_STYLE, (LONG)st);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, kFrameChange);
}

static void applyBorder(WindowObject* o) {
    HWND h = o->head.fw.hwnd;
    uint32_t add, addEx;
    window_BorderStyles(o->props.border, &add, &addEx);
    uint32_t st = (uint32_t)GetWindowLongA(h, GWL_STYLE);
    st = (st & ~(uint32_t)(WS_DLGFRAME | WS_THICKFRAME)) | add;
    SetWindowLongA(h, GWL_STYLE, (LONG)st);
    uint32_t ex = (uint32_t)GetWindowLongA(h, GWL_EXSTYLE);
    ex = (ex & ~0x281u) | addEx;
    SetWindowLongA(h, GWL_EXSTYLE, (LONG)ex);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, kFrameChange);
    applyCaptionBits(o);
}

// ---- icons, shape, sound ----

// The first usable image of icon file data, at the wanted size.
static HICON iconFromFileData(const std::string& data, int cx, int cy) {
    const uint8_t* b = (const uint8_t*)data.data();
    size_t n = data.size();
    if (n < 6) return nullptr;
    uint16_t type = (uint16_t)(b[2] | (b[3] << 8)), count = (uint16_t)(b[4] | (b[5] << 8));
    if (type != 1 || count == 0 || 6 + (size_t)count * 16 > n) return nullptr;
    for (uint16_t i = 0; i < count; i++) {
        const uint8_t* e = b + 6 + i * 16;
        uint32_t size, offset;
        memcpy(&size, e + 8, 4);
        memcpy(&offset, e + 12, 4);
        if (offset >= n || size == 0 || size > n - offset) continue;
        HICON icon = CreateIconFromResourceEx((PBYTE)(b + offset), size, TRUE, 0x00030000, cx, cy, 0);
        if (icon) return icon;
    }
    return nullptr;
}

static void releaseIcons(WindowObject* o) {
    if (o->ownIcons) {
        if (o->iconLarge) DestroyIcon(o->iconLarge);
        if (o->iconSmall) DestroyIcon(o->iconSmall);
    }
    o->iconLarge = o->iconSmall = nullptr;
    o->ownIcons = false;
}

static void applyIcons(WindowObject* o) {
    HWND h = o->head.fw.hwnd;
    HICON oldLarge = o->iconLarge, oldSmall = o->iconSmall;
    bool oldOwn = o->ownIcons;
    o->iconLarge = o->iconSmall = nullptr;
    o->ownIcons = false;
    if (!o->props.icon.empty()) {
        o->iconLarge = iconFromFileData(o->props.icon, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        o->iconSmall = iconFromFileData(o->props.icon, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
        o->ownIcons = true;
    }
    if (!o->iconLarge && !o->iconSmall) {
        if (o->ownIcons) releaseIcons(o);
        HICON pair[2] = {nullptr, nullptr};
        lib_Notify(NOTE_ICONS, (uint32_t)(uintptr_t)pair, 0);
        o->iconLarge = pair[0];
        o->iconSmall = pair[1];
        o->ownIcons = false;
    }
    SendMessageA(h, WM_SETICON, ICON_BIG, (LPARAM)o->iconLarge);
    SendMessageA(h, WM_SETICON, ICON_SMALL, (LPARAM)(o->iconSmall ? o->iconSmall : o->iconLarge));
    if (oldOwn) {
        if (oldLarge) DestroyIcon(oldLarge);
        if (oldSmall) DestroyIcon(oldSmall);
    }
}

static void applyShape(WindowObject* o) {
    HWND h = o->head.fw.hwnd;
    RECT r;
    GetWindowRect(h, &r);
    int w = r.right - r.left, ht = r.bottom - r.top;
    HRGN rgn = nullptr;
    switch (o->props.shape) {
    case 1: rgn = CreateEllipticRgn(0, 0, w, ht); break;
    case 2: rgn = CreateRoundRectRgn(0, 0, w, ht, w / 4, ht / 4); break;
    case 3: {
        rgn = CreateEllipticRgn(0, 0, w, ht);
        HRGN inner = CreateEllipticRgn(w / 4, ht / 4, w - w / 4, ht - ht / 4);
        if (rgn && inner) CombineRgn(rgn, rgn, inner, RGN_DIFF);
        if (inner) DeleteObject(inner);
        break;
    }
    default: break;  // 0 and the shapes without a drawing: the rectangle
    }
    // The system owns a region once it is set.
    SetWindowRgn(h, rgn, TRUE);
}

static void stopSound(WindowObject* o) { sound_Stop(&o->sound); }

static void startSound(WindowObject* o) {
    sound_Start(&o->sound, o->head.fw.hwnd, o->props.sound, o->props.soundRepeat);
}

static void applyTopmost(WindowObject* o) {
    SetWindowPos(o->head.fw.hwnd, o->props.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

static void applyMovable(WindowObject* o) {
    HWND h = o->head.fw.hwnd;
    if (o->props.movable) {
        GetSystemMenu(h, TRUE);  // restores the standard menu
    } else {
        HMENU m = GetSystemMenu(h, FALSE);
        if (m) DeleteMenu(m, SC_MOVE, MF_BYCOMMAND);
    }
}

static void centre(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    int w = r.right - r.left, ht = r.bottom - r.top;
    SetWindowPos(h, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - ht) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- object life ----

static void endObject(WindowObject* o) {
    releaseIcons(o);
    pic_Free(o->picture);
    o->picture = nullptr;
    delete o;
}

struct BusyScope {
    WindowObject* o;
    explicit BusyScope(WindowObject* obj) : o(obj) { o->busy++; }
    ~BusyScope() {
        if (--o->busy == 0 && o->ended) endObject(o);
    }
    // The native window is gone: the object must not be touched any more.
    bool gone() const { return o->ended; }
};

// Raises an event of the window; *refused when a handler ran and returned 0.
static int32_t raiseWindowEvent(WindowObject* o, int32_t event, bool* refused = nullptr) {
    EventRecord rec;
    int32_t ran = ui_RaiseEventRecord(&rec, &o->head, event, 0, nullptr);
    if (refused) *refused = ran && rec.resultPresent && rec.result == 0;
    return ran;
}

// A folder dropped on the window raises event 13 with its path; files are
// not folders and are passed over, and of several folders the first counts.
static void folderDropped(WindowObject* o, HDROP drop) {
    BusyScope busy(o);
    UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; i++) {
        std::string path(DragQueryFileA(drop, i, nullptr, 0), '\0');
        if (path.empty() || DragQueryFileA(drop, i, &path[0], (UINT)path.size() + 1) != path.size()) continue;
        DWORD a = GetFileAttributesA(path.c_str());
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) continue;
        uint32_t arg = (uint32_t)(uintptr_t)path.c_str();
        EventRecord rec;
        ui_RaiseEventRecord(&rec, &o->head, WEV_FOLDER_DROPPED, 1, &arg);
        break;
    }
    DragFinish(drop);
}

static bool anyRegistryWindowLive(HWND except) {
    uint32_t n = lib_Notify(NOTE_WINDOW_COUNT, 0, 0);
    for (uint32_t i = 0; i < n; i++) {
        HWND h = (HWND)(uintptr_t)lib_Notify(NOTE_WINDOW_HANDLE, i, 0);
        if (h && h != except && IsWindow(h)) return true;
    }
    return false;
}

static void windowEnded(WindowObject* o, HWND hwnd) {
    if (o->accelerators) DestroyAcceleratorTable(o->accelerators);
    o->accelerators = nullptr;
    ui_ReleasePointers(o->head.windowId);
    lib_Notify(NOTE_COMPONENT_DESTROYED, o->head.windowId, 0);
    if (g_rt.messageLoopStarted && !anyRegistryWindowLive(hwnd)) PostQuitMessage(0);
}

// ---- keyboard handling, over what the loader tells of the components ----

static uint32_t kindFlagsOf(uint32_t windowId, int32_t index) {
    UiEntry e;
    return ui_GetEntry(windowId, index, &e) ? e.kindFlags : 0;
}

static int32_t focusedEntry(uint32_t windowId) {
    HWND f = GetFocus();
    return f ? ui_EntryOfHandle(windowId, f) : -1;
}

static bool moveFocus(WindowObject* o, bool forward) {
    uint32_t id = o->head.windowId;
    std::vector<int32_t> list((size_t)ui_EntryCount(id) + 1);
    int32_t n = ui_TabOrder(id, list.data(), (int32_t)list.size());
    if (n == 0) return false;
    int32_t cur = focusedEntry(id);
    int32_t pos = -1;
    for (int32_t i = 0; i < n; i++)
        if (list[i] == cur) pos = i;
    int32_t next;
    UiEntry at;
    if (ui_GetEntry(id, cur, &at) && (at.kindFlags & 0x6000)) {
        // Chosen by tab order value rather than by place in the list.
        int32_t value = (at.kindFlags & 0x4000) ? 0 : at.tabOrder;
        next = -1;
        for (int32_t i = 0; i < n; i++) {
            UiEntry e;
            int32_t v = ui_GetEntry(id, list[i], &e) ? e.tabOrder : 0;
            if (forward && v >= value && list[i] != cur) { next = i; break; }
            if (!forward && v < value) next = i;
        }
        if (next < 0) next = forward ? 0 : n - 1;
    } else if (pos < 0) {
        next = forward ? 0 : n - 1;
    } else {
        next = forward ? (pos + 1) % n : (pos + n - 1) % n;
    }
    UiEntry target;
    if (ui_GetEntry(id, list[next], &target)) SetFocus(target.obj->fw.hwnd);
    return true;
}

// The live, enabled default push button of entry `index`, or null.
static ComponentObject* defaultButton(uint32_t windowId, int32_t index) {
    UiEntry e;
    if (!ui_GetEntry(windowId, index, &e) || !(e.kindFlags & KF_DEFAULT_BUTTON)) return nullptr;
    if (!IsWindowEnabled(e.obj->fw.hwnd)) return nullptr;
    KindIsDefaultFn fn = e.iface ? (KindIsDefaultFn)e.iface(KI_IS_DEFAULT_BUTTON) : nullptr;
    return fn && fn(e.obj) ? e.obj : nullptr;
}

static bool handleEnter(WindowObject* o) {
    uint32_t id = o->head.windowId;
    if (ComponentObject* focused = defaultButton(id, focusedEntry(id))) {
        ui_RaiseEvent(focused, EV_MAIN, 0);
        return true;
    }
    if (o->props.enterMovesFocus) return moveFocus(o, true);
    for (int32_t i = 1; i < ui_EntryCount(id); i++) {
        if (ComponentObject* b = defaultButton(id, i)) {
            ui_RaiseEvent(b, EV_MAIN, 0);
            return true;
        }
    }
    return false;
}

// Arrow keys within a group of option buttons: the Tab order list narrowed
// to option kinds under the focused one's parent; the one reached is
// checked, its siblings unchecked, its event raised and the focus moved.
static bool moveInGroup(WindowObject* o, bool forward) {
    uint32_t id = o->head.windowId;
    int32_t cur = focusedEntry(id);
    UiEntry focused;
    if (!ui_GetEntry(id, cur, &focused) || !(focused.kindFlags & KF_OPTION_GROUP)) return false;
    std::vector<int32_t> all((size_t)ui_EntryCount(id) + 1), group;
    int32_t n = ui_TabOrder(id, all.data(), (int32_t)all.size());
    for (int32_t i = 0; i < n; i++) {
        UiEntry e;
        if (ui_GetEntry(id, all[i], &e) && (e.kindFlags & KF_OPTION_GROUP) && e.parentId == focused.parentId)
            group.push_back(all[i]);
    }
    if (group.empty()) return false;
    int32_t pos = (int32_t)(std::find(group.begin(), group.end(), cur) - group.begin());
    int32_t size = (int32_t)group.size();
    int32_t next = pos >= size ? 0 : forward ? (pos + 1) % size : (pos + size - 1) % size;
    UiEntry target;
    if (!ui_GetEntry(id, group[next], &target)) target.obj = nullptr;
    for (int32_t index : group) {
        UiEntry e;
        if (ui_GetEntry(id, index, &e))
            SendMessageA(e.obj->fw.hwnd, BM_SETCHECK, e.obj == target.obj ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ui_RaiseEvent(target.obj, EV_MAIN, 0);
    UiEntry after;
    if (ui_GetEntry(id, group[next], &after) && after.obj == target.obj) SetFocus(target.obj->fw.hwnd);
    return true;
}

// Whether a caption marks `key` as its mnemonic ("&" before it; "&&" is a
// plain ampersand).
static bool marksMnemonic(const char* caption, UINT key) {
    for (const char* p = caption; *p; p++) {
        if (*p != '&') continue;
        if (p[1] == '&') { p++; continue; }
        return p[1] && (UINT)toupper((unsigned char)p[1]) == key;
    }
    return false;
}

// Alt with a letter or digit: the first live, visible, enabled component
// (in table order) whose caption marks it gets the focus.
static bool focusMnemonic(WindowObject* o, UINT key) {
    if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) return false;
    uint32_t id = o->head.windowId;
    for (int32_t i = 1; i < ui_EntryCount(id); i++) {
        UiEntry e;
        if (!ui_GetEntry(id, i, &e)) continue;
        ComponentObject* obj = e.obj;
        if (!IsWindowVisible(obj->fw.hwnd) || !IsWindowEnabled(obj->fw.hwnd)) continue;
        char caption[512];
        GetWindowTextA(obj->fw.hwnd, caption, sizeof caption);
        if (!marksMnemonic(caption, key)) continue;
        SetFocus(obj->fw.hwnd);
        return true;
    }
    return false;
}

static void openHelp(WindowObject* o) {
    std::string file = o->props.helpFile;
    if (file.empty()) {
        char path[MAX_PATH + 8];
        DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        file.assign(path, n);
        size_t slash = file.find_last_of("\\/");
        size_t dot = file.find_last_of('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) file.erase(dot);
        file += ".hlp";
    }
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    if (o->props.helpContext)
        WinHelpA(o->head.fw.hwnd, file.c_str(), HELP_CONTEXT, (ULONG_PTR)(uint32_t)o->props.helpContext);
    else
        WinHelpA(o->head.fw.hwnd, file.c_str(), HELP_CONTENTS, 0);
    o->helpOpened = true;
}

BOOL window_PreTranslate(FwWnd* wnd, MSG* msg) {
    WindowObject* o = (WindowObject*)wnd;
    HWND h = o->head.fw.hwnd;
    if (!h || o->ended) return FALSE;
    if (msg->message == WM_LBUTTONDOWN && o->props.dragAnywhere && msg->hwnd != h) {
        int32_t e = ui_EntryOfHandle(o->head.windowId, msg->hwnd);
        if (e > 0 && (kindFlagsOf(o->head.windowId, e) & KF_DRAG_WINDOW)) {
            ReleaseCapture();
            SendMessageA(h, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return TRUE;
        }
        return FALSE;
    }
    if (o->accelerators && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        TranslateAcceleratorA(h, o->accelerators, msg))
        return TRUE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    UINT vk = (UINT)msg->wParam;
    UiEntry focused;
    if (ui_GetEntry(o->head.windowId, focusedEntry(o->head.windowId), &focused)) {
        KindTakesKeyFn takes = focused.iface ? (KindTakesKeyFn)focused.iface(KI_TAKES_KEY) : nullptr;
        if (takes && takes(focused.obj, vk)) return FALSE;
    }
    bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0, ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    BusyScope busy(o);
    switch (vk) {
    case VK_TAB:
        if (alt || ctrl) return FALSE;
        return moveFocus(o, !shift) ? TRUE : FALSE;
    case VK_RETURN:
        if (alt) return FALSE;
        return handleEnter(o) ? TRUE : FALSE;
    case VK_ESCAPE:
        if (!o->props.escCloses) return FALSE;
        SendMessageA(h, WM_CLOSE, 0, 0);
        return TRUE;
    case VK_F1:
        if (!o->props.f1Help) return FALSE;
        openHelp(o);
        return TRUE;
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
        if (alt || ctrl) return FALSE;
        return moveInGroup(o, vk == VK_RIGHT || vk == VK_DOWN) ? TRUE : FALSE;
    default:
        return alt && !ctrl && focusMnemonic(o, vk) ? TRUE : FALSE;
    }
}

static const FwWndSteps kWindowSteps = {window_PreTranslate};

// ---- painting ----

static void paintWindow(WindowObject* o, HDC dc, const RECT& update) {
    RECT client;
    GetClientRect(o->head.fw.hwnd, &client);
    HRGN bg = CreateRectRgnIndirect(&update);
    if (!o->props.picture.empty() && !o->pictureTried) {
        o->pictureTried = true;
        o->picture = pic_Decode(o->props.picture.data(), (int32_t)o->props.picture.size());
    }
    if (o->picture) {
        int32_t pw = pic_Width(o->picture), ph = pic_Height(o->picture);
        int32_t cw = client.right, ch = client.bottom;
        RECT at = {0, 0, 0, 0};
        switch (o->props.layout) {
        case 0: at = {0, 0, pw, ph}; pic_Draw(o->picture, dc, 0, 0, pw, ph); break;
        case 1:
            for (int32_t y = 0; y < ch; y += ph)
                for (int32_t x = 0; x < cw; x += pw) pic_Draw(o->picture, dc, x, y, pw, ph);
            at = client;
            break;
        case 2: {
            int32_t dw = pw, dh = ph;
            if ((pw > cw || ph > ch) && cw > 0 && ch > 0) {
                double s = std::min((double)cw / pw, (double)ch / ph);
                dw = std::max(1, (int32_t)(pw * s));
                dh = std::max(1, (int32_t)(ph * s));
            }
            at = {(cw - dw) / 2, (ch - dh) / 2, (cw - dw) / 2 + dw, (ch - dh) / 2 + dh};
            pic_Draw(o->picture, dc, at.left, at.top, dw, dh);
            break;
        }
        default: at = client; pic_Draw(o->picture, dc, 0, 0, cw, ch); break;
        }
        HRGN covered = CreateRectRgnIndirect(&at);
        CombineRgn(bg, bg, covered, RGN_DIFF);
        DeleteObject(covered);
    }
    HBRUSH brush = ui_CreateColourBrush(o->props.colour);
    FillRgn(dc, bg, brush);
    DeleteObject(brush);
    DeleteObject(bg);
}

// ---- window procedure ----

static HWND loadedModalWindow(HWND self) {
    for (ComponentObject* obj : ui_LoadedWindows()) {
        HWND h = obj->fw.hwnd;
        if (!ui_IsModal(obj->windowId)) continue;
        if (h && h != self && !GetParent(h) && IsWindowVisible(h) && IsWindowEnabled(h)) return h;
    }
    return nullptr;
}

static void closeRequest(WindowObject* o, HWND hwnd) {
    bool mayRefuse = !ui_IsSecondInstance(o->head.windowId) && !o->closeWithoutAsking;
    bool refused = false;
    raiseWindowEvent(o, WEV_CLOSE_QUERY, &refused);
    if (o->ended || !IsWindow(hwnd)) return;
    if (refused && mayRefuse) return;
    raiseWindowEvent(o, WEV_CLOSE, &refused);
    if (o->ended || !IsWindow(hwnd)) return;
    if (refused && mayRefuse) return;
    ui_EndModal(o->head.windowId);
    DestroyWindow(hwnd);
}

static void dockingLayout(WindowObject* o) {
    RECT client;
    GetClientRect(o->head.fw.hwnd, &client);
    int32_t topY = 0, bottomY = client.bottom;
    std::vector<ComponentObject*> top, bottom;
    for (ComponentObject* obj : ui_DockedComponents(o->head.windowId)) {
        SendMessageA(obj->fw.hwnd, 0x8003, 0, 0);
        uint32_t low = (uint32_t)GetWindowLongA(obj->fw.hwnd, GWL_STYLE) & 3;
        if (low == 1) top.push_back(obj);
        if (low == 3) bottom.push_back(obj);
    }
    for (ComponentObject* obj : top) {
        RECT r;
        GetWindowRect(obj->fw.hwnd, &r);
        MapWindowPoints(nullptr, o->head.fw.hwnd, (POINT*)&r, 2);
        SetWindowPos(obj->fw.hwnd, nullptr, r.left, topY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        topY += r.bottom - r.top;
    }
    for (ComponentObject* obj : bottom) {
        RECT r;
        GetWindowRect(obj->fw.hwnd, &r);
        MapWindowPoints(nullptr, o->head.fw.hwnd, (POINT*)&r, 2);
        bottomY -= r.bottom - r.top;
        SetWindowPos(obj->fw.hwnd, nullptr, r.left, bottomY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

static bool customPointer(WindowObject* o, HWND over) {
    HCURSOR c = ui_PointerOver(&o->head, over);
    if (!c) return false;
    SetCursor(c);
    return true;
}

// Activation passes to a loaded modal window while this one is disabled;
// otherwise it raises the activation events and gives the focus back to
// the child that had it. True when the message is answered here.
static bool onActivate(WindowObject* o, HWND hwnd, bool active) {
    if (o->inActivation) return true;
    if (active && o->firstActivationDone && !IsWindowEnabled(hwnd)) {
        HWND modal = loadedModalWindow(hwnd);
        if (modal) {
            SetActiveWindow(modal);
            return true;
        }
    }
    if (!active) {
        HWND f = GetFocus();
        if (f && IsChild(hwnd, f)) o->focusedChild = f;
    }
    BusyScope busy(o);
    o->inActivation = true;
    if (active && !o->firstActivationDone) {
        o->firstActivationDone = true;
        raiseWindowEvent(o, WEV_FIRST_ACTIVATION);
    }
    if (!busy.gone()) raiseWindowEvent(o, active ? WEV_ACTIVATED : WEV_DEACTIVATED);
    if (busy.gone()) return true;
    o->inActivation = false;
    if (!IsWindow(hwnd)) return true;
    if (active && o->focusedChild && IsChild(hwnd, o->focusedChild) && IsWindowVisible(o->focusedChild) &&
        IsWindowEnabled(o->focusedChild)) {
        SetFocus(o->focusedChild);
        return true;
    }
    return false;
}

// The window is going: its event, then what it opened (help, the sound,
// the menu bar).
static void onDestroy(WindowObject* o, HWND hwnd) {
    BusyScope busy(o);
    raiseWindowEvent(o, WEV_DESTROYED);
    if (o->helpOpened) WinHelpA(hwnd, nullptr, HELP_QUIT, 0);
    o->helpOpened = false;
    stopSound(o);
    if (HMENU m = GetMenu(hwnd)) {
        SetMenu(hwnd, nullptr);
        DestroyMenu(m);
    }
}

// Records a move or size report; false when it repeats the last one.
static bool changed(LPARAM* last, bool* known, LPARAM now) {
    if (*known && *last == now) return false;
    *last = now;
    *known = true;
    return true;
}

// The loader raises the first move and size events itself, after the
// layout; the first show's own reports of the same place and size are then
// no news.
static void assumeReported(WindowObject* o, HWND hwnd) {
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(hwnd, &client)) return;
    HWND parent = (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
    MapWindowPoints(hwnd, parent, &origin, 1);
    changed(&o->reportedMove, &o->moveReported, MAKELPARAM((short)origin.x, (short)origin.y));
    changed(&o->reportedSize, &o->sizeReported, MAKELPARAM(client.right, client.bottom));
}

// The native window is gone: the object is freed once no handler runs.
static void windowDestroyed(ComponentObject* obj, HWND hwnd) {
    WindowObject* o = (WindowObject*)obj;
    o->ended = true;
    windowEnded(o, hwnd);
    if (o->busy == 0) endObject(o);
}

// Sees the window's messages before DefWindowProc; *handled answers one.
static LRESULT answerMessage(WindowObject* o, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
    LRESULT reflected;
    *handled = true;
    switch (msg) {
    case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case WM_HSCROLL: case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        if (ui_ReflectToChild(msg, wp, lp, &reflected)) return reflected;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (!IsRectEmpty(&ps.rcPaint)) paintWindow(o, dc, ps.rcPaint);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_CLOSE: {
        BusyScope busy(o);
        closeRequest(o, hwnd);
        return 0;
    }
    case WM_QUERYENDSESSION: {
        BusyScope busy(o);
        bool refused = false;
        raiseWindowEvent(o, WEV_CLOSE, &refused);
        return refused ? FALSE : TRUE;
    }
    case WM_MOVE: {
        if (!changed(&o->reportedMove, &o->moveReported, lp)) return 0;
        BusyScope busy(o);
        raiseWindowEvent(o, WEV_MOVED);
        return 0;
    }
    case WM_SIZE: {
        if (!changed(&o->reportedSize, &o->sizeReported, lp)) return 0;
        BusyScope busy(o);
        raiseWindowEvent(o, WEV_RESIZED);
        if (!busy.gone() && IsWindow(hwnd)) dockingLayout(o);
        return 0;
    }
    case UI_MSG_LAYOUT:
        assumeReported(o, hwnd);
        dockingLayout(o);
        return 0;
    case MM_MCINOTIFY:
        sound_Notified(&o->sound, hwnd, wp);
        return 0;
    case WM_SHOWWINDOW: {
        BusyScope busy(o);
        raiseWindowEvent(o, wp ? WEV_SHOWN : WEV_HIDDEN);
        break;
    }
    case WM_ACTIVATE:
        if (onActivate(o, hwnd, LOWORD(wp) != WA_INACTIVE)) return 0;
        break;
    case WM_LBUTTONDOWN:
        if (o->props.dragAnywhere) {
            ReleaseCapture();
            SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return 0;
        }
        break;
    case WM_DROPFILES:
        folderDropped(o, (HDROP)wp);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && customPointer(o, (HWND)wp)) return TRUE;
        break;
    case WM_DESTROY:
        onDestroy(o, hwnd);
        break;
    default:
        break;
    }
    *handled = false;
    return 0;
}

static LRESULT windowMessage(ComponentObject* obj, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
    return answerMessage((WindowObject*)obj, obj->fw.hwnd, msg, wp, lp, handled);
}

static const UiControlHooks kWindowHooks = {windowMessage, windowDestroyed};



ComponentObject* window_Create(const uint8_t* block, int32_t length, uint32_t extraStyle,
                               HWND owner, int32_t, HMENU menu,
                               int32_t left, int32_t top, int32_t width, int32_t height,
                               uint32_t windowId, uint32_t entryId, uint32_t, uint32_t) {
    WindowObject* o = new WindowObject();
    if (!window_ReadBlock(block, length, &o->props)) {
        delete o;
        return nullptr;
    }
    const WindowProps& p = o->props;
    o->head.fw.steps = &kWindowSteps;

    uint32_t style = WS_CLIPCHILDREN | extraStyle, ex = 0;
    uint32_t frame, frameEx;
    window_BorderStyles(p.border, &frame, &frameEx);
    style |= frame;
    ex |= frameEx;
    style |= window_CaptionBits(p) & (WS_CAPTION | WS_SYSMENU);
    if (p.maxBox) style |= WS_MAXIMIZEBOX;
    if (p.minBox) style |= WS_MINIMIZEBOX;
    if (p.position == 1) {
        left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    } else if (p.position == 2) {
        style |= WS_MINIMIZE;
    } else if (p.position == 3 && window_Resizable(p.border)) {
        style |= WS_MAXIMIZE;
    }
    if (owner) {
        style = (style & ~0xC0000000u) | WS_POPUP;
    } else if (UI_RUN_MODE != 0 && (ui_ModalLoadFlag() || !p.inTaskbar)) {
        owner = g_rt.hiddenOwner;
    }
    const char* cls = p.className.empty() ? "WTWindow" : p.className.c_str();
    UiControlPlace place = {cls, p.title.c_str(), style, owner, 0, left, top, width, height, ex, menu};
    if (!ui_RegisterClass(cls) ||
        !ui_CreateControl(&o->head, KIND_WINDOW, windowId, entryId, place, &kWindowHooks)) {
        if (menu) DestroyMenu(menu);
        delete o;
        return nullptr;
    }
    HWND hwnd = o->head.fw.hwnd;
    applyCaptionBits(o);
    RECT r;
    GetWindowRect(hwnd, &r);
    if (r.right - r.left != width || r.bottom - r.top != height)
        MoveWindow(hwnd, left, top, width, height, FALSE);
    applyIcons(o);
    DragAcceptFiles(hwnd, TRUE);
    if (p.shape != 0) applyShape(o);
    SendMessageA(hwnd, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    if (p.topmost == 1) applyTopmost(o);
    if (p.movable == 0) applyMovable(o);
    startSound(o);
    return &o->head;
}

int32_t window_Set(ComponentObject* obj, int32_t index, const ValueRecord* value, int32_t) {
    if (!obj || !value || !obj->fw.hwnd) return 0;
    WindowObject* o = (WindowObject*)obj;
    WindowProps& p = o->props;
    HWND h = obj->fw.hwnd;
    int32_t v = (int32_t)value->value;
    switch (index) {
    case WP_TITLE:
        p.title = ui_ValueText(value);
        SetWindowTextA(h, p.title.c_str());
        applyCaptionBits(o);
        break;
    case WP_BORDER: p.border = ui_Clamp(v, 0, 6); applyBorder(o); break;
    case WP_COLOUR: p.colour = value->value; InvalidateRect(h, nullptr, TRUE); break;
    case WP_PICTURE:
        p.picture = ui_ValueBytes(value);
        pic_Free(o->picture);
        o->picture = nullptr;
        o->pictureTried = false;
        InvalidateRect(h, nullptr, TRUE);
        break;
    case WP_LAYOUT:
        p.layout = ui_Clamp(v, 0, 3);
        if (!p.picture.empty()) InvalidateRect(h, nullptr, TRUE);
        break;
    case WP_SOUND: stopSound(o); p.sound = ui_ValueBytes(value); startSound(o); break;
    case WP_SOUND_REPEAT: p.soundRepeat = ui_Clamp(v, 0, 2); stopSound(o); startSound(o); break;
    case WP_CONTROL_BOX: p.controlBox = v; applyCaptionBits(o); break;
    case WP_MAX_BOX: p.maxBox = v; applyCaptionBits(o); break;
    case WP_MIN_BOX: p.minBox = v; applyCaptionBits(o); break;
    case WP_POSITION:
        p.position = ui_Clamp(v, 0, 3);
        if (IsWindowVisible(h)) {
            switch (p.position) {
            case 0: ShowWindow(h, SW_SHOWNORMAL); break;
            case 1:
                if (IsIconic(h) || IsZoomed(h)) ShowWindow(h, SW_RESTORE);
                centre(h);
                break;
            case 2: ShowWindow(h, SW_MINIMIZE); break;
            default: ShowWindow(h, SW_MAXIMIZE); break;
            }
        }
        break;
    case WP_MOVABLE: p.movable = v; applyMovable(o); break;
    case WP_ICON: p.icon = ui_ValueBytes(value); applyIcons(o); break;
    case WP_SHAPE: p.shape = ui_Clamp(v, 0, 29); applyShape(o); break;
    case WP_TOPMOST: {
        p.topmost = v;
        applyTopmost(o);
        if (!p.topmost) {
            // Windows kept out of the taskbar stay above the others.
            for (ComponentObject* other : ui_LoadedWindows()) {
                if (other == obj || other->kindId != KIND_WINDOW) continue;
                WindowObject* ow = (WindowObject*)other;
                if (ow->props.topmost && !ow->props.inTaskbar) applyTopmost(ow);
            }
        }
        break;
    }
    case WP_HELP_FILE: p.helpFile = ui_ValueText(value); break;
    case WP_CLASS_NAME: p.className = ui_ValueText(value); break;
    case WP_ENTER_MOVES_FOCUS: p.enterMovesFocus = v; break;
    case WP_ESC_CLOSES: p.escCloses = v; break;
    case WP_F1_HELP: p.f1Help = v; break;
    case WP_HELP_CONTEXT: p.helpContext = v; break;
    case WP_IN_TASKBAR: p.inTaskbar = v; break;
    case WP_DRAG_ANYWHERE: p.dragAnywhere = v; break;
    case WP_FLAG30: p.flag30 = v; break;
    default: break;
    }
    return 0;
}

int32_t window_Get(ComponentObject* obj, int32_t index, ValueRecord* out) {
    if (!obj || !out) return 0;
    const WindowProps& p = ((WindowObject*)obj)->props;
    HWND h = obj->fw.hwnd;
    switch (index) {
    case WP_TITLE: ui_OutText(out, p.title); return 1;
    case WP_BORDER: ui_OutInt(out, (uint32_t)p.border); return 1;
    case WP_COLOUR: ui_OutInt(out, p.colour); return 1;
    case WP_PICTURE: ui_OutBytes(out, p.picture); return 1;
    case WP_LAYOUT: ui_OutInt(out, (uint32_t)p.layout); return 1;
    case WP_SOUND: ui_OutBytes(out, p.sound); return 1;
    case WP_SOUND_REPEAT: ui_OutInt(out, (uint32_t)p.soundRepeat); return 1;
    case WP_CONTROL_BOX: ui_OutInt(out, (uint32_t)p.controlBox); return 1;
    case WP_MAX_BOX: ui_OutInt(out, (uint32_t)p.maxBox); return 1;
    case WP_MIN_BOX: ui_OutInt(out, (uint32_t)p.minBox); return 1;
    case WP_POSITION:
        if (h && IsWindow(h)) ui_OutInt(out, IsIconic(h) ? 2u : (IsZoomed(h) ? 3u : 0u));
        else ui_OutInt(out, (uint32_t)p.position);
        return 1;
    case WP_MOVABLE: ui_OutInt(out, (uint32_t)p.movable); return 1;
    case WP_ICON: ui_OutBytes(out, p.icon); return 1;
    case WP_ENTER_MOVES_FOCUS: ui_OutInt(out, (uint32_t)p.enterMovesFocus); return 1;
    case WP_ESC_CLOSES: ui_OutInt(out, (uint32_t)p.escCloses); return 1;
    case WP_F1_HELP: ui_OutInt(out, (uint32_t)p.f1Help); return 1;
    case WP_HELP_FILE: ui_OutText(out, p.helpFile); return 1;
    case WP_HELP_CONTEXT: ui_OutInt(out, (uint32_t)p.helpContext); return 1;
    case WP_IN_TASKBAR: ui_OutInt(out, (uint32_t)p.inTaskbar); return 1;
    case WP_DRAG_ANYWHERE: ui_OutInt(out, (uint32_t)p.dragAnywhere); return 1;
    case WP_SHAPE: ui_OutInt(out, (uint32_t)p.shape); return 1;
    case WP_TOPMOST: ui_OutInt(out, (uint32_t)p.topmost); return 1;
    case WP_FLAG30: ui_OutInt(out, (uint32_t)p.flag30); return 1;
    case WP_CLASS_NAME: ui_OutText(out, p.className); return 1;
    default: return 0;
    }
}

uint8_t* window_WriteKindBlock(ComponentObject* obj, int32_t* length) {
    return obj ? ui_BlockOf(window_Block, ((WindowObject*)obj)->props, length) : nullptr;
}

void window_SetAccelerators(ComponentObject* obj, HACCEL table) {
    if (!obj) return;
    WindowObject* o = (WindowObject*)obj;
    if (o->accelerators && o->accelerators != table) DestroyAcceleratorTable(o->accelerators);
    o->accelerators = table;
}

static void* windowUnused7(void) { return nullptr; }

static const UiKindEntries kWindowEntries = {window_Create, window_Set, window_WriteKindBlock, window_Get, windowUnused7,
                                               nullptr, ui_ConvertTextsOf<window_Block>, nullptr};

void* kind_window_iface(int32_t number) { return ui_KindEntry(kWindowEntries, number); }
