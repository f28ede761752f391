// The status line is the driver's only clock for the phases; a misread
// text would put every phase time in the wrong place.
#include <gtest/gtest.h>
#include "tools/bench/bench_core.h"

using namespace bench;

TEST(Status, ReadsEveryPhaseWithItsCounters) {
    EXPECT_EQ(parseStatus("空闲").phase, Phase::Idle);
    EXPECT_EQ(parseStatus("搜寻待转码文件...").phase, Phase::Search);
    Status b = parseStatus("备份 已完成:7 共计:10000");
    EXPECT_EQ(b.phase, Phase::Backup);
    EXPECT_EQ(b.done, 7);
    EXPECT_EQ(b.total, 10000);
    Status c = parseStatus("转换 已完成:10000 共计:10000");
    EXPECT_EQ(c.phase, Phase::Convert);
    EXPECT_EQ(c.done, 10000);
    Status d = parseStatus("转换完成 已转换:0 共计:0");
    EXPECT_EQ(d.phase, Phase::Done);
    EXPECT_EQ(d.total, 0);
}

TEST(Status, RefusesNearMisses) {
    // The log's spelling of the search head is not the status text.
    EXPECT_EQ(parseStatus("搜索带转码文件...").phase, Phase::Unknown);
    EXPECT_EQ(parseStatus("备份 已完成:7 共计:").phase, Phase::Unknown);
    EXPECT_EQ(parseStatus("备份 已完成:x 共计:3").phase, Phase::Unknown);
    EXPECT_EQ(parseStatus("转换 已完成:1 共计:2 ").phase, Phase::Unknown);
    Status u = parseStatus("");
    EXPECT_EQ(u.phase, Phase::Unknown);
    EXPECT_EQ(u.done, -1);
}

TEST(Extensions, SplitAndMatchLikeThePatterns) {
    std::vector<std::string> items = splitList("yml,json,");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(splitList(",").size(), 1u);
    EXPECT_TRUE(matchesAny("config.YML", items));
    EXPECT_TRUE(matchesAny("a.b.json", items));
    EXPECT_FALSE(matchesAny("config.yml.old", items));
    EXPECT_FALSE(matchesAny("yml", items));
    EXPECT_FALSE(matchesAny("config.ym", items));
    EXPECT_TRUE(matchesAny("README", splitList(",")));
    EXPECT_FALSE(matchesAny("a.txt", splitList(",")));
}
