// The list box kind (kind id 0x0001000F) on the native "LISTBOX" class, and
// the list box commands' pacing.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>
#include "ui/kind_api.h"
#include "ui/kinds/listbox/listbox_block.h"

void* kind_listbox_iface(int32_t number);

// Events of the list box: 0 selection changed, 1 double click, 2 a context
// menu asked for (screen x, y).
enum : int32_t { LIST_EVENT_CONTEXT_MENU = 2 };

enum {
    LIST_BORDER = 0, LIST_SORTED, LIST_MULTI_COLUMN, LIST_ROW_SPACING, LIST_TEXT_COLOUR, LIST_BACK_COLOUR,
    LIST_FONT, LIST_MULTI_SELECT, LIST_CURRENT, LIST_ITEMS, LIST_ITEM_DATA, LIST_DATA_SOURCE,
    LIST_DATA_COLUMN, LIST_FLAG,
};


// Before a log-style write (insert, clear): the list box shows the result
// at most once a frame (see ui_PaceWrite).
void listbox_PaceWrite(ComponentObject* obj);
