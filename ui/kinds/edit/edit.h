// The edit box kind (kind id 0x00010005) on the native "EDIT" class, with
// vertical centring of single-line text, input modes and a spin control.
#pragma once
#include <stdint.h>
#include "ui/kind_api.h"

void* kind_edit_iface(int32_t number);

// Property indexes as the kind's set/get functions see them (index - 8).
enum {
    EDIT_CONTENT = 0, EDIT_BORDER, EDIT_TEXT_COLOUR, EDIT_BACK_COLOUR, EDIT_FONT, EDIT_HIDE_SELECTION,
    EDIT_MAX_LENGTH, EDIT_MULTI_LINE, EDIT_SCROLL_BARS, EDIT_ALIGNMENT, EDIT_INPUT_MODE, EDIT_PASSWORD_CHAR,
    EDIT_CASE, EDIT_SPIN_MODE, EDIT_SPIN_MIN, EDIT_SPIN_MAX, EDIT_SEL_START, EDIT_SEL_LENGTH,
    EDIT_SELECTED_TEXT, EDIT_DATA_SOURCE, EDIT_DATA_COLUMN,
};

// The spin control sits at this offset from the edit box's control id.
enum { EDIT_SPIN_ID_OFFSET = 4, EDIT_SPIN_WIDTH = 18 };
