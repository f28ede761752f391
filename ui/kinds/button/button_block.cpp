#include "ui/kinds/button/button_block.h"

using P = ButtonProps;

ButtonProps checkbox_Defaults() {
    ButtonProps p;
    p.caption = "选择框";
    p.hAlign = 0;
    return p;
}

static const UiBlockField<ButtonProps> kButtonLayout[] = {
    ui_Field(&P::defaultButton), ui_Field(&P::hAlign), ui_Field(&P::vAlign), ui_Field(&P::picture),
    ui_Field(&P::font), ui_Field(&P::caption)};
static const UiBlockField<ButtonProps> kCheckLayout[] = {
    ui_Field(&P::pushLike), ui_Field(&P::flat), ui_Field(&P::textLeft), ui_Field(&P::hAlign), ui_Field(&P::vAlign),
    ui_Field(&P::textColour), ui_Field(&P::backColour), ui_Field(&P::checked), ui_Field(&P::picture),
    ui_Field(&P::font), ui_Field(&P::caption), ui_Field(&P::dataSource, 2), ui_Field(&P::dataColumn, 2)};
static const UiTextField<ButtonProps> kTexts[] = {
    ui_FontFace(&P::font), ui_Text(&P::caption), ui_Text(&P::dataSource), ui_Text(&P::dataColumn)};
// The button lists only its first two text fields.
const UiBlockCode<ButtonProps> button_Block = {1, kButtonLayout, UI_COUNT(kButtonLayout),
                                               ui_Defaults<ButtonProps>, kTexts, 2};
const UiBlockCode<ButtonProps> checkbox_Block = {2, kCheckLayout, UI_COUNT(kCheckLayout), checkbox_Defaults,
                                                 kTexts, UI_COUNT(kTexts)};
