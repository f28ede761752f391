#include "ui/kinds/window/window_block.h"

using P = WindowProps;

static const UiBlockField<WindowProps> kLayout[] = {
    ui_Field(&P::border), ui_Field(&P::layout), ui_Field(&P::colour), ui_Field(&P::maxBox), ui_Field(&P::minBox),
    ui_Field(&P::controlBox), ui_Field(&P::position), ui_Field(&P::movable), ui_Field(&P::soundRepeat),
    ui_Field(&P::enterMovesFocus), ui_Field(&P::escCloses), ui_Field(&P::f1Help), ui_Field(&P::helpContext),
    ui_Field(&P::inTaskbar, 2), ui_Field(&P::dragAnywhere, 3), ui_Field(&P::shape, 3), ui_Field(&P::topmost, 4),
    ui_Field(&P::flag30, 5), ui_ZField(&P::className, 6), ui_Field(&P::picture), ui_Field(&P::icon),
    ui_Field(&P::sound), ui_ZField(&P::title), ui_ZField(&P::helpFile)};
static const UiTextField<WindowProps> kTexts[] = {
    ui_Text(&P::className), ui_Text(&P::title), ui_Text(&P::helpFile)};
const UiBlockCode<WindowProps> window_Block = {6, kLayout, UI_COUNT(kLayout), ui_Defaults<WindowProps>,
                                               kTexts, UI_COUNT(kTexts)};
