// Text routines of the module's own code.
#include "app/module.h"
#include <stdarg.h>
#include <string.h>

char* ConcatTexts(int32_t n, ...) {
    va_list ap;
    va_start(ap, n);
    size_t total = 0;
    for (int32_t i = 0; i < n; i++) {
        const char* s = va_arg(ap, const char*);
        if (s) total += strlen(s);
    }
    va_end(ap);
    char* out = (char*)SVC->Allocate((int32_t)total + 1);
    char* p = out;
    va_start(ap, n);
    for (int32_t i = 0; i < n; i++) {
        const char* s = va_arg(ap, const char*);
        if (!s) continue;
        size_t len = strlen(s);
        memcpy(p, s, len);
        p += len;
    }
    va_end(ap);
    *p = 0;
    return out;
}

int32_t CompareTexts(const char* a, const char* b) {
    int r = strcmp(a ? a : "", b ? b : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
