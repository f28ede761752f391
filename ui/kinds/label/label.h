// The label kind: a window of our own class "_QX_Label" that paints its
// caption over a colour, a picture or a gradient, inside an optional
// gradient frame.
#pragma once
#include "ui/kinds/common/common.h"
#include "ui/kinds/label/label_block.h"

struct Picture;

struct LabelObject {
    ComponentObject head;
    LabelProps props;
    UiFont font;
    Picture* picture;       // decoded on first paint
    bool pictureTried;      // decoding was tried (and may have failed)
    UiPace pace;            // a status line is rewritten once per file
    bool textBehind;        // the window's own text waits for the frame's end
};

// DrawText flags for the alignment properties.
UINT label_DrawFlags(const LabelProps& p);
// The colour at t (0..1) of a gradient evenly through n (2 or 3) colours.
COLORREF label_GradientColour(const COLORREF* colours, int n, double t);
// The gradient's parameter at pixel (x, y) of a w x h area, for mode 1..8.
double label_GradientT(int32_t mode, int32_t x, int32_t y, int32_t w, int32_t h);
// Paints the whole label into dc (client coordinates).
void label_Paint(LabelObject* o, HDC dc);

KindCreate label_Create;
KindSet label_Set;
KindGet label_Get;
KindWriteBlock label_WriteKindBlock;

void* kind_label_iface(int32_t number);
