#include "ui/kinds/button/button.h"
#include <new>
#include <string>
#include "ui/kinds/button/picture.h"
#include "ui/kinds/common/common.h"

namespace {

struct ButtonObject {
    ComponentObject head;  // must stay first
    bool isCheck;
    // Stored properties (both kinds; the check box uses all of them).
    std::string picture;
    int32_t defaultButton = 0;
    std::string caption;
    int32_t hAlign = 1, vAlign = 1;
    std::string font;
    int32_t pushLike = 0, flat = 0, textLeft = 0;
    uint32_t textColour = 0, backColour = UI_COLOUR_BUTTON_FACE;
    int32_t checked = 0;
    std::string dataSource, dataColumn;
    // Live resources.
    UiFont fontHandle = {nullptr, false};
    KbPicture image = {KB_PICTURE_NONE, nullptr, nullptr};
    HBRUSH brush = nullptr;
    UINT nativeOnly = 0;  // message being passed to the native procedure
};

ButtonObject* asButton(ComponentObject* obj) { return (ButtonObject*)obj; }

uint32_t hAlignBits(int32_t v) {
    switch (v) {
    case 0: return BS_LEFT;
    case 1: return BS_CENTER;
    case 2: return BS_RIGHT;
    default: return 0;
    }
}
uint32_t vAlignBits(int32_t v) {
    switch (v) {
    case 0: return BS_TOP;
    case 1: return BS_VCENTER;
    case 2: return BS_BOTTOM;
    default: return 0;
    }
}

// ---- kind blocks ----
bool loadButtonBlock(ButtonObject* b, const uint8_t* block, int32_t length) {
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 1) return false;
    b->defaultButton = (int32_t)ar_Dword(&r);
    b->hAlign = (int32_t)ar_Dword(&r);
    b->vAlign = (int32_t)ar_Dword(&r);
    b->picture = ar_Text(&r);
    b->font = ar_Text(&r);
    b->caption = ar_Text(&r);
    return !r.failed;
}

bool loadCheckBlock(ButtonObject* b, const uint8_t* block, int32_t length) {
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 2) return false;
    b->pushLike = (int32_t)ar_Dword(&r);
    b->flat = (int32_t)ar_Dword(&r);
    b->textLeft = (int32_t)ar_Dword(&r);
    b->hAlign = (int32_t)ar_Dword(&r);
    b->vAlign = (int32_t)ar_Dword(&r);
    b->textColour = ar_Dword(&r);
    b->backColour = ar_Dword(&r);
    b->checked = (int32_t)ar_Dword(&r);
    b->picture = ar_Text(&r);
    b->font = ar_Text(&r);
    b->caption = ar_Text(&r);
    if (version == 2) {
        b->dataSource = ar_Text(&r);
        b->dataColumn = ar_Text(&r);
    }
    return !r.failed;
}

// The check box keeps its tick state in the control; the stored value
// follows it whenever it is read.
int32_t readChecked(ButtonObject* b) {
    if (b->head.fw.hwnd && IsWindow(b->head.fw.hwnd))
        b->checked = SendMessageA(b->head.fw.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return b->checked;
}

uint8_t* writeBlock(ComponentObject* obj, int32_t* length) {
    ButtonObject* b = asButton(obj);
    if (!b) return nullptr;
    ArchiveWriter w;
    if (!b->isCheck) {
        aw_Dword(&w, 1);
        aw_Dword(&w, (uint32_t)b->defaultButton);
        aw_Dword(&w, (uint32_t)b->hAlign);
        aw_Dword(&w, (uint32_t)b->vAlign);
        aw_Bytes(&w, b->picture);
        aw_Bytes(&w, b->font);
        aw_Text(&w, b->caption);
    } else {
        // A re-creation must not lose a tick the user made.
        readChecked(b);
        aw_Dword(&w, 2);
        aw_Dword(&w, (uint32_t)b->pushLike);
        aw_Dword(&w, (uint32_t)b->flat);
        aw_Dword(&w, (uint32_t)b->textLeft);
        aw_Dword(&w, (uint32_t)b->hAlign);
        aw_Dword(&w, (uint32_t)b->vAlign);
        aw_Dword(&w, b->textColour);
        aw_Dword(&w, b->backColour);
        aw_Dword(&w, (uint32_t)b->checked);
        aw_Bytes(&w, b->picture);
        aw_Bytes(&w, b->font);
        aw_Text(&w, b->caption);
        aw_Text(&w, b->dataSource);
        aw_Text(&w, b->dataColumn);
    }
    return ui_BlockFromWriter(&w, length);
}

// ---- window procedure hooks ----
void releaseResources(ButtonObject* b) {
    ui_FontRelease(&b->fontHandle);
    kb_ReleasePicture(&b->image);
    if (b->brush) DeleteObject(b->brush);
    b->brush = nullptr;
}

// Runs the native procedure for this message now, so that work can follow
// the default processing.
LRESULT callNative(ButtonObject* b, UINT msg, WPARAM wp, LPARAM lp) {
    UINT saved = b->nativeOnly;
    b->nativeOnly = msg;
    LRESULT r = SendMessageA(b->head.fw.hwnd, msg, wp, lp);
    b->nativeOnly = saved;
    return r;
}

LRESULT onMessage(ComponentObject* obj, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
    ButtonObject* b = asButton(obj);
    if (msg == b->nativeOnly) return 0;
    switch (msg) {
    case UI_REFLECT + WM_COMMAND:
        *handled = true;
        if (HIWORD(wp) == BN_CLICKED) ui_RaiseEvent(obj, 0, 0);
        return 0;
    case UI_REFLECT + WM_CTLCOLORBTN:
    case UI_REFLECT + WM_CTLCOLORSTATIC:
        if (!b->isCheck || !b->brush) return 0;
        *handled = true;
        SetTextColor((HDC)wp, ui_Colour(b->textColour));
        SetBkColor((HDC)wp, ui_Colour(b->backColour));
        return (LRESULT)b->brush;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        *handled = true;
        LRESULT r = callNative(b, msg, wp, lp);
        ui_RaiseEvent(obj, msg == WM_SETFOCUS ? -7 : -8, 0);
        return r;
    }
    default:
        return 0;
    }
}

