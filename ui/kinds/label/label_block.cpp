#include "ui/kinds/label/label_block.h"

using P = LabelProps;

static const UiBlockField<LabelProps> kLayout[] = {
    ui_Field(&P::effect), ui_Field(&P::frameWidth), ui_Field(&P::border), ui_Field(&P::frame),
    ui_Field(&P::textColour), ui_Field(&P::background), ui_Field(&P::pictureMode), ui_Field(&P::gradientMode),
    ui_Field(&P::gradient), ui_Field(&P::hAlign), ui_Field(&P::vAlign), ui_Field(&P::wordWrap), ui_Field(&P::font),
    ui_Field(&P::picture), ui_ZField(&P::caption), ui_Field(&P::dataSource, 2), ui_Field(&P::dataColumn, 2)};
static const UiTextField<LabelProps> kTexts[] = {
    ui_Text(&P::caption), ui_FontFace(&P::font), ui_Text(&P::dataSource), ui_Text(&P::dataColumn)};
const UiBlockCode<LabelProps> label_Block = {2, kLayout, UI_COUNT(kLayout), ui_Defaults<LabelProps>,
                                             kTexts, UI_COUNT(kTexts)};
