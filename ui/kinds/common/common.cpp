#include "ui/kinds/common/common.h"
#include "ui/scale.h"
#include <algorithm>
#include <stdarg.h>
#include <string.h>

uint32_t ui_BorderExStyle(int32_t border) {
    switch (border) {
    case 1: return WS_EX_CLIENTEDGE;
    case 2: return WS_EX_DLGMODALFRAME;
    case 3: return WS_EX_STATICEDGE;
    case 4: return WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;
    default: return 0;
    }
}

uint32_t ui_BorderStyle(int32_t border) { return border == 5 ? (uint32_t)WS_BORDER : 0u; }

void ui_ApplyBorder(HWND hwnd, int32_t border) {
    if (!hwnd || !IsWindow(hwnd)) return;
    const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
    ex = (LONG)(((uint32_t)ex & ~(uint32_t)UI_BORDER_EX_MASK) | ui_BorderExStyle(border));
    SetWindowLongA(hwnd, GWL_EXSTYLE, ex);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags);
    LONG st = GetWindowLongA(hwnd, GWL_STYLE);
    st = (LONG)(((uint32_t)st & ~(uint32_t)UI_BORDER_MASK) | ui_BorderStyle(border));
    SetWindowLongA(hwnd, GWL_STYLE, st);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags);
}

bool ui_FontRuleLogFont(const void* bytes, int32_t length, LOGFONTA* out) {
    if (!bytes || length != (int32_t)sizeof(LOGFONTA)) return false;
    memcpy(out, bytes, sizeof(LOGFONTA));
    out->lfCharSet = DEFAULT_CHARSET;
    out->lfOutPrecision = 0;
    out->lfClipPrecision = 0;
    out->lfQuality = PROOF_QUALITY;
    out->lfPitchAndFamily = 0;
    // Stored data need not be terminated; never read past the face field.
    out->lfFaceName[LF_FACESIZE - 1] = 0;
    return true;
}

HFONT ui_CreateFontFromBytes(const void* bytes, int32_t length) {
    LOGFONTA lf;
    if (!ui_FontRuleLogFont(bytes, length, &lf)) return nullptr;
    // Drawn at the screen's DPI; the stored font stays in template units.
    lf.lfHeight = ui_ToNative(lf.lfHeight);
    lf.lfWidth = ui_ToNative(lf.lfWidth);
    return CreateFontIndirectA(&lf);
}

void ui_FontRelease(UiFont* font) {
    if (font->handle && font->owned) DeleteObject(font->handle);
    font->handle = nullptr;
    font->owned = false;
}

void ui_FontSet(UiFont* font, const void* bytes, int32_t length) {
    ui_FontRelease(font);
    HFONT f = ui_CreateFontFromBytes(bytes, length);
    if (f) {
        font->handle = f;
        font->owned = true;
    } else {
        font->handle = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
        font->owned = false;
    }
}

COLORREF ui_Colour(uint32_t value) {
    return value == UI_COLOUR_BUTTON_FACE ? GetSysColor(COLOR_BTNFACE) : (COLORREF)(value & 0x00FFFFFFu);
}

HBRUSH ui_CreateColourBrush(uint32_t value) { return CreateSolidBrush(ui_Colour(value)); }

uint8_t* ui_BlockFromWriter(const ArchiveWriter* w, int32_t* length) {
    int32_t n = (int32_t)w->out.size();
    uint8_t* b = (uint8_t*)rt_Allocate(n > 0 ? n : 1);
    if (n > 0) memcpy(b, w->out.data(), (size_t)n);
    if (length) *length = n;
    return b;
}

int32_t ui_RaiseEventRecord(EventRecord* rec, const ComponentObject* obj, int32_t event,
                            int32_t argc, const uint32_t* args) {
    memset(rec, 0, sizeof *rec);
    if (!obj) return 0;
    if (argc < 0) argc = 0;
    if (argc > 5) argc = 5;
    rec->window = obj->windowId;
    rec->component = obj->componentId;
    rec->event = event;
    rec->argc = argc;
    for (int32_t i = 0; i < argc; i++) rec->args[i] = args[i];
    return (int32_t)lib_Notify(NOTE_RAISE_EVENT, (uint32_t)(uintptr_t)rec, 0);
}

int32_t ui_RaiseEvent(const ComponentObject* obj, int32_t event, int32_t argc, ...) {
    uint32_t args[5] = {0, 0, 0, 0, 0};
    if (argc > 5) argc = 5;
    va_list ap;
    va_start(ap, argc);
    for (int32_t i = 0; i < argc; i++) args[i] = va_arg(ap, uint32_t);
    va_end(ap);
    EventRecord rec;
    return ui_RaiseEventRecord(&rec, obj, event, argc, args);
}

