#include "ui/kinds/listbox/listbox_block.h"

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

bool listbox_ReadBlock(const uint8_t* block, int32_t length, ListBoxProps* out) {
    *out = ListBoxProps();
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 3) return false;
    ListBoxProps p;
    p.border = ar_Int(&r);
    p.sorted = ar_Int(&r);
    p.multiColumn = ar_Int(&r);
    p.rowSpacing = ar_Int(&r);
    p.textColour = ar_Dword(&r);
    p.backColour = ar_Dword(&r);
    p.multiSelect = ar_Int(&r);
    p.current = ar_Int(&r);
    p.font = ar_Text(&r);
    p.itemData = ar_Text(&r);
    if (!lb_DecodeItems(&r, &p.items)) return false;
    if (version >= 2) {
        p.dataSource = ar_Text(&r);
        p.dataColumn = ar_Text(&r);
    }
    if (version == 3) p.listFlag = ar_Int(&r);
    if (r.failed) return false;
    *out = p;
    return true;
}

void listbox_WriteBlock(const ListBoxProps& p, ArchiveWriter* w, uint32_t version) {
    aw_Dword(w, version);
    const int32_t words[] = {p.border, p.sorted, p.multiColumn, p.rowSpacing};
    for (int32_t v : words) aw_Int(w, v);
    aw_Dword(w, p.textColour);
    aw_Dword(w, p.backColour);
    aw_Int(w, p.multiSelect);
    aw_Int(w, p.current);
    aw_Bytes(w, p.font);
    aw_Bytes(w, p.itemData);
    lb_EncodeItems(w, p.items);
    if (version < 2) return;
    aw_Text(w, p.dataSource);
    aw_Text(w, p.dataColumn);
    if (version == 3) aw_Int(w, p.listFlag);
}

static const UiTextField<ListBoxProps> kTexts[] = {
    ui_FontFace(&ListBoxProps::font), ui_TextList(&ListBoxProps::items), ui_Text(&ListBoxProps::dataSource),
    ui_Text(&ListBoxProps::dataColumn)};
const UiBlockCode<ListBoxProps> listbox_Block = {listbox_ReadBlock, listbox_WriteBlock, 3, kTexts,
                                                 sizeof kTexts / sizeof kTexts[0]};
