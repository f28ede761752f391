// The window kind: the top-level frame of every window template (entry 0).
#pragma once
#include "ui/kinds/common/common.h"

struct Picture;

struct WindowProps {
    std::string title;                      // 8
    int32_t border = 2;                     // 9
    uint32_t colour = UI_COLOUR_BUTTON_FACE;  // 10
    std::string picture;                    // 11
    int32_t layout = 1;                     // 12
    std::string sound;                      // 13
    int32_t soundRepeat = 0;                // 14
    int32_t controlBox = 1;                 // 15
    int32_t maxBox = 0;                     // 16
    int32_t minBox = 1;                     // 17
    int32_t position = 1;                   // 18
    int32_t movable = 1;                    // 19
    std::string icon;                       // 20
    int32_t enterMovesFocus = 0;            // 21
    int32_t escCloses = 1;                  // 22
    int32_t f1Help = 0;                     // 23
    std::string helpFile;                   // 24
    int32_t helpContext = 0;                // 25
    int32_t inTaskbar = 1;                  // 26
    int32_t dragAnywhere = 0;               // 27
    int32_t shape = 0;                      // 28
    int32_t topmost = 0;                    // 29
    int32_t flag30 = 0;                     // 30
    std::string className;                  // 31
};

// Property numbers as get and set see them (index - 8).
enum {
    WP_TITLE, WP_BORDER, WP_COLOUR, WP_PICTURE, WP_LAYOUT, WP_SOUND, WP_SOUND_REPEAT,
    WP_CONTROL_BOX, WP_MAX_BOX, WP_MIN_BOX, WP_POSITION, WP_MOVABLE, WP_ICON,
    WP_ENTER_MOVES_FOCUS, WP_ESC_CLOSES, WP_F1_HELP, WP_HELP_FILE, WP_HELP_CONTEXT,
    WP_IN_TASKBAR, WP_DRAG_ANYWHERE, WP_SHAPE, WP_TOPMOST, WP_FLAG30, WP_CLASS_NAME, WP_COUNT
};

struct WindowObject {
    ComponentObject head;
    WindowProps props;
    Picture* picture;          // decoded background picture
    bool pictureTried;
    HICON iconLarge, iconSmall;
    bool ownIcons;             // made from the icon property: destroyed with the window
    HACCEL accelerators;
    HRGN shapeApplied;         // only a mark: the system owns the region once set
    bool firstActivationDone;
    bool inActivation;
    bool closeWithoutAsking;
    bool helpOpened;
    HWND focusedChild;
    int32_t busy;              // nesting of message handling that raises events
    bool ended;                // native window gone; freed once not busy
};

// Kind block: versions 0..6 read, 6 written.
bool window_ReadBlock(const uint8_t* block, int32_t length, WindowProps* out);
void window_WriteBlock(const WindowProps& p, ArchiveWriter* w);
// Frame styles of the border property (style bits, extended bits).
void window_BorderStyles(int32_t border, uint32_t* style, uint32_t* exStyle);
// Caption, system menu and box bits (within 0x00CB0000) the properties ask for.
uint32_t window_CaptionBits(const WindowProps& p);
// Whether the border style makes a resizable frame.
bool window_Resizable(int32_t border);

// Creates the native window (interface 1).
ComponentObject* window_Create(const uint8_t* block, int32_t length, uint32_t extraStyle,
                               HWND owner, int32_t controlId, HMENU menu,
                               int32_t left, int32_t top, int32_t width, int32_t height,
                               uint32_t windowId, uint32_t entryId,
                               uint32_t reserved1, uint32_t reserved2);
int32_t window_Set(ComponentObject* obj, int32_t index, const ValueRecord* value, int32_t reserved);
int32_t window_Get(ComponentObject* obj, int32_t index, ValueRecord* out);
uint8_t* window_WriteKindBlock(ComponentObject* obj, int32_t* length);
// Interface 9: title and help file name converted.
uint8_t* window_ConvertTexts(const uint8_t* block, int32_t length, UiConvertTextFn convert, int32_t* outLength);
// The accelerator table the window translates with (the old one is destroyed).
void window_SetAccelerators(ComponentObject* obj, HACCEL table);
// The keyboard step of the window (pre-translation of a message addressed
// to it or to one of its components). TRUE: the message is consumed.
BOOL window_PreTranslate(FwWnd* wnd, MSG* msg);
// The Tab order: live, visible, enabled tab-stop components by ascending
// tab order value, equal values in creation order (entry indexes).
void window_TabOrder(uint32_t windowId, int32_t* indexes, int32_t* count, int32_t cap);

void* kind_window_iface(int32_t number);
