// Kind block writers in each kind's field order.
#include "ui/template/kind_blocks.h"
#include "ui/template/archive.h"

static void putInt(ArchiveWriter* w, int32_t v) { aw_Dword(w, (uint32_t)v); }
static void putBytes(ArchiveWriter* w, const std::string& s) { aw_Counted(w, s.data(), (uint32_t)s.size()); }

std::string tpl_FontBytes(const TplFont& f) {
    ArchiveWriter w;
    putInt(&w, f.height);
    putInt(&w, f.width);
    putInt(&w, f.escapement);
    putInt(&w, f.orientation);
    putInt(&w, f.weight);
    const uint8_t b[8] = {f.italic, f.underline, f.strikeOut, f.charSet,
                          f.outPrecision, f.clipPrecision, f.quality, f.pitchAndFamily};
    w.out.append((const char*)b, 8);
    std::string face = f.face.substr(0, 31);
    face.resize(32, '\0');
    w.out.append(face);
    return w.out;
}

bool tpl_FontFromBytes(const void* p, uint32_t n, TplFont* out) {
    if (!p || n != TPL_LOGFONT_SIZE) return false;
    ArchiveReader r = ar_Open(p, n);
    TplFont f;
    f.height = (int32_t)ar_Dword(&r);
    f.width = (int32_t)ar_Dword(&r);
    f.escapement = (int32_t)ar_Dword(&r);
    f.orientation = (int32_t)ar_Dword(&r);
    f.weight = (int32_t)ar_Dword(&r);
    const uint8_t* b = r.p;
    f.italic = b[0]; f.underline = b[1]; f.strikeOut = b[2]; f.charSet = b[3];
    f.outPrecision = b[4]; f.clipPrecision = b[5]; f.quality = b[6]; f.pitchAndFamily = b[7];
    const char* face = (const char*)b + 8;
    f.face.assign(face, strnlen(face, 32));
    *out = f;
    return true;
}

std::string tpl_WindowBlock(const TplWindowBlock& b) {
    ArchiveWriter w;
    aw_Dword(&w, b.version);
    putInt(&w, b.border);
    putInt(&w, b.pictureLayout);
    aw_Dword(&w, b.background);
    putInt(&w, b.maxBox);
    putInt(&w, b.minBox);
    putInt(&w, b.controlBox);
    putInt(&w, b.position);
    putInt(&w, b.movable);
    putInt(&w, b.soundRepeat);
    putInt(&w, b.enterMovesFocus);
    putInt(&w, b.escCloses);
    putInt(&w, b.f1Help);
    putInt(&w, b.helpContext);
    if (b.version > 1) putInt(&w, b.inTaskbar);
    if (b.version > 2) { putInt(&w, b.dragAnywhere); putInt(&w, b.shape); }
    if (b.version > 3) putInt(&w, b.alwaysOnTop);
    if (b.version > 4) putInt(&w, b.flag30);
    if (b.version == 6) putBytes(&w, b.className);
    putBytes(&w, b.picture);
    putBytes(&w, b.icon);
    putBytes(&w, b.sound);
    putBytes(&w, b.title);
    putBytes(&w, b.helpFile);
    return w.out;
}

std::string tpl_EditBlock(const TplEditBlock& b) {
    ArchiveWriter w;
    aw_Dword(&w, b.version);
    putInt(&w, b.border);
    aw_Dword(&w, b.textColour);
    aw_Dword(&w, b.background);
    putInt(&w, b.hideSelection);
    putInt(&w, b.maxLength);
    putInt(&w, b.multiLine);
    putInt(&w, b.scrollBars);
    putInt(&w, b.alignment);
    putInt(&w, b.inputMode);
    // A 16-bit field: character in the low byte.
    const uint8_t pw[2] = {b.passwordChar, 0};
    w.out.append((const char*)pw, 2);
    putInt(&w, b.caseConversion);
    putInt(&w, b.spinMode);
    putInt(&w, b.spinMin);
    putInt(&w, b.spinMax);
    putInt(&w, b.selStart);
    putInt(&w, b.selLength);
    putBytes(&w, b.font);
    putBytes(&w, b.content);
    if (b.version == 2) { putBytes(&w, b.dataSource); putBytes(&w, b.dataColumn); }
    return w.out;
}

