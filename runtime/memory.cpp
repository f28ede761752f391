// Values and memory: the runtime heap, the constant-area rule, texts, byte
// sets and arrays.
#include "runtime/rt.h"
#include <string.h>

static HANDLE heap() {
    if (!g_rt.heap) g_rt.heap = GetProcessHeap();
    return g_rt.heap;
}

bool rt_IsConstant(const void* p) {
    const uint8_t* b = (const uint8_t*)p;
    return p && g_rt.constantsStart && b >= g_rt.constantsStart && b < g_rt.constantsEnd;
}

VELL_NORETURN static void allocationFailed(int32_t bytes) {
    char msg[64];
    wsprintfA(msg, "分配 %d 字节内存失败!", bytes);
    rt_FatalReport(msg, 0, 0, 0);
}

void* rt_AllocateQuiet(int32_t bytes) {
    if (bytes < 0) return nullptr;
    return HeapAlloc(heap(), 0, (SIZE_T)bytes);
}

void* rt_Allocate(int32_t bytes) {
    void* p = rt_AllocateQuiet(bytes);
    if (!p) allocationFailed(bytes);
    return p;
}

void* rt_Reallocate(void* p, int32_t bytes) {
    if (!p) return rt_Allocate(bytes);
    if (rt_IsConstant(p)) {
        // Copy what the constant area holds from p on; the constant stays.
        void* n = rt_Allocate(bytes);
        size_t avail = (size_t)(g_rt.constantsEnd - (const uint8_t*)p);
        size_t want = bytes > 0 ? (size_t)bytes : 0;
        memcpy(n, p, want < avail ? want : avail);
        return n;
    }
    if (bytes < 0) allocationFailed(bytes);
    // Arrays grow one element per append. Growing blocks by half their size
    // keeps that linear: a block reallocated by a few bytes each time would
    // be copied every time and leave a trail of ever larger holes.
    SIZE_T want = (SIZE_T)bytes, have = HeapSize(heap(), 0, p);
    if (have != (SIZE_T)-1) {
        if (want <= have && want >= have / 2) return p;
        if (want > have && have + have / 2 > want && have < 0x40000000u) want = have + have / 2;
    }
    void* n = HeapReAlloc(heap(), 0, p, want);
    if (!n && want != (SIZE_T)bytes) n = HeapReAlloc(heap(), 0, p, (SIZE_T)bytes);
    if (!n) allocationFailed(bytes);
    return n;
}

void rt_Free(void* p) {
    if (!p || rt_IsConstant(p)) return;
    HeapFree(heap(), 0, p);
}

char* rt_TextFromBytesBy(RtAllocator allocate, const void* p, int32_t n) {
    if (n <= 0) return nullptr;
    char* t = (char*)allocate(n + 1);
    memcpy(t, p, (size_t)n);
    t[n] = 0;
    return t;
}

uint8_t* rt_ByteSetFromBytesBy(RtAllocator allocate, const void* p, int32_t n) {
    if (n <= 0) return nullptr;
    uint8_t* b = (uint8_t*)allocate(8 + n);
    ((int32_t*)b)[0] = 1;
    ((int32_t*)b)[1] = n;
    memcpy(b + 8, p, (size_t)n);
    return b;
}

char* rt_TextFromBytes(const void* p, int32_t n) { return rt_TextFromBytesBy(rt_Allocate, p, n); }
char* rt_DupText(const char* s) { return s ? rt_TextFromBytes(s, (int32_t)strlen(s)) : nullptr; }
uint8_t* rt_ByteSetFromBytes(const void* p, int32_t n) { return rt_ByteSetFromBytesBy(rt_Allocate, p, n); }

int32_t rt_ByteSetLength(const void* byteSet) { return byteSet ? ((const int32_t*)byteSet)[1] : 0; }
const uint8_t* rt_ByteSetData(const void* byteSet) { return byteSet ? (const uint8_t*)byteSet + 8 : nullptr; }

int32_t rt_ElementSize(uint32_t type) {
    switch (type) {
    case TYPE_BYTE: return 1;
    case TYPE_SHORT: return 2;
    case TYPE_INT: return 4;
    case TYPE_LONG: return 8;
    case TYPE_FLOAT: return 4;
    case TYPE_DOUBLE: return 8;
    default: return 0;
    }
}

int32_t rt_ArrayCount(const void* array) {
    if (!array) return 0;
    const int32_t* h = (const int32_t*)array;
    int32_t d = h[0];
    if (d <= 0) return 0;
    int32_t n = 1;
    for (int32_t i = 0; i < d; i++) n *= h[1 + i];
    return n;
}

void* rt_ArrayElements(void* array) {
    int32_t d = ((int32_t*)array)[0];
    return (uint8_t*)array + 4 + 4 * (d > 0 ? d : 0);
}

void rt_UnshareArray(void** var, int32_t elementSize) {
    void* a = *var;
    if (!rt_IsConstant(a)) return;
    int32_t d = ((const int32_t*)a)[0];
    if (d < 0) d = 0;
    int32_t bytes = 4 + 4 * d + rt_ArrayCount(a) * elementSize;
    void* copy = rt_Allocate(bytes);
    memcpy(copy, a, (size_t)bytes);
    *var = copy;
}

void rt_ArrayAppend(void** var, int32_t elementSize, const void* element) {
    rt_UnshareArray(var, elementSize);
    void* a = *var;
    int32_t n = rt_ArrayCount(a);
    if (a) {
        // Collapse to one dimension before growing: elements stay packed.
        int32_t d = ((int32_t*)a)[0];
        if (d != 1) {
            uint8_t* src = (uint8_t*)rt_ArrayElements(a);
            memmove((uint8_t*)a + 8, src, (size_t)n * (size_t)elementSize);
        }
    }
    a = rt_Reallocate(a, 8 + (n + 1) * elementSize);
    ((int32_t*)a)[0] = 1;
    ((int32_t*)a)[1] = n + 1;
    memcpy((uint8_t*)a + 8 + n * elementSize, element, (size_t)elementSize);
    *var = a;
}

void rt_FreeArray(uint32_t elementType, void* array) {
    if (!array) return;
    uint32_t t = elementType & ~TYPE_BYADDR;
    if (t == TYPE_TEXT || t == TYPE_BYTES) {
        int32_t n = rt_ArrayCount(array);
        void** e = (void**)rt_ArrayElements(array);
        for (int32_t i = 0; i < n; i++) rt_Free(e[i]);
    }
    rt_Free(array);
}

int32_t rt_ToInt32(const ArgRecord* r) {
    switch (r->type) {
    case TYPE_BYTE: return (int32_t)(uint8_t)r->low;
    case TYPE_SHORT: return (int32_t)(int16_t)r->low;
    case TYPE_INT: return (int32_t)r->low;
    case TYPE_LONG: return (int32_t)r->low;
    case TYPE_FLOAT: { float f; memcpy(&f, &r->low, 4); return (int32_t)f; }
    case TYPE_DOUBLE: { double d; memcpy(&d, &r->low, 8); return (int32_t)d; }
    default:
        rt_FatalReport("欲转换数据类型不是数值", 0, 0, 0);
    }
}
