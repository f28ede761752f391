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

bool ui_DecodeItems(ArchiveReader* r, std::vector<std::string>* out) {
    out->clear();
    if (r->failed || ar_Left(r) < 2) {
        r->failed = true;
        return false;
    }
    uint32_t count = (uint32_t)r->p[0] | ((uint32_t)r->p[1] << 8);
    r->p += 2;
    if (count == 0xFFFF) count = ar_Dword(r);
    // The count is not trusted: every text must be present in the data.
    for (uint32_t i = 0; i < count && !r->failed; i++) {
        std::string s = ar_Text(r);
        if (!r->failed) out->push_back(s);
    }
    return !r->failed;
}

void ui_EncodeItems(ArchiveWriter* w, const std::vector<std::string>& items) {
    uint32_t n = (uint32_t)items.size();
    if (n < 0xFFFF) {
        w->out.push_back((char)(n & 0xFF));
        w->out.push_back((char)(n >> 8));
    } else {
        w->out.append("\xFF\xFF", 2);
        aw_Dword(w, n);
    }
    for (const std::string& s : items) aw_Text(w, s);
}