std::string tpl_LabelBlock(const TplLabelBlock& b) {
    ArchiveWriter w;
    aw_Dword(&w, b.version);
    putInt(&w, b.textEffect);
    putInt(&w, b.frameWidth);
    putInt(&w, b.border);
    for (uint32_t c : b.frame) aw_Dword(&w, c);
    aw_Dword(&w, b.textColour);
    aw_Dword(&w, b.background);
    putInt(&w, b.pictureMode);
    putInt(&w, b.gradientMode);
    for (uint32_t c : b.gradient) aw_Dword(&w, c);
    putInt(&w, b.hAlign);
    putInt(&w, b.vAlign);
    putInt(&w, b.wordWrap);
    putBytes(&w, b.font);
    putBytes(&w, b.picture);
    putBytes(&w, b.caption);
    if (b.version == 2) { putBytes(&w, b.dataSource); putBytes(&w, b.dataColumn); }
    return w.out;
}

std::string tpl_ButtonBlock(const TplButtonBlock& b) {
    ArchiveWriter w;
    aw_Dword(&w, b.version);
    putInt(&w, b.defaultButton);
    putInt(&w, b.hAlign);
    putInt(&w, b.vAlign);
    putBytes(&w, b.picture);
    putBytes(&w, b.font);
    putBytes(&w, b.caption);
    return w.out;
}

std::string tpl_CheckBoxBlock(const TplCheckBoxBlock& b) {
    ArchiveWriter w;
    aw_Dword(&w, b.version);
    putInt(&w, b.pushLike);
    putInt(&w, b.flat);
    putInt(&w, b.textOnLeft);
    putInt(&w, b.hAlign);
    putInt(&w, b.vAlign);
    aw_Dword(&w, b.textColour);
    aw_Dword(&w, b.background);
    putInt(&w, b.checked);
    putBytes(&w, b.picture);
    putBytes(&w, b.font);
    putBytes(&w, b.caption);
    if (b.version == 2) { putBytes(&w, b.dataSource); putBytes(&w, b.dataColumn); }
    return w.out;
}

std::string tpl_ListItems(const std::string* texts, uint32_t count) {
    ArchiveWriter w;
    if (count < 0xFFFF) {
        const uint8_t c[2] = {(uint8_t)count, (uint8_t)(count >> 8)};
        w.out.append((const char*)c, 2);
    } else {
        w.out.append("\xFF\xFF", 2);
        aw_Dword(&w, count);
    }
    for (uint32_t i = 0; i < count; i++) putBytes(&w, texts[i]);
    return w.out;
}

std::string tpl_ListBoxBlock(const TplListBoxBlock& b) {
    ArchiveWriter w;
    aw_Dword(&w, b.version);
    putInt(&w, b.border);
    putInt(&w, b.sorted);
    putInt(&w, b.multiColumn);
    putInt(&w, b.rowSpacing);
    aw_Dword(&w, b.textColour);
    aw_Dword(&w, b.background);
    putInt(&w, b.multiSelect);
    putInt(&w, b.currentSelection);
    putBytes(&w, b.font);
    putBytes(&w, b.itemData);
    w.out.append(b.items.empty() ? tpl_ListItems(nullptr, 0) : b.items);
    if (b.version >= 2) { putBytes(&w, b.dataSource); putBytes(&w, b.dataColumn); }
    if (b.version == 3) putInt(&w, b.listFlag);
    return w.out;
}

std::string tpl_ProgressBlock(const TplProgressBlock& b) {
    ArchiveWriter w;
    aw_Dword(&w, b.version);
    putInt(&w, b.border);
    putInt(&w, b.vertical);
    putInt(&w, b.smooth);
    putInt(&w, b.minimum);
    putInt(&w, b.maximum);
    putInt(&w, b.position);
    return w.out;
}
