// Late-bound automation objects: the object record, member access by name
// and the conversion of runtime values to and from automation variants.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <stdint.h>
#include "runtime/service_table.h"

// The 8-byte record an automation object value points to; the variable
// holding it owns one reference to `object`.
struct AutomationRecord {
    IUnknown* object;   // null: the variable holds no object
    void* recordData;   // user-defined record value: its data; `object` is then its IRecordInfo
};
static_assert(sizeof(AutomationRecord) == 8, "automation object record");

enum : int32_t {
    AS_OK = 0,
    AS_NO_OBJECT = -1,
    AS_NO_DISPATCH = -2,
    AS_NO_MEMBER = -3,
    AS_NO_TYPEINFO = -4,
    AS_TOO_MANY_ARGS = -5,
    AS_BAD_ARGUMENT = -7,
    AS_BAD_RESULT = -8,
    // The call itself failed, by its dispatch error code.
    AS_CALL_BAD_PARAM_COUNT = -9, AS_CALL_BAD_VAR_TYPE = -10, AS_CALL_EXCEPTION = -11,
    AS_CALL_MEMBER_NOT_FOUND = -12, AS_CALL_NO_NAMED_ARGS = -13, AS_CALL_OVERFLOW = -14,
    AS_CALL_PARAM_NOT_FOUND = -15, AS_CALL_TYPE_MISMATCH = -16, AS_CALL_PARAM_NOT_OPTIONAL = -17,
    AS_CALL_OTHER = -18,
};

enum { ACCESS_READ = 1, ACCESS_WRITE = 2, ACCESS_CALL = 3 };

// Arguments 0 = object, 1 = member name, 2.. = member arguments.
// result->type on entry is the requested result type (0: discard).
void AccessMember(ArgRecord* result, int32_t count, ArgRecord* args, int32_t kind);

// The calling thread's last automation status.
int32_t auto_LastStatus(void);
void auto_SetLastStatus(int32_t status);
// Status for a failed IDispatch::Invoke.
int32_t auto_StatusOfInvokeError(HRESULT hr);

// Releases what a record holds (the record itself stays).
void auto_ClearRecord(AutomationRecord* record);
// Hands the runtime the release of a record (notification 2035).
void auto_InstallLayer(void);
// The record an object argument designates, through its variable when
// passed by address; null when there is none.
AutomationRecord* auto_RecordOf(const ArgRecord* arg);
// Whether a type code is handled as an automation object: TYPE_AUTOMATION,
// or a library type whose kind record carries KF_INTERFACE.
bool auto_IsObjectType(uint32_t baseType);

// Text conversions in the system ANSI code page. A null text becomes a null
// string; a null or empty string becomes null (the empty text).
BSTR auto_TextToBstr(const char* text);
HRESULT auto_CreateNamed(const char* cls, IUnknown** out);
char* auto_BstrToText(BSTR s);   // allocated through the runtime

// The variant type a parameter declares (`owner` resolves user types).
VARTYPE DeclaredVariantType(ITypeInfo* owner, const TYPEDESC* desc);
// Runtime value -> variant for a parameter of declared type `declared`
// (by-reference flag already removed). false: unsupported runtime type.
bool ToVariant(const ArgRecord* arg, VARTYPE declared, VARIANT* out);
// Variant -> runtime value of type `type`. byAddress false: `dest` is a
// result record's 8-byte data field; true: the address of the caller's
// variable, whose old value is released.
bool FromVariant(const VARIANT* src, uint32_t type, void* dest, bool byAddress);

// The member name's hash as the binding uses it.
ULONG auto_NameHash(LPCOLESTR name);
