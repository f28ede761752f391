#include "ui/kinds/edit/edit.h"
#include <windows.h>
#include <commctrl.h>
#include <new>
#include <string>
#include <vector>
#include "ui/kinds/common/common.h"
#include "ui/kinds/edit/edit_block.h"
#include "ui/kinds/edit/edit_text.h"

namespace {

struct EditObject {
    ComponentObject head;  // must stay first
    EditProps props;
    // Live state.
    UiFont fontHandle = {nullptr, false};
    HBRUSH brush = nullptr;
    HWND spin = nullptr;
    bool settingText = false;
    std::string selectedOut, passwordOut;
    UINT nativeOnly = 0;  // message being passed to the native procedure
};

EditObject* asEdit(ComponentObject* obj) { return (EditObject*)obj; }

const char* const kSpinProp = "VellSpin";
const char* const kSpinProcProp = "VellSpinProc";

LRESULT send(EditObject* e, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return e->head.fw.hwnd ? SendMessageA(e->head.fw.hwnd, msg, wp, lp) : 0;
}

std::string windowText(HWND hwnd) {
    int n = GetWindowTextLengthA(hwnd);
    if (n <= 0) return std::string();
    std::vector<char> buf((size_t)n + 1);
    int got = GetWindowTextA(hwnd, buf.data(), n + 1);
    return std::string(buf.data(), got > 0 ? (size_t)got : 0);
}

void refreshContent(EditObject* e) {
    if (e->head.fw.hwnd && IsWindow(e->head.fw.hwnd)) e->props.content = windowText(e->head.fw.hwnd);
}

void getSelection(EditObject* e, int32_t* start, int32_t* end) {
    DWORD s = 0, t = 0;
    send(e, EM_GETSEL, (WPARAM)&s, (LPARAM)&t);
    *start = (int32_t)s;
    *end = (int32_t)t;
}

uint8_t* edit_WriteKindBlock(ComponentObject* obj, int32_t* length) {
    EditObject* e = asEdit(obj);
    if (!e) return nullptr;
    // A re-creation must not lose what the user typed.
    refreshContent(e);
    return ui_BlockOf(edit_Block, e->props, length);
}

// ---- geometry ----
bool singleLine(const EditObject* e) { return e->props.multiLine != 1; }

int textHeight(HWND hwnd, HFONT font, const char* sample) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE sz = {0, 0};
    GetTextExtentPoint32A(dc, sample, (int)strlen(sample), &sz);
    if (old) SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return sz.cy;
}

const UINT kFrameFlags = SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                         SWP_NOOWNERZORDER;  // 0x237

// The font rule, then single-line boxes grow to hold one line of it.
void applyFontAndHeight(EditObject* e) {
    HWND hwnd = e->head.fw.hwnd;
    ui_FontSet(&e->fontHandle, e->props.font.data(), (int32_t)e->props.font.size());
    if (!hwnd) return;
    if (singleLine(e)) {
        int need = textHeight(hwnd, e->fontHandle.handle, "吴") + 2 * GetSystemMetrics(SM_CYEDGE);
        RECT r;
        GetWindowRect(hwnd, &r);
        if (r.bottom - r.top < need)
            SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, need,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);  // 0x216
    }
    send(e, WM_SETFONT, (WPARAM)e->fontHandle.handle, TRUE);
    if (singleLine(e)) SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, kFrameFlags);
}

// ---- spin control ----
void setSpinRange(EditObject* e) {
    if (!e->spin) return;
    int32_t lo = e->props.spinMin < e->props.spinMax ? e->props.spinMin : e->props.spinMax;
    int32_t hi = e->props.spinMin < e->props.spinMax ? e->props.spinMax : e->props.spinMin;
    SendMessageA(e->spin, UDM_SETRANGE, 0, MAKELPARAM((WORD)hi, (WORD)lo));
}

bool spinEdged(int32_t border) { return border == 0 || border == 1 || border == 3; }

