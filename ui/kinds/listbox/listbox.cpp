#include "ui/kinds/listbox/listbox.h"
#include <new>
#include "ui/kinds/common/common.h"

namespace {

struct ListObject {
    ComponentObject head;  // must stay first
    ListBoxProps props;
    UiFont fontHandle = {nullptr, false};
    HBRUSH brush = nullptr;
    bool binding = false;
    UiPace pace;
    std::string itemsOut;  // last encoding handed out by a read of `items`
};

ListObject* asList(ComponentObject* obj) { return (ListObject*)obj; }

// A context request (right click, the menu key, Shift+F10) becomes the
// list box's event with the screen point to show a menu at; from the
// keyboard that is the list's top-left corner. True when a handler ran.
bool raiseContextMenu(ComponentObject* obj, LPARAM at) {
    POINT p = {(short)LOWORD(at), (short)HIWORD(at)};
    if (at == (LPARAM)-1) {
        p = {4, 4};
        ClientToScreen(obj->fw.hwnd, &p);
    }
    return ui_RaiseEvent(obj, LIST_EVENT_CONTEXT_MENU, 2, (uint32_t)p.x, (uint32_t)p.y) != 0;
}

bool isContextKey(UINT msg, WPARAM key) {
    return (msg == WM_KEYDOWN && key == VK_APPS) ||
           (msg == WM_SYSKEYDOWN && key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000));
}

uint8_t* listbox_WriteKindBlock(ComponentObject* obj, int32_t* length) {
    return obj ? ui_BlockOf(listbox_Block, asList(obj)->props, length) : nullptr;
}

void releaseResources(ListObject* l) {
    ui_FontRelease(&l->fontHandle);
    if (l->brush) DeleteObject(l->brush);
    l->brush = nullptr;
}

LRESULT onMessage(ComponentObject* obj, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
    ListObject* l = asList(obj);
    switch (msg) {
    case UI_REFLECT + WM_COMMAND:
        *handled = true;
        switch (HIWORD(wp)) {
        case LBN_SELCHANGE:
            if (!l->binding) ui_RaiseEvent(obj, EV_MAIN, 0);
            break;
        case LBN_DBLCLK: ui_RaiseEvent(obj, 1, 0); break;
        case LBN_SETFOCUS: ui_RaiseEvent(obj, EV_FOCUS_GAINED, 0); break;
        case LBN_KILLFOCUS: ui_RaiseEvent(obj, EV_FOCUS_LOST, 0); break;
        default: break;
        }
        return 0;
    case UI_REFLECT + WM_CTLCOLORLISTBOX:
        if (!l->brush) return 0;
        *handled = true;
        SetTextColor((HDC)wp, ui_Colour(l->props.textColour));
        SetBkColor((HDC)wp, ui_Colour(l->props.backColour));
        return (LRESULT)l->brush;
    case WM_TIMER:
        if (ui_PaceTimer(obj->fw.hwnd, &l->pace, wp)) *handled = true;
        return 0;
    case WM_CONTEXTMENU:
        *handled = raiseContextMenu(obj, lp);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Raised here, so the platform's own translation of the key (on its
        // release, or none) cannot raise it a second time.
        if (isContextKey(msg, wp)) {
            raiseContextMenu(obj, -1);
            *handled = true;
        }
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (wp == VK_APPS || (wp == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000))) *handled = true;
        return 0;
    default:
        return 0;
    }
}

const UiControlHooks kHooks = {onMessage, ui_Destroyed<ListObject, releaseResources>};

LRESULT send(ListObject* l, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return l->head.fw.hwnd ? SendMessageA(l->head.fw.hwnd, msg, wp, lp) : 0;
}

void applyFont(ListObject* l) {
    ui_FontSet(&l->fontHandle, l->props.font.data(), (int32_t)l->props.font.size());
    send(l, WM_SETFONT, (WPARAM)l->fontHandle.handle, TRUE);
}

int32_t clampSelection(int32_t value, int32_t count) {
    int32_t s = value < count - 1 ? value : count - 1;
    return s < -1 ? -1 : s;
}

