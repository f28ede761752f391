// The skip rule and the UTF-8 rewrite of one file. The encoding itself is
// done by the platform's stream automation object, driven by name.
#include <string.h>
#include "runtime/service_table.h"
#include "app/module.h"
#include "app/rewrite.h"

// The length of the well-formed UTF-8 sequence at `b` (at most `left`
// bytes), 0 when there is none: overlong forms, surrogates, code points
// above 0x10FFFF and the lead bytes C0, C1 and F5 to FF are not UTF-8, and
// GBK text often looks like them ("联通" is C1 AA CD A8).
static int32_t utf8Sequence(const uint8_t* b, int32_t left) {
    uint8_t lead = b[0];
    int32_t n;
    uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (left < n || b[1] < low || b[1] > high) return 0;
    for (int32_t i = 2; i < n; i++)
        if ((b[i] & 0xC0) != 0x80) return 0;
    return n;
}

bool IsUtf8Text(const uint8_t* content, int32_t length) {
    if (length <= 0 || !content) return false;
    int32_t stored = ((const int32_t*)content)[1];
    int32_t n = length < stored ? length : stored;
    const uint8_t* bytes = content + 8;
    bool allAscii = true;
    for (int32_t i = 0; i < n;) {
        if (bytes[i] < 0x80) {
            i++;
            continue;
        }
        int32_t len = utf8Sequence(bytes + i, n - i);
        if (len == 0) return false;
        allAscii = false;
        i += len;
    }
    return !allAscii;
}

// Foreign command numbers of the program image and the location values of
// the two call sites.
enum : uint32_t { kForeignCoInitialize = 1, kForeignCoUninitialize = 2 };
enum : int32_t { kLocRewrite = 0x04014E71, kLocCoInitialize = 0x3A1, kLocCoUninitialize = 0x3A9 };

// "SaveToFile" options: 1 makes a new file and fails where one exists.
enum : int32_t { kSaveCreateNotExist = 1 };

static ArgRecord textArg(const char* s) { return ArgRecord{(uint32_t)(uintptr_t)s, 0, TYPE_TEXT}; }
static ArgRecord objectArg(void* record) { return ArgRecord{(uint32_t)(uintptr_t)record, 0, TYPE_AUTOMATION}; }
static ArgRecord bytesArg(const uint8_t* set) { return ArgRecord{(uint32_t)(uintptr_t)set, 0, TYPE_BYTES}; }
static int32_t byteCount(const uint8_t* set) { return set ? ((const int32_t*)set)[1] : 0; }

static bool createStream(void* record) {
    ArgRecord a[2] = {objectArg(record), textArg(K("adodb.stream"))};
    return mod_Call(CMD_CreateAutomationObject, 2, a).low != 0;
}

// Each stream operation must leave status 0: a failed "WriteText" or
// "CopyTo" would otherwise save a short stream as if it were the file.
static bool setProperty(void* record, const char* name, ArgRecord value) {
    ArgRecord a[3] = {objectArg(record), textArg(name), value};
    mod_Call(CMD_SetAutomationProperty, 3, a);
    return mod_Call(CMD_AutomationStatus, 0, nullptr).low == 0;
}

static bool callMethod(void* record, const char* name, int32_t n, const ArgRecord* extra) {
    ArgRecord a[4] = {objectArg(record), textArg(name), mod_Omitted(), mod_Omitted()};
    for (int32_t i = 0; i < n && i < 2; i++) a[2 + i] = extra[i];
    mod_Call(CMD_CallAutomationMethod, 2 + n, a);
    return mod_Call(CMD_AutomationStatus, 0, nullptr).low == 0;
}

static void* newObjectRecord(void) {
    uint32_t* r = (uint32_t*)SVC->Allocate(8);
    r[0] = r[1] = 0;
    return r;
}

char* TemporaryPathFor(const char* path) { return ConcatTexts(2, path, K(kTemporarySuffix)); }

static char* stampOf(const char* path) { return (char*)(uintptr_t)mod_CallText(CMD_FileStamp, path).low; }

void RemoveTemporary(const char* temporary, bool made) {
    if (mod_CallText(CMD_RemoveFile, temporary).low) return;
    // Not there: never made, or gone with its folder (renamed away
    // meanwhile), where it is still a file of ours.
    char* stamp = stampOf(temporary);
    if (stamp || made) NoteLeftover(temporary, false);
    SVC->Free(stamp);
}

