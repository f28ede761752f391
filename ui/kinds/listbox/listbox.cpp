#include "ui/kinds/listbox/listbox.h"
#include <new>
#include "ui/kinds/common/common.h"

bool lb_DecodeItems(ArchiveReader* r, std::vector<std::string>* out) {
    out->clear();
    if (r->failed || ar_Left(r) < 2) {
        r->failed = true;
        return false;
    }
    uint32_t count = (uint32_t)r->p[0] | ((uint32_t)r->p[1] << 8);
    r->p += 2;
    if (count == 0xFFFF) count = ar_Dword(r);
    // The count is not trusted: every text must be present in the data.
    for (uint32_t i = 0; i < count && !r->failed; i++) {
        std::string s = ar_Text(r);
        if (!r->failed) out->push_back(s);
    }
    return !r->failed;
}

void lb_EncodeItems(ArchiveWriter* w, const std::vector<std::string>& items) {
    uint32_t n = (uint32_t)items.size();
    if (n < 0xFFFF) {
        w->out.push_back((char)(n & 0xFF));
        w->out.push_back((char)(n >> 8));
    } else {
        w->out.append("\xFF\xFF", 2);
        aw_Dword(w, n);
    }
    for (const std::string& s : items) aw_Text(w, s);
}

namespace {

struct ListObject {
    ComponentObject head;  // must stay first
    int32_t border = 1, sorted = 0, multiColumn = 0, rowSpacing = 1;
    uint32_t textColour = 0, backColour = 0xFFFFFF;
    std::string font;
    int32_t multiSelect = 0, current = -1;
    std::vector<std::string> items;
    std::string itemData;
    std::string dataSource, dataColumn;
    int32_t listFlag = 0;
    UiFont fontHandle = {nullptr, false};
    HBRUSH brush = nullptr;
    bool binding = false;
    UiPace pace;
    std::string itemsOut;  // last encoding handed out by a read of `items`
};

ListObject* asList(ComponentObject* obj) { return (ListObject*)obj; }

bool loadBlock(ListObject* l, const uint8_t* block, int32_t length) {
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 3) return false;
    l->border = (int32_t)ar_Dword(&r);
    l->sorted = (int32_t)ar_Dword(&r);
    l->multiColumn = (int32_t)ar_Dword(&r);
    l->rowSpacing = (int32_t)ar_Dword(&r);
    l->textColour = ar_Dword(&r);
    l->backColour = ar_Dword(&r);
    l->multiSelect = (int32_t)ar_Dword(&r);
    l->current = (int32_t)ar_Dword(&r);
    l->font = ar_Text(&r);
    l->itemData = ar_Text(&r);
    if (!lb_DecodeItems(&r, &l->items)) return false;
    if (version >= 2) {
        l->dataSource = ar_Text(&r);
        l->dataColumn = ar_Text(&r);
    }
    if (version == 3) l->listFlag = (int32_t)ar_Dword(&r);
    return !r.failed;
}

uint8_t* writeBlock(ComponentObject* obj, int32_t* length) {
    ListObject* l = asList(obj);
    if (!l) return nullptr;
    ArchiveWriter w;
    aw_Dword(&w, 3);
    aw_Dword(&w, (uint32_t)l->border);
    aw_Dword(&w, (uint32_t)l->sorted);
    aw_Dword(&w, (uint32_t)l->multiColumn);
    aw_Dword(&w, (uint32_t)l->rowSpacing);
    aw_Dword(&w, l->textColour);
    aw_Dword(&w, l->backColour);
    aw_Dword(&w, (uint32_t)l->multiSelect);
    aw_Dword(&w, (uint32_t)l->current);
    aw_Bytes(&w, l->font);
    aw_Bytes(&w, l->itemData);
    lb_EncodeItems(&w, l->items);
    aw_Text(&w, l->dataSource);
    aw_Text(&w, l->dataColumn);
    aw_Dword(&w, (uint32_t)l->listFlag);
    return ui_BlockFromWriter(&w, length);
}

void releaseResources(ListObject* l) {
    ui_FontRelease(&l->fontHandle);
    if (l->brush) DeleteObject(l->brush);
    l->brush = nullptr;
}

