// Helpers of the application module. The module reaches the runtime only
// through the service table; this header adds nothing but thin call sites.
#pragma once
#include "runtime/service_table.h"

#define SVC (&vell_services)

// Calls a command of the first (base) or second library with `n` records.
inline ArgRecord mod_Call(int cmd, int32_t n, ArgRecord* args) {
    ArgRecord r;
    SVC->CallBaseCommand(&r, vell_library1.commands[cmd], n, args);
    return r;
}
inline ArgRecord mod_CallShell(int cmd, int32_t n, ArgRecord* args) {
    ArgRecord r;
    SVC->CallShellCommand(&r, vell_library2.commands[cmd], n, args);
    return r;
}

// Argument record builders. Texts whose variable is null are passed as the
// constant empty text, byte sets as the constant empty byte set.
extern const char mod_emptyText[];
extern const uint8_t mod_emptyBytes[];
inline ArgRecord mod_Text(const char* s) { return ArgRecord{(uint32_t)(uintptr_t)(s ? s : mod_emptyText), 0, TYPE_TEXT}; }
inline ArgRecord mod_Bytes(const void* b) { return ArgRecord{(uint32_t)(uintptr_t)(b ? b : mod_emptyBytes), 0, TYPE_BYTES}; }
inline ArgRecord mod_Int(int32_t v) { return ArgRecord{(uint32_t)v, 0, TYPE_INT}; }
inline ArgRecord mod_Bool(bool v) { return ArgRecord{v ? 1u : 0u, 0, TYPE_BOOL}; }
inline ArgRecord mod_Omitted() { return ArgRecord{0, 0, TYPE_NONE}; }
inline ArgRecord mod_ByAddr(void* var, uint32_t baseType) { return ArgRecord{(uint32_t)(uintptr_t)var, 0, baseType | TYPE_BYADDR}; }

// Releases a value the module owns (null and constants are ignored).
inline void mod_Free(void* p) { SVC->Free(p); }
// Replaces a text variable's value, freeing the old one.
inline void mod_Assign(char** var, char* value) { SVC->Free(*var); *var = value; }

// Runtime check sites: each passes a fixed pair of location numbers.
inline void mod_CheckSubscript(int32_t s, int32_t count, int32_t loc1, int32_t loc2) {
    if (s - 1 < 0) SVC->ReportRuntimeError(4, loc1, loc2);
    if (s - 1 >= count) SVC->ReportRuntimeError(1, loc1, loc2);
}
