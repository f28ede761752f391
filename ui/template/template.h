// Window template block: in-memory model, reader, writer, and the helpers
// that walk and rewrite one component record of a component table.
//
// Nothing here includes <windows.h>: the build-time generator of the tool's
// own template links this code on the build host.
//
// Two views of a window's components exist:
//  - TplTable: the component table exactly as stored (ids, offsets, records),
//    owned bytes. The loader keeps it, relocates handlers in it, writes the
//    object and cursor slots into it, and property access rewrites the tag
//    and mouse pointer in it. Fields are found by walking the record from its
//    start each time (TplFields); offsets inside a record are never stored.
//  - TplComponent / TplMenuItem: a decoded copy of one record, for authoring
//    templates and for tests. Encoding it gives back the same bytes.
#pragma once
#include <stdint.h>
#include <stddef.h>
#include <string>
#include <vector>

// ---- identifiers -----------------------------------------------------------
// Window id: bits 24..27 equal 2.
inline bool tpl_IsWindowId(uint32_t id) { return ((id >> 24) & 0xF) == 2; }
// Entry id: non-zero low 24 bits and non-zero bits 24..27; anything else is
// never found by a lookup.
inline bool tpl_IsEntryId(uint32_t id) { return (id & 0xFFFFFF) != 0 && ((id >> 24) & 0xF) != 0; }
// Menu item id: bits 28..31 equal 2 and bits 24..27 equal 6.
inline bool tpl_IsMenuItemId(uint32_t id) { return (id >> 24) == 0x26; }
// Kind id -> library number (1-based) and record number (1-based).
inline uint32_t tpl_KindLibrary(uint32_t kindId) { return kindId >> 16; }
inline uint32_t tpl_KindRecordNumber(uint32_t kindId) { return kindId & 0xFFFF; }

enum : uint32_t {
    TPL_STATE_VISIBLE = 1,
    TPL_STATE_DISABLED = 2,
    TPL_STATE_TABSTOP = 4,
};

// The fatal message when the block cannot be read to its end.
#define TPL_LOAD_ERROR_TEXT "载入窗口模板数据段出错!"

// ---- decoded records -------------------------------------------------------
struct TplBinding {
    int32_t event;
    uint32_t handler;   // stored offset (0xFFFFFFFF none); an address after relocation (0 none)
};

// Component record (non-menu entry), every field in stored order.
struct TplComponent {
    uint32_t kindId = 0;
    uint32_t handlerSource = 0;
    uint32_t reserved3[4] = {0, 0, 0, 0};
    std::string name;             // zero-terminated in the data
    std::string secondName;
    uint32_t objectSlot = 0;
    int32_t left = 0, top = 0, width = 0, height = 0;
    uint32_t cursorSlot = 0;
    uint32_t parentId = 0;
    std::vector<uint32_t> children;
    std::string mousePointer = std::string(4, '\0');  // byte buffer; normally a 4-byte code
    std::string tag;              // zero-terminated in the data
    uint32_t reserved17 = 0;
    uint32_t stateFlags = 0;
    int32_t tabOrder = 0;
    std::vector<TplBinding> bindings;
    uint32_t reserved22[5] = {0, 0, 0, 0, 0};
    std::string kindBlock;        // the rest of the record
};

// Menu item record (entry whose id is a menu item id).
struct TplMenuItem {
    uint32_t kindId = 0;
    uint32_t handlerSource = 0;
    uint32_t reserved3[4] = {0, 0, 0, 0};
    std::string name;
    std::string secondName;
    uint32_t shortcut = 0;
    uint32_t unused = 0;
    uint32_t flags = 0;           // bit 0 hidden, 1 disabled, 2 checked, 3 rebuilt mark
    std::string caption;
    uint32_t handler = 0xFFFFFFFF;
};

// Encode / decode one record (the S bytes, without the leading size DWORD).
// Decoding fails (false) when any field runs past `size`.
std::string tpl_EncodeComponent(const TplComponent& c);
bool tpl_DecodeComponent(const uint8_t* rec, uint32_t size, TplComponent* out);
std::string tpl_EncodeMenuItem(const TplMenuItem& m);
bool tpl_DecodeMenuItem(const uint8_t* rec, uint32_t size, TplMenuItem* out);

// ---- field walk ------------------------------------------------------------
// Byte offsets (from the record start) of each field of a component record,
// found by walking from the start. Valid only when tpl_WalkComponent returned
// true; recompute after any rewrite.
struct TplFields {
    uint32_t kindId;          // 0
    uint32_t handlerSource;   // 4
    uint32_t name;            // 24
    uint32_t secondName;
    uint32_t objectSlot;
    uint32_t rect;            // left, top, width, height
    uint32_t cursorSlot;
    uint32_t parentId;
    uint32_t childCount;      // count DWORD, ids follow
    uint32_t mousePointer;    // count DWORD, bytes follow
    uint32_t mousePointerSize;
    uint32_t tag;
    uint32_t reserved17;
    uint32_t stateFlags;
    uint32_t tabOrder;
    uint32_t bindingCount;    // count DWORD, pairs follow
    uint32_t reserved22;
    uint32_t kindBlock;
    uint32_t kindBlockSize;
};
bool tpl_WalkComponent(const uint8_t* rec, uint32_t size, TplFields* f);

