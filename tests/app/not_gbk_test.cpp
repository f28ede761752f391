// The rule that warns of text written in another legacy encoding. This
// source's literals are GBK; the other encodings are spelled in bytes.
#include <gtest/gtest.h>
#include <string.h>
#include "app/job.h"

namespace {

bool flagged(const char* text) { return ProbablyNotGbk((const uint8_t*)text, (int32_t)strlen(text)); }

TEST(NotGbk, ChineseTextIsNotFlagged) {
    EXPECT_FALSE(flagged("本服务器为纯净生存服，禁止使用任何作弊客户端，违者永久封禁。\r\n"));
    // Level 2 and GBK's additions among common characters: names, items.
    EXPECT_FALSE(flagged("owner: 王喆\nitems: 鞘翅, 鳕鱼, 铁砧\n"));
    EXPECT_FALSE(flagged("nick: 喆\n")) << "one odd character";
    EXPECT_FALSE(flagged("签到成功，获得金币")) << "a few characters of the rows hangul share";
    EXPECT_FALSE(flagged("［ａｂｃ］：“”《》①")) << "punctuation and full-width forms";
}

TEST(NotGbk, OtherLegacyEncodingsAreFlagged) {
    EXPECT_TRUE(flagged("welcome: \"\xC5w\xAA\xEF\xA8\xD3\xA8\xEC\xA7\xDA\xAD\xCC\xAA\xBA\xA6\xF8\xAA" "A\xBE\xB9\""))
        << "Big5";
    EXPECT_TRUE(flagged("welcome: \"\x83T\x81[\x83o\x81[\x82\xD6\x82\xE6\x82\xA4\x82\xB1\x82\xBB\"")) << "Shift-JIS";
    EXPECT_TRUE(flagged("welcome: \"\xBC\xAD\xB9\xF6\xBF\xA1 \xBF\xC0\xBD\xC5 \xB0\xCD\xC0\xBB \xC8\xAF\xBF\xB5\xC7"
                        "\xD5\xB4\xCF\xB4\xD9. \xB8\xD5\xC0\xFA \xB1\xD4\xC4\xA2\xC0\xBB \xC0\xD0\xBE\xEE \xC1\xD6"
                        "\xBC\xBC\xBF\xE4\""))
        << "EUC-KR";
    EXPECT_TRUE(flagged("title=Gr\xF6\xDF" "e \xFC" "berschritten")) << "Latin-1";
    EXPECT_TRUE(flagged("\xAA\xA1\xAB\xA2")) << "private use";
}

}  // namespace
