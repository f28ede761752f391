#include "ui/kinds/progress/progress.h"
#include <commctrl.h>

int32_t progress_ShownPosition(const ProgressProps& p) {
    int32_t m = p.minimum > p.position ? p.minimum : p.position;
    return p.maximum < m ? p.maximum : m;
}

// The native control paints at every position it gets, and positions come
// once per file: within a frame only the last one reaches it, when the frame
// ends. Until then PBM_GETPOS answers that position.
static void flushPosition(ProgressObject* o) {
    if (!o->pending) return;
    o->pending = false;
    SendMessageA(o->head.fw.hwnd, PBM_SETPOS, (WPARAM)o->pendingPosition, 0);
}

// The range clamps the position the control holds: a held one reaches it
// first (the subclass hook sees PBM_SETRANGE).
static void sendRange(const ProgressObject* o) {
    int32_t lo = o->props.minimum, hi = o->props.maximum;
    if (lo > hi) { int32_t t = lo; lo = hi; hi = t; }
    SendMessageA(o->head.fw.hwnd, PBM_SETRANGE, 0, MAKELPARAM((WORD)lo, (WORD)hi));
}

static void sendPosition(ProgressObject* o) {
    int32_t shown = progress_ShownPosition(o->props);
    if (ui_PaceHold(o->head.fw.hwnd, &o->pace)) {
        o->pending = true;
        o->pendingPosition = shown;
        return;
    }
    o->pending = false;
    SendMessageA(o->head.fw.hwnd, PBM_SETPOS, (WPARAM)shown, 0);
}

static void releaseNothing(ProgressObject*) {}

static LRESULT progressMessage(ComponentObject* obj, UINT msg, WPARAM wp, LPARAM, bool* handled) {
    ProgressObject* o = (ProgressObject*)obj;
    if (msg == WM_PAINT && wp == 0) {
        *handled = ui_PacePaint(obj->fw.hwnd, &o->pace);
    } else if (msg == WM_TIMER) {
        *handled = ui_PaceTimer(obj->fw.hwnd, &o->pace, wp);
        if (*handled) flushPosition(o);
    } else if (msg == PBM_GETPOS && o->pending) {
        *handled = true;
        return o->pendingPosition;
    } else if (msg >= PBM_SETRANGE && msg <= PBM_SETSTATE && o->pending) {
        flushPosition(o);  // anything else the control is asked sees the position first
    }
    return 0;
}

static const UiControlHooks kHooks = {progressMessage, ui_Destroyed<ProgressObject, releaseNothing>};

ComponentObject* progress_Create(const uint8_t* block, int32_t length, uint32_t extraStyle,
                                 HWND parent, int32_t controlId, HMENU,
                                 int32_t left, int32_t top, int32_t width, int32_t height,
                                 uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    ProgressProps props;
    if (!progress_ReadBlock(block, length, &props)) return nullptr;
    static bool registered = false;
    if (!registered) {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
        registered = InitCommonControlsEx(&icc) != FALSE;
    }
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | extraStyle;
    if (props.vertical) style |= PBS_VERTICAL;
    if (props.smooth) style |= PBS_SMOOTH;
    ProgressObject* o = new ProgressObject();
    o->props = props;
    UiControlPlace place = {"msctls_progress32", nullptr, style, parent, controlId,
                            left, top, width, height, 0, nullptr};
    if (!ui_CreateControl(&o->head, KIND_PROGRESS, windowId, componentId, place, &kHooks)) {
        delete o;
        return nullptr;
    }
    HWND hwnd = o->head.fw.hwnd;
    sendRange(o);
    sendPosition(o);
    ui_ApplyBorder(hwnd, props.border);
    return &o->head;
}

int32_t progress_Set(ComponentObject* obj, int32_t index, const ValueRecord* value, int32_t) {
    if (!obj || !value) return 0;
    ProgressObject* o = (ProgressObject*)obj;
    int32_t v = (int32_t)value->value;
    switch (index) {
    case 0:
        o->props.border = ui_Clamp(v, 0, 5);
        ui_ApplyBorder(obj->fw.hwnd, o->props.border);
        return 0;
    case 1:
    case 2: {
        int32_t* field = index == 1 ? &o->props.vertical : &o->props.smooth;
        v = ui_Clamp(v, 0, 1);
        if (v == *field) return 0;
        *field = v;
        return 1;
    }
    case 3:
        o->props.minimum = ui_Clamp(v, 0, 32767);
        sendRange(o);
        return 0;
    case 4:
        o->props.maximum = ui_Clamp(v, 0, 32767);
        sendRange(o);
        return 0;
    case 5:
        o->props.position = ui_Clamp(v, 0, 32767);
        sendPosition(o);
        return 0;
    default:
        return 0;
    }
}

int32_t progress_Get(ComponentObject* obj, int32_t index, ValueRecord* out) {
    if (!obj || !out) return 0;
    const ProgressProps& p = ((ProgressObject*)obj)->props;
    const int32_t values[6] = {p.border, p.vertical, p.smooth, p.minimum, p.maximum, p.position};
    if (index < 0 || index > 5) return 0;
    ui_OutInt(out, (uint32_t)values[index]);
    return 1;
}

uint8_t* progress_WriteKindBlock(ComponentObject* obj, int32_t* length) {
    return obj ? ui_BlockOf(progress_Block, ((ProgressObject*)obj)->props, length) : nullptr;
}

static const UiKindEntries kProgressEntries = {progress_Create, progress_Set, progress_WriteKindBlock, progress_Get,
                                                 nullptr, nullptr, nullptr, nullptr};

void* kind_progress_iface(int32_t number) { return ui_KindEntry(kProgressEntries, number); }
