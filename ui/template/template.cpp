// Window template reader, writer and component-table field access.
#include "ui/template/template.h"
#include "ui/template/archive.h"

namespace {

inline void wr32(uint8_t* p, uint32_t v) { memcpy(p, &v, 4); }

// Header of every entry record: kind id, handler source, 4 reserved DWORDs.
const uint32_t kHeader = 24;

}  // namespace

// ---- field walk ------------------------------------------------------------

bool tpl_WalkComponent(const uint8_t* rec, uint32_t size, TplFields* f) {
    ArchiveReader r = ar_Open(rec, size);
    auto at = [&]() { return (uint32_t)(r.p - rec); };
    f->kindId = 0;
    f->handlerSource = 4;
    ar_Skip(&r, kHeader);
    f->name = at();
    ar_ZText(&r);
    f->secondName = at();
    ar_ZText(&r);
    f->objectSlot = at();
    ar_Skip(&r, 4);
    f->rect = at();
    ar_Skip(&r, 16);
    f->cursorSlot = at();
    ar_Skip(&r, 4);
    f->parentId = at();
    ar_Skip(&r, 4);
    f->childCount = at();
    uint32_t children = ar_Dword(&r);
    if (r.failed || children > ar_Left(&r) / 4) return false;
    ar_Skip(&r, children * 4);
    f->mousePointer = at();
    ar_Counted(&r, &f->mousePointerSize);
    f->tag = at();
    ar_ZText(&r);
    f->reserved17 = at();
    ar_Skip(&r, 4);
    f->stateFlags = at();
    ar_Skip(&r, 4);
    f->tabOrder = at();
    ar_Skip(&r, 4);
    f->bindingCount = at();
    uint32_t bindings = ar_Dword(&r);
    if (r.failed || bindings > ar_Left(&r) / 8) return false;
    ar_Skip(&r, bindings * 8);
    f->reserved22 = at();
    ar_Skip(&r, 20);
    if (r.failed) return false;
    f->kindBlock = at();
    f->kindBlockSize = size - f->kindBlock;
    return true;
}

bool tpl_WalkMenuItem(const uint8_t* rec, uint32_t size, TplMenuFields* f) {
    ArchiveReader r = ar_Open(rec, size);
    auto at = [&]() { return (uint32_t)(r.p - rec); };
    ar_Skip(&r, kHeader);
    f->name = at();
    ar_ZText(&r);
    f->secondName = at();
    ar_ZText(&r);
    f->shortcut = at();
    ar_Skip(&r, 4);
    f->unused = at();
    ar_Skip(&r, 4);
    f->flags = at();
    ar_Skip(&r, 4);
    f->caption = at();
    ar_ZText(&r);
    f->handler = at();
    ar_Skip(&r, 4);
    return !r.failed;
}

// ---- encode / decode ---------------------------------------------------------

static void putHeader(ArchiveWriter* w, uint32_t kind, uint32_t source, const uint32_t reserved[4]) {
    aw_Dword(w, kind);
    aw_Dword(w, source);
    for (int i = 0; i < 4; i++) aw_Dword(w, reserved[i]);
}

std::string tpl_EncodeComponent(const TplComponent& c) {
    ArchiveWriter w;
    putHeader(&w, c.kindId, c.handlerSource, c.reserved3);
    aw_ZText(&w, c.name.c_str());
    aw_ZText(&w, c.secondName.c_str());
    aw_Dword(&w, c.objectSlot);
    aw_Dword(&w, (uint32_t)c.left);
    aw_Dword(&w, (uint32_t)c.top);
    aw_Dword(&w, (uint32_t)c.width);
    aw_Dword(&w, (uint32_t)c.height);
    aw_Dword(&w, c.cursorSlot);
    aw_Dword(&w, c.parentId);
    aw_Dword(&w, (uint32_t)c.children.size());
    for (uint32_t id : c.children) aw_Dword(&w, id);
    aw_Counted(&w, c.mousePointer.data(), (uint32_t)c.mousePointer.size());
    aw_ZText(&w, c.tag.c_str());
    aw_Dword(&w, c.reserved17);
    aw_Dword(&w, c.stateFlags);
    aw_Dword(&w, (uint32_t)c.tabOrder);
    aw_Dword(&w, (uint32_t)c.bindings.size());
    for (const TplBinding& b : c.bindings) {
        aw_Dword(&w, (uint32_t)b.event);
        aw_Dword(&w, b.handler);
    }
    for (int i = 0; i < 5; i++) aw_Dword(&w, c.reserved22[i]);
    w.out.append(c.kindBlock);
    return w.out;
}