LRESULT onMessage(ComponentObject* obj, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
    ListObject* l = asList(obj);
    (void)lp;
    switch (msg) {
    case UI_REFLECT + WM_COMMAND:
        *handled = true;
        switch (HIWORD(wp)) {
        case LBN_SELCHANGE:
            if (!l->binding) ui_RaiseEvent(obj, 0, 0);
            break;
        case LBN_DBLCLK: ui_RaiseEvent(obj, 1, 0); break;
        case LBN_SETFOCUS: ui_RaiseEvent(obj, -7, 0); break;
        case LBN_KILLFOCUS: ui_RaiseEvent(obj, -8, 0); break;
        default: break;
        }
        return 0;
    case UI_REFLECT + WM_CTLCOLORLISTBOX:
        if (!l->brush) return 0;
        *handled = true;
        SetTextColor((HDC)wp, ui_Colour(l->textColour));
        SetBkColor((HDC)wp, ui_Colour(l->backColour));
        return (LRESULT)l->brush;
    case WM_TIMER:
        if (ui_PaceTimer(obj->fw.hwnd, &l->pace, wp)) *handled = true;
        return 0;
    default:
        return 0;
    }
}

void onDestroyed(ComponentObject* obj) {
    ListObject* l = asList(obj);
    ui_NotifyDestroyed(obj);
    releaseResources(l);
    delete l;
}

const UiControlHooks kHooks = {onMessage, onDestroyed};

LRESULT send(ListObject* l, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return l->head.fw.hwnd ? SendMessageA(l->head.fw.hwnd, msg, wp, lp) : 0;
}

void applyFont(ListObject* l) {
    ui_FontSet(&l->fontHandle, l->font.data(), (int32_t)l->font.size());
    send(l, WM_SETFONT, (WPARAM)l->fontHandle.handle, TRUE);
}

int32_t clampSelection(int32_t value, int32_t count) {
    int32_t s = value < count - 1 ? value : count - 1;
    return s < -1 ? -1 : s;
}