bool ReplaceWithTemporary(const char* target, const char* temporary, const char* stamp, int32_t length) {
    ArgRecord a[4] = {mod_Text(target), mod_Text(temporary), stamp ? mod_Text(stamp) : mod_Omitted(),
                      mod_Int(length)};
    if (mod_Call(CMD_ReplaceFileWith, length >= 0 ? 4 : stamp ? 3 : 2, a).low) return true;
    RemoveTemporary(temporary, true);
    return false;
}

bool ClearLeftover(const char* temporary, const uint8_t* expected, bool asUtf8) {
    char* stamp = stampOf(temporary);
    if (!stamp) return true;
    bool ours = false;
    if (stamp[0] == 'F') {
        uint8_t* left = (uint8_t*)(uintptr_t)mod_CallText(CMD_ReadFileBytes, temporary).low;
        int32_t n = byteCount(left), whole = byteCount(expected);
        if (asUtf8) {
            ArgRecord a[3] = {bytesArg(left), bytesArg(expected), mod_Bool(false)};
            ours = mod_Call(CMD_IsUtf8Of, 3, a).low != 0;
        } else {
            ours = n <= whole && (n == 0 || memcmp(left + 8, expected + 8, (size_t)n) == 0);
        }
        // Unreadable, or changed since: not known to be ours.
        char* now = stampOf(temporary);
        ours = ours && CompareTexts(now, stamp) == 0;
        SVC->Free(now);
        SVC->Free(left);
    }
    SVC->Free(stamp);
    ours = ours && mod_CallText(CMD_RemoveFile, temporary).low != 0;
    NoteLeftover(temporary, ours);
    return ours;
}

// A large file is handled in pieces, with pending messages run between
// them: the window answers, and no piece needs more than a few megabytes
// of wide text.
static const int32_t kPieceBytes = 4 << 20;

// Calls `each` with bytes [at, end) of `all` as a byte set whose bytes are
// followed by a zero, so that they are also a text (8 bytes in): pieces of
// whole characters (a lead byte, 0x81 and up, takes the next), the events
// run after each when there is more than one. Stops at the first false.
template <typename Each>
static bool forEachPiece(const uint8_t* all, int32_t length, Each each) {
    int32_t room = length < kPieceBytes ? length : kPieceBytes;
    uint8_t* piece = (uint8_t*)SVC->Allocate(8 + room + 2);
    bool ok = true;
    int32_t at = 0;
    do {  // an empty text is one empty piece
        int32_t end = at;
        while (end < length && end - at < kPieceBytes) end += all[end] >= 0x81 && end + 1 < length ? 2 : 1;
        ((int32_t*)piece)[0] = 1;
        ((int32_t*)piece)[1] = end - at;
        memcpy(piece + 8, all + at, (size_t)(end - at));
        piece[8 + end - at] = 0;
        ok = each(piece);
        at = end;
        if (length > kPieceBytes) mod_Call(CMD_ProcessEvents, 0, nullptr);
    } while (ok && at < length);
    SVC->Free(piece);
    return ok;
}

int32_t Utf8LengthOf(const uint8_t* content) {
    const int32_t length = byteCount(content);
    if (!content) return 0;
    ArgRecord whole = bytesArg(content);
    if (length <= kPieceBytes) return (int32_t)mod_Call(CMD_Utf8Length, 1, &whole).low;
    int64_t total = 0;
    forEachPiece(content + 8, length, [&](uint8_t* piece) {
        ArgRecord b = bytesArg(piece);
        int32_t n = (int32_t)mod_Call(CMD_Utf8Length, 1, &b).low;
        total = n < 0 ? -1 : total + n;
        return total >= 0 && total <= 0x7FFFFFFF;
    });
    return total >= 0 && total <= 0x7FFFFFFF ? (int32_t)total : -1;
}

static bool writeText(void* textStream, const uint8_t* all, int32_t length) {
    return forEachPiece(all, length, [&](uint8_t* piece) {
        char* text = (char*)piece + 8;
        ArgRecord content = mod_ByAddr(&text, TYPE_TEXT);
        return callMethod(textStream, K("WriteText"), 1, &content);
    });
}

