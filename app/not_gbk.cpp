// Text that decodes in code page 936 but was written in another legacy
// encoding. Big5, Shift-JIS and Latin-1 bytes decode mostly to what
// Chinese text seldom holds: GB2312's level 2, GBK's additions, private
// use, kana, Greek, box drawing. Korean (EUC-KR) hangul decode to level-1
// characters, but only of the rows that hold hangul in KS X 1001 (16 to
// 40, pinyin a to san); Chinese text always has some of rows 41 to 55 (是 我
// 一 有 在 这 中 ...). tools/encoding measures the rule on samples.
#include "app/job.h"

bool ProbablyNotGbk(const uint8_t* bytes, int32_t n) {
    int32_t level1 = 0, upperRows = 0, other = 0;
    for (int32_t i = 0; i < n; i++) {
        uint8_t lead = bytes[i];
        if (lead < 0x80) continue;
        uint8_t trail = i + 1 < n ? bytes[i + 1] : 0;
        if (lead == 0x80 || lead == 0xFF || trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            other++;  // a single byte (0x80 is the euro sign) or a broken pair
            continue;
        }
        i++;
        if (lead < 0xA1 || trail < 0xA1) other++;  // GBK's additions, outside GB2312
        else if (lead <= 0xA3) continue;            // punctuation, numbers, full-width forms
        else if (lead >= 0xB0 && lead <= 0xD7 && !(lead == 0xD7 && trail > 0xF9)) {
            level1++;
            if (lead >= 0xC9) upperRows++;
        } else {
            other++;
        }
    }
    // One odd name among a few characters proves nothing.
    if (other > level1 && other >= 2) return true;
    return level1 >= 16 && upperRows * 16 < level1;
}