void ui_NotifyDestroyed(const ComponentObject* obj) {
    if (obj) lib_Notify(NOTE_COMPONENT_DESTROYED, obj->windowId, obj->componentId);
}

ComponentObject* ui_ObjectFromHandle(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd)) return nullptr;
    // Only windows of this thread answer directly; others may belong to
    // another process and must not be asked to hand out pointers.
    if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return nullptr;
    return (ComponentObject*)SendMessageA(hwnd, RT_MSG_OBJECT_QUERY, 0, 0);
}

static BOOL plainPreTranslate(FwWnd*, MSG*) { return FALSE; }
const FwWndSteps ui_plainSteps = {plainPreTranslate};

// ---- hooked native windows ----
namespace {
struct Subclass {
    ComponentObject* obj;
    const UiControlHooks* hooks;
    WNDPROC original;   // the system control's procedure; ours: DefWindowProcA
    bool creating;      // CreateWindowEx has not returned yet
};
// The hooked windows of this thread (a window's messages come on the thread
// that made it).
thread_local FwHandleTable<Subclass> t_hooked;

void attach(HWND hwnd, Subclass* sc) {
    t_hooked.add(hwnd, sc);
    sc->obj->fw.hwnd = hwnd;
    FwAttach(hwnd, &sc->obj->fw);
}

// The end of the native window: the hooks' object loses it, and the kind
// hears of it unless the window goes while it is being created.
LRESULT finalMessage(HWND hwnd, Subclass* sc, WPARAM wp, LPARAM lp) {
    WNDPROC original = sc->original;
    ComponentObject* obj = sc->obj;
    const UiControlHooks* hooks = sc->hooks;
    bool handled = false;
    if (hooks->message) hooks->message(obj, WM_NCDESTROY, wp, lp, &handled);
    LRESULT r = CallWindowProcA(original, hwnd, WM_NCDESTROY, wp, lp);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)original);
    t_hooked.remove(hwnd);
    FwDetach(hwnd);
    bool creating = sc->creating;
    if (!creating) delete sc;
    obj->fw.hwnd = nullptr;
    if (!creating && hooks->destroyed) hooks->destroyed(obj, hwnd);
    return r;
}

// The procedure of subclassed controls and the class procedure of ours.
LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Subclass* sc = t_hooked.find(hwnd);
    if (!sc && msg == WM_NCCREATE) {
        sc = (Subclass*)((CREATESTRUCTA*)lp)->lpCreateParams;
        if (sc) attach(hwnd, sc);
    }
    if (!sc) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == RT_MSG_OBJECT_QUERY) return (LRESULT)sc->obj;
    if (msg == WM_NCDESTROY) return finalMessage(hwnd, sc, wp, lp);
    // A hook may destroy the window, and the record with it.
    WNDPROC original = sc->original;
    if (sc->hooks->message) {
        bool handled = false;
        LRESULT r = sc->hooks->message(sc->obj, msg, wp, lp, &handled);
        if (handled) return r;
    }
    return CallWindowProcA(original, hwnd, msg, wp, lp);
}

// A system control made by CreateWindowEx gets the record now.
bool subclass(HWND hwnd, Subclass* sc) {
    t_hooked.add(hwnd, sc);
    sc->original = (WNDPROC)SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)subclassProc);
    if (!sc->original) {
        t_hooked.remove(hwnd);
        return false;
    }
    sc->obj->fw.hwnd = hwnd;
    FwAttach(hwnd, &sc->obj->fw);
    return true;
}
}  // namespace

static HWND notificationChild(UINT msg, WPARAM, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return (HWND)lp;
    case WM_NOTIFY:
        return lp ? ((NMHDR*)lp)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return lp ? ((DRAWITEMSTRUCT*)lp)->hwndItem : nullptr;
    default:
        return nullptr;
    }
}

bool ui_ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    HWND child = notificationChild(msg, wp, lp);
    if (!child || !ui_ObjectFromHandle(child)) return false;
    LRESULT r = SendMessageA(child, UI_REFLECT + msg, wp, lp);
    if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC && r == 0) return false;
    *result = r;
    return true;
}

// ---- paced painting ----

static void armPace(HWND hwnd, UiPace* pace, DWORD elapsed) {
    if (pace->armed) return;
    DWORD wait = elapsed < UI_PACE_FRAME_MS ? UI_PACE_FRAME_MS - elapsed : 1;
    pace->armed = SetTimer(hwnd, UI_PACE_TIMER, wait, nullptr) != 0;
}

