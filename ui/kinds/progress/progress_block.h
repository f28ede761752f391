// The progress bar kind's property record and kind block (version 1,
// always 28 bytes; no texts).
#pragma once
#include "ui/kinds/common/block.h"

struct ProgressProps {
    int32_t border = 3;
    int32_t vertical = 0;
    int32_t smooth = 0;
    int32_t minimum = 0;
    int32_t maximum = 100;
    int32_t position = 0;
};

enum : int32_t { PROGRESS_BLOCK_SIZE = 28 };

// Reads a kind block (values as stored, no clamping). A null block or a
// length below 1 gives the defaults; version above 1 or a short block fails.
extern const UiBlockCode<ProgressProps> progress_Block;
inline bool progress_ReadBlock(const uint8_t* block, int32_t length, ProgressProps* out) {
    return ui_ReadBlock(progress_Block, block, length, out);
}
inline void progress_WriteBlock(const ProgressProps& p, ArchiveWriter* w, uint32_t version = 1) {
    ui_WriteBlock(progress_Block, p, w, version);
}