void onDestroyed(ComponentObject* obj) {
    ButtonObject* b = asButton(obj);
    ui_NotifyDestroyed(obj);
    releaseResources(b);
    delete b;
}

const UiControlHooks kHooks = {onMessage, onDestroyed};

// ---- create ----
ComponentObject* create(bool isCheck, const uint8_t* block, int32_t length, uint32_t extraStyle,
                        HWND parent, int32_t controlId, int32_t left, int32_t top, int32_t width,
                        int32_t height, uint32_t windowId, uint32_t componentId) {
    ButtonObject* b = new (std::nothrow) ButtonObject();
    if (!b) return nullptr;
    b->isCheck = isCheck;
    if (isCheck) {
        b->caption = "选择框";
        b->hAlign = 0;
    } else {
        b->caption = "按钮";
    }
    if (!(isCheck ? loadCheckBlock(b, block, length) : loadButtonBlock(b, block, length))) {
        delete b;
        return nullptr;
    }
    b->head.fw.steps = &ui_plainSteps;
    b->head.windowId = windowId;
    b->head.componentId = componentId;
    b->head.kindId = isCheck ? KIND_CHECKBOX : KIND_BUTTON;

    uint32_t style = extraStyle | WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE;
    if (isCheck) {
        style |= BS_AUTOCHECKBOX;
        if (b->pushLike == 1) style |= BS_PUSHLIKE;
        if (b->flat == 1) style |= BS_FLAT;
        if (b->textLeft == 1) style |= BS_LEFTTEXT;
        b->brush = ui_CreateColourBrush(b->backColour);
    } else if (b->defaultButton == 1) {
        style |= BS_DEFPUSHBUTTON;
    }
    style |= hAlignBits(b->hAlign) | vAlignBits(b->vAlign);

    if (!b->picture.empty()) {
        b->image = kb_DecodePicture(b->picture.data(), (int32_t)b->picture.size(),
                                    isCheck ? b->backColour : UI_COLOUR_BUTTON_FACE);
        if (b->image.kind == KB_PICTURE_ICON) {
            style |= BS_ICON;
        } else if (b->image.kind == KB_PICTURE_BITMAP) {
            if (isCheck) {
                // The check box keeps its check box type; only the image is added.
                style |= BS_BITMAP;
            } else {
                style = (style & ~0xFFu) | (extraStyle & 0xFFu) | (b->defaultButton == 1 ? BS_DEFPUSHBUTTON : 0u) |
                        BS_BITMAP;
            }
        }
    }

    HWND hwnd = CreateWindowExA(0, "BUTTON", b->caption.c_str(), style, left, top, width, height, parent,
                                (HMENU)(intptr_t)controlId, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) {
        releaseResources(b);
        delete b;
        return nullptr;
    }
    b->head.fw.hwnd = hwnd;
    if (!ui_SubclassControl(&b->head, &kHooks)) {
        b->head.fw.hwnd = nullptr;
        DestroyWindow(hwnd);
        releaseResources(b);
        delete b;
        return nullptr;
    }
    ui_FontSet(&b->fontHandle, b->font.data(), (int32_t)b->font.size());
    SendMessageA(hwnd, WM_SETFONT, (WPARAM)b->fontHandle.handle, TRUE);
    if (b->image.kind == KB_PICTURE_ICON)
        SendMessageA(hwnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)b->image.icon);
    else if (b->image.kind == KB_PICTURE_BITMAP)
        SendMessageA(hwnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)b->image.bitmap);
    if (isCheck) SendMessageA(hwnd, BM_SETCHECK, b->checked == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    return &b->head;
}

