// Text commands of the first library: SplitText, TextRight, ToText,
// ToInteger, ByteSetLength. Texts are bytes in the ANSI code page; null is
// the empty text and an empty result is null.
#include "commands/library.h"
#include "commands/value_args.h"
#include "runtime/rt.h"
#include <string.h>

namespace {

// ---- SplitText ----

struct Piece {
    const char* start;
    int32_t length;
};

// Walks `text` once; calls emit(piece) per element. `limit` < 0 means
// unlimited. Returns the number of elements.
template <typename Emit>
int32_t splitScan(const char* text, const char* delim, int32_t limit, Emit emit) {
    const int32_t textLen = (int32_t)strlen(text);
    const int32_t delimLen = (int32_t)strlen(delim);
    int32_t n = 0;
    const char* piece = text;
    const char* p = text;
    const char* end = text + textLen;
    while (end - p >= delimLen) {
        if (memcmp(p, delim, (size_t)delimLen) == 0) {
            emit(Piece{piece, (int32_t)(p - piece)});
            n++;
            p += delimLen;
            piece = p;
            if (limit >= 0 && --limit == 0) return n;  // the rest is dropped
            continue;
        }
        if ((uint8_t)*p >= 0x80) {
            // A lead byte: the delimiter never matches at its trail byte.
            if (p[1] == 0) break;
            p += 2;
        } else {
            p += 1;
        }
    }
    if (piece < end) {
        emit(Piece{piece, (int32_t)(end - piece)});
        n++;
    }
    return n;
}

void* newTextArray(int32_t n) {
    int32_t* a = (int32_t*)lib_Allocate(8 + 4 * n);
    a[0] = 1;
    a[1] = n;
    return a;
}

// Reads an optional count argument; `absent` when omitted.
int32_t optionalInt(int32_t count, ArgRecord* args, int32_t i, int32_t absent) {
    const ArgRecord* a = lib_Arg(count, args, i);
    return a ? lib_ToInt(a) : absent;
}

// ---- ToText ----

// Signed 64-bit decimal without relying on the C library's "%lld".
int formatLong(int64_t v, char* out) {
    char tmp[24];
    int n = 0;
    uint64_t u = v < 0 ? (uint64_t)0 - (uint64_t)v : (uint64_t)v;
    do {
        tmp[n++] = (char)('0' + (int)(u % 10));
        u /= 10;
    } while (u);
    int len = 0;
    if (v < 0) out[len++] = '-';
    while (n) out[len++] = tmp[--n];
    out[len] = 0;
    return len;
}

int formatInt(int32_t v, char* out) { return formatLong(v, out); }

double doubleOf(const ArgRecord* a) {
    uint64_t bits = ((uint64_t)a->high << 32) | a->low;
    double d;
    memcpy(&d, &bits, 8);
    return d;
}

float floatOf(const ArgRecord* a) {
    float f;
    memcpy(&f, &a->low, 4);
    return f;
}

// Bytes up to the first zero byte, as a new text (null when empty).
char* textUpToZero(const uint8_t* p, int64_t n) {
    if (!p || n <= 0) return nullptr;
    const void* z = memchr(p, 0, (size_t)n);
    int64_t len = z ? (const uint8_t*)z - p : n;
    if (len > 0x7FFFFFF0) return nullptr;  // cannot be a text of this runtime
    return lib_TextFromBytes(p, (int32_t)len);
}

bool isNumericType(uint32_t t) { return (t >> 30) == 2u && (t & 0xFFu) == 0x01u && rt_ElementSize(t) > 0; }

// Raw element bytes of a numeric array block {d, dims..., elements}.
char* numericArrayText(const void* block, uint32_t elementType) {
    if (!block) return nullptr;
    const int32_t* h = (const int32_t*)block;
    int32_t d = h[0];
    if (d <= 0 || d > 64) return nullptr;
    int64_t count = 1;
    for (int32_t i = 0; i < d; i++) {
        if (h[1 + i] < 0) return nullptr;
        count *= h[1 + i];
        if (count > 0x7FFFFFFF) return nullptr;
    }
    const uint8_t* elements = (const uint8_t*)(h + 1 + d);
    return textUpToZero(elements, count * rt_ElementSize(elementType));
}

char* toText(const ArgRecord* a) {
    if (!a) return nullptr;
    char buf[80];
    int len = -1;
    switch (a->type) {
    case TYPE_BYTES: {
        const void* b = (const void*)(uintptr_t)a->low;
        return b ? textUpToZero(rt_ByteSetData(b), rt_ByteSetLength(b)) : nullptr;
    }
    case TYPE_INT: len = formatInt((int32_t)a->low, buf); break;
    case TYPE_BYTE: len = formatInt((int32_t)(a->low & 0xFFu), buf); break;
    case TYPE_SHORT: len = formatInt((int32_t)(int16_t)(a->low & 0xFFFFu), buf); break;
    case TYPE_LONG: len = formatLong((int64_t)(((uint64_t)a->high << 32) | a->low), buf); break;
    case TYPE_FLOAT: len = rt_FormatSingle(floatOf(a), buf); break;
    case TYPE_DOUBLE: len = rt_FormatDouble(doubleOf(a), buf); break;
    case TYPE_DATETIME: len = rt_FormatDateTime(doubleOf(a), buf); break;
    case TYPE_TEXT: return lib_DupText((const char*)(uintptr_t)a->low);
    case TYPE_BOOL: return lib_DupText(a->low ? "真" : "假");
    default:
        if ((a->type & TYPE_BYADDR) && isNumericType(a->type & ~TYPE_BYADDR))
            return numericArrayText((const void*)(uintptr_t)a->low, a->type & ~TYPE_BYADDR);
        return nullptr;
    }
    if (len <= 0) return nullptr;
    if (len >= (int)sizeof buf) len = (int)sizeof buf - 1;
    return lib_TextFromBytes(buf, len);
}

// ---- ToInteger ----

// Full-width forms of the ANSI code page read as their single-byte forms:
// U+FF01..U+FF5E as '!'..'~' and the ideographic space as a space. Any
// other double-byte character reads as a byte that ends a number.
char nextMapped(const char*& s) {
    uint8_t c = (uint8_t)*s;
    if (c >= 0x80 && s[1] && IsDBCSLeadByte(c)) {
        WCHAR w = 0;
        int ok = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, s, 2, &w, 1);
        s += 2;
        if (ok == 1 && w >= 0xFF01 && w <= 0xFF5E) return (char)(w - 0xFF01 + 0x21);
        if (ok == 1 && w == 0x3000) return ' ';
        return 'x';
    }
    if (c) s++;
    return (char)c;
}

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Read like the C library's decimal conversion; clamps instead of
// overflowing.
int32_t textToInt(const char* s) {
    if (!s) return 0;
    char c = nextMapped(s);
    while (isCSpace(c)) c = nextMapped(s);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = nextMapped(s);
    }
    int64_t v = 0;
    while (c >= '0' && c <= '9') {
        v = v * 10 + (c - '0');
        if (v > 0x80000000LL) v = 0x80000000LL;
        c = nextMapped(s);
    }
    if (negative) v = -v;
    if (v > 0x7FFFFFFF) v = 0x7FFFFFFF;
    return (int32_t)v;
}

