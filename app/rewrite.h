// The skip rule and the UTF-8 rewrite of one file.
#pragma once
#include "runtime/service_table.h"

// Whether the bytes of a byte set ({1, length, bytes}; null is empty) are
// already UTF-8 with at least one byte of 0x80 or above. `length` is the
// byte set's length; no byte beyond the set's own end is read.
bool IsUtf8Text(const uint8_t* content, int32_t length);

// Writes *text into the file *path as UTF-8 without a byte-order mark,
// through two "adodb.stream" objects, by way of a temporary file beside it.
// 1: written; 0: not (the file is then byte for byte unchanged).
int32_t RewriteAsUtf8(char** text, char** path);
// The same from the file's bytes (a byte set, read as text in the code
// page; no zero byte), replacing the file only while it still has `stamp`
// (the FileStamp command's text taken before it was read). `utf8Length`:
// what the bytes take in UTF-8 (Utf8LengthOf). The bytes are released once
// they are saved (*content becomes null), before the replace; a large file
// goes through the streams a few megabytes at a time.
int32_t RewriteAsUtf8Unchanged(uint8_t** content, char** path, const char* stamp, int32_t utf8Length);
// Whether the stream objects can be created and driven as the rewrite
// drives them (nothing is saved): a job asks before it writes anything.
bool StreamsUsable(void);
// The Utf8Length command's answer for a byte set; a large one is measured
// in pieces, with pending messages run between them.
int32_t Utf8LengthOf(const uint8_t* content);

// The temporary name beside `path`: no search of a job can match it (its
// extension holds a comma, which no extension item can), and no user would
// choose it. A large file's pieces go beside it as <temporary>~2, ~3...
#define kTemporarySuffix ".~vellumor,tmp"
char* TemporaryPathFor(const char* path);
// The longest path the platform's functions take, and the most a job adds
// to a file's path for its backup's temporary file or a piece.
enum : uint32_t { kMaxPath = 259, kLongestSuffix = sizeof(".bak" kTemporarySuffix) - 1 };
// Removes a temporary file of this job; one it `made` that cannot be
// removed (its folder renamed away meanwhile) is named in the log.
void RemoveTemporary(const char* temporary, bool made);
// Makes way at a temporary name for a new file: what a killed run of this
// tool left there is the start of what it was writing, `expected` (a byte
// set; with asUtf8, its UTF-8 form), and only such a file is removed.
// True when the name is free; either way what stood there is named in the
// log through NoteLeftover.
bool ClearLeftover(const char* temporary, const uint8_t* expected, bool asUtf8);
// The job's log line for a leftover temporary file, removed or not.
void NoteLeftover(const char* temporary, bool removed);
// Puts the temporary file in the target's place in one step, only while
// the target is a plain file (or none) with `stamp`, when one is given, and
// the temporary file holds `length` bytes, when that is given; on failure
// removes it and leaves the target as it was.
bool ReplaceWithTemporary(const char* target, const char* temporary, const char* stamp, int32_t length = -1);