bool tpl_DecodeComponent(const uint8_t* rec, uint32_t size, TplComponent* out) {
    TplFields f;
    if (!rec || !tpl_WalkComponent(rec, size, &f)) return false;
    TplComponent c;
    c.kindId = rd32(rec);
    c.handlerSource = rd32(rec + 4);
    for (int i = 0; i < 4; i++) c.reserved3[i] = rd32(rec + 8 + 4 * i);
    c.name = (const char*)rec + f.name;
    c.secondName = (const char*)rec + f.secondName;
    c.objectSlot = rd32(rec + f.objectSlot);
    c.left = (int32_t)rd32(rec + f.rect);
    c.top = (int32_t)rd32(rec + f.rect + 4);
    c.width = (int32_t)rd32(rec + f.rect + 8);
    c.height = (int32_t)rd32(rec + f.rect + 12);
    c.cursorSlot = rd32(rec + f.cursorSlot);
    c.parentId = rd32(rec + f.parentId);
    uint32_t nc = rd32(rec + f.childCount);
    c.children.resize(nc);
    for (uint32_t i = 0; i < nc; i++) c.children[i] = rd32(rec + f.childCount + 4 + 4 * i);
    c.mousePointer.assign((const char*)rec + f.mousePointer + 4, f.mousePointerSize);
    c.tag = (const char*)rec + f.tag;
    c.reserved17 = rd32(rec + f.reserved17);
    c.stateFlags = rd32(rec + f.stateFlags);
    c.tabOrder = (int32_t)rd32(rec + f.tabOrder);
    uint32_t nb = rd32(rec + f.bindingCount);
    c.bindings.resize(nb);
    for (uint32_t i = 0; i < nb; i++) {
        c.bindings[i].event = (int32_t)rd32(rec + f.bindingCount + 4 + 8 * i);
        c.bindings[i].handler = rd32(rec + f.bindingCount + 8 + 8 * i);
    }
    for (int i = 0; i < 5; i++) c.reserved22[i] = rd32(rec + f.reserved22 + 4 * i);
    c.kindBlock.assign((const char*)rec + f.kindBlock, f.kindBlockSize);
    *out = std::move(c);
    return true;
}

std::string tpl_EncodeMenuItem(const TplMenuItem& m) {
    ArchiveWriter w;
    putHeader(&w, m.kindId, m.handlerSource, m.reserved3);
    aw_ZText(&w, m.name.c_str());
    aw_ZText(&w, m.secondName.c_str());
    aw_Dword(&w, m.shortcut);
    aw_Dword(&w, m.unused);
    aw_Dword(&w, m.flags);
    aw_ZText(&w, m.caption.c_str());
    aw_Dword(&w, m.handler);
    return w.out;
}

bool tpl_DecodeMenuItem(const uint8_t* rec, uint32_t size, TplMenuItem* out) {
    TplMenuFields f;
    if (!rec || !tpl_WalkMenuItem(rec, size, &f)) return false;
    TplMenuItem m;
    m.kindId = rd32(rec);
    m.handlerSource = rd32(rec + 4);
    for (int i = 0; i < 4; i++) m.reserved3[i] = rd32(rec + 8 + 4 * i);
    m.name = (const char*)rec + f.name;
    m.secondName = (const char*)rec + f.secondName;
    m.shortcut = rd32(rec + f.shortcut);
    m.unused = rd32(rec + f.unused);
    m.flags = rd32(rec + f.flags);
    m.caption = (const char*)rec + f.caption;
    m.handler = rd32(rec + f.handler);
    *out = std::move(m);
    return true;
}

// ---- component table ---------------------------------------------------------

TplTable tpl_BuildTable(const std::vector<TplEntry>& entries) {
    TplTable t;
    uint32_t n = (uint32_t)entries.size();
    t.count = n;
    ArchiveWriter w;
    for (const TplEntry& e : entries) aw_Dword(&w, e.id);
    uint32_t offset = 0;
    for (const TplEntry& e : entries) {
        aw_Dword(&w, offset);
        offset += 4 + (uint32_t)e.record.size();
    }
    for (const TplEntry& e : entries) aw_Counted(&w, e.record.data(), (uint32_t)e.record.size());
    t.bytes = std::move(w.out);
    return t;
}

uint32_t tpl_EntryId(const TplTable& t, uint32_t index) {
    if (index >= t.count || t.bytes.size() < 8ull * t.count) return 0;
    return rd32((const uint8_t*)t.bytes.data() + 4 * index);
}

