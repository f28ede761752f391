// Template units and native pixels. The template is laid out at 96 pixels
// per inch; a DPI-aware process on a scaled screen gets its native sizes
// multiplied by the screen's DPI / 96, so the window keeps its look. The
// module sees template units only: the property access converts.
#pragma once
#include <stdint.h>

enum : int32_t { UI_TEMPLATE_DPI = 96 };

// The screen's DPI as the native windows use it, read once.
int32_t ui_NativeDpi(void);
// Tests stand in a DPI of their own (0: read the screen again).
void ui_SetNativeDpi(int32_t dpi);
// Template units to native pixels and back, rounded to the nearest: for
// any DPI of 96 or more a value goes there and back unchanged.
int32_t ui_ToNative(int32_t v);
int32_t ui_FromNative(int32_t v);
