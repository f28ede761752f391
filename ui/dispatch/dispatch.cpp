// Property access and event dispatch: the module names a property by
// (window, component, index, member); common properties are served from the
// record and the native window, the rest by the kind, converted by the
// property's type code.
#include "ui/dispatch/dispatch.h"
#include "ui/loader/loader.h"
#include "ui/scale.h"
#include "ui/template/archive.h"
#include "commands/library.h"
#include <string.h>
#include <stdlib.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {


const char kNoWindow[] = "未载入欲访问窗口组件所在的窗口";
const char kReadNotLoaded[] = "读取组件属性时发现指定窗口尚未载入";
const char kWriteNotLoaded[] = "修改组件属性时发现指定窗口尚未载入";
const char kEventNoWindow[] = "未找到引发事件的窗口";
const char kEventNoEntry[] = "未找到引发事件的窗口组件";
const char kEventInvalid[] = "引发事件的窗口组件无效";
const char kNoEntry[] = "指定窗口或窗口组件不存在或尚未载入";
const char kDefaultFace[] = "宋体";

VELL_NORETURN void fatalAt(const char* message, uint32_t w, uint32_t c) {
    rt_FatalReport(message, 0, (int32_t)w, (int32_t)c);
}

// The kind id and handler source of any entry (menu items included): the
// first two DWORDs of every record.
uint32_t entryKind(const TplTable& t, int32_t index) {
    uint32_t size = 0;
    const uint8_t* rec = tpl_Record(t, (uint32_t)index, &size);
    return rec && size >= 4 ? rd32(rec) : 0;
}
uint32_t entrySource(const TplTable& t, int32_t index) {
    uint32_t size = 0;
    const uint8_t* rec = tpl_Record(t, (uint32_t)index, &size);
    return rec && size >= 8 ? rd32(rec + 4) : 0;
}

uint16_t propertyType(const KindRecord* k, int32_t prop) {
    if (!k || !k->properties || prop < 0 || (uint32_t)prop >= k->propertyCount) return 0;
    return k->properties[prop].type;
}

bool isByteSetType(uint16_t t) {
    return t == PT_BYTES || t == PT_PICTURE || t == PT_BYTES_B || t == PT_BYTES_C || t == PT_BYTES_D;
}
bool isIntType(uint16_t t) {
    return t == PT_INT || t == PT_INT_COMMON || t == PT_COLOUR || t == PT_INT_B || t == PT_INT_C;
}

// The rectangle of a live native window in its parent's client coordinates
// (screen coordinates for a top-level or pop-up window).
void liveRect(HWND h, RECT* r) {
    GetWindowRect(h, r);
    LONG style = GetWindowLongA(h, GWL_STYLE);
    HWND parent = GetParent(h);
    if ((style & WS_CHILD) && !(style & WS_POPUP) && parent) MapWindowPoints(nullptr, parent, (POINT*)r, 2);
}

void defaultLogFont(LOGFONTA* lf) {
    memset(lf, 0, sizeof *lf);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof *lf, lf);
}

uint64_t lowOnly(uint32_t v) { return (uint64_t)v; }

// ---- fonts ----

uint32_t fontMember(const LOGFONTA& lf, int32_t member) {
    switch (member) {
    case FONT_ANGLE: return (uint32_t)lf.lfOrientation;
    case FONT_BOLD: return lf.lfWeight >= FW_BOLD ? 1u : 0u;
    case FONT_ITALIC: return lf.lfItalic ? 1u : 0u;
    case FONT_STRIKEOUT: return lf.lfStrikeOut ? 1u : 0u;
    case FONT_UNDERLINE: return lf.lfUnderline ? 1u : 0u;
    // Stored fonts are in template units, drawn scaled (ui/scale.h).
    case FONT_SIZE: return (uint32_t)MulDiv(abs(lf.lfHeight), 72, UI_TEMPLATE_DPI);
    default: return 0;
    }
}

