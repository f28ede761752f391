// The command call, the utility table, exit routines and the fatal text.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "runtime/rt.h"

namespace {

int32_t g_seenCount;
ArgRecord g_seen[4];
ArgRecord g_resultOnEntry;

void recordingCommand(ArgRecord* result, int32_t count, ArgRecord* args) {
    g_resultOnEntry = *result;
    g_seenCount = count;
    for (int32_t i = 0; i < count && i < 4; i++) g_seen[i] = args[i];
}

void silentCommand(ArgRecord*, int32_t, ArgRecord*) {}

TEST(Commands, OmittedTrailingArgumentIsAZeroRecordAndCounted) {
    ArgRecord args[3] = {{5, 0, TYPE_INT}, {(uint32_t)(uintptr_t) "x", 0, TYPE_TEXT}, {0, 0, 0}};
    ArgRecord r{0xDEAD, 0xBEEF, 0x1234};
    vell_services.CallBaseCommand(&r, recordingCommand, 3, args);
    EXPECT_EQ(g_seenCount, 3);
    EXPECT_EQ(g_seen[2].type, 0u);
    EXPECT_EQ(g_seen[2].low, 0u);
    EXPECT_EQ(g_seen[2].high, 0u);
    // The command saw a zeroed result record, and the caller got it back.
    EXPECT_EQ(g_resultOnEntry.low, 0u);
    EXPECT_EQ(g_resultOnEntry.high, 0u);
    EXPECT_EQ(g_resultOnEntry.type, 0u);
}

TEST(Commands, CommandReturningNothingGivesThreeZeroWords) {
    ArgRecord r{1, 2, 3};
    vell_services.CallShellCommand(&r, silentCommand, 0, nullptr);
    EXPECT_EQ(r.low, 0u);
    EXPECT_EQ(r.high, 0u);
    EXPECT_EQ(r.type, 0u);
}

std::string g_order;
void first() { g_order += "1"; }
void second() { g_order += "2"; }

TEST(ExitRoutines, RegisteredTwiceRunOnceInOrder) {
    g_rt.exitRoutineCount = 0;
    vell_services.CallUtility(UTIL_RegisterExitRoutine, &first);
    vell_services.CallUtility(UTIL_RegisterExitRoutine, &second);
    vell_services.CallUtility(UTIL_RegisterExitRoutine, &first);
    EXPECT_EQ(g_rt.exitRoutineCount, 2);
    g_order.clear();
    rt_Shutdown(0);
    EXPECT_EQ(g_order, "12");
    EXPECT_EQ(g_rt.exitRoutineCount, 0);
    g_rt.shuttingDown = false;
    g_rt.eventBlock = 0;
}

TEST(Utilities, UnshareThroughTheUtilitySlot) {
    static uint8_t area[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    g_rt.constantsStart = area;
    g_rt.constantsEnd = area + 8;
    void* var = area;
    vell_services.CallUtility(UTIL_UnshareArray, &var, 4);
    EXPECT_NE(var, (void*)area);
    rt_Free(var);
    g_rt.constantsStart = g_rt.constantsEnd = nullptr;
}

TEST(Notifications, UnknownCodesAnswerZero) {
    EXPECT_EQ(rt_Notify(999, 1, 2), 0u);
    EXPECT_EQ(rt_Notify(5000, 1, 2), 0u);
    g_rt.descriptorWord0 = 3;
    EXPECT_EQ(rt_Notify(2030, 0, 0), 3u);
}

TEST(Notifications, QuietAllocationAndFree) {
    void* p = (void*)(uintptr_t)rt_Notify(2024, 16, 1);
    ASSERT_NE(p, nullptr);
    rt_Notify(2025, (uint32_t)(uintptr_t)p, 0);
    EXPECT_EQ(rt_Notify(2024, 0x7FFFFFF0, 1), 0u);  // quiet: null, no report
}

// ---- the fatal report's text ----

std::string compose(const char* message, int32_t code, int32_t loc1, int32_t loc2) {
    char buf[1024];
    rt_ComposeFatal(message, code, loc1, loc2, buf, sizeof buf);
    return buf;
}

TEST(FatalText, AllocationFailureOfHundredBytes) {
    EXPECT_EQ(compose("分配 100 字节内存失败!", 0, 0, 0),
              "运行时出错!\r\n\r\n错误信息：分配 100 字节内存失败!\r\n\r\n0, 0\r\n");
}

TEST(FatalText, ErrorCodeAndLocations) {
    EXPECT_EQ(compose(rt_RuntimeErrorText(6), 6, 0x04014E55, 0x232),
              "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n\r\n67194453, 562\r\n");
}

TEST(FatalText, EmptyMessageOmitsItsLines) {
    EXPECT_EQ(compose("", 0, 1, 2), "运行时出错!\r\n\r\n1, 2\r\n");
    EXPECT_EQ(compose(nullptr, 0, -1, 0), "运行时出错!\r\n\r\n-1, 0\r\n");
}

TEST(FatalText, UnknownWindowIsNamedMissing) {
    RtWindowLayer saved = g_rt.ui;
    g_rt.ui = RtWindowLayer{};
    EXPECT_EQ(compose("x", 0, 0x52010001, 0),
              "运行时出错!\r\n\r\n错误信息：x\r\n\r\n1375797249, 0\r\n未找到所指定的窗口\r\n");
    g_rt.ui = saved;
}

int describeFake(uint32_t, uint32_t component, const char** w, const char** e) {
    *w = "主窗口";
    if (component == 7) return 1;
    *e = "按钮2";
    return 2;
}

TEST(FatalText, WindowAndComponentNames) {
    RtWindowLayer saved = g_rt.ui;
    g_rt.ui.describe = describeFake;
    EXPECT_EQ(compose("", 0, 0x52010001, 0x1601000E),
              "运行时出错!\r\n\r\n1375797249, 369164302\r\n\"主窗口\"\r\n\"按钮2\"\r\n");
    EXPECT_EQ(compose("", 0, 0x52010001, 7),
              "运行时出错!\r\n\r\n1375797249, 7\r\n\"主窗口\"\r\n未找到所指定的窗口组件\r\n");
    // Not a window identifier: no lookup at all.
    EXPECT_EQ(compose("", 0, 0x16010002, 0), "运行时出错!\r\n\r\n369164290, 0\r\n");
    g_rt.ui = saved;
}

TEST(FatalText, RuntimeErrorTable) {
    EXPECT_STREQ(rt_RuntimeErrorText(1), "数组成员引用下标超出定义范围");
    EXPECT_STREQ(rt_RuntimeErrorText(4), "数组成员引用下标必须大于等于1");
    EXPECT_STREQ(rt_RuntimeErrorText(11), "所提供参数的数据类型不符合要求");
    EXPECT_EQ(rt_RuntimeErrorText(0), nullptr);
    EXPECT_EQ(rt_RuntimeErrorText(12), nullptr);
}

}  // namespace
