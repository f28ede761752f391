// The component-kind table of library 1: 51 records, 8 of them filled.
#include "ui/kind_api.h"
#include "commands/library.h"

// Interface functions of the kinds (ui/kinds/<kind>/).
void* kind_window_iface(int32_t number);
void* kind_edit_iface(int32_t number);
void* kind_label_iface(int32_t number);
void* kind_button_iface(int32_t number);
void* kind_checkbox_iface(int32_t number);
void* kind_listbox_iface(int32_t number);
void* kind_progress_iface(int32_t number);

namespace {

constexpr uint16_t kCommonFlags = 0xE000;
constexpr uint16_t kKindFlags = 0x8000;

constexpr PropertyRecord P(uint16_t type, uint16_t flags = kKindFlags) {
    return PropertyRecord{{0, 0, 0}, type, flags, 0};
}

// Indexes CP_LEFT to CP_MOUSE_POINTER, the same for every kind.
#define COMMON_PROPERTIES                                                            \
    P(PT_INT_COMMON, kCommonFlags), P(PT_INT_COMMON, kCommonFlags),                  \
    P(PT_INT_COMMON, kCommonFlags), P(PT_INT_COMMON, kCommonFlags),                  \
    P(PT_TEXT, kCommonFlags), P(PT_BOOL, kCommonFlags), P(PT_BOOL, kCommonFlags),    \
    P(PT_MOUSE_POINTER, kCommonFlags)

const PropertyRecord kWindowProps[] = {
    COMMON_PROPERTIES,
    P(PT_TEXT), P(PT_PICK), P(PT_INT_C), P(PT_BYTES), P(PT_PICK), P(PT_BYTES_B), P(PT_PICK), P(PT_BOOL),        // 8..15
    P(PT_BOOL), P(PT_BOOL), P(PT_PICK), P(PT_BOOL), P(PT_PICTURE), P(PT_BOOL), P(PT_BOOL), P(PT_BOOL),          // 16..23
    P(PT_HELP_FILE), P(PT_INT_COMMON), P(PT_BOOL), P(PT_BOOL), P(PT_PICK), P(PT_BOOL), P(PT_BOOL), P(PT_TEXT),  // 24..31
};
const PropertyRecord kEditProps[] = {
    COMMON_PROPERTIES,
    P(PT_TEXT), P(PT_PICK), P(PT_COLOUR), P(PT_INT_C), P(PT_FONT), P(PT_BOOL), P(PT_INT_COMMON), P(PT_BOOL),     // 8..15
    P(PT_PICK), P(PT_PICK), P(PT_PICK), P(PT_TEXT), P(PT_PICK), P(PT_PICK), P(PT_INT_COMMON), P(PT_INT_COMMON),  // 16..23
    P(PT_INT_COMMON), P(PT_INT_COMMON), P(PT_TEXT), P(PT_DATA_SOURCE), P(PT_DATA_COLUMN),                        // 24..28
};
const PropertyRecord kLabelProps[] = {
    COMMON_PROPERTIES,
    P(PT_TEXT), P(PT_PICK), P(PT_PICK), P(PT_INT_COMMON), P(PT_INT_B), P(PT_INT_B), P(PT_INT_B), P(PT_FONT),  // 8..15
    P(PT_COLOUR), P(PT_INT_C), P(PT_BYTES), P(PT_PICK), P(PT_PICK), P(PT_INT_B), P(PT_INT_B), P(PT_INT_B),    // 16..23
    P(PT_PICK), P(PT_BOOL), P(PT_PICK), P(PT_DATA_SOURCE), P(PT_DATA_COLUMN),                                 // 24..28
};
const PropertyRecord kButtonProps[] = {
    COMMON_PROPERTIES,
    P(PT_BYTES), P(PT_PICK), P(PT_TEXT), P(PT_PICK), P(PT_PICK), P(PT_FONT),  // 8..13
};
const PropertyRecord kCheckBoxProps[] = {
    COMMON_PROPERTIES,
    P(PT_BYTES), P(PT_BOOL), P(PT_BOOL), P(PT_TEXT), P(PT_BOOL), P(PT_PICK), P(PT_PICK), P(PT_COLOUR),  // 8..15
    P(PT_INT_C), P(PT_FONT), P(PT_BOOL), P(PT_DATA_SOURCE), P(PT_DATA_COLUMN),                          // 16..20
};
const PropertyRecord kListBoxProps[] = {
    COMMON_PROPERTIES,
    P(PT_PICK), P(PT_BOOL), P(PT_BOOL), P(PT_INT_COMMON), P(PT_COLOUR), P(PT_INT_C), P(PT_FONT), P(PT_BOOL),  // 8..15
    P(PT_INT_COMMON), P(PT_BYTES_D), P(PT_BYTES_D), P(PT_DATA_SOURCE), P(PT_DATA_COLUMN), P(PT_BOOL),         // 16..21
};
const PropertyRecord kProgressProps[] = {
    COMMON_PROPERTIES,
    P(PT_PICK), P(PT_PICK), P(PT_PICK), P(PT_INT_COMMON), P(PT_INT_COMMON), P(PT_INT_COMMON),  // 8..13
};
#undef COMMON_PROPERTIES

static_assert(sizeof(kWindowProps) / sizeof(PropertyRecord) == 32, "window properties");
static_assert(sizeof(kEditProps) / sizeof(PropertyRecord) == 29, "edit box properties");
static_assert(sizeof(kLabelProps) / sizeof(PropertyRecord) == 29, "label properties");
static_assert(sizeof(kButtonProps) / sizeof(PropertyRecord) == 14, "button properties");
static_assert(sizeof(kCheckBoxProps) / sizeof(PropertyRecord) == 21, "check box properties");
static_assert(sizeof(kListBoxProps) / sizeof(PropertyRecord) == 22, "list box properties");
static_assert(sizeof(kProgressProps) / sizeof(PropertyRecord) == 14, "progress bar properties");

#define N(a) (uint32_t)(sizeof(a) / sizeof(a[0]))
constexpr KindRecord K(const char* name, const char* english, uint32_t flags, uint32_t count,
                       const PropertyRecord* props, KindInterface iface) {
    return KindRecord{name, english, {0, 0, 0}, flags, {0, 0, 0}, count, props, iface, {0, 0}};
}

const KindRecord kKinds[51] = {
    /* 1 */ K("窗口", "window", 0x800000D0, N(kWindowProps), kWindowProps, kind_window_iface),
    {}, {}, {},
    /* 5 */ K("编辑框", "EditBox", 0x80000040, N(kEditProps), kEditProps, kind_edit_iface),
    {}, {}, {}, {},
    /* 10 */ K("标签", "Label", 0x84012040, N(kLabelProps), kLabelProps, kind_label_iface),
    /* 11 */ K("按钮", "Button", 0x80000840, N(kButtonProps), kButtonProps, kind_button_iface),
    /* 12 */ K("选择框", "CheckBox", 0x80001040, N(kCheckBoxProps), kCheckBoxProps, kind_checkbox_iface),
    {}, {},
    /* 15 */ K("列表框", "ListBox", 0x80000040, N(kListBoxProps), kListBoxProps, kind_listbox_iface),
    {}, {}, {},
    /* 19 */ K("进度条", "ProcessBar", 0x84010040, N(kProgressProps), kProgressProps, kind_progress_iface),
    {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
    {}, {}, {},
    /* 48 */ K("对象", "ComObject", 0x80000000, 0, nullptr, nullptr),
    {}, {}, {},
};
#undef N

}  // namespace

extern const void* const lib1_kind_table = kKinds;
extern const uint32_t lib1_kind_count = sizeof(kKinds) / sizeof(kKinds[0]);
