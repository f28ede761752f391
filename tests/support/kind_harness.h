// Shared by the kind tests: a plain top-level parent that reflects control
// notifications like the window kind does, a notification function that
// records raised events and answers component lookups, and value helpers.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>
#include <vector>
#include "ui/kind_api.h"
#include "ui/template/archive.h"

struct RaisedEvent {
    uint32_t window, component;
    int32_t event, argc;
    uint32_t args[5];
};

namespace kh {

// Installs the notification function; call once per test (clears records).
void Install();
HWND Parent();                       // shown, active top-level test window
void Pump();                         // processes pending messages

extern std::vector<RaisedEvent> events;
extern std::vector<std::pair<uint32_t, uint32_t>> destroyed;
extern int fatalCount;               // lookups of missing components (2007)

// Makes (window, component) findable through notifications 2006 and 2007.
void Register(uint32_t window, uint32_t component, ComponentObject* obj);
void Unregister(uint32_t window, uint32_t component);

ComponentObject* Create(KindInterface iface, const std::string& block, uint32_t extraStyle = 0,
                        int x = 10, int y = 10, int w = 120, int h = 30, uint32_t componentId = 0x16010002,
                        int32_t controlId = 100);
int32_t Set(KindInterface iface, ComponentObject* obj, int32_t index, uint32_t value, uint32_t length = 0);
int32_t SetText(KindInterface iface, ComponentObject* obj, int32_t index, const char* text);
int32_t SetBytes(KindInterface iface, ComponentObject* obj, int32_t index, const std::string& bytes);
uint32_t GetInt(KindInterface iface, ComponentObject* obj, int32_t index);
std::string GetText(KindInterface iface, ComponentObject* obj, int32_t index);
std::string GetBytes(KindInterface iface, ComponentObject* obj, int32_t index);
std::string WriteBlock(KindInterface iface, ComponentObject* obj);
// Re-creates as the runtime does after a set returned 1: block, new object
// at the old place, old one destroyed. Returns the new object.
ComponentObject* Recreate(KindInterface iface, ComponentObject* obj);
void Destroy(ComponentObject* obj);

int CountEvents(int32_t event);
std::string WindowText(HWND hwnd);
std::string Logfont(const char* face, int32_t height, int32_t weight);

constexpr uint32_t kWindowId = 0x52010001;

}  // namespace kh
