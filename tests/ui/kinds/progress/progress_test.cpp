#include <gtest/gtest.h>
#include "tests/support/kind_harness.h"
#include "tests/support/pump.h"
#include "commands/library.h"
#include "ui/kinds/common/common.h"
#include <commctrl.h>
#include "ui/kinds/progress/progress.h"
#include "tests/support/capture.h"

namespace {

std::string block(uint32_t version, std::initializer_list<int32_t> values) {
    ArchiveWriter w;
    aw_Dword(&w, version);
    for (int32_t v : values) aw_Dword(&w, (uint32_t)v);
    return w.out;
}

TEST(ProgressBlock, EmptyBlockGivesDefaults) {
    ProgressProps p;
    p.maximum = 7;
    ASSERT_TRUE(progress_ReadBlock(nullptr, 0, &p));
    EXPECT_EQ((std::vector<int32_t>{3, 0, 0, 0, 100, 0}),
              (std::vector<int32_t>{p.border, p.vertical, p.smooth, p.minimum, p.maximum, p.position}));
}

TEST(ProgressBlock, VersionAboveOneAndShortBlocksAreRejected) {
    ProgressProps p;
    std::string v2 = block(2, {0, 0, 0, 0, 100, 0});
    EXPECT_FALSE(progress_ReadBlock((const uint8_t*)v2.data(), (int32_t)v2.size(), &p));
    std::string shortBlock = block(1, {0, 0, 0, 0, 100});
    EXPECT_FALSE(progress_ReadBlock((const uint8_t*)shortBlock.data(), (int32_t)shortBlock.size(), &p));
    std::string v0 = block(0, {1, 1, 1, 5, 50, 9});
    EXPECT_TRUE(progress_ReadBlock((const uint8_t*)v0.data(), (int32_t)v0.size(), &p));
}

TEST(ProgressBlock, ValuesLoadUnclampedAndWriteBackAs28Bytes) {
    ProgressProps p;
    std::string b = block(1, {9, 1, 0, -4, 40000, 150});
    ASSERT_TRUE(progress_ReadBlock((const uint8_t*)b.data(), (int32_t)b.size(), &p));
    EXPECT_EQ(9, p.border);
    EXPECT_EQ(-4, p.minimum);
    EXPECT_EQ(40000, p.maximum);
    ArchiveWriter w;
    progress_WriteBlock(p, &w);
    ASSERT_EQ((size_t)PROGRESS_BLOCK_SIZE, w.out.size());
    EXPECT_EQ(block(1, {9, 1, 0, -4, 40000, 150}), w.out);
}

TEST(ProgressBlock, ShownPositionStaysInsideTheRange) {
    ProgressProps p;
    p.minimum = 0; p.maximum = 100; p.position = 150;
    EXPECT_EQ(100, progress_ShownPosition(p));
    p.position = 40;
    EXPECT_EQ(40, progress_ShownPosition(p));
    p.minimum = 50;
    EXPECT_EQ(50, progress_ShownPosition(p));
    p.minimum = 80; p.maximum = 20; p.position = 50;
    EXPECT_EQ(20, progress_ShownPosition(p));
}

class ProgressLive : public ::testing::Test {
protected:
    void SetUp() override {
        kh::Install();
        parent = kh::MakeParent();
        ASSERT_NE(nullptr, parent);
    }
    void TearDown() override {
        if (parent) DestroyWindow(parent);
        pumpMessages();
    }
    ComponentObject* create(const std::string& b = std::string(), int y = 10, uint32_t component = 0x1601000B,
                            int32_t controlId = 100) {
        return progress_Create((const uint8_t*)b.data(), (int32_t)b.size(), WS_VISIBLE, parent, controlId, nullptr,
                               10, y, 200, 20, 0x52010001, component, 0, 0);
    }
    static int32_t get(ComponentObject* o, int32_t i) { return (int32_t)kh::GetInt(kind_progress_iface, o, i); }
    static int32_t set(ComponentObject* o, int32_t i, int32_t v) { return kh::Set(kind_progress_iface, o, i, v); }
    static int shownPos(ComponentObject* o) { return (int)SendMessageA(o->fw.hwnd, PBM_GETPOS, 0, 0); }
    static void range(ComponentObject* o, int* lo, int* hi) {
        *lo = (int)SendMessageA(o->fw.hwnd, PBM_GETRANGE, TRUE, 0);
        *hi = (int)SendMessageA(o->fw.hwnd, PBM_GETRANGE, FALSE, 0);
    }
    HWND parent = nullptr;
};

TEST_F(ProgressLive, EmptyBlockMakesAHorizontalSegmentedBarWithStaticEdge) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    char cls[64] = {};
    GetClassNameA(o->fw.hwnd, cls, sizeof cls);
    EXPECT_STREQ("msctls_progress32", cls);
    LONG st = GetWindowLongA(o->fw.hwnd, GWL_STYLE), ex = GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE);
    EXPECT_EQ(0, st & (PBS_VERTICAL | PBS_SMOOTH));
    EXPECT_EQ(WS_CHILD | WS_CLIPSIBLINGS, st & (WS_CHILD | WS_CLIPSIBLINGS));
    EXPECT_EQ(WS_EX_STATICEDGE, ex & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME));
    EXPECT_EQ(100, GetDlgCtrlID(o->fw.hwnd));
    int lo, hi;
    range(o, &lo, &hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(100, hi);
    EXPECT_EQ(0, shownPos(o));
    // The pre-translation walk finds the object through the 0x8002 answer.
    EXPECT_EQ((LRESULT)o, SendMessageA(o->fw.hwnd, RT_MSG_OBJECT_QUERY, 0, 0));
    EXPECT_EQ(o, ui_ObjectFromHandle(o->fw.hwnd));
}