// Applies one member value to a LOGFONT by the member write rules (the face
// name is handled by the callers: the two writes differ there).
void setFontMember(LOGFONTA* lf, int32_t member, uint32_t value) {
    switch (member) {
    case FONT_ANGLE: {
        int32_t a = (int32_t)value % 3600;
        if (a < 0) a += 3600;
        lf->lfEscapement = lf->lfOrientation = a;
        break;
    }
    case FONT_BOLD: lf->lfWeight = value ? FW_BOLD : 0; break;
    case FONT_ITALIC: lf->lfItalic = value ? 1 : 0; break;
    case FONT_STRIKEOUT: lf->lfStrikeOut = value ? 1 : 0; break;
    case FONT_UNDERLINE: lf->lfUnderline = value ? 1 : 0; break;
    case FONT_SIZE: {
        int32_t points = (int32_t)value;
        if (points < 0) points = 0;
        lf->lfHeight = -MulDiv(points, UI_TEMPLATE_DPI, 72);
        break;
    }
    default: break;
    }
}

void setFace(LOGFONTA* lf, const char* face, size_t tooLong, bool emptyIsDefault) {
    if (!face || (emptyIsDefault && !*face) || strlen(face) >= tooLong) face = kDefaultFace;
    memset(lf->lfFaceName, 0, sizeof lf->lfFaceName);
    strncpy(lf->lfFaceName, face, sizeof lf->lfFaceName - 1);
}

uint64_t readFont(const ValueRecord& v, int32_t member) {
    LOGFONTA lf;
    if (v.value && v.length == sizeof(LOGFONTA)) memcpy(&lf, (const void*)(uintptr_t)v.value, sizeof lf);
    else defaultLogFont(&lf);
    char face[LF_FACESIZE + 1] = {0};
    memcpy(face, lf.lfFaceName, LF_FACESIZE);
    if (member == FONT_FACE) return lowOnly((uint32_t)(uintptr_t)rt_DupText(face));
    if (member == FONT_WHOLE) {
        size_t faceLen = strlen(face);
        uint8_t* block = (uint8_t*)rt_Allocate((int32_t)(sizeof(UiFontRecord) + faceLen + 1));
        UiFontRecord* r = (UiFontRecord*)block;
        r->angle = (int32_t)fontMember(lf, FONT_ANGLE);
        r->bold = (int32_t)fontMember(lf, FONT_BOLD);
        r->italic = (int32_t)fontMember(lf, FONT_ITALIC);
        r->strikeout = (int32_t)fontMember(lf, FONT_STRIKEOUT);
        r->underline = (int32_t)fontMember(lf, FONT_UNDERLINE);
        r->size = (int32_t)fontMember(lf, FONT_SIZE);
        char* text = (char*)block + sizeof(UiFontRecord);
        memcpy(text, face, faceLen + 1);
        r->face = faceLen ? text : nullptr;
        return lowOnly((uint32_t)(uintptr_t)block);
    }
    return lowOnly(fontMember(lf, member));
}

// ---- conversions ----

uint64_t convertOut(uint16_t type, int32_t member, const ValueRecord& v) {
    if (isIntType(type) || type == PT_PICK) return lowOnly(v.value);
    if (type == PT_8BYTE || type == PT_8BYTE_B) return (uint64_t)v.value | ((uint64_t)v.length << 32);
    if (type == PT_BOOL) return lowOnly(v.value == 1 ? 1u : 0u);
    if (isByteSetType(type))
        return lowOnly((uint32_t)(uintptr_t)rt_ByteSetFromBytes((const void*)(uintptr_t)v.value,
                                                                v.value ? (int32_t)v.length : 0));
    if (type == PT_MOUSE_POINTER) {
        uint8_t* b = rt_ByteSetFromBytes((const void*)(uintptr_t)v.value, v.value ? (int32_t)v.length : 0);
        if (b && rt_ByteSetLength(b) >= 4) {
            uint8_t* d = (uint8_t*)rt_ByteSetData(b);
            uint32_t code = rd32(d);
            uint32_t number = ui_PointerCodeToNumber(code);
            memcpy(d, &number, 4);
        }
        return lowOnly((uint32_t)(uintptr_t)b);
    }
    if (type == PT_FONT) return readFont(v, member);
    return lowOnly((uint32_t)(uintptr_t)rt_DupText((const char*)(uintptr_t)v.value));
}

