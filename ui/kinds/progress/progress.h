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

KindCreate progress_Create;
KindSet progress_Set;
KindGet progress_Get;
KindWriteBlock progress_WriteKindBlock;

void* kind_progress_iface(int32_t number);
