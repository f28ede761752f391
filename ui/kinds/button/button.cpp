#include "ui/kinds/button/button.h"
#include <new>
#include <string>
#include "ui/kinds/button/button_block.h"
#include "ui/kinds/button/picture.h"
#include "ui/kinds/common/common.h"

namespace {

struct ButtonObject {
    ComponentObject head;  // must stay first
    bool isCheck;
    ButtonProps props;  // both kinds; the check box uses all of them
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
// The check box keeps its tick state in the control; the stored value
// follows it whenever it is read.
int32_t readChecked(ButtonObject* b) {
    if (b->head.fw.hwnd && IsWindow(b->head.fw.hwnd))
        b->props.checked = SendMessageA(b->head.fw.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return b->props.checked;
}

uint8_t* button_WriteKindBlock(ComponentObject* obj, int32_t* length) {
    ButtonObject* b = asButton(obj);
    if (!b) return nullptr;
    // A re-creation must not lose a tick the user made.
    if (b->isCheck) readChecked(b);
    return ui_BlockOf(b->isCheck ? checkbox_Block : button_Block, b->props, length);
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
        if (HIWORD(wp) == BN_CLICKED) ui_RaiseEvent(obj, EV_MAIN, 0);
        return 0;
    case UI_REFLECT + WM_CTLCOLORBTN:
    case UI_REFLECT + WM_CTLCOLORSTATIC:
        if (!b->isCheck || !b->brush) return 0;
        *handled = true;
        SetTextColor((HDC)wp, ui_Colour(b->props.textColour));
        SetBkColor((HDC)wp, ui_Colour(b->props.backColour));
        return (LRESULT)b->brush;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        *handled = true;
        LRESULT r = callNative(b, msg, wp, lp);
        ui_RaiseEvent(obj, msg == WM_SETFOCUS ? EV_FOCUS_GAINED : EV_FOCUS_LOST, 0);
        return r;
    }
    default:
        return 0;
    }
}

const UiControlHooks kHooks = {onMessage, ui_Destroyed<ButtonObject, releaseResources>};

// ---- create ----
ComponentObject* create(bool isCheck, const uint8_t* block, int32_t length, uint32_t extraStyle,
                        HWND parent, int32_t controlId, int32_t left, int32_t top, int32_t width,
                        int32_t height, uint32_t windowId, uint32_t componentId) {
    ButtonObject* b = new (std::nothrow) ButtonObject();
    if (!b) return nullptr;
    b->isCheck = isCheck;
    if (!(isCheck ? checkbox_ReadBlock : button_ReadBlock)(block, length, &b->props)) {
        delete b;
        return nullptr;
    }
    uint32_t style = extraStyle | WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE;
    if (isCheck) {
        style |= BS_AUTOCHECKBOX;
        if (b->props.pushLike == 1) style |= BS_PUSHLIKE;
        if (b->props.flat == 1) style |= BS_FLAT;
        if (b->props.textLeft == 1) style |= BS_LEFTTEXT;
        b->brush = ui_CreateColourBrush(b->props.backColour);
    } else if (b->props.defaultButton == 1) {
        style |= BS_DEFPUSHBUTTON;
    }
    style |= hAlignBits(b->props.hAlign) | vAlignBits(b->props.vAlign);

    if (!b->props.picture.empty()) {
        b->image = kb_DecodePicture(b->props.picture.data(), (int32_t)b->props.picture.size(),
                                    isCheck ? b->props.backColour : UI_COLOUR_BUTTON_FACE);
        if (b->image.kind == KB_PICTURE_ICON) {
            style |= BS_ICON;
        } else if (b->image.kind == KB_PICTURE_BITMAP) {
            if (isCheck) {
                // The check box keeps its check box type; only the image is added.
                style |= BS_BITMAP;
            } else {
                style = (style & ~0xFFu) | (extraStyle & 0xFFu) | (b->props.defaultButton == 1 ? BS_DEFPUSHBUTTON : 0u) |
                        BS_BITMAP;
            }
        }
    }

    UiControlPlace place = {"BUTTON", b->props.caption.c_str(), style, parent, controlId, left, top, width, height,
                             0, nullptr};
    if (!ui_CreateControl(&b->head, isCheck ? KIND_CHECKBOX : KIND_BUTTON, windowId, componentId, place,
                          &kHooks)) {
        releaseResources(b);
        delete b;
        return nullptr;
    }
    HWND hwnd = b->head.fw.hwnd;
    ui_FontSet(&b->fontHandle, b->props.font.data(), (int32_t)b->props.font.size());
    SendMessageA(hwnd, WM_SETFONT, (WPARAM)b->fontHandle.handle, TRUE);
    if (b->image.kind == KB_PICTURE_ICON)
        SendMessageA(hwnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)b->image.icon);
    else if (b->image.kind == KB_PICTURE_BITMAP)
        SendMessageA(hwnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)b->image.bitmap);
    if (isCheck) SendMessageA(hwnd, BM_SETCHECK, b->props.checked == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    return &b->head;
}