// Menu item field offsets.
struct TplMenuFields {
    uint32_t name, secondName, shortcut, unused, flags, caption, handler;
};
bool tpl_WalkMenuItem(const uint8_t* rec, uint32_t size, TplMenuFields* f);

// ---- component table -------------------------------------------------------
struct TplTable {
    uint32_t count = 0;        // N, the window entry included
    std::string bytes;         // N ids, N offsets (from byte 8N), then {S, record} each
};

// Build a table from records in table order (entry 0 first).
struct TplEntry {
    uint32_t id;
    std::string record;        // S bytes
};
TplTable tpl_BuildTable(const std::vector<TplEntry>& entries);

// Checks that the table's ids, offsets and every record size lie inside the
// bytes and that every component record walks to its end.
bool tpl_CheckTable(const TplTable& t);

uint32_t tpl_EntryId(const TplTable& t, uint32_t index);
// Index of the entry with this id, or -1 (also for ids failing tpl_IsEntryId).
int32_t tpl_FindEntry(const TplTable& t, uint32_t id);
// The record of entry `index` (after its size DWORD); null if out of range.
const uint8_t* tpl_Record(const TplTable& t, uint32_t index, uint32_t* size);
uint8_t* tpl_RecordMutable(TplTable* t, uint32_t index, uint32_t* size);
bool tpl_IsMenuEntry(const TplTable& t, uint32_t index);

// Readers of single fields of a component entry (walk from the start each
// time). They return false / zero / empty when the entry is missing, a menu
// item or malformed.
bool tpl_Fields(const TplTable& t, uint32_t index, TplFields* f);
uint32_t tpl_GetKindId(const TplTable& t, uint32_t index);
uint32_t tpl_GetHandlerSource(const TplTable& t, uint32_t index);
const char* tpl_GetName(const TplTable& t, uint32_t index);   // points into the table; "" if none
uint32_t tpl_GetObjectSlot(const TplTable& t, uint32_t index);
bool tpl_GetRect(const TplTable& t, uint32_t index, int32_t rect[4]);
uint32_t tpl_GetCursorSlot(const TplTable& t, uint32_t index);
uint32_t tpl_GetParent(const TplTable& t, uint32_t index);
std::vector<uint32_t> tpl_GetChildren(const TplTable& t, uint32_t index);
// Mouse pointer buffer: pointer into the table, *n its size.
const uint8_t* tpl_GetMousePointer(const TplTable& t, uint32_t index, uint32_t* n);
const char* tpl_GetTag(const TplTable& t, uint32_t index);    // "" if none
uint32_t tpl_GetStateFlags(const TplTable& t, uint32_t index);
int32_t tpl_GetTabOrder(const TplTable& t, uint32_t index);
std::vector<TplBinding> tpl_GetBindings(const TplTable& t, uint32_t index);
// Handler of `event` in the entry's own bindings; false if not bound.
bool tpl_FindBinding(const TplTable& t, uint32_t index, int32_t event, uint32_t* handler);
const uint8_t* tpl_GetKindBlock(const TplTable& t, uint32_t index, uint32_t* n);

// In-place rewrites of fixed-size fields (record length unchanged).
bool tpl_SetObjectSlot(TplTable* t, uint32_t index, uint32_t v);
bool tpl_SetRect(TplTable* t, uint32_t index, const int32_t rect[4]);
bool tpl_SetRectField(TplTable* t, uint32_t index, int which /*0..3*/, int32_t v);
bool tpl_SetCursorSlot(TplTable* t, uint32_t index, uint32_t v);
bool tpl_SetStateFlags(TplTable* t, uint32_t index, uint32_t v);
bool tpl_SetTabOrder(TplTable* t, uint32_t index, int32_t v);

// Rewrites that change the record length: the record's size DWORD and the
// offsets of all later entries are adjusted.
bool tpl_SetTag(TplTable* t, uint32_t index, const char* tag);             // null = empty
bool tpl_SetMousePointer(TplTable* t, uint32_t index, const void* data, uint32_t n);
bool tpl_SetKindBlock(TplTable* t, uint32_t index, const void* data, uint32_t n);
// Replace a whole record (any entry kind).
bool tpl_ReplaceRecord(TplTable* t, uint32_t index, const void* rec, uint32_t size);

// Handler relocation as the loader does it: every stored offset of the
// table's bindings and menu items becomes codeBase + offset, -1 becomes 0.
bool tpl_RelocateHandlers(TplTable* t, uintptr_t codeBase);

// ---- whole block -----------------------------------------------------------
struct TplWindow {
    uint32_t id = 0;
    uint32_t slot = 0;          // stored window table slot (meaningless, kept)
    uint32_t valueA = 0, valueB = 0;
    std::string textA, textB;
    TplTable table;
};

struct TplBlock {
    std::vector<TplWindow> windows;
};

// Reads the whole block. false when any count runs past the data, the window
// table size is not a multiple of 8, the component count does not fit its
// table, or a record does not walk to its end. size 0 reads as no windows.
bool tpl_ReadBlock(const void* data, size_t size, TplBlock* out);
// Emits a block that tpl_ReadBlock reads back unchanged.
std::string tpl_WriteBlock(const TplBlock& b);