int32_t truncateReal(double d) {
    if (d != d) return 0;
    if (d >= 2147483647.0) return 0x7FFFFFFF;
    if (d <= -2147483648.0) return (int32_t)0x80000000u;
    return (int32_t)d;  // toward zero
}

int32_t toInteger(const ArgRecord* a) {
    if (!a) return 0;
    switch (a->type) {
    case TYPE_TEXT: return textToInt((const char*)(uintptr_t)a->low);
    case TYPE_BOOL:
    case TYPE_INT:
    case TYPE_SUBROUTINE:
    case TYPE_LONG: return (int32_t)a->low;
    case TYPE_BYTE: return (int32_t)(a->low & 0xFFu);
    case TYPE_SHORT: return (int32_t)(int16_t)(a->low & 0xFFFFu);
    case TYPE_FLOAT: return truncateReal(floatOf(a));
    case TYPE_DOUBLE: return truncateReal(doubleOf(a));
    default: return 0;
    }
}

}  // namespace

extern "C" void cmd_SplitText(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* text = arg_Text(lib_Arg(count, args, 0));
    const ArgRecord* delimArg = lib_Arg(count, args, 1);
    const char* delim = delimArg ? arg_Text(delimArg) : ",";
    int32_t limit = optionalInt(count, args, 2, -1);
    if (lib_Arg(count, args, 2) && limit < 0) limit = 0;

    void* array;
    if (!text || !*text || limit == 0) {
        array = newTextArray(0);
    } else if (!delim || !*delim) {
        array = newTextArray(1);
        ((char**)((int32_t*)array + 2))[0] = lib_DupText(text);
    } else {
        int32_t n = splitScan(text, delim, limit, [](Piece) {});
        array = newTextArray(n);
        char** slot = (char**)((int32_t*)array + 2);
        splitScan(text, delim, limit, [&slot](Piece p) { *slot++ = lib_TextFromBytes(p.start, p.length); });
    }
    result->low = (uint32_t)(uintptr_t)array;
    result->high = 0;
    result->type = TYPE_TEXT | TYPE_BYADDR;
}

