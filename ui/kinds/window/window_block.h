// The window kind's property record and kind block (versions 0..6 read,
// 6 written).
#pragma once
#include "ui/kinds/common/block.h"

// Property index in each comment.
struct WindowProps {
    std::string title;                                          // 8
    int32_t border = 2;                                         // 9
    uint32_t colour = UI_COLOUR_BUTTON_FACE;                    // 10
    std::string picture;                                        // 11
    int32_t layout = 1;                                         // 12
    std::string sound;                                          // 13
    int32_t soundRepeat = 0, controlBox = 1, maxBox = 0, minBox = 1, position = 1, movable = 1;  // 14..19
    std::string icon;                                           // 20
    int32_t enterMovesFocus = 0, escCloses = 1, f1Help = 0;     // 21..23
    std::string helpFile;                                       // 24
    int32_t helpContext = 0, inTaskbar = 1, dragAnywhere = 0, shape = 0, topmost = 0, flag30 = 0;  // 25..30
    std::string className;                                      // 31
};

// Property numbers as get and set see them (index - 8).
enum {
    WP_TITLE, WP_BORDER, WP_COLOUR, WP_PICTURE, WP_LAYOUT, WP_SOUND, WP_SOUND_REPEAT,
    WP_CONTROL_BOX, WP_MAX_BOX, WP_MIN_BOX, WP_POSITION, WP_MOVABLE, WP_ICON,
    WP_ENTER_MOVES_FOCUS, WP_ESC_CLOSES, WP_F1_HELP, WP_HELP_FILE, WP_HELP_CONTEXT,
    WP_IN_TASKBAR, WP_DRAG_ANYWHERE, WP_SHAPE, WP_TOPMOST, WP_FLAG30, WP_CLASS_NAME, WP_COUNT
};

// Texts: class name, title, help file name.
extern const UiBlockCode<WindowProps> window_Block;
inline bool window_ReadBlock(const uint8_t* block, int32_t length, WindowProps* out) {
    return ui_ReadBlock(window_Block, block, length, out);
}
inline void window_WriteBlock(const WindowProps& p, ArchiveWriter* w, uint32_t version = 6) {
    ui_WriteBlock(window_Block, p, w, version);
}
