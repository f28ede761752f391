#include "ui/kinds/window/window_block.h"

bool window_ReadBlock(const uint8_t* block, int32_t length, WindowProps* out) {
    *out = WindowProps();
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > 6) return false;
    WindowProps p;
    p.border = ar_Int(&r);
    p.layout = ar_Int(&r);
    p.colour = ar_Dword(&r);
    p.maxBox = ar_Int(&r);
    p.minBox = ar_Int(&r);
    p.controlBox = ar_Int(&r);
    p.position = ar_Int(&r);
    p.movable = ar_Int(&r);
    p.soundRepeat = ar_Int(&r);
    p.enterMovesFocus = ar_Int(&r);
    p.escCloses = ar_Int(&r);
    p.f1Help = ar_Int(&r);
    p.helpContext = ar_Int(&r);
    if (version > 1) p.inTaskbar = ar_Int(&r);
    if (version > 2) {
        p.dragAnywhere = ar_Int(&r);
        p.shape = ar_Int(&r);
    }
    if (version > 3) p.topmost = ar_Int(&r);
    if (version > 4) p.flag30 = ar_Int(&r);
    if (version == 6) p.className = ar_Text(&r);
    p.picture = ar_Text(&r);
    p.icon = ar_Text(&r);
    p.sound = ar_Text(&r);
    p.title = ar_Text(&r);
    p.helpFile = ar_Text(&r);
    if (r.failed) return false;
    // Texts end at their first zero byte.
    p.className = std::string(p.className.c_str());
    p.title = std::string(p.title.c_str());
    p.helpFile = std::string(p.helpFile.c_str());
    *out = p;
    return true;
}

void window_WriteBlock(const WindowProps& p, ArchiveWriter* w, uint32_t version) {
    aw_Dword(w, version);
    const int32_t words[] = {p.border, p.layout, (int32_t)p.colour, p.maxBox, p.minBox, p.controlBox,
                             p.position, p.movable, p.soundRepeat, p.enterMovesFocus, p.escCloses,
                             p.f1Help, p.helpContext};
    for (int32_t v : words) aw_Int(w, v);
    if (version > 1) aw_Int(w, p.inTaskbar);
    if (version > 2) {
        aw_Int(w, p.dragAnywhere);
        aw_Int(w, p.shape);
    }
    if (version > 3) aw_Int(w, p.topmost);
    if (version > 4) aw_Int(w, p.flag30);
    if (version == 6) aw_Text(w, p.className);
    aw_Bytes(w, p.picture);
    aw_Bytes(w, p.icon);
    aw_Bytes(w, p.sound);
    aw_Text(w, p.title);
    aw_Text(w, p.helpFile);
}

static const UiTextField<WindowProps> kTexts[] = {
    ui_Text(&WindowProps::className), ui_Text(&WindowProps::title), ui_Text(&WindowProps::helpFile)};
const UiBlockCode<WindowProps> window_Block = {window_ReadBlock, window_WriteBlock, 6, kTexts,
                                               sizeof kTexts / sizeof kTexts[0]};
