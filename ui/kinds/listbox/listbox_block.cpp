#include "ui/kinds/listbox/listbox_block.h"

static const UiBlockField<ListBoxProps> kLayout[] = {
    ui_Field(&ListBoxProps::border), ui_Field(&ListBoxProps::sorted), ui_Field(&ListBoxProps::multiColumn),
    ui_Field(&ListBoxProps::rowSpacing), ui_Field(&ListBoxProps::textColour), ui_Field(&ListBoxProps::backColour),
    ui_Field(&ListBoxProps::multiSelect), ui_Field(&ListBoxProps::current), ui_Field(&ListBoxProps::font),
    ui_Field(&ListBoxProps::itemData), ui_Field(&ListBoxProps::items), ui_Field(&ListBoxProps::dataSource, 2),
    ui_Field(&ListBoxProps::dataColumn, 2), ui_Field(&ListBoxProps::listFlag, 3)};
static const UiTextField<ListBoxProps> kTexts[] = {
    ui_FontFace(&ListBoxProps::font), ui_TextList(&ListBoxProps::items), ui_Text(&ListBoxProps::dataSource),
    ui_Text(&ListBoxProps::dataColumn)};
const UiBlockCode<ListBoxProps> listbox_Block = {3, kLayout, UI_COUNT(kLayout), ui_Defaults<ListBoxProps>,
                                                 kTexts, UI_COUNT(kTexts)};
