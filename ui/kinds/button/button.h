// The button kind (kind id 0x0001000B) and the check box kind (0x0001000C),
// both on the native "BUTTON" class.
#pragma once
#include <stdint.h>
#include "ui/kind_api.h"

void* kind_button_iface(int32_t number);
void* kind_checkbox_iface(int32_t number);

// Property indexes as the kinds' set/get functions see them (index - 8).
enum {
    BUTTON_PICTURE = 0, BUTTON_DEFAULT, BUTTON_CAPTION, BUTTON_HALIGN, BUTTON_VALIGN, BUTTON_FONT,
};
enum {
    CHECK_PICTURE = 0, CHECK_PUSHLIKE, CHECK_FLAT, CHECK_CAPTION, CHECK_TEXT_LEFT, CHECK_HALIGN,
    CHECK_VALIGN, CHECK_TEXT_COLOUR, CHECK_BACK_COLOUR, CHECK_FONT, CHECK_CHECKED,
    CHECK_DATA_SOURCE, CHECK_DATA_COLUMN,
};
