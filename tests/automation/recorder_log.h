// What the recorder saw of its last call, read by the tests through the
// DLL's export RecorderLogOf.
#pragma once
#include <windows.h>
#include <oaidl.h>

struct RecordedArg {
    VARTYPE vt;
    LONG i4;          // VT_I4, VT_BOOL, VT_I2, VT_UI1 values; VT_ERROR scode
    double r8;        // VT_R8, VT_R4, VT_DATE
    bool bstrNull;
    WCHAR text[64];
    void* pointer;    // VT_UNKNOWN, VT_DISPATCH, or a by-reference target
};

struct RecorderLog {
    int calls;        // Invoke calls so far
    DISPID member;
    WORD flags;
    UINT argCount;
    UINT namedCount;
    DISPID named0;
    RecordedArg args[8];  // in argument-array order: the last argument first
    LONG value;           // the "Value" property
};

typedef RecorderLog* (WINAPI* RecorderLogOfFn)(void);
