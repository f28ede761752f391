// InfoBox owner rules with real message boxes (apart from the other box
// tests to keep each program well within the test timeout).
#include <windows.h>
#include <gtest/gtest.h>
#include "tests/support/gui_env.h"

using namespace dialog_test;

namespace {

TEST_F(DialogGui, InfoBoxOwnerRules) {
    HWND main = registryWindow(0x52010001, "Vellumor");
    HWND unloaded = registryWindow(0x52010002, "未载入");
    g_registry[1]->loaded = false;
    HWND gone = makeWindow("已销毁");
    DestroyWindow(gone);
    struct Case {
        const char* name;
        std::vector<ArgRecord> args;
        int32_t count;
        HWND owner;
    } cases[] = {
        {"window kind", {textArg("m"), intArg(0), none(), windowArg(0x52010001)}, 4, main},
        {"integer handle", {textArg("m"), intArg(0), none(), intArg((int32_t)(uintptr_t)main)}, 4, main},
        {"only three arguments", {textArg("m"), intArg(0), none(), windowArg(0x52010001)}, 3, nullptr},
        {"unloaded window", {textArg("m"), intArg(0), none(), windowArg(0x52010002)}, 4, nullptr},
        {"unknown window id", {textArg("m"), intArg(0), none(), windowArg(0x52019999)}, 4, nullptr},
        {"stale handle", {textArg("m"), intArg(0), none(), intArg((int32_t)(uintptr_t)gone)}, 4, nullptr},
        {"other type", {textArg("m"), intArg(0), none(), textArg("x")}, 4, nullptr},
    };
    (void)unloaded;
    for (Case& c : cases) {
        HWND owner = (HWND)-1;
        Helper h(mainThread_, "信息：", [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            return IDOK;
        });
        call(cmd_InfoBox, c.args, c.count);
        ASSERT_TRUE(h.found()) << c.name;
        EXPECT_EQ(owner, c.owner) << c.name;
    }
}

}  // namespace