ComponentObject* button_Create(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
                              int32_t controlId, HMENU, int32_t left, int32_t top, int32_t width,
                              int32_t height, uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    return create(false, block, length, extraStyle, parent, controlId, left, top, width, height, windowId,
                  componentId);
}
ComponentObject* checkbox_Create(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent,
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
    b->props.font = ui_ValueBytes(v);
    ui_FontSet(&b->fontHandle, b->props.font.data(), (int32_t)b->props.font.size());
    if (b->head.fw.hwnd) SendMessageA(b->head.fw.hwnd, WM_SETFONT, (WPARAM)b->fontHandle.handle, TRUE);
}

void setCaption(ButtonObject* b, const ValueRecord* v) {
    b->props.caption = ui_ValueText(v);
    if (b->head.fw.hwnd) SetWindowTextA(b->head.fw.hwnd, b->props.caption.c_str());
}

void setHAlign(ButtonObject* b, int32_t v) {
    b->props.hAlign = ui_Clamp(v, 0, 2);
    restyle(b->head.fw.hwnd, BS_CENTER, hAlignBits(b->props.hAlign));
}
void setVAlign(ButtonObject* b, int32_t v) {
    b->props.vAlign = ui_Clamp(v, 0, 2);
    restyle(b->head.fw.hwnd, BS_VCENTER, vAlignBits(b->props.vAlign));
}

