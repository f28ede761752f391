// Archive primitives of template data and kind blocks: little-endian DWORDs,
// counted texts and byte buffers, zero-terminated texts. The reader never
// runs past its end: a short read sets `failed` and yields zero/empty.
#pragma once
#include <stdint.h>
#include <string.h>
#include <string>

struct ArchiveReader {
    const uint8_t* p;
    const uint8_t* end;
    bool failed;
};

inline ArchiveReader ar_Open(const void* data, size_t size) {
    const uint8_t* b = (const uint8_t*)data;
    return ArchiveReader{b, b + size, false};
}
inline size_t ar_Left(const ArchiveReader* r) { return (size_t)(r->end - r->p); }
// A little-endian DWORD at a place already known to hold one.
inline uint32_t rd32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}

inline uint32_t ar_Dword(ArchiveReader* r) {
    if (r->failed || ar_Left(r) < 4) { r->failed = true; return 0; }
    uint32_t v;
    memcpy(&v, r->p, 4);
    r->p += 4;
    return v;
}
// Counted text or byte buffer: returns a pointer into the data, *n its size.
inline const uint8_t* ar_Counted(ArchiveReader* r, uint32_t* n) {
    uint32_t len = ar_Dword(r);
    if (r->failed || ar_Left(r) < len) { r->failed = true; *n = 0; return nullptr; }
    const uint8_t* at = r->p;
    r->p += len;
    *n = len;
    return at;
}
inline std::string ar_Text(ArchiveReader* r) {
    uint32_t n;
    const uint8_t* at = ar_Counted(r, &n);
    return at ? std::string((const char*)at, n) : std::string();
}
// Zero-terminated text; the terminator is consumed.
inline const char* ar_ZText(ArchiveReader* r) {
    if (r->failed) return "";
    const uint8_t* z = (const uint8_t*)memchr(r->p, 0, ar_Left(r));
    if (!z) { r->failed = true; return ""; }
    const char* s = (const char*)r->p;
    r->p = z + 1;
    return s;
}
inline void ar_Skip(ArchiveReader* r, size_t n) {
    if (r->failed || ar_Left(r) < n) { r->failed = true; return; }
    r->p += n;
}

struct ArchiveWriter {
    std::string out;
};
inline void aw_Dword(ArchiveWriter* w, uint32_t v) { w->out.append((const char*)&v, 4); }
inline void aw_Counted(ArchiveWriter* w, const void* p, uint32_t n) {
    aw_Dword(w, n);
    if (n) w->out.append((const char*)p, n);
}
inline void aw_Text(ArchiveWriter* w, const std::string& s) { aw_Counted(w, s.data(), (uint32_t)s.size()); }
inline void aw_ZText(ArchiveWriter* w, const char* s) { w->out.append(s ? s : ""); w->out.push_back('\0'); }
