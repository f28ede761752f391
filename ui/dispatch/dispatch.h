// Property access by (window id, component id, property index, member
// index) and event dispatch to the module's handlers.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "ui/kind_api.h"

// Service slots 4 and 5.
uint64_t ui_ReadProperty(uint32_t window, uint32_t component, int32_t prop, int32_t member);
void ui_WriteProperty(uint32_t window, uint32_t component, int32_t prop, int32_t member,
                      uint32_t low, uint32_t high);

// Notifications 2008 and 2031: 1 when a handler ran, else 0.
uint32_t ui_RaiseEvent(EventRecord* e);
uint32_t ui_RaiseTypedEvent(TypedEventRecord* e);

// The window layer's notification codes (g_rt.ui.notify).
uint32_t ui_Notify(int32_t code, uint32_t a1, uint32_t a2, bool* handled);

// Re-creates the component of entry `index` of window `windowId` from its
// kind's current block (after a set function asked for it).
void ui_Recreate(uint32_t windowId, int32_t index);

// Members of a font property, in the order of the font record; FONT_WHOLE
// reads or writes the whole record.
enum : int32_t {
    FONT_WHOLE = -1, FONT_ANGLE, FONT_BOLD, FONT_ITALIC, FONT_STRIKEOUT, FONT_UNDERLINE, FONT_SIZE, FONT_FACE,
};

// Font record of a whole-font read or write (FONT_WHOLE).
struct UiFontRecord {
    int32_t angle;       // tenths of a degree
    int32_t bold, italic, strikeout, underline;
    int32_t size;        // points
    const char* face;    // a read places the text inside the same block
};
static_assert(sizeof(UiFontRecord) == 28, "font record");
