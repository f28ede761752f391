// The window registry and the loader that builds live windows from it.
#include "ui/loader/loader.h"
#include "ui/scale.h"
#include "ui/dispatch/dispatch.h"
#include "commands/library.h"
#include "ui/template/archive.h"
#include <string.h>
#include <algorithm>

UiRegistry ui_registry;

namespace {


// Loads in progress, innermost last: a destroy of their window is held back
// until the load has finished with the table.
std::vector<UiWindowRecord*> s_loading;
int32_t s_modalLoadFlag;

bool isLoading(const UiWindowRecord* w) {
    return std::find(s_loading.begin(), s_loading.end(), w) != s_loading.end();
}

void raiseWindowEvent(UiWindowRecord* w, int32_t event) {
    EventRecord e = {};
    e.window = w->id;
    e.component = tpl_EntryId(w->working, 0);
    e.event = event;
    ui_RaiseEvent(&e);
}

// Pointers made from cursor file data belong to us; system and resource
// pointers are shared and never destroyed.
std::vector<HCURSOR> s_ownedPointers;

HCURSOR pointerFromFile(const uint8_t* p, uint32_t n) {
    if (n < 22) return nullptr;
    uint16_t reserved, type, count;
    memcpy(&reserved, p, 2);
    memcpy(&type, p + 2, 2);
    memcpy(&count, p + 4, 2);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0) return nullptr;
    const uint8_t* e = p + 6;
    uint16_t hotX, hotY;
    memcpy(&hotX, e + 4, 2);
    memcpy(&hotY, e + 6, 2);
    uint32_t size = rd32(e + 8), offset = rd32(e + 12);
    if (offset > n || size > n - offset || size == 0) return nullptr;
    std::string image(4, '\0');
    memcpy(&image[0], &hotX, 2);
    memcpy(&image[2], &hotY, 2);
    image.append((const char*)p + offset, size);
    HCURSOR c = (HCURSOR)CreateIconFromResourceEx((PBYTE)&image[0], (DWORD)image.size(), FALSE,
                                                  0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (c) s_ownedPointers.push_back(c);
    return c;
}

const uint32_t kPointerCodes[15] = {0,     32512, 32515, 32513, 32514, 32651, 32650, 32648,
                                    32646, 32643, 32645, 32642, 32644, 32516, 32649};

}  // namespace

// ---- mouse pointers ----

uint32_t ui_PointerNumberToCode(uint32_t number) { return number <= 14 ? kPointerCodes[number] : number; }

uint32_t ui_PointerCodeToNumber(uint32_t code) {
    for (uint32_t i = 0; i < 15; i++)
        if (kPointerCodes[i] == code) return i;
    return code;
}

HCURSOR ui_MakePointer(const uint8_t* data, uint32_t length) {
    if (!data || length == 0) return nullptr;
    if (length > 10 && rd32(data) != 0xFFFFFFFFu) {
        HCURSOR c = pointerFromFile(data, length);
        if (c) return c;
    }
    uint32_t code = length >= 4 ? rd32(data) : data[0];
    if (code == 0) return nullptr;
    if (code == 0xFFFFFFFFu) return length > 4 ? pointerFromFile(data + 4, length - 4) : nullptr;
    if (code == 32649) {
        HCURSOR c = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1032));
        return c ? c : LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    }
    for (uint32_t i = 1; i < 15; i++)
        if (kPointerCodes[i] == code) return LoadCursorA(nullptr, MAKEINTRESOURCEA(code));
    return nullptr;
}

void ui_DestroyPointer(HCURSOR c) {
    if (!c) return;
    auto it = std::find(s_ownedPointers.begin(), s_ownedPointers.end(), c);
    if (it == s_ownedPointers.end()) return;
    s_ownedPointers.erase(it);
    DestroyCursor(c);
}

// ---- registry ----

