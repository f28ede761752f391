// A DLL for the foreign-command tests: stdcall exports by name and by
// ordinal only, and one cdecl export that leaves its arguments on the stack.
#include <windows.h>

extern "C" {
int __stdcall vt_add2(int a, int b) { return a + b; }
int __stdcall vt_digits(int a, int b, int c, int d) { return a * 1000 + b * 100 + c * 10 + d; }
int __stdcall vt_seven(void) { return 7; }
int __cdecl vt_cdecl2(int a, int b) { return a - b; }
long long __stdcall vt_wide(int hi, int lo) { return ((long long)hi << 32) | (unsigned)lo; }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
