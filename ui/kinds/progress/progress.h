// The progress bar kind: a native "msctls_progress32" control.
#pragma once
#include "ui/kinds/common/common.h"

struct ProgressProps {
    int32_t border = 3;
    int32_t vertical = 0;
    int32_t smooth = 0;
    int32_t minimum = 0;
    int32_t maximum = 100;
    int32_t position = 0;
};

struct ProgressObject {
    ComponentObject head;
    ProgressProps props;
    UiPace pace;  // the native control repaints at every position
    bool pending = false;      // a position the native control gets at frame end
    int32_t pendingPosition = 0;
};

enum : int32_t { PROGRESS_BLOCK_SIZE = 28 };

// Reads a kind block (values as stored, no clamping). A null block or a
// length below 1 gives the defaults; version above 1 or a short block fails.
bool progress_ReadBlock(const uint8_t* block, int32_t length, ProgressProps* out);
void progress_WriteBlock(const ProgressProps& p, ArchiveWriter* w);
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
