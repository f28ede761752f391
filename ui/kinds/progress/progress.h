// The progress bar kind: a native "msctls_progress32" control.
#pragma once
#include "ui/kinds/common/common.h"
#include "ui/kinds/progress/progress_block.h"

struct ProgressObject {
    ComponentObject head;
    ProgressProps props;
    UiPace pace;  // the native control repaints at every position
    bool pending = false;      // a position the native control gets at frame end
    int32_t pendingPosition = 0;
};

// The position the control shows for the stored values.
int32_t progress_ShownPosition(const ProgressProps& p);

ComponentObject* progress_Create(const uint8_t* block, int32_t length, uint32_t extraStyle,
                                 HWND parent, int32_t controlId, HMENU menu,
                                 int32_t left, int32_t top, int32_t width, int32_t height,
                                 uint32_t windowId, uint32_t componentId,
                                 uint32_t reserved1, uint32_t reserved2);
int32_t progress_Set(ComponentObject* obj, int32_t index, const ValueRecord* value, int32_t reserved);
int32_t progress_Get(ComponentObject* obj, int32_t index, ValueRecord* out);
uint8_t* progress_WriteKindBlock(ComponentObject* obj, int32_t* length);

void* kind_progress_iface(int32_t number);