int32_t button_Set(ComponentObject* obj, int32_t index, const ValueRecord* v, int32_t) {
    ButtonObject* b = asButton(obj);
    if (!b || !v) return 0;
    int32_t iv = (int32_t)v->value;
    switch (index) {
    case BUTTON_PICTURE: b->props.picture = ui_ValueBytes(v); return 1;
    case BUTTON_DEFAULT:
        b->props.defaultButton = ui_Clamp(iv, 0, 1);
        restyle(b->head.fw.hwnd, BS_DEFPUSHBUTTON, b->props.defaultButton == 1 ? BS_DEFPUSHBUTTON : 0);
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

int32_t checkbox_Set(ComponentObject* obj, int32_t index, const ValueRecord* v, int32_t) {
    ButtonObject* b = asButton(obj);
    if (!b || !v) return 0;
    HWND hwnd = b->head.fw.hwnd;
    int32_t iv = (int32_t)v->value;
    switch (index) {
    case CHECK_PICTURE: b->props.picture = ui_ValueBytes(v); return 1;
    case CHECK_PUSHLIKE:
        b->props.pushLike = iv;
        restyle(hwnd, BS_PUSHLIKE, iv == 1 ? BS_PUSHLIKE : 0);
        return 0;
    case CHECK_FLAT:
        b->props.flat = iv;
        restyle(hwnd, BS_FLAT, iv == 1 ? BS_FLAT : 0);
        return 0;
    case CHECK_CAPTION: setCaption(b, v); return 0;
    case CHECK_TEXT_LEFT:
        b->props.textLeft = iv;
        restyle(hwnd, BS_LEFTTEXT, iv == 1 ? BS_LEFTTEXT : 0);
        return 0;
    case CHECK_HALIGN: setHAlign(b, iv); return 0;
    case CHECK_VALIGN: setVAlign(b, iv); return 0;
    case CHECK_TEXT_COLOUR:
        b->props.textColour = v->value;
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case CHECK_BACK_COLOUR: {
        b->props.backColour = v->value;
        ui_ReplaceBrush(&b->brush, b->props.backColour);
        if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case CHECK_FONT: setFont(b, v); return 0;
    case CHECK_CHECKED:
        b->props.checked = iv;
        if (hwnd) SendMessageA(hwnd, BM_SETCHECK, iv == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        return 0;
    case CHECK_DATA_SOURCE: b->props.dataSource = ui_ValueText(v); rebind(b); return 0;
    case CHECK_DATA_COLUMN: b->props.dataColumn = ui_ValueText(v); rebind(b); return 0;
    default: return 0;
    }
}

int32_t button_Get(ComponentObject* obj, int32_t index, ValueRecord* out) {
    ButtonObject* b = asButton(obj);
    if (!b || !out) return 0;
    switch (index) {
    case BUTTON_PICTURE: ui_OutBytes(out, b->props.picture); return 1;
    case BUTTON_DEFAULT: ui_OutInt(out, (uint32_t)b->props.defaultButton); return 1;
    case BUTTON_CAPTION: ui_OutText(out, b->props.caption); return 1;
    case BUTTON_HALIGN: ui_OutInt(out, (uint32_t)b->props.hAlign); return 1;
    case BUTTON_VALIGN: ui_OutInt(out, (uint32_t)b->props.vAlign); return 1;
    case BUTTON_FONT: ui_OutBytes(out, b->props.font); return 1;
    default: return 0;
    }
}

int32_t checkbox_Get(ComponentObject* obj, int32_t index, ValueRecord* out) {
    ButtonObject* b = asButton(obj);
    if (!b || !out) return 0;
    switch (index) {
    case CHECK_PICTURE: ui_OutBytes(out, b->props.picture); return 1;
    case CHECK_PUSHLIKE: ui_OutInt(out, (uint32_t)b->props.pushLike); return 1;
    case CHECK_FLAT: ui_OutInt(out, (uint32_t)b->props.flat); return 1;
    case CHECK_CAPTION: ui_OutText(out, b->props.caption); return 1;
    case CHECK_TEXT_LEFT: ui_OutInt(out, (uint32_t)b->props.textLeft); return 1;
    case CHECK_HALIGN: ui_OutInt(out, (uint32_t)b->props.hAlign); return 1;
    case CHECK_VALIGN: ui_OutInt(out, (uint32_t)b->props.vAlign); return 1;
    case CHECK_TEXT_COLOUR: ui_OutInt(out, b->props.textColour); return 1;
    case CHECK_BACK_COLOUR: ui_OutInt(out, b->props.backColour); return 1;
    case CHECK_FONT: ui_OutBytes(out, b->props.font); return 1;
    case CHECK_CHECKED: ui_OutInt(out, (uint32_t)readChecked(b)); return 1;
    case CHECK_DATA_SOURCE: ui_OutText(out, b->props.dataSource); return 1;
    case CHECK_DATA_COLUMN: ui_OutText(out, b->props.dataColumn); return 1;
    default: return 0;
    }
}

int32_t button_IsDefault(ComponentObject* obj) {
    if (!obj || !obj->fw.hwnd || !IsWindow(obj->fw.hwnd)) return 0;
    return ((uint32_t)GetWindowLongA(obj->fw.hwnd, GWL_STYLE) & 0x1Fu) == BS_DEFPUSHBUTTON ? 1 : 0;
}


}  // namespace

static const UiKindEntries kButtonEntries = {button_Create, button_Set, button_WriteKindBlock, button_Get, nullptr, nullptr,
                                               ui_ConvertTextsOf<button_Block>, button_IsDefault};

void* kind_button_iface(int32_t number) { return ui_KindEntry(kButtonEntries, number); }

static const UiKindEntries kCheckboxEntries = {checkbox_Create, checkbox_Set, button_WriteKindBlock, checkbox_Get, nullptr,
                                                 nullptr, ui_ConvertTextsOf<checkbox_Block>, nullptr};

void* kind_checkbox_iface(int32_t number) { return ui_KindEntry(kCheckboxEntries, number); }
