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
// The Utf8Length command's answer for a byte set; a large one is measured
// in pieces, with pending messages run between them.
int32_t Utf8LengthOf(const uint8_t* content);

// The temporary name beside `path` that no search of a job can match (its
// extension holds a comma, which no extension item can).
char* TemporaryPathFor(const char* path);
// Puts the temporary file in the target's place in one step, only while
// the target is a plain file (or none) with `stamp`, when one is given, and
// the temporary file holds `length` bytes, when that is given; on failure
// removes it and leaves the target as it was.
bool ReplaceWithTemporary(const char* target, const char* temporary, const char* stamp, int32_t length = -1);
