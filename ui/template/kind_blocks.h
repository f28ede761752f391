// Kind blocks as authored in templates: one plain record per kind with the
// kind's defaults, and a writer emitting the kind's field order (version
// written as the kind writes it). Used by the template generator and tests;
// host-buildable (no <windows.h>), so fonts are built as raw 60-byte
// LOGFONTA images.
#pragma once
#include <stdint.h>
#include <string>

// 60-byte LOGFONTA image: height, width, escapement, orientation, weight
// (LONGs), italic, underline, strike-out, charset, out precision, clip
// precision, quality, pitch-and-family (BYTEs), 32-byte face name.
struct TplFont {
    int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 400;
    uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 1;
    uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
    std::string face;   // at most 31 bytes kept, zero-filled to 32
};
enum : uint32_t { TPL_LOGFONT_SIZE = 60 };
std::string tpl_FontBytes(const TplFont& f);
// Decodes a 60-byte image; false for any other length.
bool tpl_FontFromBytes(const void* p, uint32_t n, TplFont* out);

struct TplWindowBlock {           // version 6
    uint32_t version = 6;
    int32_t border = 2, pictureLayout = 1;
    uint32_t background = 0xFF000000u;
    int32_t maxBox = 0, minBox = 1, controlBox = 1, position = 1, movable = 1;
    int32_t soundRepeat = 0, enterMovesFocus = 0, escCloses = 1, f1Help = 0, helpContext = 0;
    int32_t inTaskbar = 1, dragAnywhere = 0, shape = 0, alwaysOnTop = 0, flag30 = 0;
    std::string className;
    std::string picture, icon, sound;
    std::string title, helpFile;
};
std::string tpl_WindowBlock(const TplWindowBlock& b);

struct TplEditBlock {             // version 2
    uint32_t version = 2;
    int32_t border = 1;
    uint32_t textColour = 0, background = 0xFFFFFF;
    int32_t hideSelection = 1, maxLength = 0, multiLine = 0, scrollBars = 0, alignment = 0;
    int32_t inputMode = 0;
    uint8_t passwordChar = '*';
    int32_t caseConversion = 0, spinMode = 0, spinMin = 0, spinMax = 100;
    int32_t selStart = 0, selLength = 0;
    std::string font, content, dataSource, dataColumn;
};
std::string tpl_EditBlock(const TplEditBlock& b);

struct TplLabelBlock {            // version 2
    uint32_t version = 2;
    int32_t textEffect = 0, frameWidth = 8, border = 0;
    uint32_t frame[3] = {0x808080, 0xFFFFFF, 0x808080};
    uint32_t textColour = 0, background = 0xFF000000u;
    int32_t pictureMode = 1, gradientMode = 0;
    uint32_t gradient[3] = {0x808080, 0xFFFFFF, 0x808080};
    int32_t hAlign = 0, vAlign = 1, wordWrap = 0;
    std::string font, picture;
    std::string caption = "标签";
    std::string dataSource, dataColumn;
};
std::string tpl_LabelBlock(const TplLabelBlock& b);

struct TplButtonBlock {           // version 1
    uint32_t version = 1;
    int32_t defaultButton = 0, hAlign = 1, vAlign = 1;
    std::string picture, font;
    std::string caption = "按钮";
};
std::string tpl_ButtonBlock(const TplButtonBlock& b);

struct TplCheckBoxBlock {         // version 2
    uint32_t version = 2;
    int32_t pushLike = 0, flat = 0, textOnLeft = 0, hAlign = 0, vAlign = 1;
    uint32_t textColour = 0, background = 0xFF000000u;
    int32_t checked = 0;
    std::string picture, font;
    std::string caption = "选择框";
    std::string dataSource, dataColumn;
};
std::string tpl_CheckBoxBlock(const TplCheckBoxBlock& b);

struct TplListBoxBlock {          // version 3
    uint32_t version = 3;
    int32_t border = 1, sorted = 0, multiColumn = 0, rowSpacing = 1;
    uint32_t textColour = 0, background = 0xFFFFFF;
    int32_t multiSelect = 0, currentSelection = -1;
    std::string font, itemData;
    std::string items;            // encoded item list (tpl_ListItems)
    std::string dataSource, dataColumn;
    int32_t listFlag = 0;
};
// Item list encoding: 16-bit count below 0xFFFF, else 0xFFFF and a DWORD
// count; then counted texts.
std::string tpl_ListItems(const std::string* texts, uint32_t count);
std::string tpl_ListBoxBlock(const TplListBoxBlock& b);

struct TplProgressBlock {         // version 1, always 28 bytes
    uint32_t version = 1;
    int32_t border = 3, vertical = 0, smooth = 0, minimum = 0, maximum = 100, position = 0;
};
std::string tpl_ProgressBlock(const TplProgressBlock& b);
