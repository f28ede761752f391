#include "ui/kinds/edit/edit_block.h"

using P = EditProps;

static const UiBlockField<EditProps> kLayout[] = {
    ui_Field(&P::border), ui_Field(&P::textColour), ui_Field(&P::backColour), ui_Field(&P::hideSelection),
    ui_Field(&P::maxLength), ui_Field(&P::multiLine), ui_Field(&P::scrollBars), ui_Field(&P::alignment),
    ui_Field(&P::inputMode), ui_Field(&P::passwordChar), ui_Field(&P::caseConversion), ui_Field(&P::spinMode),
    ui_Field(&P::spinMin), ui_Field(&P::spinMax), ui_Field(&P::selStart), ui_Field(&P::selLength),
    ui_Field(&P::font), ui_Field(&P::content), ui_Field(&P::dataSource, 2), ui_Field(&P::dataColumn, 2)};
static const UiTextField<EditProps> kTexts[] = {
    ui_FontFace(&P::font), ui_Text(&P::content), ui_Text(&P::dataSource), ui_Text(&P::dataColumn)};
const UiBlockCode<EditProps> edit_Block = {2, kLayout, UI_COUNT(kLayout), ui_Defaults<EditProps>,
                                           kTexts, UI_COUNT(kTexts)};
