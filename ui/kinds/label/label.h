// The label kind: a window of our own class "_QX_Label" that paints its
// caption over a colour, a picture or a gradient, inside an optional
// gradient frame.
#pragma once
#include "ui/kinds/common/common.h"

struct Picture;

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

struct LabelObject {
    ComponentObject head;
    LabelProps props;
    UiFont font;
    Picture* picture;       // decoded on first paint
    bool pictureTried;      // decoding was tried (and may have failed)
    bool created;           // CreateWindowEx returned: the window owns the object
    UiPace pace;            // a status line is rewritten once per file
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
bool label_ReadBlock(const uint8_t* block, int32_t length, LabelProps* out);
void label_WriteBlock(const LabelProps& p, ArchiveWriter* w);
// DrawText flags for the alignment properties.
UINT label_DrawFlags(const LabelProps& p);
// The colour at t (0..1) of a gradient evenly through n (2 or 3) colours.
COLORREF label_GradientColour(const COLORREF* colours, int n, double t);
// The gradient's parameter at pixel (x, y) of a w x h area, for mode 1..8.
double label_GradientT(int32_t mode, int32_t x, int32_t y, int32_t w, int32_t h);
// Paints the whole label into dc (client coordinates).
void label_Paint(LabelObject* o, HDC dc);

ComponentObject* label_Create(const uint8_t* block, int32_t length, uint32_t extraStyle,
                              HWND parent, int32_t controlId, HMENU menu,
                              int32_t left, int32_t top, int32_t width, int32_t height,
                              uint32_t windowId, uint32_t componentId,
                              uint32_t reserved1, uint32_t reserved2);
int32_t label_Set(ComponentObject* obj, int32_t index, const ValueRecord* value, int32_t reserved);
int32_t label_Get(ComponentObject* obj, int32_t index, ValueRecord* out);
uint8_t* label_WriteKindBlock(ComponentObject* obj, int32_t* length);
// Interface 9: caption, font face name (60-byte fonts), data source and
// data column converted.
uint8_t* label_ConvertTexts(const uint8_t* block, int32_t length, UiConvertTextFn convert, int32_t* outLength);

void* kind_label_iface(int32_t number);