// Locates entry `index`: returns the byte position of its size DWORD, or -1.
static int64_t entryPos(const TplTable& t, uint32_t index) {
    size_t total = t.bytes.size();
    if (index >= t.count || total / 8 < t.count) return -1;
    const uint8_t* b = (const uint8_t*)t.bytes.data();
    uint64_t pos = 8ull * t.count + rd32(b + 4ull * t.count + 4ull * index);
    if (pos + 4 > total) return -1;
    uint32_t s = rd32(b + pos);
    if (s > total - pos - 4) return -1;
    return (int64_t)pos;
}

int32_t tpl_FindEntry(const TplTable& t, uint32_t id) {
    if (!tpl_IsEntryId(id)) return -1;
    for (uint32_t i = 0; i < t.count; i++)
        if (tpl_EntryId(t, i) == id) return (int32_t)i;
    return -1;
}

const uint8_t* tpl_Record(const TplTable& t, uint32_t index, uint32_t* size) {
    int64_t pos = entryPos(t, index);
    if (pos < 0) { if (size) *size = 0; return nullptr; }
    const uint8_t* b = (const uint8_t*)t.bytes.data() + pos;
    if (size) *size = rd32(b);
    return b + 4;
}

uint8_t* tpl_RecordMutable(TplTable* t, uint32_t index, uint32_t* size) {
    int64_t pos = entryPos(*t, index);
    if (pos < 0) { if (size) *size = 0; return nullptr; }
    uint8_t* b = (uint8_t*)&t->bytes[0] + pos;
    if (size) *size = rd32(b);
    return b + 4;
}

bool tpl_IsMenuEntry(const TplTable& t, uint32_t index) {
    return index < t.count && tpl_IsMenuItemId(tpl_EntryId(t, index));
}

bool tpl_CheckTable(const TplTable& t) {
    if (t.bytes.size() / 8 < t.count) return false;
    for (uint32_t i = 0; i < t.count; i++) {
        uint32_t size;
        const uint8_t* rec = tpl_Record(t, i, &size);
        if (!rec) return false;
        if (tpl_IsMenuEntry(t, i)) {
            TplMenuFields mf;
            if (!tpl_WalkMenuItem(rec, size, &mf)) return false;
        } else {
            TplFields f;
            if (!tpl_WalkComponent(rec, size, &f)) return false;
        }
    }
    return true;
}

bool tpl_Fields(const TplTable& t, uint32_t index, TplFields* f) {
    if (tpl_IsMenuEntry(t, index)) return false;
    uint32_t size;
    const uint8_t* rec = tpl_Record(t, index, &size);
    return rec && tpl_WalkComponent(rec, size, f);
}

// The record and its fields of a component entry, or null.
static const uint8_t* fieldsOf(const TplTable& t, uint32_t index, TplFields* f) {
    if (!tpl_Fields(t, index, f)) return nullptr;
    return tpl_Record(t, index, nullptr);
}

uint32_t tpl_GetKindId(const TplTable& t, uint32_t index) {
    uint32_t size;
    const uint8_t* rec = tpl_Record(t, index, &size);
    return rec && size >= 4 ? rd32(rec) : 0;
}
uint32_t tpl_GetHandlerSource(const TplTable& t, uint32_t index) {
    uint32_t size;
    const uint8_t* rec = tpl_Record(t, index, &size);
    return rec && size >= 8 ? rd32(rec + 4) : 0;
}
const char* tpl_GetName(const TplTable& t, uint32_t index) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    return rec ? (const char*)rec + f.name : "";
}
uint32_t tpl_GetObjectSlot(const TplTable& t, uint32_t index) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    return rec ? rd32(rec + f.objectSlot) : 0;
}
bool tpl_GetRect(const TplTable& t, uint32_t index, int32_t rect[4]) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    if (!rec) return false;
    for (int i = 0; i < 4; i++) rect[i] = (int32_t)rd32(rec + f.rect + 4 * i);
    return true;
}
uint32_t tpl_GetCursorSlot(const TplTable& t, uint32_t index) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    return rec ? rd32(rec + f.cursorSlot) : 0;
}
uint32_t tpl_GetParent(const TplTable& t, uint32_t index) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    return rec ? rd32(rec + f.parentId) : 0;
}
std::vector<uint32_t> tpl_GetChildren(const TplTable& t, uint32_t index) {
    std::vector<uint32_t> v;
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    if (!rec) return v;
    uint32_t n = rd32(rec + f.childCount);
    for (uint32_t i = 0; i < n; i++) v.push_back(rd32(rec + f.childCount + 4 + 4 * i));
    return v;
}
const uint8_t* tpl_GetMousePointer(const TplTable& t, uint32_t index, uint32_t* n) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    *n = rec ? f.mousePointerSize : 0;
    return rec ? rec + f.mousePointer + 4 : nullptr;
}
const char* tpl_GetTag(const TplTable& t, uint32_t index) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    return rec ? (const char*)rec + f.tag : "";
}
uint32_t tpl_GetStateFlags(const TplTable& t, uint32_t index) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    return rec ? rd32(rec + f.stateFlags) : 0;
}
int32_t tpl_GetTabOrder(const TplTable& t, uint32_t index) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    return rec ? (int32_t)rd32(rec + f.tabOrder) : 0;
}
std::vector<TplBinding> tpl_GetBindings(const TplTable& t, uint32_t index) {
    std::vector<TplBinding> v;
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    if (!rec) return v;
    uint32_t n = rd32(rec + f.bindingCount);
    for (uint32_t i = 0; i < n; i++) {
        const uint8_t* p = rec + f.bindingCount + 4 + 8 * i;
        v.push_back(TplBinding{(int32_t)rd32(p), rd32(p + 4)});
    }
    return v;
}
bool tpl_FindBinding(const TplTable& t, uint32_t index, int32_t event, uint32_t* handler) {
    for (const TplBinding& b : tpl_GetBindings(t, index))
        if (b.event == event) { *handler = b.handler; return true; }
    return false;
}
const uint8_t* tpl_GetKindBlock(const TplTable& t, uint32_t index, uint32_t* n) {
    TplFields f;
    const uint8_t* rec = fieldsOf(t, index, &f);
    *n = rec ? f.kindBlockSize : 0;
    return rec ? rec + f.kindBlock : nullptr;
}