ComponentObject* createButton(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                              int32_t controlId, HMENU, int32_t left, int32_t top, int32_t width,
                              int32_t height, uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    return create(false, block, length, extraStyle, parent, controlId, left, top, width, height, windowId,
                  componentId);
}
ComponentObject* createCheck(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                             int32_t controlId, HMENU, int32_t left, int32_t top, int32_t width,
                             int32_t height, uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    return create(true, block, length, extraStyle, parent, controlId, left, top, width, height, windowId,
                  componentId);
}

// ---- set / get ----
// Changes style bits in place, redraws the frame and the whole control.
void restyle(HWND hwnd, uint32_t clear, uint32_t add) {
    if (!hwnd) return;
    uint32_t st = (uint32_t)GetWindowLongA(hwnd, GWL_STYLE);
    SetWindowLongA(hwnd, GWL_STYLE, (LONG)((st & ~clear) | add));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void setFont(ButtonObject* b, const ValueRecord* v) {
    b->font = ui_ValueBytes(v);
    ui_FontSet(&b->fontHandle, b->font.data(), (int32_t)b->font.size());
    if (b->head.fw.hwnd) SendMessageA(b->head.fw.hwnd, WM_SETFONT, (WPARAM)b->fontHandle.handle, TRUE);
}

void setCaption(ButtonObject* b, const ValueRecord* v) {
    b->caption = ui_ValueText(v);
    if (b->head.fw.hwnd) SetWindowTextA(b->head.fw.hwnd, b->caption.c_str());
}

void setHAlign(ButtonObject* b, int32_t v) {
    b->hAlign = ui_Clamp(v, 0, 2);
    restyle(b->head.fw.hwnd, BS_CENTER, hAlignBits(b->hAlign));
}
void setVAlign(ButtonObject* b, int32_t v) {
    b->vAlign = ui_Clamp(v, 0, 2);
    restyle(b->head.fw.hwnd, BS_VCENTER, vAlignBits(b->vAlign));
}

int32_t setButton(ComponentObject* obj, int32_t index, const ValueRecord* v, int32_t) {
    ButtonObject* b = asButton(obj);
    if (!b || !v) return 0;
    int32_t iv = (int32_t)v->value;
    switch (index) {
    case BUTTON_PICTURE: b->picture = ui_ValueBytes(v); return 1;
    case BUTTON_DEFAULT:
        b->defaultButton = ui_Clamp(iv, 0, 1);
        restyle(b->head.fw.hwnd, BS_DEFPUSHBUTTON, b->defaultButton == 1 ? BS_DEFPUSHBUTTON : 0);
        return 0;
    case BUTTON_CAPTION: setCaption(b, v); return 0;
    case BUTTON_HALIGN: setHAlign(b, iv); return 0;
    case BUTTON_VALIGN: setVAlign(b, iv); return 0;
    case BUTTON_FONT: setFont(b, v); return 0;
    default: return 0;
    }
}

// No record-supplying components exist in this program, so a binding always
// finds no source: the box is enabled and shows unticked.
void rebind(ButtonObject* b) {
    HWND hwnd = b->head.fw.hwnd;
    if (!hwnd) return;
    EnableWindow(hwnd, TRUE);
    SendMessageA(hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
}

int32_t setCheck(ComponentObject* obj, int32_t index, const ValueRecord* v, int32_t) {
    ButtonObject* b = asButton(obj);
    if (!b || !v) return 0;
    HWND hwnd = b->head.fw.hwnd;
    int32_t iv = (int32_t)v->value;
    switch (index) {
    case CHECK_PICTURE: b->picture = ui_ValueBytes(v); return 1;
    case CHECK_PUSHLIKE:
        b->pushLike = iv;
        restyle(hwnd, BS_PUSHLIKE, iv == 1 ? BS_PUSHLIKE : 0);
        return 0;
    case CHECK_FLAT:
        b->flat = iv;
        restyle(hwnd, BS_FLAT, iv == 1 ? BS_FLAT : 0);
        return 0;
    case CHECK_CAPTION: setCaption(b, v); return 0;
    case CHECK_TEXT_LEFT:
        b->textLeft = iv;
        restyle(hwnd, BS_LEFTTEXT, iv == 1 ? BS_LEFTTEXT : 0);
        return 0;
    case CHECK_HALIGN: setHAlign(b, iv); return 0;
    case CHECK_VALIGN: setVAlign(b, iv); return 0;
    case CHECK_TEXT_COLOUR:
        b->textColour = v->value;
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case CHECK_BACK_COLOUR: {
        b->backColour = v->value;
        HBRUSH nb = ui_CreateColourBrush(b->backColour);
        if (b->brush) DeleteObject(b->brush);
        b->brush = nb;
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case CHECK_FONT: setFont(b, v); return 0;
    case CHECK_CHECKED:
        b->checked = iv;
        if (hwnd) SendMessageA(hwnd, BM_SETCHECK, iv == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        return 0;
    case CHECK_DATA_SOURCE: b->dataSource = ui_ValueText(v); rebind(b); return 0;
    case CHECK_DATA_COLUMN: b->dataColumn = ui_ValueText(v); rebind(b); return 0;
    default: return 0;
    }
}

int32_t getButton(ComponentObject* obj, int32_t index, ValueRecord* out) {
    ButtonObject* b = asButton(obj);
    if (!b || !out) return 0;
    switch (index) {
    case BUTTON_PICTURE: ui_OutBytes(out, b->picture); return 1;
    case BUTTON_DEFAULT: ui_OutInt(out, (uint32_t)b->defaultButton); return 1;
    case BUTTON_CAPTION: ui_OutText(out, b->caption); return 1;
    case BUTTON_HALIGN: ui_OutInt(out, (uint32_t)b->hAlign); return 1;
    case BUTTON_VALIGN: ui_OutInt(out, (uint32_t)b->vAlign); return 1;
    case BUTTON_FONT: ui_OutBytes(out, b->font); return 1;
    default: return 0;
    }
}

int32_t getCheck(ComponentObject* obj, int32_t index, ValueRecord* out) {
    ButtonObject* b = asButton(obj);
    if (!b || !out) return 0;
    switch (index) {
    case CHECK_PICTURE: ui_OutBytes(out, b->picture); return 1;
    case CHECK_PUSHLIKE: ui_OutInt(out, (uint32_t)b->pushLike); return 1;
    case CHECK_FLAT: ui_OutInt(out, (uint32_t)b->flat); return 1;
    case CHECK_CAPTION: ui_OutText(out, b->caption); return 1;
    case CHECK_TEXT_LEFT: ui_OutInt(out, (uint32_t)b->textLeft); return 1;
    case CHECK_HALIGN: ui_OutInt(out, (uint32_t)b->hAlign); return 1;
    case CHECK_VALIGN: ui_OutInt(out, (uint32_t)b->vAlign); return 1;
    case CHECK_TEXT_COLOUR: ui_OutInt(out, b->textColour); return 1;
    case CHECK_BACK_COLOUR: ui_OutInt(out, b->backColour); return 1;
    case CHECK_FONT: ui_OutBytes(out, b->font); return 1;
    case CHECK_CHECKED: ui_OutInt(out, (uint32_t)readChecked(b)); return 1;
    case CHECK_DATA_SOURCE: ui_OutText(out, b->dataSource); return 1;
    case CHECK_DATA_COLUMN: ui_OutText(out, b->dataColumn); return 1;
    default: return 0;
    }
}

int32_t isDefaultButton(ComponentObject* obj) {
    if (!obj || !obj->fw.hwnd || !IsWindow(obj->fw.hwnd)) return 0;
    return ((uint32_t)GetWindowLongA(obj->fw.hwnd, GWL_STYLE) & 0x1Fu) == BS_DEFPUSHBUTTON ? 1 : 0;
}

const KindCreateFn kCreateButton = createButton;
const KindCreateFn kCreateCheck = createCheck;
const KindSetFn kSetButton = setButton;
const KindSetFn kSetCheck = setCheck;
const KindGetFn kGetButton = getButton;
const KindGetFn kGetCheck = getCheck;
const KindWriteBlockFn kWriteBlock = writeBlock;
const KindIsDefaultFn kIsDefault = isDefaultButton;

}  // namespace

void* kind_button_iface(int32_t number) {
    switch (number) {
    case KI_CREATE: return (void*)kCreateButton;
    case KI_SET: return (void*)kSetButton;
    case KI_WRITE_BLOCK: return (void*)kWriteBlock;
    case KI_GET: return (void*)kGetButton;
    case KI_IS_DEFAULT_BUTTON: return (void*)kIsDefault;
    default: return nullptr;
    }
}

void* kind_checkbox_iface(int32_t number) {
    switch (number) {
    case KI_CREATE: return (void*)kCreateCheck;
    case KI_SET: return (void*)kSetCheck;
    case KI_WRITE_BLOCK: return (void*)kWriteBlock;
    case KI_GET: return (void*)kGetCheck;
    default: return nullptr;
    }
}
