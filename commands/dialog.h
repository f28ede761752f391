// Pieces of the dialog commands that are worth checking on their own.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "runtime/service_table.h"

// The text a value shows as in a message box. Texts are used in place;
// numbers, booleans and dates are formatted into `buf`. Never null: other
// types and a null text give "".
const char* dlg_ValueText(const ArgRecord* value, char (&buf)[64]);

// The owner handle of an InfoBox owner argument, or null (no owner).
HWND dlg_OwnerHandle(const ArgRecord* owner);

// The box type actually shown: task-modal unless system-modal was asked.
UINT dlg_BoxType(uint32_t flags);

// The command's button number for what MessageBoxA returned.
int32_t dlg_ButtonNumber(int pressed);

// Program-wide modality around a dialog: which registry windows were
// disabled, and the active and foreground windows to give back.
struct DlgModality {
    HWND active;
    HWND foreground;
    int disabledCount;
    HWND disabled[64];
};
void dlg_BeginModality(DlgModality* m);
void dlg_EndModality(const DlgModality* m);

// A popup menu of the lines of `items` ('\n' between them; an empty line is
// a separator), numbered from 1; bit n-1 of `greyed` greys line n.
HMENU dlg_BuildMenu(const char* items, uint32_t greyed);
// A filter of the save dialog from "name|pattern|name|pattern": the pieces
// with a zero after each, and one more at the end.
void dlg_FilterText(const char* filter, char* out, size_t size);
