#include "ui/kinds/label/label_block.h"

static const UiBlockField<LabelProps> kLayout[] = {
    ui_Field(&LabelProps::effect), ui_Field(&LabelProps::frameWidth), ui_Field(&LabelProps::border),
    ui_Field(&LabelProps::frame), ui_Field(&LabelProps::textColour), ui_Field(&LabelProps::background),
    ui_Field(&LabelProps::pictureMode), ui_Field(&LabelProps::gradientMode), ui_Field(&LabelProps::gradient),
    ui_Field(&LabelProps::hAlign), ui_Field(&LabelProps::vAlign), ui_Field(&LabelProps::wordWrap),
    ui_Field(&LabelProps::font), ui_Field(&LabelProps::picture), ui_ZField(&LabelProps::caption),
    ui_Field(&LabelProps::dataSource, 2), ui_Field(&LabelProps::dataColumn, 2)};
static const UiTextField<LabelProps> kTexts[] = {
    ui_Text(&LabelProps::caption), ui_FontFace(&LabelProps::font), ui_Text(&LabelProps::dataSource),
    ui_Text(&LabelProps::dataColumn)};
const UiBlockCode<LabelProps> label_Block = {2, kLayout, UI_COUNT(kLayout), ui_Defaults<LabelProps>,
                                             kTexts, UI_COUNT(kTexts)};
