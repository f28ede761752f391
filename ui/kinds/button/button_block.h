// The property record of the button and check box kinds and their kind
// blocks (button: versions 0..1 read, 1 written; check box: 0..2, 2).
#pragma once
#include "ui/kinds/common/block.h"

// Both kinds; the button stores the first six fields only.
struct ButtonProps {
    std::string picture;
    int32_t defaultButton = 0;
    std::string caption = "按钮";
    int32_t hAlign = 1, vAlign = 1;
    std::string font;
    int32_t pushLike = 0, flat = 0, textLeft = 0;
    uint32_t textColour = 0, backColour = UI_COLOUR_BUTTON_FACE;
    int32_t checked = 0;
    std::string dataSource, dataColumn;
};
// A check box starts from other defaults than a button.
ButtonProps checkbox_Defaults();

// Texts: font face and caption; the check box's data source and column too.
extern const UiBlockCode<ButtonProps> button_Block;
extern const UiBlockCode<ButtonProps> checkbox_Block;
inline bool button_ReadBlock(const uint8_t* block, int32_t length, ButtonProps* out) {
    return ui_ReadBlock(button_Block, block, length, out);
}
inline void button_WriteBlock(const ButtonProps& p, ArchiveWriter* w, uint32_t version = 1) {
    ui_WriteBlock(button_Block, p, w, version);
}
inline bool checkbox_ReadBlock(const uint8_t* block, int32_t length, ButtonProps* out) {
    return ui_ReadBlock(checkbox_Block, block, length, out);
}
inline void checkbox_WriteBlock(const ButtonProps& p, ArchiveWriter* w, uint32_t version = 2) {
    ui_WriteBlock(checkbox_Block, p, w, version);
}