bool ui_LoadTemplates(const void* block, uint32_t size, const void* codeBase) {
    if (size == 0) return true;
    TplBlock b;
    if (!block || !tpl_ReadBlock(block, size, &b)) return false;
    for (TplWindow& tw : b.windows)
        if (!tpl_RelocateHandlers(&tw.table, (uintptr_t)codeBase)) return false;
    for (TplWindow& tw : b.windows) {
        UiWindowRecord* r = new UiWindowRecord();
        r->id = tw.id;
        r->valueA = tw.valueA;
        r->valueB = tw.valueB;
        r->textA = tw.textA;
        r->textB = tw.textB;
        r->working = tw.table;
        r->hasSaved = false;
        r->app = &g_rt;
        r->secondInstance = r->idleDeclined = false;
        ui_registry.ids.push_back(tw.id);
        ui_registry.windows.push_back(r);
    }
    return true;
}

void ui_ClearRegistry(void) {
    for (size_t i = 0; i < ui_registry.windows.size(); i++) {
        ComponentObject* o = ui_WindowObject(ui_registry.windows[i]);
        if (o) DestroyWindow(o->fw.hwnd);
    }
    for (UiWindowRecord* r : ui_registry.windows) {
        for (uint32_t i = 0; i < r->working.count; i++) {
            ui_DestroyPointer((HCURSOR)(uintptr_t)tpl_GetCursorSlot(r->working, i));
            tpl_SetCursorSlot(&r->working, i, 0);
        }
        delete r;
    }
    ui_registry.ids.clear();
    ui_registry.windows.clear();
    s_loading.clear();
}

UiWindowRecord* ui_FindWindow(uint32_t windowId) {
    const std::vector<uint32_t>& ids = ui_registry.ids;
    if (ids.empty()) return nullptr;
    if (ids[0] == windowId) return ui_registry.windows[0];
    for (size_t i = 1; i < ids.size(); i++)
        if (ids[i] == windowId) return ui_registry.windows[i];
    return nullptr;
}

int32_t ui_FindEntry(const UiWindowRecord* w, uint32_t componentId) {
    if (!w || w->working.count == 0) return -1;
    if (componentId == 0) return 0;
    return tpl_FindEntry(w->working, componentId);
}

const KindRecord* ui_KindRecord(uint32_t kindId) {
    uint32_t lib = kindId >> 16, rec = kindId & 0xFFFF;
    if (lib == 0 || rec == 0 || lib > g_rt.libraryCount || !g_rt.libraries) return nullptr;
    const LibraryRecord* l = g_rt.libraries[lib - 1];
    if (!l || !l->typeTable || rec > l->typeCount) return nullptr;
    return (const KindRecord*)l->typeTable + (rec - 1);
}

void* ui_KindFunction(const KindRecord* k, int32_t number) {
    return k && k->iface ? k->iface(number) : nullptr;
}

ComponentObject* ui_LiveObject(const UiWindowRecord* w, int32_t index) {
    if (!w || index < 0 || (uint32_t)index >= w->working.count) return nullptr;
    if (tpl_IsMenuEntry(w->working, (uint32_t)index)) return nullptr;
    ComponentObject* o = (ComponentObject*)(uintptr_t)tpl_GetObjectSlot(w->working, (uint32_t)index);
    return o && IsWindow(o->fw.hwnd) ? o : nullptr;
}

ComponentObject* ui_WindowObject(const UiWindowRecord* w) { return ui_LiveObject(w, 0); }

int32_t ui_FindEntryByHandle(const UiWindowRecord* w, HWND h, bool walkUp) {
    if (!w || !h) return -1;
    for (int pass = 0; pass < 2 && h; pass++) {
        for (uint32_t i = 0; i < w->working.count; i++) {
            if (tpl_IsMenuEntry(w->working, i)) continue;
            ComponentObject* o = (ComponentObject*)(uintptr_t)tpl_GetObjectSlot(w->working, i);
            if (!o) continue;
            bool match = o->fw.hwnd == h;
            if (!match && i > 0) {
                const KindRecord* k = ui_KindRecord(tpl_GetKindId(w->working, i));
                if (k && (k->flags & (KF_CHILD_HANDLES | KF_CHILD_HANDLES_B)) && IsChild(o->fw.hwnd, h)) match = true;
            }
            if (match) return i == 0 ? -1 : (int32_t)i;
        }
        if (!walkUp) break;
        h = GetParent(h);
    }
    return -1;
}

