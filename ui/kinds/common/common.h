// Pieces every component kind shares: the border style table, the font
// rule, colours, kind-block helpers, event raising, and the plumbing of a
// subclassed native control (object query answer, reflected notifications,
// destroy notification).
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>
#include "ui/kind_api.h"
#include "ui/kinds/common/block.h"
#include "commands/library.h"

static_assert(sizeof(LOGFONTA) == 60, "font byte sets hold a LOGFONTA");

// ---- clamps ----
inline int32_t ui_Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// ---- border styles 0..5 (edit box, label, list box, progress bar) ----
enum : uint32_t {
    UI_BORDER_EX_MASK = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE,
    UI_BORDER_MASK = WS_BORDER,
};
// Extended style bits the border value adds (0 for values outside 1..4).
uint32_t ui_BorderExStyle(int32_t border);
// Plain style bits the border value adds (WS_BORDER for 5, else 0).
uint32_t ui_BorderStyle(int32_t border);
// Replaces the border bits of a live window and redraws its frame.
void ui_ApplyBorder(HWND hwnd, int32_t border);

// ---- fonts ----
// A font as a component holds it: `owned` fonts are deleted on release; the
// default GUI font is a stock object and never deleted.
struct UiFont {
    HFONT handle;
    bool owned;
};
// The font rule: a 60-byte LOGFONTA (with charset, precisions, quality and
// pitch forced) or, for any other length or when creation fails, the
// default GUI font. Releases what `font` held before.
void ui_FontSet(UiFont* font, const void* bytes, int32_t length);
void ui_FontRelease(UiFont* font);
// Creates the font of a 60-byte LOGFONTA by the rule; null otherwise.
HFONT ui_CreateFontFromBytes(const void* bytes, int32_t length);
// The LOGFONTA the rule derives from a 60-byte set (false for other lengths).
bool ui_FontRuleLogFont(const void* bytes, int32_t length, LOGFONTA* out);

// ---- colours ----
// UI_COLOUR_BUTTON_FACE (block.h) is the system button-face colour.
COLORREF ui_Colour(uint32_t value);
// A new solid brush of the colour (caller deletes it).
HBRUSH ui_CreateColourBrush(uint32_t value);

// ---- kind blocks ----
// Copies a finished writer into a runtime block (interface 5); *length gets
// its size. The caller frees it with rt_Free.
uint8_t* ui_BlockFromWriter(const ArchiveWriter* w, int32_t* length);
// A value record's text (null reads as empty).
inline std::string ui_ValueText(const ValueRecord* v) {
    const char* s = v ? (const char*)(uintptr_t)v->value : nullptr;
    return s ? std::string(s) : std::string();
}
// A value record's byte set (pointer, length); null or length <= 0 is empty.
inline std::string ui_ValueBytes(const ValueRecord* v) {
    if (!v || !v->value || (int32_t)v->length <= 0) return std::string();
    return std::string((const char*)(uintptr_t)v->value, v->length);
}
// Fills a get-property record with a stored text or byte set.
inline void ui_OutText(ValueRecord* out, const std::string& s) {
    out->value = (uint32_t)(uintptr_t)s.c_str();
    out->length = (uint32_t)s.size();
}
inline void ui_OutBytes(ValueRecord* out, const std::string& s) {
    out->value = s.empty() ? 0u : (uint32_t)(uintptr_t)s.data();
    out->length = (uint32_t)s.size();
}
inline void ui_OutInt(ValueRecord* out, uint32_t v) { out->value = v; out->length = 0; }

// ---- events ----
// Raises `event` of the component with argc (0..5) DWORD arguments. Returns
// 1 when a handler ran. The record variant hands back the result fields.
int32_t ui_RaiseEvent(const ComponentObject* obj, int32_t event, int32_t argc, ...);
int32_t ui_RaiseEventRecord(EventRecord* rec, const ComponentObject* obj, int32_t event,
                            int32_t argc, const uint32_t* args);
// Tells the runtime that the component's native window is gone (2000).
void ui_NotifyDestroyed(const ComponentObject* obj);

// ---- objects behind native windows ----
// The runtime object of a window of ours (its 0x8002 answer), or null.
ComponentObject* ui_ObjectFromHandle(HWND hwnd);
// Steps of component objects that do not pre-translate anything.
extern const FwWndSteps ui_plainSteps;

// ---- the live component's native window ----
struct UiControlHooks {
    // Sees every message before the native procedure (UI_REFLECT + msg
    // included); setting *handled answers it instead of the native one.
    LRESULT (*message)(ComponentObject* obj, UINT msg, WPARAM wp, LPARAM lp, bool* handled);
    // Called once after the native window is finally gone (WM_NCDESTROY has
    // run its native course; `hwnd` still names it): send the destroy
    // notification, free the object. Not called for a window that goes
    // while it is being created: its creator frees the object then.
    void (*destroyed)(ComponentObject* obj, HWND hwnd);
};
// The destroy hook of a kind: tells the runtime, releases what the object
// holds and frees it.
template <class T, void (*release)(T*)>
void ui_Destroyed(ComponentObject* obj, HWND) {
    ui_NotifyDestroyed(obj);
    release((T*)obj);
    delete (T*)obj;
}
// Registers a window class of our own (once; later calls find it):
// redraw on resize, double clicks, the arrow pointer, no background brush.
// Its windows are made by ui_CreateControl, whose hooks then see every
// message from WM_NCCREATE on.
bool ui_RegisterClass(const char* name);
// Replaces a kind's background brush with one of the colour.
void ui_ReplaceBrush(HBRUSH* brush, uint32_t colour);

