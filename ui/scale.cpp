#include "ui/scale.h"
#include <windows.h>

static int32_t s_dpi;

int32_t ui_NativeDpi(void) {
    if (s_dpi > 0) return s_dpi;
    HDC dc = GetDC(nullptr);
    int32_t dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    s_dpi = dpi > 0 ? dpi : UI_TEMPLATE_DPI;
    return s_dpi;
}

void ui_SetNativeDpi(int32_t dpi) { s_dpi = dpi; }

int32_t ui_ToNative(int32_t v) { return MulDiv(v, ui_NativeDpi(), UI_TEMPLATE_DPI); }
int32_t ui_FromNative(int32_t v) { return MulDiv(v, UI_TEMPLATE_DPI, ui_NativeDpi()); }