void ui_PlaceInZOrder(const UiWindowRecord* w, int32_t index) {
    ComponentObject* o = ui_LiveObject(w, index);
    if (!o || index < 1) return;
    HWND after = HWND_TOP;
    if (index > 1) {
        uint32_t parent = tpl_GetParent(w->working, (uint32_t)index);
        for (int32_t j = index - 1; j >= 1; j--) {
            if (tpl_IsMenuEntry(w->working, (uint32_t)j)) continue;
            if (tpl_GetParent(w->working, (uint32_t)j) != parent) continue;
            ComponentObject* s = ui_LiveObject(w, j);
            if (!s) continue;
            after = s->fw.hwnd;
            break;
        }
    }
    SetWindowPos(o->fw.hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- loading ----

int32_t ui_ModalLoadFlag(void) { return s_modalLoadFlag; }

namespace {

// The load marks a window kind's object carries.
UiWindowMarks* marksOf(ComponentObject* o) {
    return o && o->kindId == KIND_WINDOW ? &((UiWindowObject*)o)->marks : nullptr;
}

void endModal(UiWindowMarks* m) {
    if (!m) return;
    for (size_t i = 0; i < m->disabledWindows.size(); i++)
        if (IsWindow(m->disabledWindows[i])) EnableWindow(m->disabledWindows[i], m->disabledWasEnabled[i]);
    m->disabledWindows.clear();
    m->disabledWasEnabled.clear();
    m->modal = false;
}

// Ends a failed load: what was created goes, and the table is as it was
// when the load began.
int32_t failLoad(UiWindowRecord* w, HWND windowHwnd) {
    s_modalLoadFlag = 0;
    if (windowHwnd && IsWindow(windowHwnd)) DestroyWindow(windowHwnd);
    for (uint32_t i = 0; i < w->working.count; i++) {
        ComponentObject* o = (ComponentObject*)(uintptr_t)tpl_GetObjectSlot(w->working, i);
        if (o && IsWindow(o->fw.hwnd)) DestroyWindow(o->fw.hwnd);
    }
    s_loading.erase(std::remove(s_loading.begin(), s_loading.end(), w), s_loading.end());
    if (w->hasSaved) w->working = w->saved;
    w->saved = TplTable();
    w->hasSaved = false;
    rt_Notify(NOTE_PUMP_UNBLOCK, 0, 0);
    return 0;
}

bool isTopLevel(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) == 0; }

// What one load carries from step to step.
struct Load {
    UiWindowRecord* w;
    int32_t secondInstance, modal;
    HWND owner;
    std::vector<uint8_t> visible;   // per entry: shown once loaded
    std::vector<int32_t> created;   // components, in creation order
    HWND windowHwnd = nullptr;
};

// A window that is already loaded is only brought forward, unless a
// second instance is asked for.
bool bringForwardIfLoaded(UiWindowRecord* w) {
    ComponentObject* o = ui_WindowObject(w);
    if (!o) return false;
    if (IsIconic(o->fw.hwnd)) ShowWindow(o->fw.hwnd, SW_RESTORE);
    else SetActiveWindow(o->fw.hwnd);
    return true;
}

// Creates one entry through its kind. Entry 0 is the window itself, made
// with the owner and the modal mark the kind asks the loader for.
bool createEntry(Load* L, int32_t idx, int32_t* controlId) {
    TplTable& t = L->w->working;
    uint32_t size = 0;
    const uint8_t* rec = tpl_Record(t, (uint32_t)idx, &size);
    TplFields f;
    if (!rec || !tpl_WalkComponent(rec, size, &f)) return false;
    const KindRecord* k = ui_KindRecord(rd32(rec + f.kindId));
    KindCreateFn create = (KindCreateFn)ui_KindFunction(k, KI_CREATE);
    if (!create) return false;
    // A copy: the create call may rewrite the table.
    std::string block((const char*)rec + f.kindBlock, f.kindBlockSize);
    int32_t rect[4];
    memcpy(rect, rec + f.rect, sizeof rect);
    for (int32_t& v : rect) v = ui_ToNative(v);
    uint32_t state = rd32(rec + f.stateFlags);
    bool hiddenKind = (k->flags & KF_HIDDEN) != 0;
    bool forcedShown = idx == 0 && L->secondInstance;
    L->visible[idx] = hiddenKind ? 0 : forcedShown ? 1 : (state & TPL_STATE_VISIBLE) ? 1 : 0;
    uint32_t extra = 0;
    if (!hiddenKind && (state & TPL_STATE_DISABLED) && !forcedShown) extra |= WS_DISABLED;
    if (state & TPL_STATE_TABSTOP) extra |= WS_TABSTOP;
    uint32_t entryId = tpl_EntryId(t, (uint32_t)idx);
    const uint8_t* data = (const uint8_t*)block.data();
    ComponentObject* obj;
    if (idx == 0) {
        s_modalLoadFlag = L->modal;
        obj = create(data, (int32_t)block.size(), extra, L->owner, 0, nullptr, rect[0], rect[1], rect[2], rect[3],
                     L->w->id, entryId, 0, 0);
        s_modalLoadFlag = 0;
        if (!obj || !IsWindow(obj->fw.hwnd)) return false;
        L->windowHwnd = obj->fw.hwnd;
    } else {
        obj = create(data, (int32_t)block.size(), extra, L->windowHwnd, *controlId, nullptr, rect[0], rect[1],
                     rect[2], rect[3], L->w->id, entryId, 0, 0);
        *controlId += 10;
        if (!obj) return false;
        L->created.push_back(idx);
    }
    tpl_SetObjectSlot(&t, (uint32_t)idx, (uint32_t)(uintptr_t)obj);
    return true;
}

// The window first, then the table backwards: the last entry is created
// first, so entry 1 ends up on top.
bool createComponents(Load* L) {
    const TplTable& t = L->w->working;
    int32_t controlId = 100;
    if (!createEntry(L, 0, &controlId)) return false;
    for (int32_t idx = (int32_t)t.count - 1; idx >= 1; idx--)
        if (!tpl_IsMenuEntry(t, (uint32_t)idx) && !createEntry(L, idx, &controlId)) return false;
    return true;
}

// Components live inside their container's native window; those on a
// later page of a paged container start hidden.
void attachToParents(Load* L) {
    UiWindowRecord* w = L->w;
    TplTable& t = w->working;
    for (uint32_t i = 1; i < t.count; i++) {
        ComponentObject* o = ui_LiveObject(w, (int32_t)i);
        if (!o) continue;
        HWND parent = L->windowHwnd;
        uint32_t parentId = tpl_GetParent(t, i);
        if (parentId) {
            ComponentObject* p = ui_LiveObject(w, tpl_FindEntry(t, parentId));
            if (p && p != o) parent = p->fw.hwnd;
        }
        if (GetParent(o->fw.hwnd) != parent) SetParent(o->fw.hwnd, parent);
        const KindRecord* k = ui_KindRecord(tpl_GetKindId(t, i));
        if (!k || !(k->flags & KF_PAGED)) continue;
        bool laterPage = false;
        for (uint32_t c : tpl_GetChildren(t, i)) {
            if (c == 0) { laterPage = true; continue; }
            int32_t ci = tpl_FindEntry(t, c);
            if (laterPage && ci > 0) L->visible[ci] = 0;
        }
    }
}

// The z-order follows the table (entry 1 on top), and every entry with a
// stored mouse pointer gets it made once, in its cursor slot.
void placeAndPoint(UiWindowRecord* w) {
    TplTable& t = w->working;
    for (uint32_t i = 1; i < t.count; i++)
        if (!tpl_IsMenuEntry(t, i)) ui_PlaceInZOrder(w, (int32_t)i);
    for (uint32_t i = 0; i < t.count; i++) {
        if (tpl_IsMenuEntry(t, i)) continue;
        uint32_t len = 0;
        const uint8_t* mp = tpl_GetMousePointer(t, i, &len);
        HCURSOR c = len > 0 ? ui_MakePointer(mp, len) : nullptr;
        tpl_SetCursorSlot(&t, i, (uint32_t)(uintptr_t)c);
    }
}

// Every component hears that all exist (the last entry first), the window
// lays out its docked components, then the components are shown or hidden.
void announceAndShowComponents(Load* L) {
    for (int32_t i = (int32_t)L->w->working.count - 1; i >= 0; i--) {
        ComponentObject* o = ui_LiveObject(L->w, i);
        if (o) SendMessageA(o->fw.hwnd, UI_MSG_AFTER_CREATE, 0, 0);
    }
    if (IsWindow(L->windowHwnd)) SendMessageA(L->windowHwnd, UI_MSG_LAYOUT, 0, 0);
    for (int32_t idx : L->created) {
        ComponentObject* o = ui_LiveObject(L->w, idx);
        if (o) ShowWindow(o->fw.hwnd, L->visible[idx] ? SW_SHOWNA : SW_HIDE);
    }
}

// Events held back during the load may now run. A handler may destroy the
// window at any point, so each step stops when it is gone. False when the
// window did not survive.
bool raiseFirstEvents(UiWindowRecord* w) {
    s_loading.erase(std::remove(s_loading.begin(), s_loading.end(), w), s_loading.end());
    rt_Notify(NOTE_PUMP_UNBLOCK, 0, 0);
    if (!ui_WindowObject(w)) {
        // Destroyed while events were held back: put the table back now.
        ui_ComponentDestroyed(w->id, 0);
        return false;
    }
    const int32_t first[] = {WEV_LOADED, WEV_MOVED, WEV_RESIZED};
    for (int32_t event : first) {
        raiseWindowEvent(w, event);
        if (!ui_WindowObject(w)) return false;
    }
    return true;
}

// A modal window disables every other top-level registry window,
// remembering how each was, for the end of the modal state.
void disableOthers(UiWindowRecord* w) {
    UiWindowMarks* m = marksOf(ui_WindowObject(w));
    if (!m) return;
    m->modal = true;
    m->disabledWindows.clear();
    m->disabledWasEnabled.clear();
    for (UiWindowRecord* other : ui_registry.windows) {
        if (other == w) continue;
        ComponentObject* o = ui_WindowObject(other);
        if (!o || !isTopLevel(o->fw.hwnd)) continue;
        m->disabledWindows.push_back(o->fw.hwnd);
        m->disabledWasEnabled.push_back(IsWindowEnabled(o->fw.hwnd) != FALSE);
        EnableWindow(o->fw.hwnd, FALSE);
    }
}

// Components may take the focus when they hear the window is shown; the
// focus the show gave stays where it was.
void announceShown(UiWindowRecord* w) {
    HWND focus = GetFocus();
    for (int32_t i = (int32_t)w->working.count - 1; i >= 0; i--) {
        ComponentObject* o = ui_LiveObject(w, i);
        if (o) SendMessageA(o->fw.hwnd, UI_MSG_AFTER_SHOW, 0, 0);
    }
    if (GetFocus() != focus && focus && IsWindow(focus)) SetFocus(focus);
}

}  // namespace

int32_t ui_LoadWindowRecord(UiWindowRecord* w, int32_t secondInstance, int32_t modal, HWND owner) {
    if (!w || w->working.count == 0 || tpl_IsMenuEntry(w->working, 0)) return 0;
    if (secondInstance == 0 && bringForwardIfLoaded(w)) return 1;
    if (modal == 1) owner = nullptr;
    else if (owner && !IsWindow(owner)) return 0;

    // Events wait until every component exists; the table as it was is
    // kept to be put back when the window ends or the load fails.
    rt_Notify(NOTE_PUMP_BLOCK, 0, 0);
    w->saved = w->working;
    w->hasSaved = true;
    s_loading.push_back(w);
    if (!ui_FindWindow(w->id)) return failLoad(w, nullptr);
    w->secondInstance = secondInstance != 0;

    Load L{w, secondInstance, modal, owner, std::vector<uint8_t>(w->working.count, 0), {}, nullptr};
    if (!createComponents(&L)) return failLoad(w, L.windowHwnd);
    attachToParents(&L);
    placeAndPoint(w);
    announceAndShowComponents(&L);
    if (!raiseFirstEvents(w)) return 1;
    if (L.visible[0]) ui_ShowByPosition(w->id, secondInstance);
    if (!ui_WindowObject(w)) return 1;
    if (modal == 1) disableOthers(w);
    announceShown(w);
    // The first show of a window loaded hidden goes through the show step.
    if (UiWindowMarks* m = marksOf(ui_WindowObject(w))) m->firstShowPending = true;
    return 1;
}

bool ui_LoadStartWindow(uint32_t windowId) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    // A batch run works the same window unseen.
    if (w && g_rt.batchMode) tpl_SetStateFlags(&w->working, 0, tpl_GetStateFlags(w->working, 0) & ~TPL_STATE_VISIBLE);
    return w && ui_LoadWindowRecord(w, 0, 0, nullptr) == 1;
}

