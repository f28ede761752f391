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

bool listbox_ReadBlock(const uint8_t* block, int32_t length, ListBoxProps* out);
void listbox_WriteBlock(const ListBoxProps& p, ArchiveWriter* w, uint32_t version = 3);
// Texts: font face, every item, data source, data column.
extern const UiBlockCode<ListBoxProps> listbox_Block;

// Item texts: a 16-bit count (0xFFFF: a 32-bit count follows), then the
// counted texts. Decoding never reads past the data; the texts read before
// a short read stay in *out and false is returned.
bool lb_DecodeItems(ArchiveReader* r, std::vector<std::string>* out);
void lb_EncodeItems(ArchiveWriter* w, const std::vector<std::string>& items);