bool ui_PacePaint(HWND hwnd, UiPace* pace) {
    DWORD now = GetTickCount();
    DWORD elapsed = now - pace->lastShown;
    if (pace->due || elapsed >= UI_PACE_FRAME_MS) {
        pace->due = false;
        pace->lastShown = now;
        return false;
    }
    armPace(hwnd, pace, elapsed);
    // Without a timer nothing would repaint it later: paint now.
    if (!pace->armed) return false;
    ValidateRect(hwnd, nullptr);
    return true;
}

void ui_PaceWrite(HWND hwnd, UiPace* pace) {
    if (pace->held) return;
    DWORD now = GetTickCount();
    DWORD elapsed = now - pace->lastShown;
    if (elapsed >= UI_PACE_FRAME_MS) {
        pace->lastShown = now;
        return;
    }
    armPace(hwnd, pace, elapsed);
    if (!pace->armed) return;
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    pace->held = true;
}

bool ui_PaceHold(HWND hwnd, UiPace* pace) {
    DWORD elapsed = GetTickCount() - pace->lastShown;
    if (pace->due || elapsed >= UI_PACE_FRAME_MS) return false;
    armPace(hwnd, pace, elapsed);
    return pace->armed;
}

void ui_PaceInvalidate(HWND hwnd, UiPace* pace) {
    if (!ui_PaceHold(hwnd, pace)) InvalidateRect(hwnd, nullptr, FALSE);
}

bool ui_PaceTimer(HWND hwnd, UiPace* pace, WPARAM timerId) {
    if (timerId != UI_PACE_TIMER) return false;
    KillTimer(hwnd, UI_PACE_TIMER);
    pace->armed = false;
    pace->due = true;
    pace->lastShown = GetTickCount();
    if (pace->held) {
        pace->held = false;
        SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    }
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return true;
}

std::string ui_ConvertText(UiConvertTextFn convert, const std::string& text) {
    if (!convert) return text;
    char* c = convert(text.c_str());
    std::string out = c ? std::string(c) : std::string();
    rt_Free(c);
    return out;
}

void ui_ConvertFontFace(UiConvertTextFn convert, std::string* font) {
    if (font->size() != sizeof(LOGFONTA)) return;
    LOGFONTA lf;
    memcpy(&lf, font->data(), sizeof lf);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    std::string face = ui_ConvertText(convert, lf.lfFaceName);
    memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    // A face name that no longer fits is cut, never run past the record.
    memcpy(lf.lfFaceName, face.data(), std::min(face.size(), (size_t)LF_FACESIZE - 1));
    font->assign((const char*)&lf, sizeof lf);
}

bool ui_CreateControl(ComponentObject* obj, uint32_t kindId, uint32_t windowId, uint32_t componentId,
                      const UiControlPlace& place, const UiControlHooks* hooks) {
    if (!obj->fw.steps) obj->fw.steps = &ui_plainSteps;
    obj->windowId = windowId;
    obj->componentId = componentId;
    obj->kindId = kindId;
    Subclass* sc = new Subclass{obj, hooks, DefWindowProcA, true};
    HMENU menu = place.menu ? place.menu : (HMENU)(intptr_t)place.controlId;
    HWND hwnd = CreateWindowExA(place.exStyle, place.className, place.text, place.style, place.left, place.top,
                                place.width, place.height, place.parent, menu, GetModuleHandleA(nullptr), sc);
    if (hwnd && (t_hooked.find(hwnd) == sc || subclass(hwnd, sc))) {
        sc->creating = false;
        return true;
    }
    if (hwnd) DestroyWindow(hwnd);
    obj->fw.hwnd = nullptr;
    delete sc;
    return false;
}

void* ui_KindEntry(const UiKindEntries& e, int32_t number) {
    switch (number) {
    case KI_CREATE: return (void*)e.create;
    case KI_SET: return (void*)e.set;
    case KI_WRITE_BLOCK: return (void*)e.writeBlock;
    case KI_GET: return (void*)e.get;
    case KI_WINDOW7: return (void*)e.window7;
    case KI_TAKES_KEY: return (void*)e.takesKey;
    case KI_CONVERT_TEXTS: return (void*)e.convertTexts;
    case KI_IS_DEFAULT_BUTTON: return (void*)e.isDefault;
    default: return nullptr;
    }
}

bool ui_RegisterClass(const char* name) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(inst, name, &existing)) return true;
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = subclassProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

void ui_ReplaceBrush(HBRUSH* brush, uint32_t colour) {
    HBRUSH made = ui_CreateColourBrush(colour);
    if (*brush) DeleteObject(*brush);
    *brush = made;
}