// The streams' work up to the saved temporary file, for a text of at most
// one piece; false at the first operation that reports a failure. What a
// killed run left at the temporary name goes first if it is the start of
// `whole`'s UTF-8 form; anything else there stays (*blocked).
static bool saveThroughStreams(void* textStream, void* byteStream, const uint8_t* bytes, int32_t length,
                               char** temporary, const uint8_t* whole, bool* blocked) {
    if (!createStream(textStream)) return false;
    bool ok = setProperty(textStream, K("Type"), mod_Int(2)) && setProperty(textStream, K("mode"), mod_Int(3)) &&
              setProperty(textStream, K("Charset"), textArg(K("utf-8"))) &&
              callMethod(textStream, K("Open"), 0, nullptr);
    ok = ok && writeText(textStream, bytes, length);
    ok = ok && setProperty(textStream, K("Position"), mod_Int(3));
    if (!ok || !createStream(byteStream)) return false;
    ok = setProperty(byteStream, K("mode"), mod_Int(3)) && setProperty(byteStream, K("Type"), mod_Int(1)) &&
         callMethod(byteStream, K("Open"), 0, nullptr);
    ArgRecord target = mod_ByAddr(&byteStream, TYPE_AUTOMATION);
    // Saved to a new file only, never through what stands there.
    ArgRecord save[2] = {mod_ByAddr(temporary, TYPE_TEXT), mod_Int(kSaveCreateNotExist)};
    ok = ok && callMethod(textStream, K("CopyTo"), 1, &target);
    if (ok && !callMethod(byteStream, K("SaveToFile"), 2, save)) {
        *blocked = !ClearLeftover(*temporary, whole, true);
        ok = !*blocked && callMethod(byteStream, K("SaveToFile"), 2, save);
    }
    bool flushed = callMethod(textStream, K("flush"), 0, nullptr);
    bool closed = callMethod(textStream, K("Close"), 0, nullptr);
    return ok && flushed && closed;
}

static int32_t rewrite(const uint8_t* whole, void** release, char** path, const char* stamp, int32_t utf8Length);

bool StreamsUsable(void) {
    uint32_t none = 0;
    int32_t initResult = (int32_t)mod_CallForeign(kForeignCoInitialize, 1, &none, kLocRewrite, kLocCoInitialize);
    void* textStream = newObjectRecord();
    void* byteStream = newObjectRecord();
    const char* probe = K("中");
    bool ok = createStream(textStream) && setProperty(textStream, K("Type"), mod_Int(2)) &&
              setProperty(textStream, K("mode"), mod_Int(3)) &&
              setProperty(textStream, K("Charset"), textArg(K("utf-8"))) &&
              callMethod(textStream, K("Open"), 0, nullptr) &&
              writeText(textStream, (const uint8_t*)probe, (int32_t)strlen(probe)) &&
              setProperty(textStream, K("Position"), mod_Int(3)) && createStream(byteStream) &&
              setProperty(byteStream, K("mode"), mod_Int(3)) && setProperty(byteStream, K("Type"), mod_Int(1)) &&
              callMethod(byteStream, K("Open"), 0, nullptr);
    ArgRecord target = mod_ByAddr(&byteStream, TYPE_AUTOMATION);
    ok = ok && callMethod(textStream, K("CopyTo"), 1, &target) && callMethod(textStream, K("Close"), 0, nullptr);
    ArgRecord clearText = objectArg(textStream), clearBytes = objectArg(byteStream);
    mod_Call(CMD_ClearAutomationObject, 1, &clearText);
    mod_Call(CMD_ClearAutomationObject, 1, &clearBytes);
    SVC->Free(textStream);
    SVC->Free(byteStream);
    if (initResult >= 0) mod_CallForeign(kForeignCoUninitialize, 0, nullptr, kLocRewrite, kLocCoUninitialize);
    return ok;
}

int32_t RewriteAsUtf8(char** text, char** path) {
    int32_t length = *text ? (int32_t)strlen(*text) : 0;
    int32_t utf8Length = (int32_t)mod_CallText(CMD_Utf8Length, *text).low;
    // As a byte set, as a file's bytes come.
    uint8_t* set = (uint8_t*)SVC->Allocate(8 + length + 1);
    ((int32_t*)set)[0] = 1;
    ((int32_t*)set)[1] = length;
    memcpy(set + 8, *text ? *text : "", (size_t)length + 1);
    int32_t done = rewrite(set, nullptr, path, nullptr, utf8Length);
    SVC->Free(set);
    return done;
}

