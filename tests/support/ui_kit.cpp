#include "tests/support/ui_kit.h"
#include "tests/support/kind_harness.h"
#include "tests/support/pump.h"
#include <string.h>
#include "runtime/rt.h"
#include "ui/template/archive.h"

namespace uk {

static_assert(offsetof(WindowObject, marks) == offsetof(UiWindowObject, marks), "the loader's marks");

std::vector<Created> created;
std::vector<Call> calls;
std::function<int32_t(int, int32_t*)> onHandler;
uint32_t raiseDuringCreateResult;

namespace {

template <int I>
int32_t handler(int32_t argc, const uint32_t* args, int32_t* returned) {
    Call c = {};
    c.slot = I;
    c.argc = argc;
    for (int32_t i = 0; i < argc && i < 24; i++) c.args[i] = args[i];
    uint32_t source[2] = {0, 0};
    rt_Notify(2017, (uint32_t)(uintptr_t)source, 0);
    c.sourceWindow = source[0];
    c.sourceComponent = source[1];
    calls.push_back(c);
    return onHandler ? onHandler(I, returned) : 0;
}

// ---- the box ----

LRESULT CALLBACK boxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    BoxObject* o = (BoxObject*)GetWindowLongPtrA(h, GWLP_USERDATA);
    switch (msg) {
    case RT_MSG_OBJECT_QUERY: return (LRESULT)o;
    case UI_MSG_AFTER_CREATE: if (o) o->afterCreate++; return 0;
    case UI_MSG_AFTER_SHOW: if (o) o->afterShow++; return 0;
    case WM_NCDESTROY:
        if (o) {
            SetWindowLongPtrA(h, GWLP_USERDATA, 0);
            rt_Notify(2000, o->base.windowId, o->base.componentId);
            delete o;
        }
        break;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

ComponentObject* boxCreate(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND parent, int32_t controlId,
                           HMENU, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t windowId,
                           uint32_t componentId, uint32_t, uint32_t) {
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = length ? ar_Dword(&r) : 1;
    if (version > 1) return nullptr;
    BoxObject* o = new BoxObject();
    o->value = length ? (int32_t)ar_Dword(&r) : 0;
    o->text = length ? ar_Text(&r) : std::string();
    o->flag = 0;
    o->pick = 0;
    o->lo8 = o->hi8 = 0;
    o->lastSetRaw = 0;
    o->afterCreate = o->afterShow = 0;
    o->base.fw.steps = nullptr;
    o->base.windowId = windowId;
    o->base.componentId = componentId;
    o->base.kindId = kBoxKind;
    HWND h = CreateWindowExA(0, "VellKitBox", "", WS_CHILD | WS_CLIPSIBLINGS | extraStyle, left, top, width, height,
                             parent, (HMENU)(uintptr_t)controlId, GetModuleHandleA(nullptr), nullptr);
    if (!h) { delete o; return nullptr; }
    o->base.fw.hwnd = h;
    SetWindowLongPtrA(h, GWLP_USERDATA, (LONG_PTR)o);
    created.push_back({componentId, controlId, h, extraStyle});
    if (o->value == 77) {
        EventRecord e = {};
        e.window = kRaiseWindow;
        e.component = kRaiseComponent;
        raiseDuringCreateResult = rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0);
    }
    return &o->base;
}

int32_t boxSet(ComponentObject* obj, int32_t index, const ValueRecord* v, int32_t) {
    BoxObject* o = (BoxObject*)obj;
    o->lastSetRaw = v->value;
    switch (index + 8) {
    case P_VALUE: o->value = (int32_t)v->value; return 0;
    case P_TEXT: o->text = v->value ? (const char*)(uintptr_t)v->value : "(null)"; return 0;
    case P_FONT: o->font.assign(v->value ? (const char*)(uintptr_t)v->value : "", v->value ? v->length : 0); return 0;
    case P_FLAG: o->flag = v->value; return 0;
    case P_BYTES: o->bytes.assign(v->value ? (const char*)(uintptr_t)v->value : "", v->value ? v->length : 0); return 0;
    case P_POINTER: o->pointer.assign(v->value ? (const char*)(uintptr_t)v->value : "", v->value ? v->length : 0); return 0;
    case P_PICK: o->pick = v->value; return 0;
    case P_DOUBLE: o->lo8 = v->value; o->hi8 = v->length; return 0;
    case P_RECREATE: o->value = (int32_t)v->value; return 1;
    default: return 0;
    }
}

int32_t boxGet(ComponentObject* obj, int32_t index, ValueRecord* out) {
    BoxObject* o = (BoxObject*)obj;
    out->value = out->length = 0;
    switch (index + 8) {
    case P_VALUE: out->value = (uint32_t)o->value; return 1;
    case P_TEXT: out->value = (uint32_t)(uintptr_t)o->text.c_str(); return 1;
    case P_FONT:
        if (o->font.empty()) return 0;
        out->value = (uint32_t)(uintptr_t)o->font.data();
        out->length = (uint32_t)o->font.size();
        return 1;
    case P_FLAG: out->value = o->flag; return 1;
    case P_BYTES:
        out->value = o->bytes.empty() ? 0 : (uint32_t)(uintptr_t)o->bytes.data();
        out->length = (uint32_t)o->bytes.size();
        return 1;
    case P_POINTER:
        out->value = o->pointer.empty() ? 0 : (uint32_t)(uintptr_t)o->pointer.data();
        out->length = (uint32_t)o->pointer.size();
        return 1;
    case P_PICK: out->value = o->pick; return 1;
    case P_DOUBLE: out->value = o->lo8; out->length = o->hi8; return 1;
    case P_RECREATE: out->value = (uint32_t)o->value; return 1;
    default: return 0;
    }
}

uint8_t* boxWriteBlock(ComponentObject* obj, int32_t* length) {
    BoxObject* o = (BoxObject*)obj;
    std::string b = BoxBlock(o->value, o->text);
    uint8_t* p = (uint8_t*)rt_Allocate((int32_t)b.size());
    memcpy(p, b.data(), b.size());
    *length = (int32_t)b.size();
    return p;
}

void* boxIface(int32_t n) {
    switch (n) {
    case KI_CREATE: return (void*)boxCreate;
    case KI_SET: return (void*)boxSet;
    case KI_WRITE_BLOCK: return (void*)boxWriteBlock;
    case KI_GET: return (void*)boxGet;
    default: return nullptr;
    }
}

// ---- the window ----

LRESULT CALLBACK windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    WindowObject* o = (WindowObject*)GetWindowLongPtrA(h, GWLP_USERDATA);
    switch (msg) {
    case RT_MSG_OBJECT_QUERY: return (LRESULT)o;
    case UI_MSG_LAYOUT: if (o) o->layoutMessages++; return 0;
    case WM_NCDESTROY:
        if (o) {
            SetWindowLongPtrA(h, GWLP_USERDATA, 0);
            rt_Notify(2000, o->base.windowId, 0);
            delete o;
        }
        break;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

ComponentObject* windowCreate(const uint8_t* block, int32_t length, uint32_t extraStyle, HWND owner, int32_t,
                              HMENU menu, int32_t left, int32_t top, int32_t width, int32_t height,
                              uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    ArchiveReader r = ar_Open(block, (size_t)length);
    WindowObject* o = new WindowObject();
    o->position = length ? (int32_t)ar_Dword(&r) : 0;
    o->modalFlagAtCreate = ui_ModalLoadFlag();
    o->ownerAtCreate = owner;
    o->layoutMessages = 0;
    o->base.fw.steps = nullptr;
    o->base.windowId = windowId;
    o->base.componentId = componentId;
    o->base.kindId = kWindowKind;
    HWND h = CreateWindowExA(0, "VellKitWindow", "kit", WS_POPUP | WS_CLIPCHILDREN | extraStyle,
                             left, top, width, height, owner, menu, GetModuleHandleA(nullptr), nullptr);
    if (!h) { delete o; return nullptr; }
    o->base.fw.hwnd = h;
    SetWindowLongPtrA(h, GWLP_USERDATA, (LONG_PTR)o);
    return &o->base;
}

int32_t windowGet(ComponentObject* obj, int32_t index, ValueRecord* out) {
    out->value = out->length = 0;
    if (index == 10) { out->value = (uint32_t)((WindowObject*)obj)->position; return 1; }
    return 0;
}
int32_t windowSet(ComponentObject*, int32_t, const ValueRecord*, int32_t) { return 0; }

void* windowIface(int32_t n) {
    switch (n) {
    case KI_CREATE: return (void*)windowCreate;
    case KI_SET: return (void*)windowSet;
    case KI_GET: return (void*)windowGet;
    default: return nullptr;
    }
}

// ---- the library ----

PropertyRecord prop(uint16_t type) { return PropertyRecord{{0, 0, 0}, type, 0x8000, 0}; }

std::vector<PropertyRecord> boxProperties() {
    std::vector<PropertyRecord> p = {prop(PT_INT_COMMON), prop(PT_INT_COMMON), prop(PT_INT_COMMON),
                                     prop(PT_INT_COMMON), prop(PT_TEXT),       prop(PT_BOOL),
                                     prop(PT_BOOL),       prop(PT_MOUSE_POINTER)};
    const uint16_t kinds[] = {PT_INT, PT_TEXT, PT_FONT, PT_BOOL, PT_BYTES, PT_MOUSE_POINTER, PT_PICK, PT_8BYTE, PT_INT};
    for (uint16_t t : kinds)
        p.push_back(prop(t));
    return p;
}

std::vector<PropertyRecord> g_boxProps = boxProperties();
std::vector<PropertyRecord> g_windowProps = std::vector<PropertyRecord>(32, prop(PT_INT));

KindRecord kind(const char* name, uint32_t flags, const std::vector<PropertyRecord>& props, KindInterface iface) {
    KindRecord k = {};
    k.name = name;
    k.englishName = name;
    k.flags = flags;
    k.propertyCount = (uint32_t)props.size();
    k.properties = props.data();
    k.iface = iface;
    return k;
}

KindRecord g_kinds[7];
LibraryRecord g_library;
const LibraryRecord* g_libraries[1];

void registerClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = boxProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "VellKitBox";
    RegisterClassA(&wc);
    wc.lpfnWndProc = windowProc;
    wc.lpszClassName = "VellKitWindow";
    RegisterClassA(&wc);
}

}  // namespace

EventHandler handlers[8] = {handler<0>, handler<1>, handler<2>, handler<3>,
                            handler<4>, handler<5>, handler<6>, handler<7>};

void Reset() {
    registerClasses();
    ui_ClearRegistry();
    Pump();
    g_kinds[0] = kind("window", 0x800000D0, g_windowProps, windowIface);
    g_kinds[1] = kind("box", 0x80000040, g_boxProps, boxIface);
    g_kinds[2] = KindRecord{};
    g_kinds[3] = kind("hidden", 0x80008040, g_boxProps, boxIface);
    g_kinds[4] = kind("other", 0x80000040, g_boxProps, boxIface);
    g_kinds[5] = kind("mute", 0x80000000, g_boxProps, boxIface);
    g_kinds[6] = kind("holder", 0x80000240, g_boxProps, boxIface);
    g_library = LibraryRecord{};
    g_library.format = LIBRARY_FORMAT;
    g_library.typeCount = 7;
    g_library.typeTable = g_kinds;
    g_libraries[0] = &g_library;
    g_rt.libraryCount = 1;
    g_rt.libraries = g_libraries;
    g_rt.eventBlock = 0;
    g_rt.modalWindowId = 0;
    g_rt.recreating = false;
    g_rt.eventSourceWindow = g_rt.eventSourceComponent = 0;
    ui_InstallWindowLayer();
    created.clear();
    calls.clear();
    onHandler = nullptr;
    raiseDuringCreateResult = 0xDEAD;
}

void Pump() { pumpMessages(); }

std::string BoxBlock(int32_t value, const std::string& text, uint32_t version) {
    ArchiveWriter w;
    aw_Dword(&w, version);
    aw_Dword(&w, (uint32_t)value);
    aw_Text(&w, text);
    return w.out;
}

std::string WindowBlock(int32_t position) {
    ArchiveWriter w;
    aw_Dword(&w, (uint32_t)position);
    return w.out;
}

TplComponent Window(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t state) {
    return kh::Component(kWindowKind, left, top, width, height, state, WindowBlock(0));
}

TplComponent Box(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t state, const std::string& name,
                 uint32_t kindId) {
    TplComponent c = kh::Component(kindId, left, top, width, height, state, BoxBlock(1, name));
    c.name = name;
    return c;
}

TplEntry Entry(uint32_t id, const TplComponent& c) { return TplEntry{id, tpl_EncodeComponent(c)}; }

bool LoadTemplates(const std::vector<std::pair<uint32_t, std::vector<TplEntry>>>& windows) {
    std::string bytes = kh::TemplateBytes(windows);
    return g_rt.ui.loadTemplates(bytes.data(), (uint32_t)bytes.size(), handlers);
}

bool LoadTemplate(uint32_t windowId, const std::vector<TplEntry>& entries) {
    return LoadTemplates({{windowId, entries}});
}

UiWindowRecord* Rec(uint32_t windowId) { return ui_FindWindow(windowId); }

HWND WindowHandle(uint32_t windowId) {
    ComponentObject* o = ui_WindowObject(Rec(windowId));
    return o ? o->fw.hwnd : nullptr;
}

HWND Handle(uint32_t windowId, uint32_t componentId) {
    ComponentObject* o = (ComponentObject*)(uintptr_t)rt_Notify(2006, windowId, componentId);
    return o ? o->fw.hwnd : nullptr;
}

BoxObject* Obj(uint32_t windowId, uint32_t componentId) {
    return (BoxObject*)(uintptr_t)rt_Notify(2006, windowId, componentId);
}

void Destroy(uint32_t windowId) {
    HWND h = WindowHandle(windowId);
    if (h) DestroyWindow(h);
    Pump();
}

void* ByteSet(const std::string& bytes) { return rt_ByteSetFromBytes(bytes.data(), (int32_t)bytes.size()); }

std::string Bytes(const void* byteSet) {
    if (!byteSet) return std::string();
    return std::string((const char*)rt_ByteSetData(byteSet), (size_t)rt_ByteSetLength(byteSet));
}

std::string Text(uint64_t value) {
    char* t = (char*)(uintptr_t)(uint32_t)value;
    std::string s = t ? t : "(null)";
    rt_Free(t);
    return s;
}

}  // namespace uk
