// The contract between the window machinery and the component kinds:
// kind records, property records, interface functions, the component object
// header and the event record.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <vector>
#include "platform/framework.h"
#include "runtime/rt.h"

// Property record (20 bytes), one per property index.
struct PropertyRecord {
    uint32_t reserved[3];
    uint16_t type;   // 1000..1024
    uint16_t flags;  // 0xE000 on the common ones; not read at run time
    uint32_t reserved2;
};
static_assert(sizeof(PropertyRecord) == 20, "property record");

// Property type codes the runtime converts by (PT_MOUSE_POINTER, not
// PT_POINTER: winuser.h declares that name). A code without a rule of its
// own converts as text: the help file, data source and data column ones.
enum : uint16_t {
    PT_INT = 1000, PT_INT_COMMON = 1001, PT_8BYTE = 1002, PT_BOOL = 1003, PT_8BYTE_B = 1004,
    PT_TEXT = 1005, PT_PICK = 1006, PT_BYTES = 1009, PT_PICTURE = 1010, PT_MOUSE_POINTER = 1011,
    PT_BYTES_B = 1012, PT_FONT = 1013, PT_COLOUR = 1014, PT_INT_B = 1015, PT_HELP_FILE = 1016,
    PT_INT_C = 1017, PT_DATA_SOURCE = 1018, PT_DATA_COLUMN = 1020, PT_BYTES_C = 1023, PT_BYTES_D = 1024,
};

// Property indexes every kind shares, served by the runtime itself; a
// kind's own properties follow from CP_COUNT on, and its get and set
// functions number them from 0.
enum : int32_t {
    CP_LEFT, CP_TOP, CP_WIDTH, CP_HEIGHT, CP_TAG, CP_VISIBLE, CP_DISABLED, CP_MOUSE_POINTER, CP_COUNT,
};

// Interface numbers a kind answers through its interface function.
enum {
    KI_CREATE = 1,
    KI_SET = 4,
    KI_WRITE_BLOCK = 5,
    KI_GET = 6,
    KI_WINDOW7 = 7,
    KI_TAKES_KEY = 8,
    KI_CONVERT_TEXTS = 9,
    KI_IS_DEFAULT_BUTTON = 10,
};
typedef void* (*KindInterface)(int32_t number);

// Kind record (56 bytes).
struct KindRecord {
    const char* name;          // GBK
    const char* englishName;
    uint32_t reserved8[3];
    uint32_t flags;
    uint32_t reserved24[3];
    uint32_t propertyCount;
    const PropertyRecord* properties;
    KindInterface iface;
    uint32_t reserved48[2];
};
static_assert(sizeof(KindRecord) == 56, "kind record");

// Kind flag bits the machinery tests.
enum : uint32_t {
    KF_EVENTS_A = 0x04, KF_EVENTS_B = 0x40, KF_NO_RECREATE = 0x10, KF_CONTAINER = 0x80, KF_PAGED = 0x100,
    KF_CHILD_HANDLES = 0x200, KF_CHILD_HANDLES_B = 0x200000, KF_OPTION_GROUP = 0x400, KF_DEFAULT_BUTTON = 0x800,
    KF_HIDDEN = 0x8000, KF_NO_INITIAL_FOCUS = 0x10000, KF_RELAYOUT = 0x100000, KF_DRAG_WINDOW = 0x4000000,
    KF_INTERFACE = 0x1000000,  // a library type whose values are automation objects
};

// Value record exchanged with a kind's get and set functions: integers,
// booleans, colours and picks in `value`; 8-byte values in both words;
// byte sets, fonts and pointers as (pointer, byte count); texts as a
// pointer to a zero-terminated text. What a get function hands out stays
// owned by the component (the runtime copies it).
struct ValueRecord {
    uint32_t value;
    uint32_t length;
};

