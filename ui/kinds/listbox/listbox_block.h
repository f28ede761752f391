// The list box kind's property record and kind block (versions 0..3 read,
// 3 written), and the encoding of its item texts.
#pragma once
#include "ui/kinds/common/block.h"

struct ListBoxProps {
    int32_t border = 1, sorted = 0, multiColumn = 0, rowSpacing = 1;
    uint32_t textColour = 0, backColour = 0xFFFFFF;
    std::string font;
    int32_t multiSelect = 0, current = -1;
    std::vector<std::string> items;
    std::string itemData;
    std::string dataSource, dataColumn;
    int32_t listFlag = 0;
};

// Texts: font face, every item, data source, data column.
extern const UiBlockCode<ListBoxProps> listbox_Block;
inline bool listbox_ReadBlock(const uint8_t* block, int32_t length, ListBoxProps* out) {
    return ui_ReadBlock(listbox_Block, block, length, out);
}
inline void listbox_WriteBlock(const ListBoxProps& p, ArchiveWriter* w, uint32_t version = 3) {
    ui_WriteBlock(listbox_Block, p, w, version);
}
