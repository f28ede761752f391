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

// Calls a command of the first library with one text argument.
inline ArgRecord mod_CallText(int cmd, const char* text) {
    ArgRecord a[1] = {mod_Text(text)};
    return mod_Call(cmd, 1, a);
}

// Releases a value the module owns (null and constants are ignored).
inline void mod_Free(void* p) { SVC->Free(p); }
// Replaces a text variable's value, freeing the old one.
inline void mod_Assign(char** var, char* value) { SVC->Free(*var); *var = value; }

// Runtime check sites: each passes a fixed pair of location numbers.
inline void mod_CheckSubscript(int32_t s, int32_t count, int32_t loc1, int32_t loc2) {
    if (s - 1 < 0) SVC->ReportRuntimeError(RTE_SUBSCRIPT_BELOW_ONE, loc1, loc2);
    if (s - 1 >= count) SVC->ReportRuntimeError(RTE_SUBSCRIPT_RANGE, loc1, loc2);
}

// Module constants live in the program image's constant area: a run of
// sections the linker orders by name between the two markers of image.cpp.
#define MOD_CONST_SECTION __attribute__((section(".rdata$vell_m"), used))
#define K(literal) ([]() -> const char* { static const char s[] MOD_CONST_SECTION = literal; return s; }())

// A component value: window id low, component id high, kind id as type.
inline ArgRecord mod_Component(uint32_t window, uint32_t component, uint32_t kind) {
    return ArgRecord{window, component, kind};
}

// Calls foreign command `number` with `argc` native 32-bit arguments
// (argument 0 first, stdcall), compares the stack position before and after
// the call, and raises RTE_FOREIGN_STACK at (loc1, loc2) when they differ.
uint32_t mod_CallForeign(uint32_t number, int32_t argc, const uint32_t* args, int32_t loc1, int32_t loc2);

// Texts of the module's own code.
char* ConcatTexts(int32_t n, ...);              // never null
int32_t CompareTexts(const char* a, const char* b);  // -1, 0, 1; null == ""
// Whether two names are the same to the file system (ASCII letters in
// either case; null == "").
bool SameName(const char* a, const char* b);
// The name after a path's last separator (a double-byte character's second
// byte may be 0x5C and is none).
const char* NameOf(const char* path);
// Whether a file's own name ends in "." + item, compared as SameName does;
// the empty item matches the names without a dot.
bool NameHasExtension(const char* name, const char* item);