// Builds the value record for a kind's set function; `scratch` holds any
// bytes the record points to.
void convertIn(uint16_t type, int32_t member, uint32_t low, uint32_t high, ComponentObject* o,
               KindGetFn get, int32_t kindIndex, ValueRecord* v, std::string* scratch) {
    v->value = 0;
    v->length = 0;
    if (isIntType(type)) { v->value = low; return; }
    if (type == PT_8BYTE || type == PT_8BYTE_B) { v->value = low; v->length = high; return; }
    if (type == PT_BOOL) { v->value = low ? 1u : 0u; return; }
    if (type == PT_PICK) { v->value = (int32_t)low < 0 ? 0u : low; return; }
    if (isByteSetType(type) || type == PT_MOUSE_POINTER) {
        const void* set = (const void*)(uintptr_t)low;
        int32_t n = set ? rt_ByteSetLength(set) : 0;
        if (n <= 0) return;
        if (type == PT_MOUSE_POINTER && n >= 4) {
            scratch->assign((const char*)rt_ByteSetData(set), (size_t)n);
            uint32_t code = ui_PointerNumberToCode(rd32((const uint8_t*)scratch->data()));
            memcpy(&(*scratch)[0], &code, 4);
            v->value = (uint32_t)(uintptr_t)scratch->data();
        } else {
            v->value = (uint32_t)(uintptr_t)rt_ByteSetData(set);
        }
        v->length = (uint32_t)n;
        return;
    }
    if (type == PT_FONT) {
        LOGFONTA lf;
        if (member == FONT_WHOLE) {
            const UiFontRecord* r = (const UiFontRecord*)(uintptr_t)low;
            if (!r) return;
            memset(&lf, 0, sizeof lf);
            setFontMember(&lf, FONT_ANGLE, (uint32_t)r->angle);
            setFontMember(&lf, FONT_BOLD, (uint32_t)r->bold);
            setFontMember(&lf, FONT_ITALIC, (uint32_t)r->italic);
            setFontMember(&lf, FONT_STRIKEOUT, (uint32_t)r->strikeout);
            setFontMember(&lf, FONT_UNDERLINE, (uint32_t)r->underline);
            setFontMember(&lf, FONT_SIZE, (uint32_t)r->size);
            setFace(&lf, r->face, 31, false);
        } else {
            ValueRecord cur = {0, 0};
            if (get) get(o, kindIndex, &cur);
            if (cur.value && cur.length == sizeof(LOGFONTA)) memcpy(&lf, (const void*)(uintptr_t)cur.value, sizeof lf);
            else defaultLogFont(&lf);
            if (member == FONT_FACE) setFace(&lf, (const char*)(uintptr_t)low, 32, true);
            else setFontMember(&lf, member, low);
        }
        scratch->assign((const char*)&lf, sizeof lf);
        v->value = (uint32_t)(uintptr_t)scratch->data();
        v->length = sizeof lf;
        return;
    }
    const char* text = (const char*)(uintptr_t)low;
    if (!text) text = "";
    v->value = (uint32_t)(uintptr_t)text;
    v->length = (uint32_t)strlen(text);
}

// ---- menu item entries ----

uint64_t readMenuItem(const TplTable& t, int32_t index, int32_t prop) {
    uint32_t size = 0;
    const uint8_t* rec = tpl_Record(t, (uint32_t)index, &size);
    TplMenuFields f;
    if (!rec || !tpl_WalkMenuItem(rec, size, &f)) return 0;
    uint32_t flags = rd32(rec + f.flags);
    switch (prop) {
    case 0: return lowOnly((uint32_t)(uintptr_t)rt_DupText((const char*)rec + f.caption));
    case 1: return (flags >> 2) & 1;
    case 2: return (flags >> 1) & 1;
    case 3: return (flags & 1) ? 0 : 1;
    default: return 0;
    }
}