ComponentObject* listbox_Create(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                        int32_t controlId, HMENU, int32_t left, int32_t top, int32_t width, int32_t height,
                        uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    ListObject* l = new (std::nothrow) ListObject();
    if (!l) return nullptr;
    if (!listbox_ReadBlock(block, length, &l->props)) {
        delete l;
        return nullptr;
    }
    uint32_t style = extraStyle | WS_CHILD | WS_CLIPSIBLINGS | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT;
    if (l->props.sorted == 1 && l->props.dataSource.empty()) style |= LBS_SORT;
    style |= l->props.multiColumn == 1 ? (WS_HSCROLL | LBS_MULTICOLUMN) : WS_VSCROLL;
    if (l->props.multiSelect == 1) style |= LBS_EXTENDEDSEL;
    l->brush = ui_CreateColourBrush(l->props.backColour);

    UiControlPlace place = {"LISTBOX", nullptr, style, parent, controlId, left, top, width, height, 0, nullptr};
    if (!ui_CreateControl(&l->head, KIND_LISTBOX, windowId, componentId, place, &kHooks)) {
        releaseResources(l);
        delete l;
        return nullptr;
    }
    HWND hwnd = l->head.fw.hwnd;
    applyFont(l);
    int32_t h = (int32_t)send(l, LB_GETITEMHEIGHT);
    send(l, LB_SETITEMHEIGHT, 0, (LPARAM)(uint16_t)(h + l->props.rowSpacing));

    size_t dataCount = l->props.itemData.size() / 4;
    for (size_t i = 0; i < l->props.items.size(); i++) {
        LRESULT at = send(l, LB_ADDSTRING, 0, (LPARAM)l->props.items[i].c_str());
        if (at >= 0 && i < dataCount) {
            uint32_t d;
            memcpy(&d, l->props.itemData.data() + 4 * i, 4);
            send(l, LB_SETITEMDATA, (WPARAM)at, (LPARAM)d);
        }
    }
    int32_t n = (int32_t)l->props.items.size() - 1;
    l->props.current = clampSelection(l->props.current, (int32_t)l->props.items.size());
    if (l->props.multiSelect != 1)
        send(l, LB_SETCURSEL, (WPARAM)l->props.current);
    else
        send(l, LB_SETCURSEL, (WPARAM)(n > 0 ? 0 : n));
    ui_ApplyBorder(hwnd, l->props.border);
    return &l->head;
}

// No record-supplying components exist in this program, so a binding never
// finds a source: the list is enabled and its selection cleared.
void rebind(ListObject* l) {
    if (!l->head.fw.hwnd) return;
    EnableWindow(l->head.fw.hwnd, TRUE);
    l->binding = true;
    send(l, LB_SETCURSEL, (WPARAM)-1);
    l->binding = false;
}

int32_t setBool(int32_t* stored, int32_t value) {
    if (*stored == value) return 0;
    *stored = value;
    return 1;
}