void ui_ShowByPosition(uint32_t windowId, int32_t showFlag) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    ComponentObject* o = ui_WindowObject(w);
    if (!o) return;
    HWND h = o->fw.hwnd;
    if (showFlag) {
        ShowWindow(h, SW_SHOW);
    } else if (UI_RUN_MODE != 0) {
        int32_t position = 0;
        const KindRecord* k = ui_KindRecord(tpl_GetKindId(w->working, 0));
        KindGetFn get = (KindGetFn)ui_KindFunction(k, KI_GET);
        ValueRecord v = {0, 0};
        if (get && get(o, 18 - 8, &v) == 1) position = (int32_t)v.value;
        ShowWindow(h, position == 2 ? SW_SHOWMINIMIZED : position == 3 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    }
    if (!ui_WindowObject(w)) return;
    HWND focus = GetFocus();
    if (!focus) return;
    uint32_t entry = 0;
    if (focus == h) {
        entry = tpl_EntryId(w->working, 0);
    } else if (IsChild(h, focus)) {
        int32_t idx = ui_FindEntryByHandle(w, focus, true);
        if (idx <= 0) return;
        entry = tpl_EntryId(w->working, (uint32_t)idx);
    } else {
        return;
    }
    EventRecord e = {};
    e.window = windowId;
    e.component = entry;
    e.event = EV_FOCUS_GAINED;
    ui_RaiseEvent(&e);
}

