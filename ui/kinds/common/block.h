// What every kind's block code shares, with no Win32 in it (the host
// template generator builds it): the archive helpers, the font image of
// 60-byte font properties, the text field list and the block code record.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>
#include "ui/template/archive.h"

// 0xFF000000 is the system button-face colour; anything else is 0x00BBGGRR.
enum : uint32_t { UI_COLOUR_BUTTON_FACE = 0xFF000000u };

// Stored texts and byte sets are kept as std::string (binary-safe).
inline void aw_Bytes(ArchiveWriter* w, const std::string& s) { aw_Counted(w, s.data(), (uint32_t)s.size()); }
inline void aw_Int(ArchiveWriter* w, int32_t v) { aw_Dword(w, (uint32_t)v); }
inline int32_t ar_Int(ArchiveReader* r) { return (int32_t)ar_Dword(r); }

// 60-byte LOGFONTA image: height, width, escapement, orientation, weight
// (LONGs), italic, underline, strike-out, charset, out precision, clip
// precision, quality, pitch-and-family (BYTEs), 32-byte face name.
struct UiLogFont {
    int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 400;
    uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 1;
    uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
    std::string face;   // at most 31 bytes kept, zero-filled to 32
};
enum : uint32_t { UI_LOGFONT_SIZE = 60 };
std::string ui_FontBytes(const UiLogFont& f);
// Decodes a 60-byte image; false for any other length.
bool ui_FontFromBytes(const void* p, uint32_t n, UiLogFont* out);

// The text fields a kind block lists: texts, fonts (their face name) and
// lists of texts, as members of the kind's property record.
template <class R>
struct UiTextField {
    std::string R::*text = nullptr;                // a text, or a font when `font`
    bool font = false;
    std::vector<std::string> R::*list = nullptr;  // or a list of texts
};
template <class R> constexpr UiTextField<R> ui_Text(std::string R::*m) { return {m, false, nullptr}; }
template <class R> constexpr UiTextField<R> ui_FontFace(std::string R::*m) { return {m, true, nullptr}; }
template <class R> constexpr UiTextField<R> ui_TextList(std::vector<std::string> R::*m) {
    return {nullptr, false, m};
}

// Item texts: a 16-bit count (0xFFFF: a 32-bit count follows), then the
// counted texts. Decoding never reads past the data; the texts read before
// a short read stay in *out and false is returned.
bool ui_DecodeItems(ArchiveReader* r, std::vector<std::string>* out);
void ui_EncodeItems(ArchiveWriter* w, const std::vector<std::string>& items);

// One field of a kind block, in block order: a DWORD (signed or not), three
// DWORDs, a counted text or byte set (a text may end at its first zero
// byte), a character in a 16-bit field, or a list of item texts. `since`
// is the first block version that holds it.
enum UiFieldType : uint8_t {
    UI_FIELD_INT, UI_FIELD_DWORD, UI_FIELD_DWORDS3, UI_FIELD_BYTES, UI_FIELD_ZTEXT, UI_FIELD_CHAR16,
    UI_FIELD_ITEMS,
};
template <class R>
struct UiBlockField {
    UiFieldType type;
    uint32_t since;
    int32_t R::*integer;
    uint32_t R::*dword;
    uint32_t (R::*dwords)[3];
    std::string R::*bytes;
    uint8_t R::*character;
    std::vector<std::string> R::*items;
};
template <class R> constexpr UiBlockField<R> ui_Field(int32_t R::*m, uint32_t since = 0) {
    return {UI_FIELD_INT, since, m, nullptr, nullptr, nullptr, nullptr, nullptr};
}
template <class R> constexpr UiBlockField<R> ui_Field(uint32_t R::*m, uint32_t since = 0) {
    return {UI_FIELD_DWORD, since, nullptr, m, nullptr, nullptr, nullptr, nullptr};
}
template <class R> constexpr UiBlockField<R> ui_Field(uint32_t (R::*m)[3], uint32_t since = 0) {
    return {UI_FIELD_DWORDS3, since, nullptr, nullptr, m, nullptr, nullptr, nullptr};
}
template <class R> constexpr UiBlockField<R> ui_Field(std::string R::*m, uint32_t since = 0) {
    return {UI_FIELD_BYTES, since, nullptr, nullptr, nullptr, m, nullptr, nullptr};
}
template <class R> constexpr UiBlockField<R> ui_ZField(std::string R::*m, uint32_t since = 0) {
    return {UI_FIELD_ZTEXT, since, nullptr, nullptr, nullptr, m, nullptr, nullptr};
}
template <class R> constexpr UiBlockField<R> ui_Field(uint8_t R::*m, uint32_t since = 0) {
    return {UI_FIELD_CHAR16, since, nullptr, nullptr, nullptr, nullptr, m, nullptr};
}
template <class R> constexpr UiBlockField<R> ui_Field(std::vector<std::string> R::*m, uint32_t since = 0) {
    return {UI_FIELD_ITEMS, since, nullptr, nullptr, nullptr, nullptr, nullptr, m};
}