TEST_F(ProgressLive, RejectedBlockCreatesNothing) {
    EXPECT_EQ(nullptr, create(block(2, {3, 0, 0, 0, 100, 0})));
    EXPECT_EQ(nullptr, GetWindow(parent, GW_CHILD));
}

TEST_F(ProgressLive, WritesClampAndTheControlShowsTheRangedPosition) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    EXPECT_EQ(0, set(o, 4, 40000));
    EXPECT_EQ(32767, get(o, 4));
    EXPECT_EQ(0, set(o, 4, 100));
    EXPECT_EQ(0, set(o, 5, -5));
    EXPECT_EQ(0, get(o, 5));
    EXPECT_EQ(0, set(o, 5, 150));
    EXPECT_EQ(150, get(o, 5));
    EXPECT_EQ(100, shownPos(o));
    EXPECT_EQ(0, set(o, 5, 42));
    EXPECT_EQ(42, shownPos(o));
}

TEST_F(ProgressLive, ReversedMinimumAndMaximumAreSentSorted) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    set(o, 3, 80);
    set(o, 4, 20);
    int lo, hi;
    range(o, &lo, &hi);
    EXPECT_EQ(20, lo);
    EXPECT_EQ(80, hi);
    EXPECT_EQ(80, get(o, 3));
    EXPECT_EQ(20, get(o, 4));
    set(o, 5, 50);
    EXPECT_EQ(20, shownPos(o));
    set(o, 5, 70);
    EXPECT_EQ(20, shownPos(o));
}

TEST_F(ProgressLive, ReversedRangeFromTheBlockShowsTheMaximum) {
    ComponentObject* o = create(block(1, {0, 0, 0, 80, 20, 60}));
    ASSERT_NE(nullptr, o);
    int lo, hi;
    range(o, &lo, &hi);
    EXPECT_EQ(20, lo);
    EXPECT_EQ(80, hi);
    EXPECT_EQ(20, shownPos(o));
}

TEST_F(ProgressLive, VerticalAndSmoothAskForRecreationOnlyWhenChanged) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    // (index, written, re-creation asked, read back)
    const int32_t writes[][4] = {{1, 7, 1, 1}, {1, 1, 0, 1}, {2, 1, 1, 1}, {2, 5, 0, 1}, {2, -3, 1, 0}};
    for (const auto& w : writes) {
        EXPECT_EQ(w[2], set(o, w[0], w[1])) << w[0] << " written " << w[1];
        EXPECT_EQ(w[3], get(o, w[0]));
    }
    // The stored values make the next creation vertical.
    std::string b = kh::WriteBlock(kind_progress_iface, o);
    ASSERT_EQ((size_t)PROGRESS_BLOCK_SIZE, b.size());
    ComponentObject* again = create(b);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(PBS_VERTICAL, GetWindowLongA(again->fw.hwnd, GWL_STYLE) & (PBS_VERTICAL | PBS_SMOOTH));
}