void ui_ShowAfterLoad(uint32_t windowId, int32_t showFlag) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    ComponentObject* o = ui_WindowObject(w);
    UiWindowMarks* m = marksOf(o);
    if (!o) return;
    if (!m || !m->firstShowPending) {
        if (showFlag) ShowWindow(o->fw.hwnd, SW_SHOW);
        return;
    }
    m->firstShowPending = false;
    bool modal = m->modal;
    if (modal) {
        HWND owner = GetWindow(o->fw.hwnd, GW_OWNER);
        bool ownerLoaded = false;
        for (UiWindowRecord* other : ui_registry.windows) {
            ComponentObject* oo = ui_WindowObject(other);
            if (oo && oo->fw.hwnd == owner) ownerLoaded = true;
        }
        if (ownerLoaded && (GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST))
            SetWindowPos(o->fw.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (showFlag) ui_ShowByPosition(windowId, 0);
    m = marksOf(ui_WindowObject(w));
    if (m && m->modal) {
        uint32_t previous = g_rt.modalWindowId;
        g_rt.modalWindowId = windowId;
        rt_MessageLoop(1);
        // An outer modal window that went meanwhile has no loop to resume.
        g_rt.modalWindowId = ui_WindowObject(ui_FindWindow(previous)) ? previous : 0;
    }
}

void ui_EndModal(uint32_t windowId) { endModal(marksOf(ui_WindowObject(ui_FindWindow(windowId)))); }

bool ui_IsModal(uint32_t windowId) {
    UiWindowMarks* m = marksOf(ui_WindowObject(ui_FindWindow(windowId)));
    return m && m->modal;
}

bool ui_IsSecondInstance(uint32_t windowId) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    return w && w->secondInstance;
}

