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

// A kind's block code: reads a kind block into the property record (an
// empty block gives the defaults; a version above `version` or a short
// block fails), writes it in a given version, and lists its text fields.
template <class R>
struct UiBlockCode {
    bool (*read)(const uint8_t* block, int32_t length, R* out);
    void (*write)(const R& props, ArchiveWriter* w, uint32_t version);
    uint32_t version;  // the newest, which the kind writes
    const UiTextField<R>* fields;
    size_t fieldCount;
};

// The block of a property record in the newest version.
template <class R>
std::string ui_BlockBytes(const UiBlockCode<R>& code, const R& props) {
    ArchiveWriter w;
    code.write(props, &w, code.version);
    return w.out;
}
