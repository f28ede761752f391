// What the window template generator reads: windows as their author
// describes them, one row per component in table order (entry 1 first).
// A layout source (app/*_layout.cpp) defines tg_windows; the generator
// turns it into the template block with each kind's block code.
#pragma once
#include <stddef.h>
#include <stdint.h>

struct TgFont {
    int32_t height, weight;   // height 0: the kind keeps its default font
    const char* face;
};

struct TgBinding {
    int32_t event;
    uint32_t handler;         // byte offset of the handler's slot
};

enum : uint32_t { TG_NO_HANDLER = 0xFFFFFFFFu, TG_KIND_COLOUR = 0xFFFFFFFFu };

// An event of a component other than its click.
struct TgComponentBinding {
    uint32_t component;       // entry id
    int32_t event;
    uint32_t handler;
};

struct TgComponent {
    const char* name;
    uint32_t kind;            // kind id of library 1
    uint32_t id;              // entry id
    int32_t left, top, width, height;
    bool tabStop;
    const char* text;         // caption or content
    TgFont font;
    uint32_t clickHandler;    // bound to event 0, or TG_NO_HANDLER
    uint32_t background;      // labels and check boxes; TG_KIND_COLOUR keeps the kind's
    int32_t hAlign;           // labels
    int32_t checked;          // check boxes
};

struct TgWindow {
    uint32_t id, entryId;
    uint32_t valueA, valueB;  // kept in the window record, no run-time role
    int32_t left, top, width, height;
    const char* title;
    uint32_t colour;
    const TgBinding* bindings;
    size_t bindingCount;
    const TgComponent* components;
    size_t componentCount;
    const TgComponentBinding* componentBindings;
    size_t componentBindingCount;
};

// The windows of the block, in template order.
extern const TgWindow* const tg_windows[];
extern const size_t tg_windowCount;
