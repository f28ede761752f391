// InfoBox with real message boxes: text, title, buttons, modality, owner.
#include <windows.h>
#include <gtest/gtest.h>
#include "tests/support/gui_env.h"

using namespace dialog_test;

namespace {

// ---- InfoBox

TEST_F(DialogGui, InfoBoxDefaultsToOneOkButtonAndTheInformationTitle) {
    std::string text;
    bool ok = false, cancel = true, yes = true, icon = true;
    Helper h(mainThread_, "信息：", [&](HWND box) {
        text = dlgText(box, 0xFFFF);
        ok = shown(box, IDOK);
        cancel = shown(box, IDCANCEL);
        yes = shown(box, IDYES);
        HWND ic = GetDlgItem(box, 0x0440);  // the box's icon control
        icon = ic && IsWindowVisible(ic) && SendMessageA(ic, STM_GETICON, 0, 0) != 0;
        return IDOK;
    });
    ArgRecord r = call(cmd_InfoBox, {textArg("请选择欲转码的服务端根目录"), intArg(0), none()});
    ASSERT_TRUE(h.found());
    EXPECT_EQ(text, "请选择欲转码的服务端根目录");
    EXPECT_TRUE(ok);
    EXPECT_FALSE(cancel);
    EXPECT_FALSE(yes);
    EXPECT_FALSE(icon);
    EXPECT_EQ(r.type, TYPE_INT);
    EXPECT_EQ(r.low, 0u);
    EXPECT_EQ(r.high, 0u);
}

TEST_F(DialogGui, InfoBoxPassesIconFlagsThrough) {
    bool icon = false;
    Helper h(mainThread_, "带图标", [&](HWND box) {
        HWND ic = GetDlgItem(box, 0x0440);
        icon = ic && IsWindowVisible(ic) && SendMessageA(ic, STM_GETICON, 0, 0) != 0;
        return IDOK;
    });
    call(cmd_InfoBox, {textArg("x"), intArg(MB_ICONINFORMATION), textArg("带图标")});
    ASSERT_TRUE(h.found());
    EXPECT_TRUE(icon);
}

TEST_F(DialogGui, InfoBoxWithOnlyTheMessageAlsoShows) {
    std::string text;
    Helper h(mainThread_, "信息：", [&](HWND box) {
        text = dlgText(box, 0xFFFF);
        return IDOK;
    });
    ArgRecord r = call(cmd_InfoBox, {intArg(-42)});
    ASSERT_TRUE(h.found());
    EXPECT_EQ(text, "-42");
    EXPECT_EQ(r.low, 0u);
}

TEST_F(DialogGui, InfoBoxAnswersByButtonNumber) {
    struct Case {
        uint32_t flags;
        int press;
        uint32_t expected;
    } cases[] = {
        {MB_YESNO, IDYES, 5},         {MB_YESNO, IDNO, 6},
        {MB_OKCANCEL, IDOK, 0},       {MB_OKCANCEL, IDCANCEL, 1},
        {MB_ABORTRETRYIGNORE, IDABORT, 2}, {MB_ABORTRETRYIGNORE, IDRETRY, 3},
        {MB_ABORTRETRYIGNORE, IDIGNORE, 4}, {MB_YESNOCANCEL, IDCANCEL, 1},
        {MB_RETRYCANCEL, IDRETRY, 3},
    };
    for (const Case& c : cases) {
        std::string title;
        Helper h(mainThread_, "问题", [&](HWND box) {
            title = windowText(box);
            return c.press;
        });
        ArgRecord r = call(cmd_InfoBox, {textArg("继续吗?"), intArg((int32_t)c.flags), textArg("问题")});
        ASSERT_TRUE(h.found()) << c.flags;
        EXPECT_EQ(title, "问题");
        EXPECT_EQ(r.type, TYPE_INT);
        EXPECT_EQ(r.low, c.expected) << "flags " << c.flags << " button " << c.press;
    }
}

TEST_F(DialogGui, InfoBoxWithAGivenNullTitleHasAnEmptyTitle) {
    std::string title = "<none>", text;
    Helper h(mainThread_, nullptr, [&](HWND box) {
        title = windowText(box);
        text = dlgText(box, 0xFFFF);
        return IDOK;
    });
    call(cmd_InfoBox, {ArgRecord{0, 0, TYPE_TEXT}, intArg(0), ArgRecord{0, 0, TYPE_TEXT}});
    ASSERT_TRUE(h.found());
    EXPECT_EQ(title, "");  // not the platform's default "Error"
    EXPECT_EQ(text, "");
}

TEST_F(DialogGui, InfoBoxIsTaskModalUnlessSystemModal) {
    HWND other = plainWindow("其他窗口");
    bool otherEnabled = true, topmost = true;
    {
        Helper h(mainThread_, "任务", [&](HWND box) {
            otherEnabled = IsWindowEnabled(other) != 0;
            topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            return IDOK;
        });
        call(cmd_InfoBox, {textArg("a"), intArg(0), textArg("任务")});
        ASSERT_TRUE(h.found());
    }
    EXPECT_FALSE(otherEnabled) << "task-modal box leaves the thread's windows enabled";
    EXPECT_FALSE(topmost);
    EXPECT_TRUE(IsWindowEnabled(other));
    {
        Helper h(mainThread_, "系统", [&](HWND box) {
            otherEnabled = IsWindowEnabled(other) != 0;
            topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            return IDOK;
        });
        call(cmd_InfoBox, {textArg("b"), intArg(MB_SYSTEMMODAL), textArg("系统")});
        ASSERT_TRUE(h.found());
    }
    EXPECT_TRUE(otherEnabled) << "system-modal box was made task-modal too";
    EXPECT_TRUE(topmost);
}

}  // namespace