// Where and how a kind's native window is made.
struct UiControlPlace {
    const char* className;  // a system control, or a class of ui_RegisterClass
    const char* text;
    uint32_t style;
    HWND parent;            // the owner of a top-level window
    int32_t controlId;
    int32_t left, top, width, height;
    uint32_t exStyle;
    HMENU menu;             // a top-level window's menu bar (instead of the id)
};
// The one way a kind makes its live component: fills the object header
// (plain steps unless the kind set its own), creates the native window and
// hooks it: a system control is subclassed once it exists, a window of our
// own class from its first message. 0x8002 answers the object. On failure
// nothing native is left (a half-made control is destroyed) and false is
// returned; the caller then releases what it made and frees the object.
bool ui_CreateControl(ComponentObject* obj, uint32_t kindId, uint32_t windowId, uint32_t componentId,
                      const UiControlPlace& place, const UiControlHooks* hooks);
// Forwards a native notification of the window procedure of a parent to the
// child it is about, as UI_REFLECT + msg. True (with *result) when the child
// is one of ours and answered; the parent's default processing applies
// otherwise (and for a zero colour-brush answer).
bool ui_ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

// ---- paced painting ----
// A control written once per file of a job would repaint at every write;
// under an emulated or remote display each repaint costs milliseconds. A
// paced control shows its newest state at most once a frame: its values
// change at once, only the drawing waits for the frame to end.
enum : UINT_PTR { UI_PACE_TIMER = 0x5650 };
enum : DWORD { UI_PACE_FRAME_MS = 100 };
struct UiPace {
    DWORD lastShown = 0;  // tick of the last drawing that went through
    bool armed = false;   // the end-of-frame timer is set
    bool held = false;    // redraw is off (a control that draws while written)
    bool due = false;     // the frame is over: the next paint goes through
};
// WM_PAINT with no DC given: true when the paint is put off (the update
// region is validated and the whole control repaints when the frame ends).
bool ui_PacePaint(HWND hwnd, UiPace* pace);
// Before a write to a control that draws as it is written (the list box):
// within a frame of the last drawing, redraw is held off until it ends.
void ui_PaceWrite(HWND hwnd, UiPace* pace);
// True when a write should not reach the display yet: the last drawing is
// within the frame. The end-of-frame timer is then set.
bool ui_PaceHold(HWND hwnd, UiPace* pace);
// Instead of InvalidateRect after a write: within a frame of the last
// drawing the invalidation waits for the frame to end (no paint is queued).
void ui_PaceInvalidate(HWND hwnd, UiPace* pace);
// WM_TIMER with UI_PACE_TIMER: true when it was the pace timer; the control
// is then redrawn in full.
bool ui_PaceTimer(HWND hwnd, UiPace* pace, WPARAM timerId);

// ---- interface 9: text conversion of a kind block ----
// `convert` returns a new text from rt_Allocate (freed by the caller of it)
// or null for the empty text.
typedef char* (*UiConvertTextFn)(const char* text);
// Returns a new block (rt_Allocate) with every text of `block` converted,
// *outLength its size; null when the block does not read.
typedef uint8_t* (*KindConvertTextsFn)(const uint8_t* block, int32_t length, UiConvertTextFn convert,
                                       int32_t* outLength);
// One text through the caller's function.
std::string ui_ConvertText(UiConvertTextFn convert, const std::string& text);
// The face name of a 60-byte font through the caller's function (other
// lengths are no font and stay as they are).
void ui_ConvertFontFace(UiConvertTextFn convert, std::string* font);

// A kind's block in the newest version (interface 5 of a live component).
template <class R>
uint8_t* ui_BlockOf(const UiBlockCode<R>& code, const R& props, int32_t* length) {
    ArchiveWriter w;
    ui_WriteBlock(code, props, &w, code.version);
    return ui_BlockFromWriter(&w, length);
}

// Interface 9 for any kind: reads the block by the kind's block code,
// passes every text field it lists through `convert`, writes it anew.
template <class R>
uint8_t* ui_ConvertBlockTexts(const UiBlockCode<R>& code, const uint8_t* block, int32_t length,
                              UiConvertTextFn convert, int32_t* outLength) {
    R record{};
    if (!ui_ReadBlock(code, block, length, &record)) return nullptr;
    for (size_t i = 0; i < code.fieldCount; i++) {
        const UiTextField<R>& f = code.fields[i];
        if (f.list) {
            for (std::string& s : record.*f.list) s = ui_ConvertText(convert, s);
        } else if (f.font) {
            ui_ConvertFontFace(convert, &(record.*f.text));
        } else {
            record.*f.text = ui_ConvertText(convert, record.*f.text);
        }
    }
    return ui_BlockOf(code, record, outLength);
}

// Interface 9 of the kind whose block code is `Code`.
template <auto& Code>
uint8_t* ui_ConvertTextsOf(const uint8_t* block, int32_t length, UiConvertTextFn convert, int32_t* outLength) {
    return ui_ConvertBlockTexts(Code, block, length, convert, outLength);
}

// ---- entry points ----
// A kind's entry points by interface number; null where it answers nothing.
struct UiKindEntries {
    KindCreateFn create;              // 1
    KindSetFn set;                    // 4
    KindWriteBlockFn writeBlock;      // 5
    KindGetFn get;                    // 6
    void* (*window7)(void);           // 7
    KindTakesKeyFn takesKey;          // 8
    KindConvertTextsFn convertTexts;  // 9
    KindIsDefaultFn isDefault;        // 10
};
// What a kind's interface function answers for `number`.
void* ui_KindEntry(const UiKindEntries& e, int32_t number);