// ---- rewrites ----------------------------------------------------------------

static bool setDword(TplTable* t, uint32_t index, uint32_t TplFields::*field, uint32_t extra, uint32_t v) {
    TplFields f;
    if (!tpl_Fields(*t, index, &f)) return false;
    uint8_t* rec = tpl_RecordMutable(t, index, nullptr);
    wr32(rec + f.*field + extra, v);
    return true;
}

bool tpl_SetObjectSlot(TplTable* t, uint32_t index, uint32_t v) { return setDword(t, index, &TplFields::objectSlot, 0, v); }
bool tpl_SetCursorSlot(TplTable* t, uint32_t index, uint32_t v) { return setDword(t, index, &TplFields::cursorSlot, 0, v); }
bool tpl_SetStateFlags(TplTable* t, uint32_t index, uint32_t v) { return setDword(t, index, &TplFields::stateFlags, 0, v); }
bool tpl_SetTabOrder(TplTable* t, uint32_t index, int32_t v) { return setDword(t, index, &TplFields::tabOrder, 0, (uint32_t)v); }
bool tpl_SetRectField(TplTable* t, uint32_t index, int which, int32_t v) {
    if (which < 0 || which > 3) return false;
    return setDword(t, index, &TplFields::rect, 4 * (uint32_t)which, (uint32_t)v);
}
bool tpl_SetRect(TplTable* t, uint32_t index, const int32_t rect[4]) {
    for (int i = 0; i < 4; i++)
        if (!tpl_SetRectField(t, index, i, rect[i])) return false;
    return true;
}

// Replaces bytes [from, from+oldLen) of entry `index`'s record with `with`,
// then fixes the record size and the offsets of the later entries.
static bool splice(TplTable* t, uint32_t index, uint32_t from, uint32_t oldLen, const std::string& with) {
    int64_t pos = entryPos(*t, index);
    if (pos < 0) return false;
    uint8_t* b = (uint8_t*)&t->bytes[0];
    uint32_t size = rd32(b + pos);
    if (from > size || oldLen > size - from) return false;
    int64_t delta = (int64_t)with.size() - (int64_t)oldLen;
    if ((int64_t)size + delta > 0x7FFFFFFF) return false;
    uint32_t recordStart = rd32(b + 4ull * t->count + 4ull * index);
    t->bytes.replace((size_t)pos + 4 + from, oldLen, with);
    b = (uint8_t*)&t->bytes[0];
    wr32(b + pos, (uint32_t)(size + delta));
    // Records are not necessarily stored in table order: move every record
    // stored after this one.
    for (uint32_t i = 0; i < t->count; i++) {
        uint8_t* off = b + 4ull * t->count + 4ull * i;
        uint32_t o = rd32(off);
        if (i != index && o > recordStart) wr32(off, (uint32_t)(o + delta));
    }
    return true;
}