void writeMenuItem(TplTable* t, int32_t index, int32_t prop, uint32_t low) {
    uint32_t size = 0;
    const uint8_t* rec = tpl_Record(*t, (uint32_t)index, &size);
    TplMenuItem m;
    if (!rec || !tpl_DecodeMenuItem(rec, size, &m)) return;
    bool changed = false;
    if (prop == 0) {
        const char* s = (const char*)(uintptr_t)low;
        std::string caption = s ? s : "";
        if (caption != m.caption) { m.caption = caption; changed = true; }
    } else if (prop >= 1 && prop <= 3) {
        uint32_t bit = prop == 1 ? 4u : prop == 2 ? 2u : 1u;
        bool on = prop == 3 ? low == 0 : low != 0;  // visible clears the hidden bit
        uint32_t flags = on ? (m.flags | bit) : (m.flags & ~bit);
        if (flags != m.flags) { m.flags = flags; changed = true; }
    }
    // Menu bars are not built from menu item records here, so a change only
    // rewrites the record.
    if (changed) {
        std::string r = tpl_EncodeMenuItem(m);
        tpl_ReplaceRecord(t, index, r.data(), (uint32_t)r.size());
    }
}

// Whether entry `index` lies on a page of a paged container other than the
// first (the page a loaded container shows).
bool onHiddenPage(const TplTable& t, uint32_t id) {
    for (uint32_t i = 1; i < t.count; i++) {
        if (tpl_GetKindId(t, i) != KIND_PAGED) continue;
        std::vector<uint32_t> children = tpl_GetChildren(t, i);
        int page = 0;
        for (uint32_t c : children) {
            if (c == 0) { page++; continue; }
            if (c == id && page != 0) return true;
        }
    }
    return false;
}

}  // namespace

// ---- reading ----

uint64_t ui_ReadProperty(uint32_t window, uint32_t component, int32_t prop, int32_t member) {
    UiWindowRecord* w = ui_FindWindow(window);
    if (!w) fatalAt(kNoWindow, window, component);
    int32_t idx = ui_FindEntry(w, component);
    if (idx < 0) fatalAt(kNoEntry, window, component);
    const TplTable& t = w->working;
    if (tpl_IsMenuEntry(t, (uint32_t)idx)) return readMenuItem(t, idx, prop);
    ComponentObject* o = ui_LiveObject(w, idx);
    if (prop >= CP_COUNT) {
        if (!o) fatalAt(kReadNotLoaded, window, component);
        const KindRecord* k = ui_KindRecord(tpl_GetKindId(t, (uint32_t)idx));
        KindGetFn get = (KindGetFn)ui_KindFunction(k, KI_GET);
        ValueRecord v = {0, 0};
        if (get) get(o, prop - CP_COUNT, &v);
        return convertOut(propertyType(k, prop), member, v);
    }
    int32_t rect[4] = {0, 0, 0, 0};  // CP_LEFT to CP_HEIGHT, in that order
    tpl_GetRect(t, (uint32_t)idx, rect);
    RECT r;
    switch (prop) {
    case CP_LEFT:
    case CP_TOP:
        if (!o) return lowOnly((uint32_t)rect[prop]);
        liveRect(o->fw.hwnd, &r);
        return lowOnly((uint32_t)ui_FromNative(prop == CP_LEFT ? r.left : r.top));
    case CP_WIDTH:
    case CP_HEIGHT:
        if (!o) return lowOnly((uint32_t)rect[prop]);
        GetWindowRect(o->fw.hwnd, &r);
        return lowOnly((uint32_t)ui_FromNative(prop == CP_WIDTH ? r.right - r.left : r.bottom - r.top));
    case CP_TAG: return lowOnly((uint32_t)(uintptr_t)rt_DupText(tpl_GetTag(t, (uint32_t)idx)));
    case CP_VISIBLE:
        if (o) return (GetWindowLongA(o->fw.hwnd, GWL_STYLE) & WS_VISIBLE) ? 1 : 0;
        return tpl_GetStateFlags(t, (uint32_t)idx) & TPL_STATE_VISIBLE ? 1 : 0;
    case CP_DISABLED:
        if (o) return IsWindowEnabled(o->fw.hwnd) ? 0 : 1;
        return tpl_GetStateFlags(t, (uint32_t)idx) & TPL_STATE_DISABLED ? 1 : 0;
    case CP_MOUSE_POINTER: {
        uint32_t n = 0;
        const uint8_t* p = tpl_GetMousePointer(t, (uint32_t)idx, &n);
        ValueRecord v = {(uint32_t)(uintptr_t)p, n};
        return convertOut(PT_MOUSE_POINTER, -1, v);
    }
    default: return 0;
    }
}

