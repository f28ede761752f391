#include "ui/kinds/edit/edit_block.h"

bool edit_ReadBlock(const uint8_t* block, int32_t length, EditProps* out) {
    *out = EditProps();
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 2) return false;
    EditProps p;
    p.border = ar_Int(&r);
    p.textColour = ar_Dword(&r);
    p.backColour = ar_Dword(&r);
    p.hideSelection = ar_Int(&r);
    p.maxLength = ar_Int(&r);
    p.multiLine = ar_Int(&r);
    p.scrollBars = ar_Int(&r);
    p.alignment = ar_Int(&r);
    p.inputMode = ar_Int(&r);
    // The only 16-bit field of the block: the character in its low byte.
    if (r.failed || ar_Left(&r) < 2) return false;
    p.passwordChar = r.p[0];
    r.p += 2;
    p.caseConversion = ar_Int(&r);
    p.spinMode = ar_Int(&r);
    p.spinMin = ar_Int(&r);
    p.spinMax = ar_Int(&r);
    p.selStart = ar_Int(&r);
    p.selLength = ar_Int(&r);
    p.font = ar_Text(&r);
    p.content = ar_Text(&r);
    if (version == 2) {
        p.dataSource = ar_Text(&r);
        p.dataColumn = ar_Text(&r);
    }
    if (r.failed) return false;
    *out = p;
    return true;
}

void edit_WriteBlock(const EditProps& p, ArchiveWriter* w, uint32_t version) {
    aw_Dword(w, version);
    aw_Int(w, p.border);
    aw_Dword(w, p.textColour);
    aw_Dword(w, p.backColour);
    const int32_t words[] = {p.hideSelection, p.maxLength, p.multiLine, p.scrollBars, p.alignment, p.inputMode};
    for (int32_t v : words) aw_Int(w, v);
    w->out.push_back((char)p.passwordChar);
    w->out.push_back('\0');
    const int32_t more[] = {p.caseConversion, p.spinMode, p.spinMin, p.spinMax, p.selStart, p.selLength};
    for (int32_t v : more) aw_Int(w, v);
    aw_Bytes(w, p.font);
    aw_Text(w, p.content);
    if (version < 2) return;
    aw_Text(w, p.dataSource);
    aw_Text(w, p.dataColumn);
}

static const UiTextField<EditProps> kTexts[] = {
    ui_FontFace(&EditProps::font), ui_Text(&EditProps::content), ui_Text(&EditProps::dataSource),
    ui_Text(&EditProps::dataColumn)};
const UiBlockCode<EditProps> edit_Block = {edit_ReadBlock, edit_WriteBlock, 2, kTexts,
                                           sizeof kTexts / sizeof kTexts[0]};