// Keeps the spin control beside the edit box: same parent, right edge,
// same height, just below it in the Z-order, shown and enabled with it.
void placeSpin(EditObject* e) {
    HWND hwnd = e->head.fw.hwnd, spin = e->spin;
    if (!spin || !hwnd || !IsWindow(spin)) return;
    HWND parent = GetParent(hwnd);
    if (GetParent(spin) != parent) SetParent(spin, parent);
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, parent, (POINT*)&r, 2);
    bool visible = (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    SetWindowPos(spin, hwnd, r.right, r.top, EDIT_SPIN_WIDTH, r.bottom - r.top,
                 SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void onSpinDelta(EditObject* e, const NMUPDOWN* nm) {
    HWND hwnd = e->head.fw.hwnd;
    if (!hwnd || !IsWindowEnabled(hwnd) || !IsWindowVisible(hwnd)) return;
    bool up = nm->iDelta >= 0;
    if (e->props.spinMode == 2) {
        ui_RaiseEvent(&e->head, 1, 1, up ? 1u : (uint32_t)-1);
        return;
    }
    LRESULT range = SendMessageA(e->spin, UDM_GETRANGE, 0, 0);
    int32_t upper = (int16_t)LOWORD(range), lower = (int16_t)HIWORD(range);
    int64_t v = ed_ReadInt64(windowText(hwnd).c_str());
    v = v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v);
    int64_t n = up ? v + 1 : v - 1;
    if (n < lower || n > upper) n = up ? lower : upper;
    char buf[24];
    wsprintfA(buf, "%d", (int)n);
    SetWindowTextA(hwnd, buf);  // raises event 0 through EN_CHANGE
    send(e, EM_SETSEL, 0, -1);
    send(e, EM_SCROLLCARET);
    SetFocus(hwnd);
}

LRESULT colours(EditObject* e, HDC dc) {
    if (!e->brush) return 0;
    SetTextColor(dc, ui_Colour(e->props.textColour));
    SetBkColor(dc, ui_Colour(e->props.backColour));
    return (LRESULT)e->brush;
}

LRESULT CALLBACK spinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    EditObject* e = (EditObject*)GetPropA(hwnd, kSpinProp);
    WNDPROC original = (WNDPROC)GetPropA(hwnd, kSpinProcProp);
    if (!original) return DefWindowProcA(hwnd, msg, wp, lp);
    if (e) {
        switch (msg) {
        // The spin control speaks for its edit box, so the parent's
        // reflection of its notifications reaches the edit box's code.
        case RT_MSG_OBJECT_QUERY: return (LRESULT)&e->head;
        case UI_REFLECT + WM_NOTIFY:
            if (lp && ((NMHDR*)lp)->code == (UINT)UDN_DELTAPOS) onSpinDelta(e, (const NMUPDOWN*)lp);
            return 0;
        case UI_REFLECT + WM_VSCROLL:
        case UI_REFLECT + WM_HSCROLL:
        case UI_REFLECT + WM_COMMAND:
            return 0;
        default:
            if (msg >= UI_REFLECT + WM_CTLCOLORMSGBOX && msg <= UI_REFLECT + WM_CTLCOLORSTATIC)
                return colours(e, (HDC)wp);
            break;
        }
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)original);
        RemovePropA(hwnd, kSpinProp);
        RemovePropA(hwnd, kSpinProcProp);
        if (e && e->spin == hwnd) e->spin = nullptr;
    }
    return CallWindowProcA(original, hwnd, msg, wp, lp);
}

bool createSpin(EditObject* e, uint32_t extraStyle, HWND parent, int32_t controlId) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    uint32_t style = WS_CHILD | WS_CLIPSIBLINGS | (extraStyle & WS_DISABLED);
    HWND spin = CreateWindowExA(spinEdged(e->props.border) ? WS_EX_STATICEDGE : 0, UPDOWN_CLASSA, nullptr, style, 0, 0,
                                EDIT_SPIN_WIDTH, 10, parent, (HMENU)(intptr_t)(controlId + EDIT_SPIN_ID_OFFSET),
                                GetModuleHandleA(nullptr), nullptr);
    if (!spin) return false;
    SetPropA(spin, kSpinProp, (HANDLE)e);
    WNDPROC original = (WNDPROC)SetWindowLongPtrA(spin, GWLP_WNDPROC, (LONG_PTR)spinProc);
    SetPropA(spin, kSpinProcProp, (HANDLE)original);
    e->spin = spin;
    setSpinRange(e);
    placeSpin(e);
    return true;
}

void destroySpin(EditObject* e) {
    HWND spin = e->spin;
    e->spin = nullptr;
    if (spin && IsWindow(spin)) {
        RemovePropA(spin, kSpinProp);
        DestroyWindow(spin);
    }
}