extern "C" void cmd_TextRight(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* text = arg_Text(lib_Arg(count, args, 0));
    int32_t n = optionalInt(count, args, 1, 0);
    int32_t len = text ? (int32_t)strlen(text) : 0;
    char* r = nullptr;
    if (n > 0) r = n >= len ? lib_DupText(text) : lib_TextFromBytes(text + len - n, n);
    lib_SetText(result, r);
}

extern "C" void cmd_ToText(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetText(result, toText(lib_Arg(count, args, 0)));
}

extern "C" void cmd_ToInteger(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetInt(result, toInteger(lib_Arg(count, args, 0)));
}

extern "C" void cmd_ByteSetLength(ArgRecord* result, int32_t count, ArgRecord* args) {
    lib_SetInt(result, rt_ByteSetLength(arg_ByteSet(lib_Arg(count, args, 0))));
}

// What each character of the system code page takes in UTF-8, asked of the
// platform once per character rather than once per text: the platform's
// decoding with error checks runs at about 100 MB a second under Wine, and
// a large file is read twice. 0: not a character (a zero byte is none
// either). A double-byte code page's characters are each one or two bytes
// and decode alone, so a table of them answers exactly as the whole text
// would; a code page of longer characters is decoded whole.
struct CharLengths {
    bool usable;             // at most two bytes a character
    bool lead[256];
    uint8_t single[256];
    bool rowFilled[256];
    uint8_t pairs[256][256];  // per lead byte, what it and each next byte make; filled when first met
};

static uint8_t utf8LengthOfChar(const char* bytes, int n) {
    WCHAR wide[2];
    int w = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, n, wide, 2);
    if (w <= 0) return 0;
    return (uint8_t)WideCharToMultiByte(CP_UTF8, 0, wide, w, nullptr, 0, nullptr, nullptr);
}

static CharLengths* charLengths() {
    static CharLengths table;
    static bool known = false;
    if (!known) {
        CPINFO info;
        table.usable = GetCPInfo(CP_ACP, &info) && info.MaxCharSize <= 2;
        if (table.usable)
            for (int r = 0; r + 1 < MAX_LEADBYTES && info.LeadByte[r]; r += 2)
                for (int b = info.LeadByte[r]; b <= info.LeadByte[r + 1]; b++) table.lead[b] = true;
        for (int b = 1; b < 256; b++) {
            char c = (char)b;
            if (!table.lead[b]) table.single[b] = utf8LengthOfChar(&c, 1);
        }
        known = true;
    }
    return &table;
}

static const uint8_t* pairsOf(CharLengths* t, uint8_t lead) {
    if (!t->rowFilled[lead]) {
        char pair[2] = {(char)lead, 0};
        for (int b = 1; b < 256; b++) {
            pair[1] = (char)b;
            t->pairs[lead][b] = utf8LengthOfChar(pair, 2);
        }
        t->rowFilled[lead] = true;
    }
    return t->pairs[lead];
}

// Decoded whole, in pieces cut before a byte below 0x80, which no
// character of such a code page (UTF-8 as the system's) continues into.
static int32_t pieceCutBeforeAscii(const uint8_t* bytes, int32_t at, int32_t n, int32_t piece) {
    int32_t end = n - at < piece ? n : at + piece;
    int32_t cut = end;
    while (cut > at && cut < n && bytes[cut] >= 0x80) cut--;
    return cut > at ? cut : end;
}

static int32_t utf8LengthDecoded(const uint8_t* bytes, int32_t n) {
    enum { kPiece = 16384 };
    static WCHAR wide[kPiece];
    int64_t total = 0;
    for (int32_t at = 0; at < n && total >= 0;) {
        int32_t end = pieceCutBeforeAscii(bytes, at, n, kPiece);
        int w = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, (const char*)bytes + at, end - at, wide, kPiece);
        total = w <= 0 ? -1 : total + WideCharToMultiByte(CP_UTF8, 0, wide, w, nullptr, 0, nullptr, nullptr);
        if (total > 0x7FFFFFFF) total = -1;
        at = end;
    }
    return (int32_t)total;
}

// The length in UTF-8 of bytes read as text in the system code page, or -1
// when they are not such text (a zero byte, or a sequence the code page
// does not decode).
static int32_t utf8LengthOfAnsi(const uint8_t* bytes, int32_t n) {
    if (n > 0 && memchr(bytes, 0, (size_t)n)) return -1;
    CharLengths* t = charLengths();
    if (!t->usable) return utf8LengthDecoded(bytes, n);
    int64_t total = 0;
    for (int32_t i = 0; i < n;) {
        uint8_t b = bytes[i];
        uint8_t len;
        if (!t->lead[b]) {
            len = t->single[b];
            i++;
        } else {
            if (i + 1 >= n) return -1;  // a lead byte cut off at the end
            len = pairsOf(t, b)[bytes[i + 1]];
            i += 2;
        }
        if (len == 0) return -1;
        total += len;
    }
    return total > 0x7FFFFFFF ? -1 : (int32_t)total;
}

