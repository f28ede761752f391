// The window registry and the window loader: the template block read once
// into per-window records, and live windows built from those records.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>
#include <vector>
#include "ui/kind_api.h"
#include "ui/template/template.h"

// One window of the template block, owned by the registry for the life of
// the program. The live state of a component is its record's object and
// cursor slots; nothing else tracks live components.
struct UiWindowRecord {
    uint32_t id;
    uint32_t valueA, valueB;          // kept, no run-time role
    std::string textA, textB;         // kept, no run-time role
    TplTable working;                 // modified in place by loads and property writes
    TplTable saved;                   // copy taken at each load, put back on destroy
    bool hasSaved;
    RtState* app;                     // back pointer to the application state
    bool secondInstance;              // the current load had the second-instance flag
    bool idleDeclined;                // declined event 7 in this idle period
};

// The registry: window ids and their records, in template order. Notification
// 1001 hands out its address.
struct UiRegistry {
    std::vector<uint32_t> ids;
    std::vector<UiWindowRecord*> windows;
};
extern UiRegistry ui_registry;

// Run mode of the program (non-zero enables the hidden owner window and the
// show-by-position rule).
enum { UI_RUN_MODE = 3 };

// Fills g_rt.ui with the window layer's entry points.
void ui_InstallWindowLayer(void);

// ---- registry ----
// Reads the template block (handlers relocated against codeBase) and appends
// its windows to the registry. false when the block is unreadable.
bool ui_LoadTemplates(const void* block, uint32_t size, const void* codeBase);
// Destroys every live window and empties the registry.
void ui_ClearRegistry(void);
UiWindowRecord* ui_FindWindow(uint32_t windowId);
// Index of the entry: component id, or entry 0 for 0 and for the window
// entry's own id. -1 when missing.
int32_t ui_FindEntry(const UiWindowRecord* w, uint32_t componentId);
// The entry whose native window is `h` (kinds with flag 0x200 or 0x200000
// also own their child windows). With walkUp, h's parent is tried once more.
// The window entry itself, like no match, answers -1.
int32_t ui_FindEntryByHandle(const UiWindowRecord* w, HWND h, bool walkUp);
// The kind record of a kind id (notification 1002), null out of range.
const KindRecord* ui_KindRecord(uint32_t kindId);
void* ui_KindFunction(const KindRecord* k, int32_t number);
// The live object of an entry (object slot set and native window alive).
ComponentObject* ui_LiveObject(const UiWindowRecord* w, int32_t index);
// The window's own live object, or null when it is not loaded.
ComponentObject* ui_WindowObject(const UiWindowRecord* w);

// ---- loading ----
// 1 loaded or activated, 0 failed.
int32_t ui_LoadWindowRecord(UiWindowRecord* w, int32_t secondInstance, int32_t modal, HWND owner);
// LoadWindow: load (id, 0, 0, no owner); false when it fails.
bool ui_LoadStartWindow(uint32_t windowId);
// Makes a loaded window visible; for a modal window runs the nested loop
// until it is destroyed.
void ui_ShowAfterLoad(uint32_t windowId, int32_t showFlag);
void ui_ShowByPosition(uint32_t windowId, int32_t showFlag);
// Notification 2000.
void ui_ComponentDestroyed(uint32_t windowId, uint32_t componentId);
// Notification 2005: request {window id, owner object or null, modal flag}.
int32_t ui_LoadRequest(const uint32_t* request);

// ---- what the window kind asks ----
// The modal flag of the load whose window object is being created right
// now (0 outside that call).
int32_t ui_ModalLoadFlag(void);
// For the window kind's close: re-enables every window the modal load of
// this window disabled, each to its previous state, and clears the mark.
void ui_EndModal(uint32_t windowId);
bool ui_IsModal(uint32_t windowId);
bool ui_IsSecondInstance(uint32_t windowId);
// A component of a loaded window, as the window kind works with it.
struct UiEntry {
    ComponentObject* obj;   // its live object
    uint32_t kindFlags;     // its kind record's flags
    KindInterface iface;    // its kind's interface function, or null
    uint32_t parentId;      // its container, 0 for the window itself
    int32_t tabOrder;
};
// The number of entries of a window's table (0 when it is not in the registry).
int32_t ui_EntryCount(uint32_t windowId);
// Entry `index` when it is a live component: not the window entry, not a
// menu entry.
bool ui_GetEntry(uint32_t windowId, int32_t index, UiEntry* out);
// The component whose native window is h or holds it, h's parent tried
// once more; -1 for none and for the window itself.
int32_t ui_EntryOfHandle(uint32_t windowId, HWND h);
// The Tab order: live, visible, enabled tab-stop components by ascending
// tab order value, equal values in creation order (entry indexes). Returns
// how many it wrote, at most cap.
int32_t ui_TabOrder(uint32_t windowId, int32_t* indexes, int32_t cap);
// The components laid out by docking (kind flag 0x100000), in creation order.
std::vector<ComponentObject*> ui_DockedComponents(uint32_t windowId);
// The pointer made for the window or for its component under `over`, or null.
HCURSOR ui_PointerOver(const ComponentObject* window, HWND over);
// Destroys the pointers made for the window's entries.
void ui_ReleasePointers(uint32_t windowId);
// The live window objects of the registry, in its order.
std::vector<ComponentObject*> ui_LoadedWindows(void);

// ---- mouse pointers ----
// Module pointer numbers 0..14 <-> stored codes; other values unchanged.
uint32_t ui_PointerNumberToCode(uint32_t number);
uint32_t ui_PointerCodeToNumber(uint32_t code);
// A pointer made from a stored mouse pointer buffer, or null for none.
HCURSOR ui_MakePointer(const uint8_t* data, uint32_t length);
// Destroys a pointer of a cursor slot (shared system pointers are kept).
void ui_DestroyPointer(HCURSOR c);

// ---- z-order ----
// Places entry `index` after the nearest earlier entry with the same parent
// id, or at the top.
void ui_PlaceInZOrder(const UiWindowRecord* w, int32_t index);
