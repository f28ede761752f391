#include "ui/kinds/progress/progress_block.h"

bool progress_ReadBlock(const uint8_t* block, int32_t length, ProgressProps* out) {
    *out = ProgressProps();
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 1) return false;
    ProgressProps p;
    p.border = ar_Int(&r);
    p.vertical = ar_Int(&r);
    p.smooth = ar_Int(&r);
    p.minimum = ar_Int(&r);
    p.maximum = ar_Int(&r);
    p.position = ar_Int(&r);
    if (r.failed) return false;
    *out = p;
    return true;
}

void progress_WriteBlock(const ProgressProps& p, ArchiveWriter* w, uint32_t version) {
    aw_Dword(w, version);
    aw_Int(w, p.border);
    aw_Int(w, p.vertical);
    aw_Int(w, p.smooth);
    aw_Int(w, p.minimum);
    aw_Int(w, p.maximum);
    aw_Int(w, p.position);
}

const UiBlockCode<ProgressProps> progress_Block = {progress_ReadBlock, progress_WriteBlock, 1, nullptr, 0};