void ui_ComponentDestroyed(uint32_t windowId, uint32_t componentId) {
    if (g_rt.recreating) return;
    UiWindowRecord* w = ui_FindWindow(windowId);
    if (!w || w->working.count == 0) return;
    int32_t idx = ui_FindEntry(w, componentId);
    if (idx > 0) {
        ui_DestroyPointer((HCURSOR)(uintptr_t)tpl_GetCursorSlot(w->working, (uint32_t)idx));
        tpl_SetCursorSlot(&w->working, (uint32_t)idx, 0);
        tpl_SetObjectSlot(&w->working, (uint32_t)idx, 0);
        return;
    }
    if (idx < 0) return;
    if (g_rt.modalWindowId == windowId) g_rt.modalWindowId = 0;
    // The window object is going: its native window already has, the object
    // itself right after this notification.
    ComponentObject* going = (ComponentObject*)(uintptr_t)tpl_GetObjectSlot(w->working, 0);
    if (isLoading(w)) {
        // The load still needs the table; it finishes the swap itself.
        tpl_SetObjectSlot(&w->working, 0, 0);
        return;
    }
    // A modal window destroyed without closing still gives the others back.
    endModal(marksOf(going));
    for (uint32_t i = 0; i < w->working.count; i++) {
        if (tpl_IsMenuEntry(w->working, i)) continue;
        ui_DestroyPointer((HCURSOR)(uintptr_t)tpl_GetCursorSlot(w->working, i));
        tpl_SetCursorSlot(&w->working, i, 0);
    }
    if (w->hasSaved) {
        std::swap(w->working, w->saved);
        w->saved = TplTable();
        w->hasSaved = false;
    } else {
        tpl_SetObjectSlot(&w->working, 0, 0);
    }
}

