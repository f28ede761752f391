#include "ui/kinds/edit/edit_block.h"

static const UiBlockField<EditProps> kLayout[] = {
    ui_Field(&EditProps::border), ui_Field(&EditProps::textColour), ui_Field(&EditProps::backColour),
    ui_Field(&EditProps::hideSelection), ui_Field(&EditProps::maxLength), ui_Field(&EditProps::multiLine),
    ui_Field(&EditProps::scrollBars), ui_Field(&EditProps::alignment), ui_Field(&EditProps::inputMode),
    ui_Field(&EditProps::passwordChar), ui_Field(&EditProps::caseConversion), ui_Field(&EditProps::spinMode),
    ui_Field(&EditProps::spinMin), ui_Field(&EditProps::spinMax), ui_Field(&EditProps::selStart),
    ui_Field(&EditProps::selLength), ui_Field(&EditProps::font), ui_Field(&EditProps::content),
    ui_Field(&EditProps::dataSource, 2), ui_Field(&EditProps::dataColumn, 2)};
static const UiTextField<EditProps> kTexts[] = {
    ui_FontFace(&EditProps::font), ui_Text(&EditProps::content), ui_Text(&EditProps::dataSource),
    ui_Text(&EditProps::dataColumn)};
const UiBlockCode<EditProps> edit_Block = {2, kLayout, UI_COUNT(kLayout), ui_Defaults<EditProps>,
                                           kTexts, UI_COUNT(kTexts)};
