// Typed reads of command arguments for the text and file commands: a
// record of another type reads as empty instead of being taken for a
// pointer.
#pragma once
#include "commands/library.h"

inline const char* arg_Text(const ArgRecord* a) {
    return (a && a->type == TYPE_TEXT) ? (const char*)(uintptr_t)a->low : nullptr;
}

// A byte set, or a byte array (the same block layout).
inline const void* arg_ByteSet(const ArgRecord* a) {
    if (!a || (a->type != TYPE_BYTES && a->type != (TYPE_BYTE | TYPE_BYADDR))) return nullptr;
    return (const void*)(uintptr_t)a->low;
}
