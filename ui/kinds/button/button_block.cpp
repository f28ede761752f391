#include "ui/kinds/button/button_block.h"

ButtonProps checkbox_Defaults() {
    ButtonProps p;
    p.caption = "选择框";
    p.hAlign = 0;
    return p;
}

bool button_ReadBlock(const uint8_t* block, int32_t length, ButtonProps* out) {
    *out = ButtonProps();
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 1) return false;
    ButtonProps p;
    p.defaultButton = ar_Int(&r);
    p.hAlign = ar_Int(&r);
    p.vAlign = ar_Int(&r);
    p.picture = ar_Text(&r);
    p.font = ar_Text(&r);
    p.caption = ar_Text(&r);
    if (r.failed) return false;
    *out = p;
    return true;
}

void button_WriteBlock(const ButtonProps& p, ArchiveWriter* w, uint32_t version) {
    aw_Dword(w, version);
    aw_Int(w, p.defaultButton);
    aw_Int(w, p.hAlign);
    aw_Int(w, p.vAlign);
    aw_Bytes(w, p.picture);
    aw_Bytes(w, p.font);
    aw_Text(w, p.caption);
}

bool checkbox_ReadBlock(const uint8_t* block, int32_t length, ButtonProps* out) {
    *out = checkbox_Defaults();
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 2) return false;
    ButtonProps p = checkbox_Defaults();
    p.pushLike = ar_Int(&r);
    p.flat = ar_Int(&r);
    p.textLeft = ar_Int(&r);
    p.hAlign = ar_Int(&r);
    p.vAlign = ar_Int(&r);
    p.textColour = ar_Dword(&r);
    p.backColour = ar_Dword(&r);
    p.checked = ar_Int(&r);
    p.picture = ar_Text(&r);
    p.font = ar_Text(&r);
    p.caption = ar_Text(&r);
    if (version == 2) {
        p.dataSource = ar_Text(&r);
        p.dataColumn = ar_Text(&r);
    }
    if (r.failed) return false;
    *out = p;
    return true;
}

void checkbox_WriteBlock(const ButtonProps& p, ArchiveWriter* w, uint32_t version) {
    aw_Dword(w, version);
    const int32_t words[] = {p.pushLike, p.flat, p.textLeft, p.hAlign, p.vAlign};
    for (int32_t v : words) aw_Int(w, v);
    aw_Dword(w, p.textColour);
    aw_Dword(w, p.backColour);
    aw_Int(w, p.checked);
    aw_Bytes(w, p.picture);
    aw_Bytes(w, p.font);
    aw_Text(w, p.caption);
    if (version < 2) return;
    aw_Text(w, p.dataSource);
    aw_Text(w, p.dataColumn);
}

static const UiTextField<ButtonProps> kButtonTexts[] = {ui_FontFace(&ButtonProps::font),
                                                        ui_Text(&ButtonProps::caption)};
static const UiTextField<ButtonProps> kCheckTexts[] = {
    ui_FontFace(&ButtonProps::font), ui_Text(&ButtonProps::caption), ui_Text(&ButtonProps::dataSource),
    ui_Text(&ButtonProps::dataColumn)};
const UiBlockCode<ButtonProps> button_Block = {button_ReadBlock, button_WriteBlock, 1, kButtonTexts, 2};
const UiBlockCode<ButtonProps> checkbox_Block = {checkbox_ReadBlock, checkbox_WriteBlock, 2, kCheckTexts, 4};