int32_t listbox_Set(ComponentObject* obj, int32_t index, const ValueRecord* v, int32_t) {
    ListObject* l = asList(obj);
    if (!l || !v) return 0;
    HWND hwnd = l->head.fw.hwnd;
    int32_t iv = (int32_t)v->value;
    switch (index) {
    case LIST_BORDER:
        l->props.border = ui_Clamp(iv, 0, 5);
        ui_ApplyBorder(hwnd, l->props.border);
        return 0;
    case LIST_SORTED: return setBool(&l->props.sorted, iv);
    case LIST_MULTI_COLUMN: return setBool(&l->props.multiColumn, iv);
    case LIST_MULTI_SELECT: return setBool(&l->props.multiSelect, iv);
    case LIST_ROW_SPACING: {
        int32_t h = (int32_t)send(l, LB_GETITEMHEIGHT) - l->props.rowSpacing;
        l->props.rowSpacing = ui_Clamp(iv, 0, 32767);
        send(l, LB_SETITEMHEIGHT, 0, (LPARAM)(uint16_t)(h + l->props.rowSpacing));
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case LIST_TEXT_COLOUR:
        l->props.textColour = v->value;
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LIST_BACK_COLOUR: {
        l->props.backColour = v->value;
        ui_ReplaceBrush(&l->brush, l->props.backColour);
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case LIST_FONT:
        send(l, LB_SETITEMHEIGHT, 0, (LPARAM)(uint16_t)(send(l, LB_GETITEMHEIGHT) - l->props.rowSpacing));
        l->props.font = ui_ValueBytes(v);
        applyFont(l);
        send(l, LB_SETITEMHEIGHT, 0, (LPARAM)(uint16_t)(send(l, LB_GETITEMHEIGHT) + l->props.rowSpacing));
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LIST_CURRENT:
        l->props.current = clampSelection(iv, (int32_t)send(l, LB_GETCOUNT));
        if (l->props.multiSelect != 1) send(l, LB_SETCURSEL, (WPARAM)l->props.current);
        return 0;
    case LIST_ITEMS: {
        l->props.items.clear();
        std::string bytes = ui_ValueBytes(v);
        if (!bytes.empty()) {
            // A short byte set keeps the texts read before its end.
            ArchiveReader r = ar_Open(bytes.data(), bytes.size());
            ui_DecodeItems(&r, &l->props.items);
        }
        return 1;
    }
    case LIST_ITEM_DATA: l->props.itemData = ui_ValueBytes(v); return 1;
    case LIST_DATA_SOURCE: l->props.dataSource = ui_ValueText(v); rebind(l); return 0;
    case LIST_DATA_COLUMN: l->props.dataColumn = ui_ValueText(v); rebind(l); return 0;
    case LIST_FLAG: l->props.listFlag = iv; rebind(l); return 0;
    default: return 0;
    }
}

int32_t listbox_Get(ComponentObject* obj, int32_t index, ValueRecord* out) {
    ListObject* l = asList(obj);
    if (!l || !out) return 0;
    switch (index) {
    case LIST_BORDER: ui_OutInt(out, (uint32_t)l->props.border); return 1;
    case LIST_SORTED: ui_OutInt(out, (uint32_t)l->props.sorted); return 1;
    case LIST_MULTI_COLUMN: ui_OutInt(out, (uint32_t)l->props.multiColumn); return 1;
    case LIST_ROW_SPACING: ui_OutInt(out, (uint32_t)l->props.rowSpacing); return 1;
    case LIST_TEXT_COLOUR: ui_OutInt(out, l->props.textColour); return 1;
    case LIST_BACK_COLOUR: ui_OutInt(out, l->props.backColour); return 1;
    case LIST_FONT: ui_OutBytes(out, l->props.font); return 1;
    case LIST_MULTI_SELECT: ui_OutInt(out, (uint32_t)l->props.multiSelect); return 1;
    case LIST_CURRENT:
        if (l->props.multiSelect == 1) {
            ui_OutInt(out, (uint32_t)-1);
        } else {
            if (l->head.fw.hwnd) l->props.current = (int32_t)send(l, LB_GETCURSEL);
            ui_OutInt(out, (uint32_t)l->props.current);
        }
        return 1;
    case LIST_ITEMS: {
        ArchiveWriter w;
        ui_EncodeItems(&w, l->props.items);
        l->itemsOut = w.out;
        ui_OutBytes(out, l->itemsOut);
        return 1;
    }
    case LIST_ITEM_DATA: ui_OutBytes(out, l->props.itemData); return 1;
    case LIST_DATA_SOURCE: ui_OutText(out, l->props.dataSource); return 1;
    case LIST_DATA_COLUMN: ui_OutText(out, l->props.dataColumn); return 1;
    case LIST_FLAG: ui_OutInt(out, (uint32_t)l->props.listFlag); return 1;
    default: return 0;
    }
}


}  // namespace

static const UiKindEntries kListboxEntries = {listbox_Create, listbox_Set, listbox_WriteKindBlock, listbox_Get, nullptr,
                                                nullptr, ui_ConvertTextsOf<listbox_Block>, nullptr};

void* kind_listbox_iface(int32_t number) { return ui_KindEntry(kListboxEntries, number); }

void listbox_PaceWrite(ComponentObject* obj) {
    if (obj && obj->kindId == KIND_LISTBOX && obj->fw.hwnd) ui_PaceWrite(obj->fw.hwnd, &asList(obj)->pace);
}