// A kind's block code: its fields in block order (written once, read and
// written from the one list), the newest version (the one the kind
// writes), its defaults and its text fields.
template <class R>
struct UiBlockCode {
    uint32_t version;
    const UiBlockField<R>* layout;
    size_t layoutCount;
    R (*defaults)();
    const UiTextField<R>* fields;
    size_t fieldCount;
};

template <class R>
void ui_ReadField(ArchiveReader* r, const UiBlockField<R>& f, R* p) {
    switch (f.type) {
    case UI_FIELD_INT: p->*f.integer = ar_Int(r); break;
    case UI_FIELD_DWORD: p->*f.dword = ar_Dword(r); break;
    case UI_FIELD_DWORDS3: for (uint32_t& v : p->*f.dwords) v = ar_Dword(r); break;
    case UI_FIELD_BYTES: p->*f.bytes = ar_Text(r); break;
    case UI_FIELD_ZTEXT: p->*f.bytes = std::string(ar_Text(r).c_str()); break;
    case UI_FIELD_CHAR16:
        if (ar_Left(r) < 2) r->failed = true;
        if (r->failed) break;
        p->*f.character = r->p[0];
        r->p += 2;
        break;
    case UI_FIELD_ITEMS: ui_DecodeItems(r, &(p->*f.items)); break;
    }
}

template <class R>
void ui_WriteField(ArchiveWriter* w, const UiBlockField<R>& f, const R& p) {
    switch (f.type) {
    case UI_FIELD_INT: aw_Int(w, p.*f.integer); break;
    case UI_FIELD_DWORD: aw_Dword(w, p.*f.dword); break;
    case UI_FIELD_DWORDS3: for (uint32_t v : p.*f.dwords) aw_Dword(w, v); break;
    case UI_FIELD_BYTES: case UI_FIELD_ZTEXT: aw_Bytes(w, p.*f.bytes); break;
    case UI_FIELD_CHAR16: w->out.push_back((char)(p.*f.character)); w->out.push_back('\0'); break;
    case UI_FIELD_ITEMS: ui_EncodeItems(w, p.*f.items); break;
    }
}

// Reads a kind block: an empty block gives the defaults; a version above
// the newest or a block that ends early fails (*out is then the defaults).
template <class R>
bool ui_ReadBlock(const UiBlockCode<R>& code, const uint8_t* block, int32_t length, R* out) {
    *out = code.defaults();
    if (!block || length < 1) return true;
    ArchiveReader r = ar_Open(block, (size_t)length);
    uint32_t version = ar_Dword(&r);
    if (r.failed || version > code.version) return false;
    R p = code.defaults();
    for (size_t i = 0; i < code.layoutCount && !r.failed; i++)
        if (version >= code.layout[i].since) ui_ReadField(&r, code.layout[i], &p);
    if (r.failed) return false;
    *out = p;
    return true;
}

// Writes a kind block in `version` (fields of later versions left out).
template <class R>
void ui_WriteBlock(const UiBlockCode<R>& code, const R& p, ArchiveWriter* w, uint32_t version) {
    aw_Dword(w, version);
    for (size_t i = 0; i < code.layoutCount; i++)
        if (version >= code.layout[i].since) ui_WriteField(w, code.layout[i], p);
}

// The block of a property record in the newest version.
template <class R>
std::string ui_BlockBytes(const UiBlockCode<R>& code, const R& props) {
    ArchiveWriter w;
    ui_WriteBlock(code, props, &w, code.version);
    return w.out;
}

template <class R> R ui_Defaults() { return R(); }
#define UI_COUNT(a) (sizeof(a) / sizeof((a)[0]))