// Of a text (up to its end) or a byte set (all its bytes).
extern "C" void cmd_Utf8Length(ArgRecord* result, int32_t count, ArgRecord* args) {
    const ArgRecord* a = lib_Arg(count, args, 0);
    const uint8_t* set = (const uint8_t*)arg_ByteSet(a);
    const char* text = arg_Text(a);
    int32_t length = 0;
    if (set) length = utf8LengthOfAnsi(set + 8, rt_ByteSetLength(set));
    else if (text) length = utf8LengthOfAnsi((const uint8_t*)text, (int32_t)strlen(text));
    lib_SetInt(result, length);
}

// (UTF-8 byte set, byte set in the code page, whole): whether the first is
// the UTF-8 form of the second, or with whole false, the start of it. The
// second is decoded in pieces of whole characters and compared as it goes: a large file is never held twice.
extern "C" void cmd_IsUtf8Of(ArgRecord* result, int32_t count, ArgRecord* args) {
    const uint8_t* utf8Set = (const uint8_t*)arg_ByteSet(lib_Arg(count, args, 0));
    const uint8_t* ansiSet = (const uint8_t*)arg_ByteSet(lib_Arg(count, args, 1));
    const ArgRecord* wholeArg = lib_Arg(count, args, 2);
    const bool whole = !wholeArg || wholeArg->low != 0;
    const uint8_t* utf8 = utf8Set ? utf8Set + 8 : nullptr;
    const int32_t utf8Length = rt_ByteSetLength(utf8Set);
    const uint8_t* bytes = ansiSet ? ansiSet + 8 : nullptr;
    const int32_t n = rt_ByteSetLength(ansiSet);
    enum { kPiece = 16384 };
    static WCHAR wide[kPiece];
    static char encoded[kPiece * 3];
    bool same = !(n > 0 && memchr(bytes, 0, (size_t)n));
    CharLengths* lengths = charLengths();
    int32_t matched = 0, at = 0;
    while (same && at < n && matched < utf8Length) {
        int32_t end = at;
        // Whole characters: in a double-byte code page a trail byte may be
        // below 0x80.
        if (lengths->usable)
            while (end < n && end - at < kPiece - 1) end += lengths->lead[bytes[end]] && end + 1 < n ? 2 : 1;
        else
            end = pieceCutBeforeAscii(bytes, at, n, kPiece);
        int w = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, (const char*)bytes + at, end - at, wide, kPiece);
        int e = w > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, w, encoded, (int)sizeof encoded, nullptr, nullptr) : 0;
        if (w <= 0 || e <= 0) {
            same = false;
            break;
        }
        int32_t compare = utf8Length - matched < e ? utf8Length - matched : e;
        same = memcmp(utf8 + matched, encoded, (size_t)compare) == 0;
        matched += compare;
        // A whole form must not end here while the text goes on.
        if (compare < e && whole) same = false;
        at = end;
    }
    // Whole: both at their ends. Else: the first is used up.
    if (same && whole && (matched < utf8Length || at < n)) same = false;
    if (same && !whole && matched < utf8Length) same = false;
    lib_SetBool(result, same);
}

// A text in the system code page as UTF-8 bytes, the byte-order mark first
// when argument 2 is true. Null for an empty result.
extern "C" void cmd_Utf8Bytes(ArgRecord* result, int32_t count, ArgRecord* args) {
    const char* text = arg_Text(lib_Arg(count, args, 0));
    const ArgRecord* bom = lib_Arg(count, args, 1);
    const bool withBom = bom && bom->low != 0;
    int n = text ? (int)strlen(text) : 0;
    int wideLength = n > 0 ? MultiByteToWideChar(CP_ACP, 0, text, n, nullptr, 0) : 0;
    WCHAR* wide = wideLength > 0 ? (WCHAR*)lib_Allocate(wideLength * 2) : nullptr;
    if (wide) MultiByteToWideChar(CP_ACP, 0, text, n, wide, wideLength);
    int length = wide ? WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, nullptr, 0, nullptr, nullptr) : 0;
    const int head = withBom ? 3 : 0;
    uint8_t* set = nullptr;
    if (length + head > 0) {
        set = (uint8_t*)lib_Allocate(8 + length + head);
        ((int32_t*)set)[0] = 1;
        ((int32_t*)set)[1] = length + head;
        memcpy(set + 8, "\xEF\xBB\xBF", (size_t)head);
        if (length > 0) WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, (char*)set + 8 + head, length, nullptr, nullptr);
    }
    lib_Free(wide);
    lib_SetBytes(result, set);
}