// Every live component object (the window's too) starts with this header.
// Its window procedure answers RT_MSG_OBJECT_QUERY (0x8002) with the
// object's address, so the pre-translation walk finds it.
struct ComponentObject {
    FwWnd fw;               // steps + native window
    uint32_t windowId;
    uint32_t componentId;   // the window entry's id for the window itself
    uint32_t kindId;
};

// A window kind's object goes on with the marks of the load that made it,
// which the loader sets and reads (only for objects of KIND_WINDOW).
struct UiWindowMarks {
    bool modal;                            // loaded modally and not yet closed
    bool firstShowPending;                 // its first show goes through the show step
    std::vector<HWND> disabledWindows;     // disabled by its modal load
    std::vector<bool> disabledWasEnabled;  // their enabled state before
};
struct UiWindowObject {
    ComponentObject head;
    UiWindowMarks marks;
};

// Interface function signatures.
// 1: create from a kind block.
typedef ComponentObject* (*KindCreateFn)(const uint8_t* block, int32_t length, uint32_t extraStyle,
                                          HWND parent, int32_t controlId, HMENU menu,
                                          int32_t left, int32_t top, int32_t width, int32_t height,
                                          uint32_t windowId, uint32_t componentId,
                                          uint32_t reserved1, uint32_t reserved2);
// 4: set property (index - 8); returns 1 when the component must be re-created.
typedef int32_t (*KindSetFn)(ComponentObject* obj, int32_t index, const ValueRecord* value, int32_t reserved);
// 5: the current properties as a kind block, allocated with rt_Allocate
// (the caller frees it with rt_Free); *length receives its size.
typedef uint8_t* (*KindWriteBlockFn)(ComponentObject* obj, int32_t* length);
// 6: get property (index - 8) into *out; returns 1 on success.
typedef int32_t (*KindGetFn)(ComponentObject* obj, int32_t index, ValueRecord* out);
// 8: does the component take this key itself.
typedef int32_t (*KindTakesKeyFn)(ComponentObject* obj, UINT vk);
// 10: is this a default push button.
typedef int32_t (*KindIsDefaultFn)(ComponentObject* obj);
// The same as function types, to declare a kind's entry points by.
typedef ComponentObject* KindCreate(const uint8_t*, int32_t, uint32_t, HWND, int32_t, HMENU, int32_t, int32_t,
                                    int32_t, int32_t, uint32_t, uint32_t, uint32_t, uint32_t);
typedef int32_t KindSet(ComponentObject*, int32_t, const ValueRecord*, int32_t);
typedef uint8_t* KindWriteBlock(ComponentObject*, int32_t*);
typedef int32_t KindGet(ComponentObject*, int32_t, ValueRecord*);

// Event record (notification 2008).
struct EventRecord {
    uint32_t window;
    uint32_t component;
    int32_t event;
    int32_t argc;          // up to 5
    uint32_t args[5];
    int32_t resultPresent; // set by the runtime
    int32_t result;
};
static_assert(sizeof(EventRecord) == 44, "event record");

// Typed event record (notification 2031).
struct TypedEventArg { uint32_t low, high, type, flags; };
struct TypedEventRecord {
    uint32_t window;
    uint32_t component;
    int32_t event;
    int32_t argc;          // up to 12
    TypedEventArg args[12];
    int32_t resultPresent; // offset 208
    uint32_t result[2];    // offset 212
};
static_assert(offsetof(TypedEventRecord, resultPresent) == 208, "typed event result");

// Native controls report to their parent window; the window kind reflects
// WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_HSCROLL and
// WM_VSCROLL to the control as UI_REFLECT + message, same parameters.
enum : UINT { UI_REFLECT = 0x2000 };

// Private messages of the loader (no parameters).
enum : UINT { UI_MSG_AFTER_CREATE = 0x806F, UI_MSG_LAYOUT = 0x8004, UI_MSG_AFTER_SHOW = 0x8076,
              UI_MSG_LABEL_CLICK = 0x8075 };
