#include "ui/kinds/label/label_block.h"

bool label_ReadBlock(const uint8_t* block, int32_t length, LabelProps* out) {
    *out = LabelProps();
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 2) return false;
    LabelProps p;
    p.effect = ar_Int(&r);
    p.frameWidth = ar_Int(&r);
    p.border = ar_Int(&r);
    for (uint32_t& c : p.frame) c = ar_Dword(&r);
    p.textColour = ar_Dword(&r);
    p.background = ar_Dword(&r);
    p.pictureMode = ar_Int(&r);
    p.gradientMode = ar_Int(&r);
    for (uint32_t& c : p.gradient) c = ar_Dword(&r);
    p.hAlign = ar_Int(&r);
    p.vAlign = ar_Int(&r);
    p.wordWrap = ar_Int(&r);
    p.font = ar_Text(&r);
    p.picture = ar_Text(&r);
    p.caption = ar_Text(&r);
    if (version == 2) {
        p.dataSource = ar_Text(&r);
        p.dataColumn = ar_Text(&r);
    }
    if (r.failed) return false;
    // A stored caption is a text: it ends at its first zero byte.
    p.caption = std::string(p.caption.c_str());
    *out = p;
    return true;
}

void label_WriteBlock(const LabelProps& p, ArchiveWriter* w, uint32_t version) {
    aw_Dword(w, version);
    aw_Int(w, p.effect);
    aw_Int(w, p.frameWidth);
    aw_Int(w, p.border);
    for (uint32_t c : p.frame) aw_Dword(w, c);
    aw_Dword(w, p.textColour);
    aw_Dword(w, p.background);
    aw_Int(w, p.pictureMode);
    aw_Int(w, p.gradientMode);
    for (uint32_t c : p.gradient) aw_Dword(w, c);
    aw_Int(w, p.hAlign);
    aw_Int(w, p.vAlign);
    aw_Int(w, p.wordWrap);
    aw_Bytes(w, p.font);
    aw_Bytes(w, p.picture);
    aw_Text(w, p.caption);
    if (version < 2) return;
    aw_Text(w, p.dataSource);
    aw_Text(w, p.dataColumn);
}

static const UiTextField<LabelProps> kTexts[] = {
    ui_Text(&LabelProps::caption), ui_FontFace(&LabelProps::font), ui_Text(&LabelProps::dataSource),
    ui_Text(&LabelProps::dataColumn)};
const UiBlockCode<LabelProps> label_Block = {label_ReadBlock, label_WriteBlock, 2, kTexts,
                                             sizeof kTexts / sizeof kTexts[0]};
