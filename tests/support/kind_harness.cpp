#include "tests/support/kind_harness.h"
#include "tests/support/pump.h"
#include <map>
#include <string.h>
#include "commands/library.h"
#include "runtime/rt.h"
#include "ui/kinds/common/common.h"
#include "ui/loader/loader.h"

namespace kh {

std::vector<EventRecord> events;
std::vector<std::pair<uint32_t, uint32_t>> destroyed;
int fatalCount = 0;
std::function<bool(const EventRecord&, int32_t*)> handler;

namespace {
std::map<std::pair<uint32_t, uint32_t>, ComponentObject*> objects;
HWND parent = nullptr;

uint32_t notify(int32_t code, uint32_t a1, uint32_t a2) {
    switch (code) {
    case NOTE_RAISE_EVENT: {
        EventRecord* r = (EventRecord*)(uintptr_t)a1;
        events.push_back(*r);
        int32_t result = 0;
        if (!handler || !handler(*r, &result)) return 0;
        r->resultPresent = 1;
        r->result = result;
        return 1;
    }
    case NOTE_COMPONENT_DESTROYED:
        destroyed.push_back({a1, a2});
        objects.erase({a1, a2});
        return 0;
    case NOTE_OBJECT:
    case NOTE_OBJECT_CHECKED: {
        auto it = objects.find({a1, a2});
        if (it != objects.end()) return (uint32_t)(uintptr_t)it->second;
        if (code == NOTE_OBJECT_CHECKED) fatalCount++;
        return 0;
    }
    case NOTE_ALLOCATE: return (uint32_t)(uintptr_t)rt_Allocate((int32_t)a1);
    case NOTE_FREE: rt_Free((void*)(uintptr_t)a1); return 0;
    case NOTE_REALLOCATE: return (uint32_t)(uintptr_t)rt_Reallocate((void*)(uintptr_t)a1, (int32_t)a2);
    case NOTE_TO_INT: return ((const ArgRecord*)(uintptr_t)a1)->low;
    default:
        return 0;
    }
}

LRESULT CALLBACK parentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (ui_ReflectToChild(msg, wp, lp, &r)) return r;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

const char* parentClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = parentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = "VellKindTestParent";
        registered = RegisterClassA(&wc) != 0;
    }
    return "VellKindTestParent";
}
}  // namespace

void Install() {
    lib_notify = notify;
    events.clear();
    destroyed.clear();
    fatalCount = 0;
    handler = nullptr;
}