// ---- window procedure hooks ----
LRESULT callNative(EditObject* e, UINT msg, WPARAM wp, LPARAM lp) {
    UINT saved = e->nativeOnly;
    e->nativeOnly = msg;
    LRESULT r = SendMessageA(e->head.fw.hwnd, msg, wp, lp);
    e->nativeOnly = saved;
    return r;
}

void clientInWindow(HWND hwnd, RECT* client, RECT* outer) {
    GetWindowRect(hwnd, outer);
    GetClientRect(hwnd, client);
    MapWindowPoints(hwnd, nullptr, (POINT*)client, 2);
    OffsetRect(client, -outer->left, -outer->top);
    OffsetRect(outer, -outer->left, -outer->top);
}

void onKillFocus(EditObject* e) {
    HWND hwnd = e->head.fw.hwnd;
    if (e->props.inputMode >= 5 && e->props.inputMode <= 11) {
        std::string text = windowText(hwnd);
        std::string norm = ed_Normalise(e->props.inputMode, text);
        if (norm != text) {
            int32_t start, end;
            getSelection(e, &start, &end);
            e->props.content = norm;
            SetWindowTextA(hwnd, norm.c_str());  // raises event 0
            send(e, EM_SETSEL, (WPARAM)start, (LPARAM)start);
            send(e, EM_SCROLLCARET);
        }
    }
    ui_RaiseEvent(&e->head, EV_FOCUS_LOST, 0);
}

// A single line sits in the middle of a taller box.
LRESULT centreLine(EditObject* e, WPARAM wp, LPARAM lp) {
    HWND hwnd = e->head.fw.hwnd;
    LRESULT r = callNative(e, WM_NCCALCSIZE, wp, lp);
    RECT* rc = (RECT*)lp;  // the proposed client rectangle comes first in both forms
    HFONT font = (HFONT)SendMessageA(hwnd, WM_GETFONT, 0, 0);
    int h = textHeight(hwnd, font, "W");
    int gap = rc->bottom - rc->top - h;
    // A box too short for the line keeps the client area it has.
    if (gap > 0) {
        rc->top += gap / 2;
        rc->bottom = rc->top + h;
    }
    return r;
}

bool inClient(HWND hwnd, LPARAM lp) {
    POINT pt = {(short)LOWORD(lp), (short)HIWORD(lp)};
    RECT client;
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, (POINT*)&client, 2);
    return PtInRect(&client, pt) != 0;
}

LRESULT onMessage(ComponentObject* obj, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
    EditObject* e = asEdit(obj);
    HWND hwnd = obj->fw.hwnd;
    if (msg == e->nativeOnly) return 0;
    switch (msg) {
    case UI_REFLECT + WM_COMMAND:
        *handled = true;
        switch (HIWORD(wp)) {
        case EN_CHANGE:
            if (!e->settingText) ui_RaiseEvent(obj, EV_MAIN, 0);
            break;
        case EN_SETFOCUS: ui_RaiseEvent(obj, EV_FOCUS_GAINED, 0); break;
        case EN_KILLFOCUS: onKillFocus(e); break;
        default: break;
        }
        return 0;
    case UI_REFLECT + WM_CTLCOLOREDIT:
    case UI_REFLECT + WM_CTLCOLORSTATIC: {
        LRESULT brush = colours(e, (HDC)wp);
        *handled = brush != 0;
        return brush;
    }
    case WM_CHAR:
        if (!ed_CharAllowed(e->props.inputMode, (uint8_t)wp)) {
            *handled = true;
            return 0;
        }
        return 0;
    case WM_NCCALCSIZE:
        if (!singleLine(e)) return 0;
        *handled = true;
        return centreLine(e, wp, lp);
    case WM_NCPAINT: {
        if (!singleLine(e) || !e->brush) return 0;
        RECT client, outer;
        clientInWindow(hwnd, &client, &outer);
        HDC dc = GetWindowDC(hwnd);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        FillRect(dc, &outer, e->brush);
        ReleaseDC(hwnd, dc);
        return 0;  // the native border is drawn over the band
    }
    case WM_NCHITTEST:
        if (!singleLine(e) || inClient(hwnd, lp)) return 0;
        *handled = true;
        return HTBORDER;
    case WM_ERASEBKGND: {
        if (!singleLine(e) || !e->brush) return 0;
        *handled = true;
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect((HDC)wp, &client, e->brush);
        return 1;
    }
    case WM_WINDOWPOSCHANGED:
        if (e->spin) {
            *handled = true;
            LRESULT r = callNative(e, msg, wp, lp);
            placeSpin(e);
            return r;
        }
        return 0;
    case WM_ENABLE:
        if (e->spin) EnableWindow(e->spin, (BOOL)wp);
        return 0;
    case WM_DESTROY:
        destroySpin(e);
        return 0;
    case UI_MSG_AFTER_CREATE:
    case UI_MSG_AFTER_SHOW:
        placeSpin(e);
        return 0;
    default:
        return 0;
    }
}

