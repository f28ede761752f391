// ProcessEvents against a real message queue, and BrowseForFolder driven
// through the shell's folder dialog.
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include "tests/support/gui_env.h"

using namespace dialog_test;

namespace {

// ---- ProcessEvents

TEST_F(DialogGui, ProcessEventsReturnsAtOnceWithNothingQueued) {
    HWND w = plainWindow("空");
    drain();
    SetTimer(w, 1, 2000, nullptr);  // a message in the future must not be waited for
    DWORD start = GetTickCount();
    ArgRecord r = call(cmd_ProcessEvents, {});
    DWORD took = GetTickCount() - start;
    KillTimer(w, 1);
    EXPECT_LT(took, 500u);
    EXPECT_EQ(r.low, 0u);
    EXPECT_EQ(r.high, 0u);
    EXPECT_EQ(r.type, 0u);
}

TEST_F(DialogGui, ProcessEventsRunsPendingMessagesAndLeavesTheQuitMessage) {
    HWND w = plainWindow("消息");
    drain();
    int hits = 0;
    PostMessageA(w, WM_APP + 1, 1, (LPARAM)&hits);  // posts a second one when handled
    PostQuitMessage(7);
    DWORD start = GetTickCount();
    call(cmd_ProcessEvents, {});
    EXPECT_LT(GetTickCount() - start, 500u);
    EXPECT_EQ(hits, 2);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, (UINT)WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
}

TEST_F(DialogGui, ProcessEventsWithOnlyTheQuitMessageLeavesIt) {
    drain();
    PostQuitMessage(3);
    call(cmd_ProcessEvents, {});
    call(cmd_ProcessEvents, {});
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, (UINT)WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
}

// ---- BrowseForFolder

// The dialog's tree item that is selected, or null while only its root is.
HTREEITEM selectedBelowRoot(HWND dlg) {
    HWND tree = FindWindowExA(dlg, nullptr, "SysTreeView32", nullptr);
    if (!tree) return nullptr;
    HTREEITEM sel = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    return sel == root ? nullptr : sel;
}

// Selects `path` in the open folder dialog and confirms it. The dialog may
// show before it has filled its tree and selected its root, which would undo
// an early selection: select again until the selection holds.
int selectAndConfirm(HWND dlg, const char* path) {
    for (int i = 0; i < 60; i++) {
        SendMessageA(dlg, BFFM_SETSELECTIONA, TRUE, (LPARAM)path);
        Sleep(50);
        if (selectedBelowRoot(dlg)) {
            Sleep(100);
            if (selectedBelowRoot(dlg)) break;
        }
    }
    return IDOK;
}

std::string prompt(HWND dlg) {
    // The prompt is one of the dialog's static texts.
    std::string found;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {0};
        GetClassNameA(c, cls, sizeof cls);
        if (!strcmp(cls, "Static") && windowText(c) == "选择服务端根目录") found = windowText(c);
    }
    return found;
}

class BrowseGui : public DialogGui {
protected:
    void SetUp() override {
        DialogGui::SetUp();
        OleInitialize(nullptr);  // the runtime does this at start-up
        main_ = registryWindow(0x52010001, "Vellumor");
        off_ = registryWindow(0x52010002, "禁用的窗口");
        EnableWindow(off_, FALSE);
        SetActiveWindow(main_);
        drain();
    }
    void TearDown() override {
        DialogGui::TearDown();
        OleUninitialize();
    }
    HWND main_ = nullptr, off_ = nullptr;
};

TEST_F(BrowseGui, CancelGivesTheEmptyTextAndRestoresModality) {
    HWND extra = plainWindow("不在登记表");
    SetActiveWindow(main_);
    bool mainDuring = true, extraDuring = false;
    HWND owner = nullptr;
    std::string promptText;
    Helper h(mainThread_, nullptr, [&](HWND dlg) {
        mainDuring = IsWindowEnabled(main_) != 0;
        extraDuring = IsWindowEnabled(extra) != 0;
        owner = GetWindow(dlg, GW_OWNER);
        promptText = prompt(dlg);
        return IDCANCEL;
    });
    ArgRecord r = call(cmd_BrowseForFolder, {textArg("选择服务端根目录"), none()});
    ASSERT_TRUE(h.found());
    EXPECT_EQ(r.type, TYPE_TEXT);
    EXPECT_EQ(r.low, 0u);
    EXPECT_FALSE(mainDuring);
    EXPECT_TRUE(extraDuring) << "only the registry's windows are disabled";
    EXPECT_EQ(owner, main_);
    EXPECT_EQ(promptText, "选择服务端根目录");
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_FALSE(IsWindowEnabled(off_)) << "a window disabled before stays disabled";
    EXPECT_EQ(GetActiveWindow(), main_);
}

TEST_F(BrowseGui, ConfirmedFolderHasNoTrailingBackslash) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string dir = std::string(tmp) + "vell_dialog_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string withSlash = dir + "\\";
    bool mainDuring = true;
    Helper h(mainThread_, nullptr, [&](HWND dlg) {
        mainDuring = IsWindowEnabled(main_) != 0;
        return selectAndConfirm(dlg, withSlash.c_str());
    });
    ArgRecord r = call(cmd_BrowseForFolder, {textArg("选择服务端根目录"), boolArg(false)});
    ASSERT_TRUE(h.found());
    RemoveDirectoryA(dir.c_str());
    EXPECT_EQ(r.type, TYPE_TEXT);
    const char* got = (const char*)(uintptr_t)r.low;
    ASSERT_NE(got, nullptr);
    EXPECT_STRCASEEQ(got, dir.c_str());
    rt_Free((void*)got);
    EXPECT_FALSE(mainDuring);
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_FALSE(IsWindowEnabled(off_));
}

TEST_F(BrowseGui, ConfirmedDriveRootKeepsItsBackslash) {
    Helper h(mainThread_, nullptr, [&](HWND dlg) { return selectAndConfirm(dlg, "C:\\"); });
    ArgRecord r = call(cmd_BrowseForFolder, {textArg("选择服务端根目录")});
    ASSERT_TRUE(h.found());
    const char* got = (const char*)(uintptr_t)r.low;
    ASSERT_NE(got, nullptr);
    EXPECT_STRCASEEQ(got, "C:\\");
    rt_Free((void*)got);
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(BrowseGui, IncludeFilesLetsAFileBeChosen) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string file = std::string(tmp) + "vell_dialog_" + std::to_string(GetCurrentProcessId()) + ".yml";
    HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    Helper h(mainThread_, nullptr, [&](HWND dlg) { return selectAndConfirm(dlg, file.c_str()); });
    ArgRecord r = call(cmd_BrowseForFolder, {textArg("选择服务端根目录"), boolArg(true)});
    ASSERT_TRUE(h.found());
    DeleteFileA(file.c_str());
    const char* got = (const char*)(uintptr_t)r.low;
    ASSERT_NE(got, nullptr);
    EXPECT_STRCASEEQ(got, file.c_str());
    rt_Free((void*)got);
}

TEST_F(BrowseGui, WithoutAnyRegistryWindowStillWorks) {
    for (FakeWindow* w : g_registry) DestroyWindow(w->obj.fw.hwnd);
    drain();
    g_rt.ui.notify = nullptr;  // no window layer at all
    Helper h(mainThread_, nullptr, [&](HWND) { return IDCANCEL; });
    ArgRecord r = call(cmd_BrowseForFolder, {textArg("选择服务端根目录"), boolArg(true)});
    ASSERT_TRUE(h.found());
    EXPECT_EQ(r.type, TYPE_TEXT);
    EXPECT_EQ(r.low, 0u);
}

}  // namespace
