// The label kind's property record and kind block (versions 0..2 read, 2
// written).
#pragma once
#include "ui/kinds/common/block.h"

struct LabelProps {
    std::string caption = "标签";
    int32_t effect = 0;
    int32_t border = 0;
    int32_t frameWidth = 8;
    uint32_t frame[3] = {0x808080, 0xFFFFFF, 0x808080};
    std::string font;
    uint32_t textColour = 0;
    uint32_t background = UI_COLOUR_BUTTON_FACE;
    std::string picture;
    int32_t pictureMode = 1;
    int32_t gradientMode = 0;
    uint32_t gradient[3] = {0x808080, 0xFFFFFF, 0x808080};
    int32_t hAlign = 0;
    int32_t wordWrap = 0;
    int32_t vAlign = 1;
    std::string dataSource;
    std::string dataColumn;
};

// Property numbers as the kind's get and set functions see them (index - 8).
enum {
    LP_CAPTION, LP_EFFECT, LP_BORDER, LP_FRAME_WIDTH, LP_FRAME1, LP_FRAME2, LP_FRAME3, LP_FONT,
    LP_TEXT_COLOUR, LP_BACKGROUND, LP_PICTURE, LP_PICTURE_MODE, LP_GRADIENT_MODE,
    LP_GRADIENT1, LP_GRADIENT2, LP_GRADIENT3, LP_HALIGN, LP_WORD_WRAP, LP_VALIGN,
    LP_DATA_SOURCE, LP_DATA_COLUMN, LP_COUNT
};

// Kind block: values as stored (no clamping); null/empty gives defaults;
// version above 2 or a short block fails.
// Texts: caption, font face, data source, data column.
extern const UiBlockCode<LabelProps> label_Block;
inline bool label_ReadBlock(const uint8_t* block, int32_t length, LabelProps* out) {
    return ui_ReadBlock(label_Block, block, length, out);
}
inline void label_WriteBlock(const LabelProps& p, ArchiveWriter* w, uint32_t version = 2) {
    ui_WriteBlock(label_Block, p, w, version);
}
