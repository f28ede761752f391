// Numbers the runtime and the libraries agree on: the notification codes
// of the runtime's notification function, and the event numbers of the
// window kind and of every component. Switches use these names.
#pragma once
#include <stdint.h>

enum : int32_t {
    NOTE_LIBRARY_START = 1, NOTE_LIBRARY_SHUTDOWN = 6, NOTE_ICONS = 1000, NOTE_REGISTRY = 1001, NOTE_KIND_RECORD = 1002,
    NOTE_COMPONENT_DESTROYED = 2000, NOTE_TO_INT = 2001, NOTE_PROGRAM_DIRECTORY = 2003, NOTE_PROGRAM_FILE = 2004,
    // 2006: (window id, component id) -> the live object, which starts with
    // its framework object (FwWnd); 0 when there is none.
    NOTE_LOAD_WINDOW = 2005, NOTE_OBJECT = 2006, NOTE_OBJECT_CHECKED = 2007, NOTE_RAISE_EVENT = 2008,
    NOTE_PUMP_BLOCK = 2009, NOTE_PUMP_UNBLOCK = 2010, NOTE_EVENT_SOURCE = 2017, NOTE_PUMP = 2018,
    NOTE_KIND_OF = 2022, NOTE_FREE_ARRAY = 2023, NOTE_ALLOCATE = 2024, NOTE_FREE = 2025, NOTE_REALLOCATE = 2026,
    NOTE_FATAL = 2027, NOTE_EXIT = 2028, NOTE_KIND_EVENTS = 2029, NOTE_WORD0 = 2030,
    NOTE_RAISE_TYPED_EVENT = 2031, NOTE_WINDOW_COUNT = 2032, NOTE_WINDOW_HANDLE = 2033,
    NOTE_RELEASE_OBJECT = 2035,
    // (LINE_TO_OUTPUT or LINE_TO_ERROR, text): in a batch run writes the text as
    // a line there and returns 1; otherwise 0.
    NOTE_BATCH_LINE = 2040,
};

// Events of the window kind (raised with the window id and entry id).
enum : int32_t {
    WEV_LOADED = 0, WEV_CLOSE = 1, WEV_DESTROYED = 2, WEV_MOVED = 3, WEV_RESIZED = 4,
    WEV_ACTIVATED = 5, WEV_DEACTIVATED = 6, WEV_IDLE = 7, WEV_FIRST_ACTIVATION = 8, WEV_TRAY = 9,
    WEV_SHOWN = 10, WEV_HIDDEN = 11, WEV_CLOSE_QUERY = 12,
    WEV_FOLDER_DROPPED = 13,  // a folder dropped on the window (its path)
};

// Events every component kind shares: its main event (a click, a change)
// and the focus pair.
enum : int32_t { EV_MAIN = 0, EV_FOCUS_GAINED = -7, EV_FOCUS_LOST = -8 };
