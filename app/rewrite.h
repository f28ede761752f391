// The skip rule and the UTF-8 rewrite of one file.
#pragma once
#include "runtime/service_table.h"

// Whether the bytes of a byte set ({1, length, bytes}; null is empty) are
// already UTF-8 with at least one byte of 0x80 or above. `length` is the
// byte set's length; no byte beyond the set's own end is read.
bool IsUtf8Text(const uint8_t* content, int32_t length);

// Writes *text into the file *path as UTF-8 without a byte-order mark,
// through two "adodb.stream" objects. 1: written; 0: a stream could not be
// created or the file could not be saved (the file is then unchanged).
int32_t RewriteAsUtf8(char** text, char** path);
