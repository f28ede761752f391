// Test-only component kinds, module handlers and template building for the
// loader and dispatch tests: the kinds are plain window classes of our own,
// so these tests do not depend on the real kinds.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <functional>
#include <string>
#include <vector>
#include "ui/kind_api.h"
#include "ui/template/template.h"
#include "ui/loader/loader.h"
#include "ui/dispatch/dispatch.h"

namespace uk {

// Kind ids of the test library (library 1).
constexpr uint32_t kWindowKind = 0x00010001;  // flags 0x800000D0
constexpr uint32_t kBoxKind = 0x00010002;     // flags 0x80000040
constexpr uint32_t kHiddenKind = 0x00010004;  // flags 0x80008040
constexpr uint32_t kOtherKind = 0x00010005;   // like the box, another id
constexpr uint32_t kMuteKind = 0x00010006;    // neither 0x04 nor 0x40
constexpr uint32_t kHolderKind = 0x00010007;  // container with flag 0x200

// Box properties (index as the module numbers them).
enum {
    P_VALUE = 8,     // 1000
    P_TEXT = 9,      // 1005
    P_FONT = 10,     // 1013
    P_FLAG = 11,     // 1003
    P_BYTES = 12,    // 1009
    P_POINTER = 13,  // 1011
    P_PICK = 14,     // 1006
    P_DOUBLE = 15,   // 1002
    P_RECREATE = 16, // 1000; a set asks for re-creation
};

struct BoxObject {
    ComponentObject base;
    int32_t value;
    std::string text;
    std::string font;      // as the kind stores it: any length
    uint32_t flag;
    std::string bytes;
    std::string pointer;
    uint32_t pick;
    uint32_t lo8, hi8;
    uint32_t lastSetRaw;   // first DWORD of the last value record set
    int afterCreate, afterShow;
};

struct WindowObject {
    ComponentObject base;
    UiWindowMarks marks;   // as UiWindowObject: the loader's marks
    int32_t position;
    int32_t modalFlagAtCreate;
    HWND ownerAtCreate;
    int layoutMessages;
};

struct Created {
    uint32_t component;
    int32_t controlId;
    HWND hwnd;
    uint32_t extraStyle;
};
extern std::vector<Created> created;

// Handler calls.
struct Call {
    int slot;
    int32_t argc;
    uint32_t args[24];
    uint32_t sourceWindow, sourceComponent;
};
extern std::vector<Call> calls;
// Runs inside handler `slot` after it was logged; returns the handler's
// value and sets *returned when it gives one.
extern std::function<int32_t(int slot, int32_t* returned)> onHandler;
// Raised (as event 0 of this component of window kRaiseWindow) by a box
// created with value 77, from inside its create call.
extern uint32_t raiseDuringCreateResult;
constexpr uint32_t kRaiseWindow = 0x52010001;
constexpr uint32_t kRaiseComponent = 0x16010002;

// The module's handler table: the code base. Offset of handler i = 4 * i.
extern EventHandler handlers[8];
inline uint32_t H(int slot) { return (uint32_t)(4 * slot); }

// Fresh state: empty registry, the test library installed, logs cleared.
void Reset();
void Pump();

// Kind blocks.
std::string BoxBlock(int32_t value, const std::string& text, uint32_t version = 1);
std::string WindowBlock(int32_t position);

// Records.
// Hidden by default: under Wine without a window manager, destroying a
// shown top-level window waits two seconds for the X server.
TplComponent Window(int32_t left = 50, int32_t top = 50, int32_t width = 400, int32_t height = 300,
                    uint32_t state = 0);
constexpr uint32_t V = TPL_STATE_VISIBLE;
TplComponent Box(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t state = TPL_STATE_VISIBLE,
                 const std::string& name = "", uint32_t kind = kBoxKind);
TplEntry Entry(uint32_t id, const TplComponent& c);

// Builds one window's block and reads it into the registry.
bool LoadTemplate(uint32_t windowId, const std::vector<TplEntry>& entries);
// Several windows in one block.
bool LoadTemplates(const std::vector<std::pair<uint32_t, std::vector<TplEntry>>>& windows);

UiWindowRecord* Rec(uint32_t windowId);
HWND WindowHandle(uint32_t windowId);
HWND Handle(uint32_t windowId, uint32_t componentId);
BoxObject* Obj(uint32_t windowId, uint32_t componentId);
void Destroy(uint32_t windowId);

// A module byte set / text helpers (runtime blocks).
void* ByteSet(const std::string& bytes);
std::string Bytes(const void* byteSet);
std::string Text(uint64_t value);   // frees the text

}  // namespace uk
