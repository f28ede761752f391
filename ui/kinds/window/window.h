// The window kind: the top-level frame of every window template (entry 0).
#pragma once
#include "ui/kinds/common/common.h"
#include "ui/kinds/window/sound.h"
#include "ui/kinds/window/window_block.h"

struct Picture;

struct WindowObject {
    ComponentObject head;
    UiWindowMarks marks;       // the loader's marks of the load (as in UiWindowObject)
    WindowProps props;
    Picture* picture;          // decoded background picture
    bool pictureTried;
    HICON iconLarge, iconSmall;
    bool ownIcons;             // made from the icon property: destroyed with the window
    HACCEL accelerators;
    WindowSound sound;
    HRGN shapeApplied;         // only a mark: the system owns the region once set
    bool firstActivationDone;
    bool inActivation;
    bool closeWithoutAsking;
    bool helpOpened;
    HWND focusedChild;
    // Last client origin and size reported: the first show repeats the
    // move and size messages of the creation, which are no change.
    LPARAM reportedMove, reportedSize;
    bool moveReported, sizeReported;
    int32_t busy;              // nesting of message handling that raises events
    bool ended;                // native window gone; freed once not busy
};

// Frame styles of the border property (style bits, extended bits).
void window_BorderStyles(int32_t border, uint32_t* style, uint32_t* exStyle);
// Caption, system menu and box bits (within 0x00CB0000) the properties ask for.
uint32_t window_CaptionBits(const WindowProps& p);
// Whether the border style makes a resizable frame.
bool window_Resizable(int32_t border);

// Creates the native window (interface 1).
KindCreate window_Create;
KindSet window_Set;
KindGet window_Get;
KindWriteBlock window_WriteKindBlock;
// The accelerator table the window translates with (the old one is destroyed).
void window_SetAccelerators(ComponentObject* obj, HACCEL table);
// The keyboard step of the window (pre-translation of a message addressed
// to it or to one of its components). TRUE: the message is consumed.
BOOL window_PreTranslate(FwWnd* wnd, MSG* msg);

void* kind_window_iface(int32_t number);
