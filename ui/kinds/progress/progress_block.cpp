#include "ui/kinds/progress/progress_block.h"

using P = ProgressProps;

static const UiBlockField<ProgressProps> kLayout[] = {
    ui_Field(&P::border), ui_Field(&P::vertical), ui_Field(&P::smooth), ui_Field(&P::minimum),
    ui_Field(&P::maximum), ui_Field(&P::position)};
const UiBlockCode<ProgressProps> progress_Block = {1, kLayout, UI_COUNT(kLayout), ui_Defaults<ProgressProps>,
                                                   nullptr, 0};
