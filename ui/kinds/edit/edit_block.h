// The edit box kind's property record and kind block (versions 0..2 read,
// 2 written).
#pragma once
#include "ui/kinds/common/block.h"

struct EditProps {
    std::string content;
    int32_t border = 1;
    uint32_t textColour = 0, backColour = 0xFFFFFF;
    std::string font;
    int32_t hideSelection = 1, maxLength = 0, multiLine = 0, scrollBars = 0, alignment = 0, inputMode = 0;
    uint8_t passwordChar = '*';
    int32_t caseConversion = 0, spinMode = 0, spinMin = 0, spinMax = 100, selStart = 0, selLength = 0;
    std::string dataSource, dataColumn;
};

// Texts: font face, content, data source, data column.
extern const UiBlockCode<EditProps> edit_Block;
inline bool edit_ReadBlock(const uint8_t* block, int32_t length, EditProps* out) {
    return ui_ReadBlock(edit_Block, block, length, out);
}
inline void edit_WriteBlock(const EditProps& p, ArchiveWriter* w, uint32_t version = 2) {
    ui_WriteBlock(edit_Block, p, w, version);
}