// ---- writing ----

// A kind's own property (index above 7), converted by its type; a kind
// that asks for it is re-created with the new value.
static void writeKindProperty(UiWindowRecord* w, int32_t idx, ComponentObject* o, int32_t prop, int32_t member,
                              uint32_t low, uint32_t high) {
    const KindRecord* k = ui_KindRecord(tpl_GetKindId(w->working, (uint32_t)idx));
    KindSetFn set = (KindSetFn)ui_KindFunction(k, KI_SET);
    KindGetFn get = (KindGetFn)ui_KindFunction(k, KI_GET);
    if (!set) return;
    ValueRecord v;
    std::string scratch;
    convertIn(propertyType(k, prop), member, low, high, o, get, prop - CP_COUNT, &v, &scratch);
    if (set(o, prop - CP_COUNT, &v, 0) != 1 || !IsWindow(o->fw.hwnd)) return;
    int32_t at = ui_FindEntryByHandle(w, o->fw.hwnd, false);
    if (at <= 0) return;
    rt_Notify(NOTE_PUMP_BLOCK, 0, 0);
    ui_Recreate(w->id, at);
    rt_Notify(NOTE_PUMP_UNBLOCK, 0, 0);
}

void ui_WriteProperty(uint32_t window, uint32_t component, int32_t prop, int32_t member,
                      uint32_t low, uint32_t high) {
    UiWindowRecord* w = ui_FindWindow(window);
    if (!w) fatalAt(kNoWindow, window, component);
    int32_t idx = ui_FindEntry(w, component);
    if (idx < 0) fatalAt(kNoEntry, window, component);
    TplTable* t = &w->working;
    if (tpl_IsMenuEntry(*t, (uint32_t)idx)) { writeMenuItem(t, idx, prop, low); return; }
    ComponentObject* o = ui_LiveObject(w, idx);
    if (prop >= CP_COUNT) {
        if (!o) fatalAt(kWriteNotLoaded, window, component);
        writeKindProperty(w, idx, o, prop, member, low, high);
        return;
    }
    switch (prop) {
    case CP_WIDTH:
    case CP_HEIGHT: {
        int32_t v = (int32_t)low;
        v = v < 0 ? 0 : (v > 32627 ? 32627 : v);
        tpl_SetRectField(t, (uint32_t)idx, prop, v);
        if (o) {
            RECT r;
            GetWindowRect(o->fw.hwnd, &r);
            int32_t width = prop == CP_WIDTH ? ui_ToNative(v) : r.right - r.left;
            int32_t height = prop == CP_HEIGHT ? ui_ToNative(v) : r.bottom - r.top;
            SetWindowPos(o->fw.hwnd, nullptr, 0, 0, width, height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        break;
    }
    case CP_LEFT:
    case CP_TOP: {
        int32_t v = (int32_t)low;
        v = v < -32627 ? -32627 : (v > 32627 ? 32627 : v);
        tpl_SetRectField(t, (uint32_t)idx, prop, v);
        if (o) {
            RECT r;
            liveRect(o->fw.hwnd, &r);
            int32_t x = prop == CP_LEFT ? ui_ToNative(v) : r.left;
            int32_t y = prop == CP_TOP ? ui_ToNative(v) : r.top;
            MoveWindow(o->fw.hwnd, x, y, r.right - r.left, r.bottom - r.top, TRUE);
        }
        break;
    }
    case CP_TAG: tpl_SetTag(t, (uint32_t)idx, (const char*)(uintptr_t)low); break;
    case CP_VISIBLE: {
        uint32_t state = tpl_GetStateFlags(*t, (uint32_t)idx);
        tpl_SetStateFlags(t, (uint32_t)idx, low ? (state | TPL_STATE_VISIBLE) : (state & ~TPL_STATE_VISIBLE));
        if (!o) break;
        if (!low) {
            ShowWindow(o->fw.hwnd, SW_HIDE);
        } else if (idx == 0) {
            ui_ShowAfterLoad(window, 1);
        } else {
            const KindRecord* k = ui_KindRecord(tpl_GetKindId(*t, (uint32_t)idx));
            if ((k && (k->flags & KF_HIDDEN)) || onHiddenPage(*t, tpl_EntryId(*t, (uint32_t)idx))) break;
            ShowWindow(o->fw.hwnd, SW_SHOWNA);
        }
        break;
    }
    case CP_DISABLED: {
        uint32_t state = tpl_GetStateFlags(*t, (uint32_t)idx);
        tpl_SetStateFlags(t, (uint32_t)idx, low ? (state | TPL_STATE_DISABLED) : (state & ~TPL_STATE_DISABLED));
        if (o) EnableWindow(o->fw.hwnd, low ? FALSE : TRUE);
        break;
    }
    case CP_MOUSE_POINTER: {
        const void* set = (const void*)(uintptr_t)low;
        int32_t n = set ? rt_ByteSetLength(set) : 0;
        std::string bytes;
        if (n > 0) bytes.assign((const char*)rt_ByteSetData(set), (size_t)n);
        if (bytes.size() >= 4) {
            uint32_t code = ui_PointerNumberToCode(rd32((const uint8_t*)bytes.data()));
            memcpy(&bytes[0], &code, 4);
        }
        ui_DestroyPointer((HCURSOR)(uintptr_t)tpl_GetCursorSlot(*t, (uint32_t)idx));
        // A pointer belongs to a live component; the next load makes one
        // from the record otherwise.
        HCURSOR c = o ? ui_MakePointer((const uint8_t*)bytes.data(), (uint32_t)bytes.size()) : nullptr;
        tpl_SetCursorSlot(t, (uint32_t)idx, (uint32_t)(uintptr_t)c);
        tpl_SetMousePointer(t, (uint32_t)idx, bytes.data(), (uint32_t)bytes.size());
        if (o) {
            POINT p;
            if (GetCursorPos(&p)) SetCursorPos(p.x, p.y);
        }
        break;
    }
    default: break;
    }
}

// ---- re-creation ----

void ui_Recreate(uint32_t windowId, int32_t index) {
    UiWindowRecord* w = ui_FindWindow(windowId);
    ComponentObject* o = ui_LiveObject(w, index);
    if (!o || index <= 0) return;
    const KindRecord* k = ui_KindRecord(tpl_GetKindId(w->working, (uint32_t)index));
    if (!k || (k->flags & KF_NO_RECREATE)) return;
    KindWriteBlockFn writeBlock = (KindWriteBlockFn)ui_KindFunction(k, KI_WRITE_BLOCK);
    KindCreateFn create = (KindCreateFn)ui_KindFunction(k, KI_CREATE);
    if (!writeBlock || !create) return;
    int32_t length = 0;
    uint8_t* block = writeBlock(o, &length);
    if (!block) return;

    HWND old = o->fw.hwnd;
    HWND focus = GetFocus();
    bool hadFocus = focus && (focus == old || IsChild(old, focus));
    RECT r;
    liveRect(old, &r);
    uint32_t extra = IsWindowEnabled(old) ? 0 : WS_DISABLED;
    if (tpl_GetStateFlags(w->working, (uint32_t)index) & TPL_STATE_TABSTOP) extra |= WS_TABSTOP;
    HWND parent = GetParent(old);
    int32_t controlId = GetDlgCtrlID(old);
    bool wasVisible = (GetWindowLongA(old, GWL_STYLE) & WS_VISIBLE) != 0;
    uint32_t componentId = tpl_EntryId(w->working, (uint32_t)index);

    ComponentObject* fresh = create(block, length, extra, parent, controlId, nullptr, r.left, r.top,
                                    r.right - r.left, r.bottom - r.top, windowId, componentId, 0, 0);
    if (fresh && IsWindow(fresh->fw.hwnd)) {
        HWND h = fresh->fw.hwnd;
        if (k->flags & KF_CONTAINER) {
            // Bottom first: each moved child lands on top, so the order holds.
            std::vector<HWND> children;
            for (HWND c = GetWindow(old, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
            for (size_t i = children.size(); i-- > 0;) SetParent(children[i], h);
        }
        tpl_SetObjectSlot(&w->working, (uint32_t)index, (uint32_t)(uintptr_t)fresh);
        ui_PlaceInZOrder(w, index);
        SendMessageA(h, UI_MSG_AFTER_CREATE, 0, 0);
        SendMessageA(h, UI_MSG_AFTER_SHOW, 0, 0);
        if ((k->flags & KF_RELAYOUT) && parent) SendMessageA(parent, UI_MSG_LAYOUT, 0, 0);
        if (wasVisible) ShowWindow(h, SW_SHOWNA);
        bool before = g_rt.recreating;
        g_rt.recreating = true;
        DestroyWindow(old);
        g_rt.recreating = before;
        if (hadFocus) SetFocus(h);
        else if (focus && IsWindow(focus) && GetFocus() != focus) SetFocus(focus);
    }
    rt_Free(block);
}

// ---- events ----

namespace {

// The handler (a relocated slot address) bound to `event` of entry `index`
// after following the handler source chain; 0 when none. Fatal for an
// entry whose kind raises no events.
uint32_t findHandler(UiWindowRecord* w, int32_t index, int32_t event, uint32_t window, uint32_t component) {
    const TplTable& t = w->working;
    uint32_t kind = entryKind(t, index);
    std::vector<int32_t> seen(1, index);
    for (;;) {
        uint32_t source = entrySource(t, index);
        if (!source) break;
        int32_t next = tpl_FindEntry(t, source);
        if (next < 0 || entryKind(t, next) != kind) break;
        if (std::find(seen.begin(), seen.end(), next) != seen.end()) break;
        seen.push_back(next);
        index = next;
    }
    const KindRecord* k = ui_KindRecord(kind);
    if (!k || !(k->flags & (KF_EVENTS_A | KF_EVENTS_B))) fatalAt(kEventInvalid, window, component);
    if (tpl_IsMenuEntry(t, (uint32_t)index)) {
        if (kind != KIND_MENU) return 0;
        uint32_t size = 0;
        const uint8_t* rec = tpl_Record(t, (uint32_t)index, &size);
        TplMenuFields f;
        if (!rec || !tpl_WalkMenuItem(rec, size, &f)) return 0;
        return rd32(rec + f.handler);
    }
    uint32_t handler = 0;
    if (!tpl_FindBinding(t, (uint32_t)index, event, &handler)) return 0;
    return handler;
}

// Steps common to both event records; *handler 0 means nothing to call.
bool prepareEvent(uint32_t window, uint32_t component, int32_t event, uint32_t* handler, uint32_t* source) {
    *handler = 0;
    if (g_rt.eventBlock >= 1) return false;
    UiWindowRecord* w = ui_FindWindow(window);
    if (!w) fatalAt(kEventNoWindow, window, component);
    int32_t idx = ui_FindEntry(w, component);
    if (idx < 0) fatalAt(kEventNoEntry, window, component);
    *handler = findHandler(w, idx, event, window, component);
    *source = component ? component : tpl_EntryId(w->working, 0);
    return *handler != 0;
}

int32_t callHandler(uint32_t handler, uint32_t window, uint32_t source, int32_t argc, const uint32_t* args,
                    int32_t* returned) {
    // A nested handler hands the source back to the one it interrupted.
    uint32_t prevWindow = g_rt.eventSourceWindow, prevComponent = g_rt.eventSourceComponent;
    g_rt.eventSourceWindow = window;
    g_rt.eventSourceComponent = source;
    *returned = 0;
    EventHandler fn = *(const EventHandler*)(uintptr_t)handler;
    int32_t r = fn ? fn(argc, args, returned) : 0;
    g_rt.eventSourceWindow = prevWindow;
    g_rt.eventSourceComponent = prevWindow ? prevComponent : 0;
    return r;
}

}  // namespace

uint32_t ui_RaiseEvent(EventRecord* e) {
    if (!e) return 0;
    uint32_t handler, source;
    if (!prepareEvent(e->window, e->component, e->event, &handler, &source)) return 0;
    int32_t argc = e->argc < 0 ? 0 : (e->argc > 5 ? 5 : e->argc);
    uint32_t args[5];
    memcpy(args, e->args, sizeof args);
    int32_t returned = 0;
    int32_t r = callHandler(handler, e->window, source, argc, args, &returned);
    if (returned) {
        e->resultPresent = 1;
        e->result = r;
    }
    return 1;
}

uint32_t ui_RaiseTypedEvent(TypedEventRecord* e) {
    if (!e) return 0;
    uint32_t handler, source;
    if (!prepareEvent(e->window, e->component, e->event, &handler, &source)) return 0;
    int32_t count = e->argc < 0 ? 0 : (e->argc > 12 ? 12 : e->argc);
    uint32_t args[24];
    int32_t argc = 0;
    for (int32_t i = 0; i < count; i++) {
        const TypedEventArg& a = e->args[i];
        if (a.flags & 1) {
            args[argc++] = a.low;
        } else if ((a.flags & 2) || a.type == TYPE_DATETIME || a.type == 0x80000008u || a.type == TYPE_LONG ||
                   a.type == TYPE_DOUBLE) {
            args[argc++] = a.low;
            args[argc++] = a.high;
        } else if (a.type == TYPE_BYTE) {
            args[argc++] = a.low & 0xFF;
        } else if (a.type == TYPE_SHORT) {
            args[argc++] = (uint32_t)(int32_t)(int16_t)(a.low & 0xFFFF);
        } else {
            args[argc++] = a.low;
        }
    }
    int32_t returned = 0;
    int32_t r = callHandler(handler, e->window, source, argc, args, &returned);
    if (returned) {
        e->resultPresent = 1;
        e->result[0] = (uint32_t)r;
        e->result[1] = r < 0 ? 0xFFFFFFFFu : 0u;
    }
    return 1;
}

// ---- notifications ----

uint32_t ui_Notify(int32_t code, uint32_t a1, uint32_t a2, bool* handled) {
    *handled = true;
    switch (code) {
    case NOTE_REGISTRY: return (uint32_t)(uintptr_t)&ui_registry;
    case NOTE_KIND_RECORD: return (uint32_t)(uintptr_t)ui_KindRecord(a1);
    case NOTE_COMPONENT_DESTROYED: ui_ComponentDestroyed(a1, a2); return 0;
    case NOTE_LOAD_WINDOW: return (uint32_t)ui_LoadRequest((const uint32_t*)(uintptr_t)a1);
    case NOTE_OBJECT:
    case NOTE_OBJECT_CHECKED: {
        UiWindowRecord* w = ui_FindWindow(a1);
        ComponentObject* o = w ? ui_LiveObject(w, ui_FindEntry(w, a2)) : nullptr;
        if (!o && code == NOTE_OBJECT_CHECKED) fatalAt(kNoEntry, a1, a2);
        return (uint32_t)(uintptr_t)o;
    }
    case NOTE_RAISE_EVENT: return ui_RaiseEvent((EventRecord*)(uintptr_t)a1);
    case NOTE_EVENT_SOURCE: {
        uint32_t* out = (uint32_t*)(uintptr_t)a1;
        if (!g_rt.eventSourceWindow) return 0;
        if (out) {
            out[0] = g_rt.eventSourceWindow;
            out[1] = g_rt.eventSourceComponent;
        }
        return 1;
    }
    case NOTE_KIND_OF: {
        UiWindowRecord* w = ui_FindWindow(a1);
        int32_t idx = w ? ui_FindEntry(w, a2) : -1;
        return idx < 0 ? 0 : entryKind(w->working, idx);
    }
    case NOTE_KIND_EVENTS: {
        const KindRecord* k = ui_KindRecord(a1);
        if (!k) return 0;
        return (k->flags & KF_EVENTS_A) ? 2 : (k->flags & KF_EVENTS_B) ? 1 : 0;
    }
    case NOTE_RAISE_TYPED_EVENT: return ui_RaiseTypedEvent((TypedEventRecord*)(uintptr_t)a1);
    case NOTE_WINDOW_COUNT: return (uint32_t)ui_registry.ids.size();
    case NOTE_WINDOW_HANDLE: {
        if (a1 >= ui_registry.windows.size()) return 0;
        ComponentObject* o = ui_WindowObject(ui_registry.windows[a1]);
        return o ? (uint32_t)(uintptr_t)o->fw.hwnd : 0;
    }
    default: *handled = false; return 0;
    }
}