void releaseResources(EditObject* e) {
    destroySpin(e);
    ui_FontRelease(&e->fontHandle);
    if (e->brush) DeleteObject(e->brush);
    e->brush = nullptr;
}

const UiControlHooks kHooks = {onMessage, ui_Destroyed<EditObject, releaseResources>};

// ---- create ----
uint32_t styleFor(const EditObject* e, uint32_t extraStyle) {
    uint32_t style = extraStyle | WS_CHILD | WS_CLIPSIBLINGS;
    if (e->props.hideSelection == 0) style |= ES_NOHIDESEL;
    if (e->props.multiLine == 1) {
        style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
        if (e->props.scrollBars == 1 || e->props.scrollBars == 3) style |= ES_AUTOHSCROLL;
        if (e->props.scrollBars == 1 || e->props.scrollBars == 3) style |= WS_HSCROLL;
        if (e->props.scrollBars == 2 || e->props.scrollBars == 3) style |= WS_VSCROLL;
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (e->props.alignment == 1) style |= ES_CENTER;
    if (e->props.alignment == 2) style |= ES_RIGHT;
    if (e->props.inputMode == 1) style |= ES_READONLY;
    if (e->props.inputMode == 2) style |= ES_PASSWORD;
    if (e->props.caseConversion == 1) style |= ES_LOWERCASE;
    if (e->props.caseConversion == 2) style |= ES_UPPERCASE;
    return style;
}

ComponentObject* edit_Create(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                        int32_t controlId, HMENU, int32_t left, int32_t top, int32_t width, int32_t height,
                        uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    EditObject* e = new (std::nothrow) EditObject();
    if (!e) return nullptr;
    if (!edit_ReadBlock(block, length, &e->props)) {
        delete e;
        return nullptr;
    }
    e->brush = ui_CreateColourBrush(e->props.backColour);
    UiControlPlace place = {"EDIT", e->props.content.c_str(), styleFor(e, extraStyle), parent, controlId,
                            left, top, width, height, 0, nullptr};
    if (!ui_CreateControl(&e->head, KIND_EDIT, windowId, componentId, place, &kHooks)) {
        releaseResources(e);
        delete e;
        return nullptr;
    }
    HWND hwnd = e->head.fw.hwnd;
    applyFontAndHeight(e);
    send(e, EM_LIMITTEXT, (WPARAM)(e->props.maxLength > 0 ? e->props.maxLength : 0));
    if (e->props.inputMode == 2) send(e, EM_SETPASSWORDCHAR, e->props.passwordChar);
    if (singleLine(e) && e->props.spinMode != 0 && !createSpin(e, extraStyle, parent, controlId)) e->props.spinMode = 0;
    send(e, EM_SETSEL, (WPARAM)e->props.selStart, (LPARAM)(e->props.selStart + e->props.selLength));
    send(e, EM_SCROLLCARET);
    ui_ApplyBorder(hwnd, e->props.border);
    return &e->head;
}

// ---- set / get ----
// No record-supplying components exist in this program: a binding finds no
// source, so the text is emptied without an event.
void rebind(EditObject* e) {
    if (!e->head.fw.hwnd) return;
    send(e, EM_SETREADONLY, e->props.inputMode == 1);
    e->settingText = true;
    e->props.content.clear();
    SetWindowTextA(e->head.fw.hwnd, "");
    e->settingText = false;
    send(e, EM_SETSEL, 0, -1);
    send(e, EM_SCROLLCARET);
}

int32_t changeTo(int32_t* stored, int32_t value) {
    if (*stored == value) return 0;
    *stored = value;
    return 1;
}

int32_t textLength(EditObject* e) { return e->head.fw.hwnd ? GetWindowTextLengthW(e->head.fw.hwnd) : 0; }

void applySelection(EditObject* e) {
    send(e, EM_SETSEL, (WPARAM)e->props.selStart, (LPARAM)(e->props.selStart + e->props.selLength));
    send(e, EM_SCROLLCARET);
}

int32_t edit_Set(ComponentObject* obj, int32_t index, const ValueRecord* v, int32_t) {
    EditObject* e = asEdit(obj);
    if (!e || !v) return 0;
    HWND hwnd = e->head.fw.hwnd;
    int32_t iv = (int32_t)v->value;
    switch (index) {
    case EDIT_CONTENT:
        e->settingText = true;
        e->props.content = ui_ValueText(v);
        if (hwnd) SetWindowTextA(hwnd, e->props.content.c_str());
        e->settingText = false;
        // Exactly one change event, whether or not the text differed.
        send(e, UI_REFLECT + WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), (LPARAM)hwnd);
        return 0;
    case EDIT_BORDER:
        e->props.border = ui_Clamp(iv, 0, 5);
        ui_ApplyBorder(hwnd, e->props.border);
        if (e->spin) {
            LONG ex = GetWindowLongA(e->spin, GWL_EXSTYLE) & ~WS_EX_STATICEDGE;
            SetWindowLongA(e->spin, GWL_EXSTYLE, ex | (spinEdged(e->props.border) ? WS_EX_STATICEDGE : 0));
            SetWindowPos(e->spin, nullptr, 0, 0, 0, 0, kFrameFlags);
        }
        return 0;
    case EDIT_TEXT_COLOUR:
        e->props.textColour = v->value;
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EDIT_BACK_COLOUR: {
        e->props.backColour = v->value;
        ui_ReplaceBrush(&e->brush, e->props.backColour);
        if (hwnd) RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
        return 0;
    }
    case EDIT_FONT:
        e->props.font = ui_ValueBytes(v);
        applyFontAndHeight(e);
        return 0;
    case EDIT_HIDE_SELECTION: return changeTo(&e->props.hideSelection, iv);
    case EDIT_MULTI_LINE: return changeTo(&e->props.multiLine, iv);
    case EDIT_MAX_LENGTH:
        e->props.maxLength = iv < 0 ? 0 : iv;
        send(e, EM_LIMITTEXT, (WPARAM)e->props.maxLength);
        return 0;
    case EDIT_SCROLL_BARS: return changeTo(&e->props.scrollBars, ui_Clamp(iv, 0, 3));
    case EDIT_ALIGNMENT: return changeTo(&e->props.alignment, ui_Clamp(iv, 0, 2));
    case EDIT_CASE: return changeTo(&e->props.caseConversion, ui_Clamp(iv, 0, 2));
    case EDIT_SPIN_MODE: return changeTo(&e->props.spinMode, ui_Clamp(iv, 0, 2));
    case EDIT_INPUT_MODE:
        e->props.inputMode = ui_Clamp(iv, 0, EDIT_MODE_COUNT - 1);
        send(e, EM_SETPASSWORDCHAR, e->props.inputMode == 2 ? e->props.passwordChar : 0);
        send(e, EM_SETREADONLY, e->props.inputMode == 1);
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EDIT_PASSWORD_CHAR: {
        const char* s = (const char*)(uintptr_t)v->value;
        e->props.passwordChar = s ? (uint8_t)s[0] : 0;
        if (e->props.inputMode == 2) {
            send(e, EM_SETPASSWORDCHAR, e->props.passwordChar);
            if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    }
    case EDIT_SPIN_MIN: e->props.spinMin = iv; setSpinRange(e); return 0;
    case EDIT_SPIN_MAX: e->props.spinMax = iv; setSpinRange(e); return 0;
    case EDIT_SEL_START:
        if (iv == -1) {
            e->props.selStart = textLength(e);
            e->props.selLength = 0;
        } else {
            e->props.selStart = iv < 0 ? 0 : iv;
        }
        applySelection(e);
        return 0;
    case EDIT_SEL_LENGTH:
        if (iv == -1) {
            e->props.selStart = 0;
            e->props.selLength = textLength(e);
        } else {
            e->props.selLength = iv < 0 ? 0 : iv;
        }
        applySelection(e);
        return 0;
    case EDIT_SELECTED_TEXT:
        send(e, EM_REPLACESEL, FALSE, (LPARAM)ui_ValueText(v).c_str());
        return 0;
    case EDIT_DATA_SOURCE: e->props.dataSource = ui_ValueText(v); rebind(e); return 0;
    case EDIT_DATA_COLUMN: e->props.dataColumn = ui_ValueText(v); rebind(e); return 0;
    default: return 0;
    }
}

// The selected characters. Selection positions count characters, so the
// text is cut in UTF-16 and converted back.
std::string selectedText(EditObject* e) {
    HWND hwnd = e->head.fw.hwnd;
    if (!hwnd) return std::string();
    int32_t start, end;
    getSelection(e, &start, &end);
    int n = GetWindowTextLengthW(hwnd);
    if (start < 0 || end <= start || start >= n) return std::string();
    if (end > n) end = n;
    std::vector<wchar_t> w((size_t)n + 1);
    GetWindowTextW(hwnd, w.data(), n + 1);
    int bytes = WideCharToMultiByte(CP_ACP, 0, w.data() + start, end - start, nullptr, 0, nullptr, nullptr);
    std::string out((size_t)(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, w.data() + start, end - start, &out[0], bytes, nullptr, nullptr);
    return out;
}

int32_t edit_Get(ComponentObject* obj, int32_t index, ValueRecord* out) {
    EditObject* e = asEdit(obj);
    if (!e || !out) return 0;
    switch (index) {
    case EDIT_CONTENT: refreshContent(e); ui_OutText(out, e->props.content); return 1;
    case EDIT_BORDER: ui_OutInt(out, (uint32_t)e->props.border); return 1;
    case EDIT_TEXT_COLOUR: ui_OutInt(out, e->props.textColour); return 1;
    case EDIT_BACK_COLOUR: ui_OutInt(out, e->props.backColour); return 1;
    case EDIT_FONT: ui_OutBytes(out, e->props.font); return 1;
    case EDIT_HIDE_SELECTION: ui_OutInt(out, (uint32_t)e->props.hideSelection); return 1;
    case EDIT_MAX_LENGTH: ui_OutInt(out, (uint32_t)e->props.maxLength); return 1;
    case EDIT_MULTI_LINE: ui_OutInt(out, (uint32_t)e->props.multiLine); return 1;
    case EDIT_SCROLL_BARS: ui_OutInt(out, (uint32_t)e->props.scrollBars); return 1;
    case EDIT_ALIGNMENT: ui_OutInt(out, (uint32_t)e->props.alignment); return 1;
    case EDIT_INPUT_MODE: ui_OutInt(out, (uint32_t)e->props.inputMode); return 1;
    case EDIT_PASSWORD_CHAR:
        e->passwordOut = e->props.passwordChar ? std::string(1, (char)e->props.passwordChar) : std::string();
        ui_OutText(out, e->passwordOut);
        return 1;
    case EDIT_CASE: ui_OutInt(out, (uint32_t)e->props.caseConversion); return 1;
    case EDIT_SPIN_MODE: ui_OutInt(out, (uint32_t)e->props.spinMode); return 1;
    case EDIT_SPIN_MIN: ui_OutInt(out, (uint32_t)e->props.spinMin); return 1;
    case EDIT_SPIN_MAX: ui_OutInt(out, (uint32_t)e->props.spinMax); return 1;
    case EDIT_SEL_START:
    case EDIT_SEL_LENGTH: {
        int32_t start, end;
        getSelection(e, &start, &end);
        ui_OutInt(out, (uint32_t)(index == EDIT_SEL_START ? start : end - start));
        return 1;
    }
    case EDIT_SELECTED_TEXT:
        e->selectedOut = selectedText(e);
        ui_OutText(out, e->selectedOut);
        return 1;
    case EDIT_DATA_SOURCE: ui_OutText(out, e->props.dataSource); return 1;
    case EDIT_DATA_COLUMN: ui_OutText(out, e->props.dataColumn); return 1;
    default: return 0;
    }
}

int32_t edit_TakesKey(ComponentObject* obj, UINT vk) {
    EditObject* e = asEdit(obj);
    return e && vk == VK_RETURN && e->props.multiLine == 1 && e->props.inputMode != 1 ? 1 : 0;
}


}  // namespace

static const UiKindEntries kEditEntries = {edit_Create, edit_Set, edit_WriteKindBlock, edit_Get, nullptr, edit_TakesKey,
                                             ui_ConvertTextsOf<edit_Block>, nullptr};

void* kind_edit_iface(int32_t number) { return ui_KindEntry(kEditEntries, number); }
