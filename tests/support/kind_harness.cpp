#include "tests/support/kind_harness.h"
#include "tests/support/pump.h"
#include <map>
#include <string.h>
#include "commands/library.h"
#include "runtime/rt.h"
#include "ui/kinds/common/common.h"

namespace kh {

std::vector<RaisedEvent> events;
std::vector<std::pair<uint32_t, uint32_t>> destroyed;
int fatalCount = 0;

namespace {
std::map<std::pair<uint32_t, uint32_t>, ComponentObject*> objects;
HWND parent = nullptr;

uint32_t notify(int32_t code, uint32_t a1, uint32_t a2) {
    switch (code) {
    case NOTE_RAISE_EVENT: {
        const EventRecord* r = (const EventRecord*)(uintptr_t)a1;
        RaisedEvent e = {r->window, r->component, r->event, r->argc, {}};
        memcpy(e.args, r->args, sizeof e.args);
        events.push_back(e);
        return 0;
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
}  // namespace

void Install() {
    lib_notify = notify;
    events.clear();
    destroyed.clear();
    fatalCount = 0;
}

HWND Parent() {
    if (parent && IsWindow(parent)) return parent;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = parentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VellKindTestParent";
    RegisterClassA(&wc);
    parent = CreateWindowExA(0, "VellKindTestParent", "kinds", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                             480, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(parent);
    SetActiveWindow(parent);
    Pump();
    return parent;
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

int CountEvents(int32_t event) {
    int n = 0;
    for (const RaisedEvent& e : events) n += e.event == event;
    return n;
}

std::string WindowText(HWND hwnd) {
    char buf[1024] = {0};
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

std::string Logfont(const char* face, int32_t height, int32_t weight) {
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = 134;
    lf.lfOutPrecision = 3;
    lf.lfClipPrecision = 2;
    lf.lfQuality = 1;
    lf.lfPitchAndFamily = 34;
    strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return std::string((const char*)&lf, sizeof lf);
}

}  // namespace kh