int32_t ui_LoadRequest(const uint32_t* request) {
    if (!request) return -1;
    uint32_t id = request[0];
    const ComponentObject* ownerObj = (const ComponentObject*)(uintptr_t)request[1];
    int32_t modal = (int32_t)request[2];
    UiWindowRecord* w = ui_FindWindow(id);
    if (!w) return -1;
    HWND owner = ownerObj ? ownerObj->fw.hwnd : nullptr;
    if (!ui_LoadWindowRecord(w, 0, modal, owner)) return -1;
    if (tpl_GetStateFlags(w->working, 0) & TPL_STATE_VISIBLE) ui_ShowAfterLoad(id, 0);
    return 0;
}

// ---- what the window kind asks ----

int32_t ui_EntryCount(uint32_t windowId) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    return w ? (int32_t)w->working.count : 0;
}

bool ui_GetEntry(uint32_t windowId, int32_t index, UiEntry* out) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    ComponentObject* o = index > 0 ? ui_LiveObject(w, index) : nullptr;
    if (!o) return false;
    const KindRecord* k = ui_KindRecord(tpl_GetKindId(w->working, (uint32_t)index));
    *out = UiEntry{o, k ? k->flags : 0, k ? k->iface : nullptr, tpl_GetParent(w->working, (uint32_t)index),
                   tpl_GetTabOrder(w->working, (uint32_t)index)};
    return true;
}

int32_t ui_EntryOfHandle(uint32_t windowId, HWND h) { return ui_FindEntryByHandle(ui_FindWindow(windowId), h, true); }

int32_t ui_TabOrder(uint32_t windowId, int32_t* indexes, int32_t cap) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    if (!w) return 0;
    struct Item { int32_t index, order; };
    std::vector<Item> items;
    // Creation order: the last table entry first.
    for (int32_t i = (int32_t)w->working.count - 1; i >= 1; i--) {
        UiEntry e;
        if (!ui_GetEntry(windowId, i, &e) || !IsWindowVisible(e.obj->fw.hwnd) || !IsWindowEnabled(e.obj->fw.hwnd))
            continue;
        if (!(tpl_GetStateFlags(w->working, (uint32_t)i) & TPL_STATE_TABSTOP)) continue;
        if (e.kindFlags & (KF_HIDDEN | KF_NO_INITIAL_FOCUS)) continue;
        items.push_back({i, e.tabOrder});
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.order < b.order; });
    int32_t n = 0;
    for (const Item& it : items)
        if (n < cap) indexes[n++] = it.index;
    return n;
}

