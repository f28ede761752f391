// The list box commands of library 1. They work on the native control only:
// the stored `items`, `item data` and `current selection` stay as they are.
#include <string.h>
#include "commands/library.h"
#include "ui/kind_api.h"
#include "ui/kinds/listbox/listbox.h"

namespace {

// The list box named by argument 1 (window id low, component id high). A
// window or component that is not loaded ends in the runtime's report; an
// object of another kind is not touched.
HWND listOf(int32_t count, ArgRecord* args, bool writing = true) {
    const ArgRecord* a = lib_Arg(count, args, 0);
    if (!a) return nullptr;
    ComponentObject* obj = (ComponentObject*)(uintptr_t)lib_Notify(NOTE_OBJECT_CHECKED, a->low, a->high);
    if (!obj || obj->kindId != KIND_LISTBOX || !obj->fw.hwnd || !IsWindow(obj->fw.hwnd)) return nullptr;
    // The log is written once per step of a job: drawing is paced.
    if (writing) listbox_PaceWrite(obj);
    return obj->fw.hwnd;
}

}  // namespace

extern "C" void cmd_ListBoxInsertItem(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetInt(result, -1);
    HWND list = listOf(count, args);
    const ArgRecord* pos = lib_Arg(count, args, 1);
    if (!list || !pos) return;
    int32_t position = lib_ToInt(pos);
    if (position < 0) return;
    const char* text = lib_ArgText(lib_Arg(count, args, 2));
    const ArgRecord* data = lib_Arg(count, args, 3);
    uint32_t itemData = data ? (uint32_t)lib_ToInt(data) : 0;
    // LB_INSERTSTRING places the text where asked even in a sorted list.
    LRESULT at = SendMessageA(list, LB_INSERTSTRING, (WPARAM)position, (LPARAM)(text ? text : ""));
    if (at < 0) return;
    SendMessageA(list, LB_SETITEMDATA, (WPARAM)at, (LPARAM)itemData);
    // A batch run's log is read as it grows, oldest line first.
    lib_Notify(NOTE_BATCH_LINE, LINE_TO_OUTPUT, (uint32_t)(uintptr_t)text);
    lib_SetInt(result, (int32_t)at);
}

extern "C" void cmd_ListBoxClear(ArgRecord*, int32_t count, ArgRecord* args) {
    HWND list = listOf(count, args);
    if (list) SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

extern "C" void cmd_ListBoxItemCount(ArgRecord* result, int32_t count, ArgRecord* args) {
    HWND list = listOf(count, args, false);
    LRESULT n = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    lib_SetInt(result, n > 0 ? (int32_t)n : 0);
}

// The text of the item at a 0-based position; empty for one out of range.
extern "C" void cmd_ListBoxItemText(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetText(result, nullptr);
    HWND list = listOf(count, args, false);
    const ArgRecord* pos = lib_Arg(count, args, 1);
    if (!list || !pos) return;
    int32_t at = lib_ToInt(pos);
    LRESULT length = at >= 0 ? SendMessageA(list, LB_GETTEXTLEN, (WPARAM)at, 0) : LB_ERR;
    if (length <= 0) return;
    char* text = (char*)lib_Allocate((int32_t)length + 1);
    LRESULT got = SendMessageA(list, LB_GETTEXT, (WPARAM)at, (LPARAM)text);
    if (got <= 0 || got > length) {
        lib_Free(text);
        return;
    }
    text[got] = 0;
    lib_SetText(result, text);
}
