// Value formatting used when values become texts.
#include "runtime/rt.h"
#include <math.h>
#include <stdio.h>
#include <string.h>

double rt_RoundSingle(float v) {
    if (v == 0.0f || !isfinite(v)) return v;
    uint32_t bits;
    memcpy(&bits, &v, 4);
    int e = (int)((bits >> 23) & 0xFF) - 127;
    int n = (int)(e * 0.30102999566398119521);  // toward zero
    double a = fabs((double)v);
    a = n > 0 ? a / pow(10.0, n) : a * pow(10.0, -n);
    if (a >= 10) {
        n += 1;
        a *= 1e4;
    } else if (a < 1) {
        n -= 1;
        a *= 1e6;
    } else {
        a *= 1e5;
    }
    double r = floor(a + 0.5);  // halves away from zero (a > 0)
    double out = r * pow(10.0, n - 5);
    return v < 0 ? -out : out;
}

int rt_FormatSingle(float v, char* out) {
    return snprintf(out, 64, "%.6g", rt_RoundSingle(v));
}

int rt_FormatDouble(double v, char* out) { return snprintf(out, 64, "%.13g", v); }

int rt_FormatDateTime(double v, char* out) {
    if (!(v >= -657434.0)) v = -657434.0;  // NaN clamps low too
    if (v > 2958465.0) v = 2958465.0;
    SYSTEMTIME st;
    if (!VariantTimeToSystemTime(v, &st)) {
        // Fall back on the arithmetic of the automation date format.
        memset(&st, 0, sizeof st);
        st.wYear = 1899; st.wMonth = 12; st.wDay = 30;
    }
    int len = sprintf(out, "%d年%d月%d日", st.wYear, st.wMonth, st.wDay);
    if (st.wSecond) len += sprintf(out + len, "%d时%d分%d秒", st.wHour, st.wMinute, st.wSecond);
    else if (st.wMinute) len += sprintf(out + len, "%d时%d分", st.wHour, st.wMinute);
    else if (st.wHour) len += sprintf(out + len, "%d时", st.wHour);
    return len;
}
