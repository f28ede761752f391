// The tool's main window as the module knows it: the window and component
// ids and the slots of the handler table its bindings name. The module's
// code, the window's layout (main_window_layout.cpp) and the tests take
// them from here.
#pragma once
#include <stdint.h>

enum : uint32_t {
    MAIN_WINDOW = 0x52010001u,
    MAIN_WINDOW_ENTRY = 0x06010000u,  // the window's own entry
    ID_LABEL_ROOT = 0x16010002u,      // 标签1
    ID_EDIT_ROOT = 0x16010003u,       // 编辑框1
    ID_BUTTON_CHOOSE = 0x16010004u,   // 按钮1
    ID_LABEL_EXTENSIONS = 0x16010005u,// 标签2
    ID_EDIT_EXTENSIONS = 0x16010006u, // 编辑框2
    ID_CHECK_BACKUP = 0x16010007u,    // 选择框1
    ID_LOG = 0x16010008u,             // 列表框1
    ID_LABEL_LOG = 0x16010009u,       // 标签3
    ID_LABEL_PROGRESS = 0x1601000Au,  // 标签4
    ID_PROGRESS = 0x1601000Bu,        // 进度条1
    ID_STATUS = 0x1601000Cu,          // 标签5
    ID_BUTTON_START = 0x1601000Eu,    // 按钮2
};

// The handler table (vell_handlers, app/image.cpp) in slot order. A binding
// stores the byte offset of its slot: 4 bytes a slot on the 32-bit target.
enum : uint32_t {
    SLOT_CHOOSE_FOLDER, SLOT_TRANSCODE, SLOT_CLOSE_REQUESTED, SLOT_FOLDER_DROPPED, SLOT_LOG_MENU, SLOT_COUNT
};
constexpr uint32_t HandlerOffset(uint32_t slot) { return 4 * slot; }

// Window events the layout binds: the close query (refused while a job
// runs) and a folder dropped on the window (it fills the root box).
enum : int32_t { MAIN_EVENT_CLOSE_QUERY = 12, MAIN_EVENT_FOLDER_DROPPED = 13 };
// The log's event of a context menu asked for (its screen x, y).
enum : int32_t { LOG_EVENT_CONTEXT_MENU = 2 };
