#include "ui/kinds/progress/progress_block.h"

static const UiBlockField<ProgressProps> kLayout[] = {
    ui_Field(&ProgressProps::border), ui_Field(&ProgressProps::vertical), ui_Field(&ProgressProps::smooth),
    ui_Field(&ProgressProps::minimum), ui_Field(&ProgressProps::maximum), ui_Field(&ProgressProps::position)};
const UiBlockCode<ProgressProps> progress_Block = {1, kLayout, UI_COUNT(kLayout), ui_Defaults<ProgressProps>,
                                                   nullptr, 0};