HWND Parent() {
    if (parent && IsWindow(parent)) return parent;
    parent = CreateWindowExA(0, parentClass(), "kinds", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(parent);
    SetActiveWindow(parent);
    Pump();
    return parent;
}

HWND MakeParent(int w, int h) {
    HWND made = CreateWindowExA(0, parentClass(), "kinds", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, 10, 10, w, h,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(made, SW_SHOWNA);
    Pump();
    return made;
}

void Pump() { pumpMessages(); }

void Register(uint32_t window, uint32_t component, ComponentObject* obj) { objects[{window, component}] = obj; }
void Unregister(uint32_t window, uint32_t component) { objects.erase({window, component}); }

ComponentObject* Create(KindInterface iface, const std::string& block, uint32_t extraStyle, int x, int y, int w,
                        int h, uint32_t componentId, int32_t controlId) {
    KindCreateFn create = (KindCreateFn)iface(KI_CREATE);
    if (!create) return nullptr;
    ComponentObject* obj = create(block.empty() ? nullptr : (const uint8_t*)block.data(), (int32_t)block.size(),
                                  extraStyle, Parent(), controlId, nullptr, x, y, w, h, kWindowId, componentId, 0,
                                  0);
    if (obj) {
        Register(kWindowId, componentId, obj);
        ShowWindow(obj->fw.hwnd, SW_SHOWNA);
    }
    return obj;
}

int32_t Set(KindInterface iface, ComponentObject* obj, int32_t index, uint32_t value, uint32_t length) {
    ValueRecord v = {value, length};
    return ((KindSetFn)iface(KI_SET))(obj, index, &v, 0);
}
int32_t SetText(KindInterface iface, ComponentObject* obj, int32_t index, const char* text) {
    return Set(iface, obj, index, (uint32_t)(uintptr_t)(text ? text : ""), 0);
}
int32_t SetBytes(KindInterface iface, ComponentObject* obj, int32_t index, const std::string& bytes) {
    return Set(iface, obj, index, bytes.empty() ? 0u : (uint32_t)(uintptr_t)bytes.data(), (uint32_t)bytes.size());
}
uint32_t GetInt(KindInterface iface, ComponentObject* obj, int32_t index) {
    ValueRecord v = {0xDEADBEEF, 0};
    if (!((KindGetFn)iface(KI_GET))(obj, index, &v)) return 0xDEADBEEF;
    return v.value;
}
std::string GetText(KindInterface iface, ComponentObject* obj, int32_t index) {
    ValueRecord v = {0, 0};
    if (!((KindGetFn)iface(KI_GET))(obj, index, &v) || !v.value) return std::string();
    return std::string((const char*)(uintptr_t)v.value);
}
std::string GetBytes(KindInterface iface, ComponentObject* obj, int32_t index) {
    ValueRecord v = {0, 0};
    if (!((KindGetFn)iface(KI_GET))(obj, index, &v) || !v.value) return std::string();
    return std::string((const char*)(uintptr_t)v.value, v.length);
}
std::string WriteBlock(KindInterface iface, ComponentObject* obj) {
    int32_t n = 0;
    uint8_t* b = ((KindWriteBlockFn)iface(KI_WRITE_BLOCK))(obj, &n);
    if (!b) return std::string();
    std::string s((const char*)b, (size_t)n);
    rt_Free(b);
    return s;
}

ComponentObject* Recreate(KindInterface iface, ComponentObject* obj) {
    std::string block = WriteBlock(iface, obj);
    HWND old = obj->fw.hwnd;
    RECT r;
    GetWindowRect(old, &r);
    MapWindowPoints(nullptr, GetParent(old), (POINT*)&r, 2);
    uint32_t comp = obj->componentId;
    int32_t id = GetDlgCtrlID(old);
    KindCreateFn create = (KindCreateFn)iface(KI_CREATE);
    ComponentObject* n = create((const uint8_t*)block.data(), (int32_t)block.size(), 0, GetParent(old), id,
                                nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, kWindowId, comp, 0, 0);
    DestroyWindow(old);
    if (n) {
        Register(kWindowId, comp, n);
        ShowWindow(n->fw.hwnd, SW_SHOWNA);
    }
    return n;
}

void Destroy(ComponentObject* obj) {
    if (obj && obj->fw.hwnd) DestroyWindow(obj->fw.hwnd);
    Pump();
}

std::pair<uint32_t, uint32_t> DestroyAndReport(ComponentObject* obj) {
    destroyed.clear();
    DestroyWindow(obj->fw.hwnd);
    return destroyed.size() == 1 ? destroyed[0] : std::pair<uint32_t, uint32_t>(0, 0);
}

COLORREF CtlColour(UINT msg, HWND control, HDC dc) {
    HBRUSH brush = (HBRUSH)SendMessageA(GetParent(control), msg, (WPARAM)dc, (LPARAM)control);
    LOGBRUSH lb;
    return brush && GetObjectA(brush, sizeof lb, &lb) ? lb.lbColor : CLR_INVALID;
}

int CountEvents(int32_t event) {
    int n = 0;
    for (const EventRecord& e : events) n += e.event == event;
    return n;
}

std::string WindowText(HWND hwnd) {
    char buf[1024] = {0};
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

std::string Logfont(const char* face, int32_t height, int32_t weight) {
    // Charset 134 (GBK), precisions 3 and 2, quality 1, pitch and family 34.
    LOGFONTA lf = {height, 0, 0, 0, weight, 0, 0, 0, 134, 3, 2, 1, 34, {}};
    strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return std::string((const char*)&lf, sizeof lf);
}

TplComponent Component(uint32_t kind, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t state,
                       const std::string& kindBlock) {
    TplComponent c;
    c.kindId = kind;
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    c.stateFlags = state;
    c.kindBlock = kindBlock;
    return c;
}

std::vector<TplEntry> Entries(const TplComponent& window, const std::vector<TplComponent>& comps,
                              uint32_t entryId) {
    std::vector<TplEntry> entries = {{entryId, tpl_EncodeComponent(window)}};
    for (size_t i = 0; i < comps.size(); i++)
        entries.push_back({0x16010002u + (uint32_t)i, tpl_EncodeComponent(comps[i])});
    return entries;
}

std::string TemplateBytes(const std::vector<std::pair<uint32_t, std::vector<TplEntry>>>& windows) {
    TplBlock b;
    for (const auto& w : windows) {
        TplWindow tw;
        tw.id = w.first;
        tw.table = tpl_BuildTable(w.second);
        b.windows.push_back(tw);
    }
    return tpl_WriteBlock(b);
}

void UseProgramKinds() {
    static const LibraryRecord* libs[1] = {&vell_library1};
    g_rt.libraries = libs;
    g_rt.libraryCount = 1;
    ui_InstallWindowLayer();
    lib_notify = rt_Notify;
}

bool LoadStartWindow(uint32_t windowId, const std::vector<TplEntry>& entries, const void* codeBase) {
    std::string data = TemplateBytes({{windowId, entries}});
    if (!ui_LoadTemplates(data.data(), (uint32_t)data.size(), codeBase) || !ui_LoadStartWindow(windowId))
        return false;
    Pump();
    return true;
}

}  // namespace kh