bool tpl_SetTag(TplTable* t, uint32_t index, const char* tag) {
    TplFields f;
    if (!tpl_Fields(*t, index, &f)) return false;
    const uint8_t* rec = tpl_Record(*t, index, nullptr);
    uint32_t oldLen = (uint32_t)strlen((const char*)rec + f.tag) + 1;
    std::string with = tag ? tag : "";
    with.push_back('\0');
    return splice(t, index, f.tag, oldLen, with);
}

bool tpl_SetMousePointer(TplTable* t, uint32_t index, const void* data, uint32_t n) {
    TplFields f;
    if (!tpl_Fields(*t, index, &f)) return false;
    ArchiveWriter w;
    aw_Counted(&w, data, data ? n : 0);
    return splice(t, index, f.mousePointer, 4 + f.mousePointerSize, w.out);
}

bool tpl_SetKindBlock(TplTable* t, uint32_t index, const void* data, uint32_t n) {
    TplFields f;
    if (!tpl_Fields(*t, index, &f)) return false;
    std::string with;
    if (data && n) with.assign((const char*)data, n);
    return splice(t, index, f.kindBlock, f.kindBlockSize, with);
}

bool tpl_ReplaceRecord(TplTable* t, uint32_t index, const void* rec, uint32_t size) {
    uint32_t old;
    if (!tpl_Record(*t, index, &old)) return false;
    std::string with;
    if (rec && size) with.assign((const char*)rec, size);
    return splice(t, index, 0, old, with);
}

static uint32_t relocate(uint32_t stored, uintptr_t codeBase) {
    return stored == 0xFFFFFFFFu ? 0 : (uint32_t)(codeBase + stored);
}

bool tpl_RelocateHandlers(TplTable* t, uintptr_t codeBase) {
    if (!tpl_CheckTable(*t)) return false;
    for (uint32_t i = 0; i < t->count; i++) {
        uint32_t size;
        uint8_t* rec = tpl_RecordMutable(t, i, &size);
        if (tpl_IsMenuEntry(*t, i)) {
            TplMenuFields mf;
            tpl_WalkMenuItem(rec, size, &mf);
            wr32(rec + mf.handler, relocate(rd32(rec + mf.handler), codeBase));
            continue;
        }
        TplFields f;
        tpl_WalkComponent(rec, size, &f);
        uint32_t n = rd32(rec + f.bindingCount);
        for (uint32_t k = 0; k < n; k++) {
            uint8_t* h = rec + f.bindingCount + 8 + 8 * k;
            wr32(h, relocate(rd32(h), codeBase));
        }
    }
    return true;
}

// ---- whole block -------------------------------------------------------------

bool tpl_ReadBlock(const void* data, size_t size, TplBlock* out) {
    out->windows.clear();
    if (size == 0) return true;
    if (!data) return false;
    ArchiveReader r = ar_Open(data, size);
    uint32_t tableBytes;
    const uint8_t* table = ar_Counted(&r, &tableBytes);
    if (r.failed || tableBytes % 8 != 0) return false;
    uint32_t w = tableBytes / 8;
    std::vector<TplWindow> windows(w);
    for (uint32_t i = 0; i < w; i++) {
        TplWindow& win = windows[i];
        win.id = rd32(table + 4 * i);
        win.slot = rd32(table + 4 * w + 4 * i);
        win.valueA = ar_Dword(&r);
        win.valueB = ar_Dword(&r);
        win.textA = ar_Text(&r);
        win.textB = ar_Text(&r);
        uint32_t n = ar_Dword(&r);
        uint32_t bytes;
        const uint8_t* comp = ar_Counted(&r, &bytes);
        if (r.failed) return false;
        win.table.count = n;
        win.table.bytes.assign((const char*)comp, bytes);
        if (!tpl_CheckTable(win.table)) return false;
    }
    // Bytes after the last window record are not read by anything; they
    // are tolerated rather than failing the whole program.
    out->windows = std::move(windows);
    return true;
}

std::string tpl_WriteBlock(const TplBlock& b) {
    ArchiveWriter w;
    uint32_t n = (uint32_t)b.windows.size();
    aw_Dword(&w, 8 * n);
    for (const TplWindow& win : b.windows) aw_Dword(&w, win.id);
    for (const TplWindow& win : b.windows) aw_Dword(&w, win.slot);
    for (const TplWindow& win : b.windows) {
        aw_Dword(&w, win.valueA);
        aw_Dword(&w, win.valueB);
        aw_Text(&w, win.textA);
        aw_Text(&w, win.textB);
        aw_Dword(&w, win.table.count);
        aw_Counted(&w, win.table.bytes.data(), (uint32_t)win.table.bytes.size());
    }
    return w.out;
}