std::vector<ComponentObject*> ui_DockedComponents(uint32_t windowId) {
    std::vector<ComponentObject*> docked;
    for (int32_t i = ui_EntryCount(windowId) - 1; i >= 1; i--) {
        UiEntry e;
        if (ui_GetEntry(windowId, i, &e) && (e.kindFlags & KF_RELAYOUT)) docked.push_back(e.obj);
    }
    return docked;
}

HCURSOR ui_PointerOver(const ComponentObject* window, HWND over) {
    UiWindowRecord* w = ui_FindWindow(window->windowId);
    if (!w) return nullptr;
    int32_t e = over == window->fw.hwnd ? 0 : ui_FindEntryByHandle(w, over, true);
    return e < 0 ? nullptr : (HCURSOR)(uintptr_t)tpl_GetCursorSlot(w->working, (uint32_t)e);
}

void ui_ReleasePointers(uint32_t windowId) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    for (uint32_t i = 0; w && i < w->working.count; i++) {
        if (tpl_IsMenuEntry(w->working, i)) continue;
        ui_DestroyPointer((HCURSOR)(uintptr_t)tpl_GetCursorSlot(w->working, i));
        tpl_SetCursorSlot(&w->working, i, 0);
    }
}

std::vector<ComponentObject*> ui_LoadedWindows(void) {
    std::vector<ComponentObject*> loaded;
    for (UiWindowRecord* w : ui_registry.windows)
        if (ComponentObject* o = ui_WindowObject(w)) loaded.push_back(o);
    return loaded;
}

// ---- the core's entry points ----

namespace {

bool anyWindowExists(void) {
    for (UiWindowRecord* w : ui_registry.windows)
        if (ui_WindowObject(w)) return true;
    return false;
}

bool idle(bool first, DWORD elapsedMs) {
    bool more = false;
    for (size_t i = 0; i < ui_registry.windows.size(); i++) {
        UiWindowRecord* w = ui_registry.windows[i];
        if (first) w->idleDeclined = false;
        if (w->idleDeclined || !ui_WindowObject(w)) continue;
        EventRecord e = {};
        e.window = w->id;
        e.component = tpl_EntryId(w->working, 0);
        e.event = WEV_IDLE;
        e.argc = 1;
        e.args[0] = elapsedMs;
        if (ui_RaiseEvent(&e) && e.resultPresent && e.result) more = true;
        else w->idleDeclined = true;
    }
    return more;
}

int describe(uint32_t windowId, uint32_t componentId, const char** windowName, const char** entryName) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    if (!w) return 0;
    *windowName = tpl_GetName(w->working, 0);
    int32_t idx = ui_FindEntry(w, componentId);
    if (idx < 0 || tpl_IsMenuItemId(tpl_EntryId(w->working, (uint32_t)idx))) return 1;
    *entryName = tpl_GetName(w->working, (uint32_t)idx);
    return 2;
}

bool loadWindow(uint32_t windowId) { return ui_LoadStartWindow(windowId); }

}  // namespace

void ui_InstallWindowLayer(void) {
    g_rt.ui.loadTemplates = ui_LoadTemplates;
    g_rt.ui.clearRegistry = ui_ClearRegistry;
    g_rt.ui.loadWindow = loadWindow;
    g_rt.ui.anyWindowExists = anyWindowExists;
    g_rt.ui.idle = idle;
    g_rt.ui.describe = describe;
    g_rt.ui.readProperty = ui_ReadProperty;
    g_rt.ui.writeProperty = ui_WriteProperty;
    g_rt.ui.notify = ui_Notify;
}