int32_t RewriteAsUtf8Unchanged(uint8_t** content, char** path, const char* stamp, int32_t utf8Length) {
    return rewrite(*content, (void**)content, path, stamp, utf8Length);
}

// The text's UTF-8 bytes in a new file at *to, through a text stream and a
// byte stream of their own.
static bool saveOnce(const uint8_t* bytes, int32_t length, char** to, const uint8_t* whole, bool* blocked) {
    void* textStream = newObjectRecord();
    void* byteStream = newObjectRecord();
    bool saved = saveThroughStreams(textStream, byteStream, bytes, length, to, whole, blocked);
    ArgRecord clearText = objectArg(textStream), clearBytes = objectArg(byteStream);
    mod_Call(CMD_ClearAutomationObject, 1, &clearText);
    mod_Call(CMD_ClearAutomationObject, 1, &clearBytes);
    SVC->Free(textStream);
    SVC->Free(byteStream);
    return saved;
}

// A large text goes a piece at a time, each through streams of its own as a
// whole small file goes: no call of the streams runs over the whole file,
// and pending events run between the pieces. The first piece makes the
// temporary file; piece k is saved beside it as <temporary>~k and added to
// its end, so what a killed run left of a piece is the start of that
// piece's UTF-8 form.
static bool saveInPieces(const uint8_t* whole, char** temporary, bool* blocked) {
    char* part = nullptr;
    int32_t index = 0;
    bool partBlocked = false;
    bool ok = forEachPiece(whole + 8, byteCount(whole), [&](uint8_t* piece) {
        if (++index == 1) return saveOnce(piece + 8, byteCount(piece), temporary, whole, blocked);
        ArgRecord n = mod_Int(index);
        char* number = (char*)(uintptr_t)mod_Call(CMD_ToText, 1, &n).low;
        mod_Assign(&part, ConcatTexts(3, *temporary, K("~"), number));
        SVC->Free(number);
        if (!saveOnce(piece + 8, byteCount(piece), &part, piece, &partBlocked)) return false;
        ArgRecord a[2] = {mod_Text(part), mod_Text(*temporary)};
        bool added = mod_Call(CMD_AppendFileTo, 2, a).low != 0;
        return mod_CallText(CMD_RemoveFile, part).low != 0 && added;
    });
    // What a failed save left of a piece.
    if (!ok && part && !partBlocked) RemoveTemporary(part, false);
    SVC->Free(part);
    return ok;
}

static int32_t rewrite(const uint8_t* whole, void** release, char** path, const char* stamp, int32_t utf8Length) {
    const uint8_t* bytes = whole ? whole + 8 : (const uint8_t*)"";
    const int32_t length = byteCount(whole);
    // The saved file must be exactly this long; bytes that are not text in
    // the code page are not rewritten.
    const int32_t expected = utf8Length;
    if (expected < 0) return 0;
    uint32_t none = 0;
    int32_t initResult = (int32_t)mod_CallForeign(kForeignCoInitialize, 1, &none, kLocRewrite, kLocCoInitialize);
    char* temporary = TemporaryPathFor(*path);
    const bool large = length > kPieceBytes;
    bool blocked = false;
    bool saved = large ? saveInPieces(whole, &temporary, &blocked) : saveOnce(bytes, length, &temporary, whole, &blocked);
    // Freed before the replace and the next file: a large file's bytes are
    // the most memory the job holds.
    if (release && *release) {
        SVC->Free(*release);
        *release = nullptr;
    }
    // What follows the last piece is not run behind it.
    if (large) mod_Call(CMD_ProcessEvents, 0, nullptr);
    // Balanced on every path, and only when the initialisation took.
    if (initResult >= 0) mod_CallForeign(kForeignCoUninitialize, 0, nullptr, kLocRewrite, kLocCoUninitialize);

    int32_t result = 0;
    // The replace takes the temporary file only when it holds exactly the
    // text's UTF-8 length, and removes it otherwise.
    if (saved) result = ReplaceWithTemporary(*path, temporary, stamp, expected) ? 1 : 0;
    else if (!blocked) RemoveTemporary(temporary, false);
    SVC->Free(temporary);
    return result;
}
