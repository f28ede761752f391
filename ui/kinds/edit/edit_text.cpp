#include "ui/kinds/edit/edit_text.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

bool ed_CharAllowed(int32_t mode, uint8_t c) {
    if (c < 0x20) return true;
    bool digit = c >= '0' && c <= '9';
    switch (mode) {
    case 3: case 6: case 7: case 8: return digit || c == '-';
    case 4: case 9: case 10: return digit || c == '-' || c == '.';
    case 5: return digit;
    default: return true;
    }
}

int64_t ed_ReadInt64(const char* s) {
    if (!s) return 0;
    while (*s == ' ' || (*s >= '\t' && *s <= '\r')) s++;
    bool negative = false;
    if (*s == '-' || *s == '+') negative = *s++ == '-';
    // Accumulate negatively: the negative range is one larger.
    int64_t v = 0;
    const int64_t lowest = INT64_MIN;
    for (; *s >= '0' && *s <= '9'; s++) {
        int d = *s - '0';
        if (v < (lowest + d) / 10) {
            v = lowest;
            while (s[1] >= '0' && s[1] <= '9') s++;
            continue;
        }
        v = v * 10 - d;
    }
    if (negative) return v;
    return v == lowest ? INT64_MAX : -v;
}

namespace {

// Up to `maxDigits` digits; 0 when there are none.
int32_t digits(const char** p, int maxDigits) {
    int32_t v = 0;
    for (int i = 0; i < maxDigits && **p >= '0' && **p <= '9'; i++, (*p)++) v = v * 10 + (**p - '0');
    return v;
}

// One optional separator: a character of `chars` or the word `word`.
void separator(const char** p, const char* chars, const char* word) {
    if (**p && strchr(chars, **p)) {
        (*p)++;
        return;
    }
    size_t n = strlen(word);
    if (strncmp(*p, word, n) == 0) *p += n;
}

bool leapYear(int32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int32_t monthLength(int32_t y, int32_t m) {
    static const int32_t days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

}  // namespace

bool ed_ReadDateTime(const char* s, EdDateTime* out) {
    if (!s) return false;
    const char* p = s;
    EdDateTime t;
    t.year = digits(&p, 4);
    separator(&p, "-./:", "年");
    t.month = digits(&p, 2);
    separator(&p, "-./:", "月");
    t.day = digits(&p, 2);
    separator(&p, " -./:", "日");
    t.hour = digits(&p, 2);
    separator(&p, "-./:", "时");
    t.minute = digits(&p, 2);
    separator(&p, "-./:", "分");
    t.second = digits(&p, 2);
    if (*p && strncmp(p, "秒", strlen("秒")) != 0) return false;
    if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12) return false;
    if (t.day < 1 || t.day > monthLength(t.year, t.month)) return false;
    if (t.hour > 23 || t.minute > 59 || t.second > 59) return false;
    *out = t;
    return true;
}

std::string ed_FormatDateTime(const EdDateTime& t) {
    char buf[96];
    int n = snprintf(buf, sizeof buf, "%d年%d月%d日", t.year, t.month, t.day);
    if (t.second != 0)
        snprintf(buf + n, sizeof buf - n, "%d时%d分%d秒", t.hour, t.minute, t.second);
    else if (t.minute != 0)
        snprintf(buf + n, sizeof buf - n, "%d时%d分", t.hour, t.minute);
    else if (t.hour != 0)
        snprintf(buf + n, sizeof buf - n, "%d时", t.hour);
    return buf;
}

std::string ed_Normalise(int32_t mode, const std::string& text) {
    const char* s = text.c_str();
    char buf[64];
    buf[0] = 0;
    switch (mode) {
    case 5: case 6: case 7: {
        int64_t v = ed_ReadInt64(s);
        // The 32-bit reading of modes 5 and 6 saturates like the 64-bit one.
        if (mode != 7) v = v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v);
        int64_t lo = mode == 5 ? 0 : (mode == 6 ? -32768 : INT32_MIN);
        int64_t hi = mode == 5 ? 255 : (mode == 6 ? 32767 : INT32_MAX);
        v = v < lo ? lo : (v > hi ? hi : v);
        snprintf(buf, sizeof buf, "%lld", (long long)v);
        break;
    }
    case 8: snprintf(buf, sizeof buf, "%lld", (long long)ed_ReadInt64(s)); break;
    case 9: snprintf(buf, sizeof buf, "%.6g", (double)(float)atof(s)); break;
    case 10: snprintf(buf, sizeof buf, "%.13g", atof(s)); break;
    case 11: {
        EdDateTime t;
        if (!ed_ReadDateTime(s, &t)) return std::string();
        // Day zero of the date-time scale counts as no date.
        if (t.year == 1899 && t.month == 12 && t.day == 30 && t.hour == 0 && t.minute == 0 && t.second == 0)
            return std::string();
        return ed_FormatDateTime(t);
    }
    default: return text;
    }
    if (strcmp(buf, "0") == 0) return std::string();
    return buf;
}
