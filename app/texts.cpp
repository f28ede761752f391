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

// Names compared as the file system compares them in code page 936: the
// ASCII letters without regard to case, a double-byte character (lead byte
// 0x81 and up) byte for byte, its second byte never folded.
static bool sameFrom(const char* a, const char* b) {
    for (;; a++, b++) {
        uint8_t x = (uint8_t)*a, y = (uint8_t)*b;
        if (x >= 0x81) {
            if (x != y || !a[1] || a[1] != b[1]) return false;
            a++, b++;
            continue;
        }
        if (x >= 'A' && x <= 'Z') x = (uint8_t)(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = (uint8_t)(y - 'A' + 'a');
        if (x != y) return false;
        if (!x) return true;
    }
}

bool SameName(const char* a, const char* b) { return sameFrom(a ? a : "", b ? b : ""); }

const char* NameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; p++) {
        if ((uint8_t)*p >= 0x81 && p[1]) p++;
        else if (*p == '\\') name = p + 1;
    }
    return name;
}

bool NameHasExtension(const char* name, const char* item) {
    if (!name) return false;
    bool anyDot = false;
    for (const char* p = name; *p; p++) {
        if ((uint8_t)*p >= 0x81 && p[1]) {
            p++;
            continue;
        }
        if (*p != '.') continue;
        anyDot = true;
        if (item && *item && sameFrom(p + 1, item)) return true;
    }
    // An empty item stands for the names without an extension.
    return (!item || !*item) && !anyDot;
}
