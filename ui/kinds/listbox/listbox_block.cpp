#include "ui/kinds/listbox/listbox_block.h"

using P = ListBoxProps;

static const UiBlockField<ListBoxProps> kLayout[] = {
    ui_Field(&P::border), ui_Field(&P::sorted), ui_Field(&P::multiColumn), ui_Field(&P::rowSpacing),
    ui_Field(&P::textColour), ui_Field(&P::backColour), ui_Field(&P::multiSelect), ui_Field(&P::current),
    ui_Field(&P::font), ui_Field(&P::itemData), ui_Field(&P::items), ui_Field(&P::dataSource, 2),
    ui_Field(&P::dataColumn, 2), ui_Field(&P::listFlag, 3)};
static const UiTextField<ListBoxProps> kTexts[] = {
    ui_FontFace(&P::font), ui_TextList(&P::items), ui_Text(&P::dataSource), ui_Text(&P::dataColumn)};
const UiBlockCode<ListBoxProps> listbox_Block = {3, kLayout, UI_COUNT(kLayout), ui_Defaults<ListBoxProps>,
                                                 kTexts, UI_COUNT(kTexts)};