ComponentObject* create(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                        int32_t controlId, HMENU, int32_t left, int32_t top, int32_t width, int32_t height,
                        uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    ListObject* l = new (std::nothrow) ListObject();
    if (!l) return nullptr;
    if (!loadBlock(l, block, length)) {
        delete l;
        return nullptr;
    }
    l->head.fw.steps = &ui_plainSteps;
    l->head.windowId = windowId;
    l->head.componentId = componentId;
    l->head.kindId = KIND_LISTBOX;

    uint32_t style = extraStyle | WS_CHILD | WS_CLIPSIBLINGS | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT;
    if (l->sorted == 1 && l->dataSource.empty()) style |= LBS_SORT;
    style |= l->multiColumn == 1 ? (WS_HSCROLL | LBS_MULTICOLUMN) : WS_VSCROLL;
    if (l->multiSelect == 1) style |= LBS_EXTENDEDSEL;
    l->brush = ui_CreateColourBrush(l->backColour);

    HWND hwnd = CreateWindowExA(0, "LISTBOX", nullptr, style, left, top, width, height, parent,
                                (HMENU)(intptr_t)controlId, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) {
        releaseResources(l);
        delete l;
        return nullptr;
    }
    l->head.fw.hwnd = hwnd;
    if (!ui_SubclassControl(&l->head, &kHooks)) {
        l->head.fw.hwnd = nullptr;
        DestroyWindow(hwnd);
        releaseResources(l);
        delete l;
        return nullptr;
    }
    applyFont(l);
    int32_t h = (int32_t)send(l, LB_GETITEMHEIGHT);
    send(l, LB_SETITEMHEIGHT, 0, (LPARAM)(uint16_t)(h + l->rowSpacing));

    size_t dataCount = l->itemData.size() / 4;
    for (size_t i = 0; i < l->items.size(); i++) {
        LRESULT at = send(l, LB_ADDSTRING, 0, (LPARAM)l->items[i].c_str());
        if (at >= 0 && i < dataCount) {
            uint32_t d;
            memcpy(&d, l->itemData.data() + 4 * i, 4);
            send(l, LB_SETITEMDATA, (WPARAM)at, (LPARAM)d);
        }
    }
    int32_t n = (int32_t)l->items.size() - 1;
    l->current = clampSelection(l->current, (int32_t)l->items.size());
    if (l->multiSelect != 1)
        send(l, LB_SETCURSEL, (WPARAM)l->current);
    else
        send(l, LB_SETCURSEL, (WPARAM)(n > 0 ? 0 : n));
    ui_ApplyBorder(hwnd, l->border);
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

int32_t set(ComponentObject* obj, int32_t index, const ValueRecord* v, int32_t) {
    ListObject* l = asList(obj);
    if (!l || !v) return 0;
    HWND hwnd = l->head.fw.hwnd;
    int32_t iv = (int32_t)v->value;
    switch (index) {
    case LIST_BORDER:
        l->border = ui_Clamp(iv, 0, 5);
        ui_ApplyBorder(hwnd, l->border);
        return 0;
    case LIST_SORTED: return setBool(&l->sorted, iv);
    case LIST_MULTI_COLUMN: return setBool(&l->multiColumn, iv);
    case LIST_MULTI_SELECT: return setBool(&l->multiSelect, iv);
    case LIST_ROW_SPACING: {
        int32_t h = (int32_t)send(l, LB_GETITEMHEIGHT) - l->rowSpacing;
        l->rowSpacing = ui_Clamp(iv, 0, 32767);
        send(l, LB_SETITEMHEIGHT, 0, (LPARAM)(uint16_t)(h + l->rowSpacing));
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case LIST_TEXT_COLOUR:
        l->textColour = v->value;
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LIST_BACK_COLOUR: {
        l->backColour = v->value;
        HBRUSH nb = ui_CreateColourBrush(l->backColour);
        if (l->brush) DeleteObject(l->brush);
        l->brush = nb;
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case LIST_FONT:
        send(l, LB_SETITEMHEIGHT, 0, (LPARAM)(uint16_t)(send(l, LB_GETITEMHEIGHT) - l->rowSpacing));
        l->font = ui_ValueBytes(v);
        applyFont(l);
        send(l, LB_SETITEMHEIGHT, 0, (LPARAM)(uint16_t)(send(l, LB_GETITEMHEIGHT) + l->rowSpacing));
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LIST_CURRENT:
        l->current = clampSelection(iv, (int32_t)send(l, LB_GETCOUNT));
        if (l->multiSelect != 1) send(l, LB_SETCURSEL, (WPARAM)l->current);
        return 0;
    case LIST_ITEMS: {
        l->items.clear();
        std::string bytes = ui_ValueBytes(v);
        if (!bytes.empty()) {
            // A short byte set keeps the texts read before its end.
            ArchiveReader r = ar_Open(bytes.data(), bytes.size());
            lb_DecodeItems(&r, &l->items);
        }
        return 1;
    }
    case LIST_ITEM_DATA: l->itemData = ui_ValueBytes(v); return 1;
    case LIST_DATA_SOURCE: l->dataSource = ui_ValueText(v); rebind(l); return 0;
    case LIST_DATA_COLUMN: l->dataColumn = ui_ValueText(v); rebind(l); return 0;
    case LIST_FLAG: l->listFlag = iv; rebind(l); return 0;
    default: return 0;
    }
}

int32_t get(ComponentObject* obj, int32_t index, ValueRecord* out) {
    ListObject* l = asList(obj);
    if (!l || !out) return 0;
    switch (index) {
    case LIST_BORDER: ui_OutInt(out, (uint32_t)l->border); return 1;
    case LIST_SORTED: ui_OutInt(out, (uint32_t)l->sorted); return 1;
    case LIST_MULTI_COLUMN: ui_OutInt(out, (uint32_t)l->multiColumn); return 1;
    case LIST_ROW_SPACING: ui_OutInt(out, (uint32_t)l->rowSpacing); return 1;
    case LIST_TEXT_COLOUR: ui_OutInt(out, l->textColour); return 1;
    case LIST_BACK_COLOUR: ui_OutInt(out, l->backColour); return 1;
    case LIST_FONT: ui_OutBytes(out, l->font); return 1;
    case LIST_MULTI_SELECT: ui_OutInt(out, (uint32_t)l->multiSelect); return 1;
    case LIST_CURRENT:
        if (l->multiSelect == 1) {
            ui_OutInt(out, (uint32_t)-1);
        } else {
            if (l->head.fw.hwnd) l->current = (int32_t)send(l, LB_GETCURSEL);
            ui_OutInt(out, (uint32_t)l->current);
        }
        return 1;
    case LIST_ITEMS: {
        ArchiveWriter w;
        lb_EncodeItems(&w, l->items);
        l->itemsOut = w.out;
        ui_OutBytes(out, l->itemsOut);
        return 1;
    }
    case LIST_ITEM_DATA: ui_OutBytes(out, l->itemData); return 1;
    case LIST_DATA_SOURCE: ui_OutText(out, l->dataSource); return 1;
    case LIST_DATA_COLUMN: ui_OutText(out, l->dataColumn); return 1;
    case LIST_FLAG: ui_OutInt(out, (uint32_t)l->listFlag); return 1;
    default: return 0;
    }
}

const KindCreateFn kCreate = create;
const KindSetFn kSet = set;
const KindGetFn kGet = get;
const KindWriteBlockFn kWriteBlock = writeBlock;

}  // namespace

void* kind_listbox_iface(int32_t number) {
    switch (number) {
    case KI_CREATE: return (void*)kCreate;
    case KI_SET: return (void*)kSet;
    case KI_WRITE_BLOCK: return (void*)kWriteBlock;
    case KI_GET: return (void*)kGet;
    default: return nullptr;
    }
}

void listbox_PaceWrite(ComponentObject* obj) {
    if (obj && obj->kindId == KIND_LISTBOX && obj->fw.hwnd) ui_PaceWrite(obj->fw.hwnd, &asList(obj)->pace);
}
