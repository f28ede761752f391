// Shared by the kind, loader and dispatch tests: a notification function
// standing in for the runtime (it records raised events and destroyed
// components and answers component lookups), parents that reflect control
// notifications like the window kind does, value helpers, and template
// blocks loaded through the loader with the program's own kinds.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <functional>
#include <string>
#include <vector>
#include "ui/kind_api.h"
#include "ui/template/archive.h"
#include "ui/template/template.h"

namespace kh {

// Installs the notification function and clears what it recorded.
void Install();
HWND Parent();                       // one shown, active top-level test window
// A fresh visible parent. A pop-up: Wine waits two seconds for a window
// manager when it hides a managed (captioned) window.
HWND MakeParent(int w = 400, int h = 300);
void Pump();                         // processes pending messages

extern std::vector<EventRecord> events;                    // as raised
extern std::vector<std::pair<uint32_t, uint32_t>> destroyed;  // (window, component)
extern int fatalCount;               // lookups of missing components (2007)
// Answers raised events: return true and set *result to give a result.
extern std::function<bool(const EventRecord&, int32_t* result)> handler;

// Makes (window, component) findable through notifications 2006 and 2007.
void Register(uint32_t window, uint32_t component, ComponentObject* obj);
void Unregister(uint32_t window, uint32_t component);

ComponentObject* Create(KindInterface iface, const std::string& block, uint32_t extraStyle = 0,
                        int x = 10, int y = 10, int w = 120, int h = 30, uint32_t componentId = 0x16010002,
                        int32_t controlId = 100);
int32_t Set(KindInterface iface, ComponentObject* obj, int32_t index, uint32_t value, uint32_t length = 0);
int32_t SetText(KindInterface iface, ComponentObject* obj, int32_t index, const char* text);
int32_t SetBytes(KindInterface iface, ComponentObject* obj, int32_t index, const std::string& bytes);
uint32_t GetInt(KindInterface iface, ComponentObject* obj, int32_t index);  // 0xDEADBEEF when refused
std::string GetText(KindInterface iface, ComponentObject* obj, int32_t index);
std::string GetBytes(KindInterface iface, ComponentObject* obj, int32_t index);
std::string WriteBlock(KindInterface iface, ComponentObject* obj);
// Re-creates as the runtime does after a set returned 1: block, new object
// at the old place, old one destroyed. Returns the new object.
ComponentObject* Recreate(KindInterface iface, ComponentObject* obj);
void Destroy(ComponentObject* obj);
// Destroys the native window; the one (window, component) it reported
// gone, or (0, 0) when it reported none or several.
std::pair<uint32_t, uint32_t> DestroyAndReport(ComponentObject* obj);
// The colour of the brush a control answers WM_CTLCOLOR* with (sent to its
// parent, which reflects it), drawing into dc; CLR_INVALID for no brush.
COLORREF CtlColour(UINT msg, HWND control, HDC dc);

int CountEvents(int32_t event);
std::string WindowText(HWND hwnd);
std::string Logfont(const char* face, int32_t height, int32_t weight);

inline ValueRecord IntValue(int32_t v) { return ValueRecord{(uint32_t)v, 0}; }
inline ValueRecord TextValue(const char* s) { return ValueRecord{(uint32_t)(uintptr_t)s, 0}; }

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kEntryId = 0x06010000;

// ---- template blocks ----
// A component record at a place, with its kind block.
TplComponent Component(uint32_t kind, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t state,
                       const std::string& kindBlock);
// A window's entries: the window under `entryId`, then the components as
// 0x16010002, 0x16010003, ... (entry 1 first).
std::vector<TplEntry> Entries(const TplComponent& window, const std::vector<TplComponent>& comps,
                              uint32_t entryId = kEntryId);
// The block of several windows, each (id, entries).
std::string TemplateBytes(const std::vector<std::pair<uint32_t, std::vector<TplEntry>>>& windows);

// The program's own kinds behind the window layer, with the runtime's
// notification function.
void UseProgramKinds();
// Reads one window into the registry (handlers relocated against
// codeBase) and loads it as the start window.
bool LoadStartWindow(uint32_t windowId, const std::vector<TplEntry>& entries, const void* codeBase);

}  // namespace kh
