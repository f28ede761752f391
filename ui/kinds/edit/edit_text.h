// Text rules of the edit box's input modes: which typed characters pass,
// and what the text becomes when the box loses the focus.
#pragma once
#include <stdint.h>
#include <string>

enum { EDIT_MODE_COUNT = 12 };

// Whether a typed character is accepted in `mode` (control characters
// below 0x20 always are).
bool ed_CharAllowed(int32_t mode, uint8_t c);

// Leading white space, an optional sign, digits; anything else ends the
// number. Saturates instead of overflowing.
int64_t ed_ReadInt64(const char* s);

struct EdDateTime {
    int32_t year, month, day, hour, minute, second;
};
// Reads a date-time in the forms "2024-2-3", "2024年2月3日5时6分" and so on;
// false unless every part is in range without adjustment.
bool ed_ReadDateTime(const char* s, EdDateTime* out);
std::string ed_FormatDateTime(const EdDateTime& t);

// The text after losing the focus in input mode `mode` (unchanged for the
// modes without a normalisation).
std::string ed_Normalise(int32_t mode, const std::string& text);
