#include "ui/kinds/window/window_block.h"

static const UiBlockField<WindowProps> kLayout[] = {
    ui_Field(&WindowProps::border), ui_Field(&WindowProps::layout), ui_Field(&WindowProps::colour),
    ui_Field(&WindowProps::maxBox), ui_Field(&WindowProps::minBox), ui_Field(&WindowProps::controlBox),
    ui_Field(&WindowProps::position), ui_Field(&WindowProps::movable), ui_Field(&WindowProps::soundRepeat),
    ui_Field(&WindowProps::enterMovesFocus), ui_Field(&WindowProps::escCloses), ui_Field(&WindowProps::f1Help),
    ui_Field(&WindowProps::helpContext), ui_Field(&WindowProps::inTaskbar, 2),
    ui_Field(&WindowProps::dragAnywhere, 3), ui_Field(&WindowProps::shape, 3), ui_Field(&WindowProps::topmost, 4),
    ui_Field(&WindowProps::flag30, 5), ui_ZField(&WindowProps::className, 6), ui_Field(&WindowProps::picture),
    ui_Field(&WindowProps::icon), ui_Field(&WindowProps::sound), ui_ZField(&WindowProps::title),
    ui_ZField(&WindowProps::helpFile)};
static const UiTextField<WindowProps> kTexts[] = {
    ui_Text(&WindowProps::className), ui_Text(&WindowProps::title), ui_Text(&WindowProps::helpFile)};
const UiBlockCode<WindowProps> window_Block = {6, kLayout, UI_COUNT(kLayout), ui_Defaults<WindowProps>,
                                               kTexts, UI_COUNT(kTexts)};
