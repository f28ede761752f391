// Kind ids of library 1, which are also the type codes of component values
// (window id low, component id high). Nothing else here, so the build
// host's template generator can use them as well.
#pragma once
#include <stdint.h>

enum : uint32_t {
    KIND_WINDOW = 0x00010001u, KIND_MENU = 0x00010003u, KIND_EDIT = 0x00010005u,
    KIND_LABEL = 0x0001000Au, KIND_BUTTON = 0x0001000Bu, KIND_CHECKBOX = 0x0001000Cu,
    KIND_LISTBOX = 0x0001000Fu, KIND_PROGRESS = 0x00010013u, KIND_PAGED = 0x00010015u,
};
