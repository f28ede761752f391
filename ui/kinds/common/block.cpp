#include "ui/kinds/common/block.h"

std::string ui_FontBytes(const UiLogFont& f) {
    ArchiveWriter w;
    aw_Int(&w, f.height);
    aw_Int(&w, f.width);
    aw_Int(&w, f.escapement);
    aw_Int(&w, f.orientation);
    aw_Int(&w, f.weight);
    const uint8_t b[8] = {f.italic, f.underline, f.strikeOut, f.charSet,
                          f.outPrecision, f.clipPrecision, f.quality, f.pitchAndFamily};
    w.out.append((const char*)b, 8);
    std::string face = f.face.substr(0, 31);
    face.resize(32, '\0');
    w.out.append(face);
    return w.out;
}

bool ui_FontFromBytes(const void* p, uint32_t n, UiLogFont* out) {
    if (!p || n != UI_LOGFONT_SIZE) return false;
    ArchiveReader r = ar_Open(p, n);
    UiLogFont f;
    f.height = ar_Int(&r);
    f.width = ar_Int(&r);
    f.escapement = ar_Int(&r);
    f.orientation = ar_Int(&r);
    f.weight = ar_Int(&r);
    const uint8_t* b = r.p;
    f.italic = b[0]; f.underline = b[1]; f.strikeOut = b[2]; f.charSet = b[3];
    f.outPrecision = b[4]; f.clipPrecision = b[5]; f.quality = b[6]; f.pitchAndFamily = b[7];
    const char* face = (const char*)b + 8;
    f.face.assign(face, strnlen(face, 32));
    *out = f;
    return true;
}
