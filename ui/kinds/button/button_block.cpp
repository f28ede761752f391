#include "ui/kinds/button/button_block.h"

ButtonProps checkbox_Defaults() {
    ButtonProps p;
    p.caption = "选择框";
    p.hAlign = 0;
    return p;
}

static const UiBlockField<ButtonProps> kButtonLayout[] = {
    ui_Field(&ButtonProps::defaultButton), ui_Field(&ButtonProps::hAlign), ui_Field(&ButtonProps::vAlign),
    ui_Field(&ButtonProps::picture), ui_Field(&ButtonProps::font), ui_Field(&ButtonProps::caption)};
static const UiBlockField<ButtonProps> kCheckLayout[] = {
    ui_Field(&ButtonProps::pushLike), ui_Field(&ButtonProps::flat), ui_Field(&ButtonProps::textLeft),
    ui_Field(&ButtonProps::hAlign), ui_Field(&ButtonProps::vAlign), ui_Field(&ButtonProps::textColour),
    ui_Field(&ButtonProps::backColour), ui_Field(&ButtonProps::checked), ui_Field(&ButtonProps::picture),
    ui_Field(&ButtonProps::font), ui_Field(&ButtonProps::caption), ui_Field(&ButtonProps::dataSource, 2),
    ui_Field(&ButtonProps::dataColumn, 2)};
static const UiTextField<ButtonProps> kTexts[] = {
    ui_FontFace(&ButtonProps::font), ui_Text(&ButtonProps::caption), ui_Text(&ButtonProps::dataSource),
    ui_Text(&ButtonProps::dataColumn)};
// The button lists only its first two text fields.
const UiBlockCode<ButtonProps> button_Block = {1, kButtonLayout, UI_COUNT(kButtonLayout),
                                               ui_Defaults<ButtonProps>, kTexts, 2};
const UiBlockCode<ButtonProps> checkbox_Block = {2, kCheckLayout, UI_COUNT(kCheckLayout), checkbox_Defaults,
                                                 kTexts, UI_COUNT(kTexts)};