TEST_F(ProgressLive, BorderStylesFollowTheTable) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    const uint32_t exMask = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;
    EXPECT_EQ(0, set(o, 0, 9));
    EXPECT_EQ(5, get(o, 0));
    EXPECT_EQ(WS_BORDER, GetWindowLongA(o->fw.hwnd, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(0u, (uint32_t)GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & exMask);
    set(o, 0, 4);
    EXPECT_EQ(0, GetWindowLongA(o->fw.hwnd, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ((uint32_t)(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME),
              (uint32_t)GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & exMask);
    set(o, 0, -1);
    EXPECT_EQ(0, get(o, 0));
    EXPECT_EQ(0u, (uint32_t)GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & exMask);
}

TEST_F(ProgressLive, UnknownIndexesAndNullObjectsAreRefused) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    ValueRecord v{0, 0};
    EXPECT_EQ(0, progress_Get(o, 6, &v));
    EXPECT_EQ(0, progress_Get(o, -1, &v));
    EXPECT_EQ(0, progress_Get(nullptr, 0, &v));
    ValueRecord one = kh::IntValue(1);
    EXPECT_EQ(0, progress_Set(nullptr, 1, &one, 0));
    EXPECT_EQ(nullptr, kind_progress_iface(KI_TAKES_KEY));
    EXPECT_EQ(nullptr, kind_progress_iface(KI_CONVERT_TEXTS));
    EXPECT_NE(nullptr, kind_progress_iface(KI_CREATE));
}

TEST_F(ProgressLive, DestroyingTheControlReportsItsIdentity) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    EXPECT_EQ(std::make_pair(0x52010001u, 0x1601000Bu), kh::DestroyAndReport(o));
}

// One position per file: the bar paints at most once a frame, and when the
// frame is over it shows the last position like a bar set to it once.
TEST_F(ProgressLive, BurstOfPositionsEndsShowingTheLastOne) {
    ComponentObject *paced = create(), *once = create(std::string(), 40, 0x1601000D, 101);
    ASSERT_TRUE(paced && once);
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    set(paced, 4, 500);
    for (int i = 1; i <= 500; i++) {
        set(paced, 5, i);
        if (i % 50 == 0) pumpMessages();
    }
    // After a quiet spell the first write paints, the next one waits.
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    set(paced, 5, 100);
    set(paced, 5, 377);
    EXPECT_EQ(377, get(paced, 5));
    EXPECT_EQ(377, shownPos(paced));
    set(once, 4, 500);
    set(once, 5, 377);
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    std::vector<uint32_t> a = capture::Window(paced->fw.hwnd), b = capture::Window(once->fw.hwnd);
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "the bar does not show its last position";
}

// A position held back for the frame's end reads back at once, and a range
// written meanwhile clamps it as it would clamp a position already shown.
TEST_F(ProgressLive, HeldPositionsReadBackAndRangesClampThem) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    set(o, 5, 10);  // shown at once after a quiet spell
    set(o, 5, 80);
    EXPECT_EQ(80, shownPos(o));
    set(o, 4, 50);
    EXPECT_EQ(50, shownPos(o));
    EXPECT_EQ(80, get(o, 5));
    set(o, 4, 100);
    EXPECT_EQ(50, shownPos(o)) << "a wider range does not bring the clamped position back";
    set(o, 5, 70);
    set(o, 5, 60);
    EXPECT_EQ(60, shownPos(o));
    EXPECT_EQ(60, (int)SendMessageA(o->fw.hwnd, PBM_DELTAPOS, 5, 0));
    EXPECT_EQ(65, shownPos(o));
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    EXPECT_EQ(65, shownPos(o));
}

}  // namespace
