#include <gtest/gtest.h>
#include "tests/support/ui_kit.h"
#include "runtime/rt.h"

using namespace uk;

namespace {

constexpr uint32_t W1 = 0x52010001, W2 = 0x52010002;
constexpr uint32_t E0 = 0x06010000;
constexpr uint32_t A = 0x16010002, B = 0x16010003, C = 0x16010004;

bool mainDisabledInLoop;
uint32_t modalIdInLoop;

class Loader : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
};

std::vector<TplEntry> abcWindow(TplComponent window = Window()) {
    return {Entry(E0, window), Entry(A, Box(10, 10, 100, 20, TPL_STATE_VISIBLE, "A")),
            Entry(B, Box(20, 20, 100, 20, TPL_STATE_VISIBLE, "B")), Entry(C, Box(30, 30, 100, 20, TPL_STATE_VISIBLE, "C"))};
}

TEST_F(Loader, CreatesWindowThenTableBackwardsWithControlIdsByTen) {
    ASSERT_TRUE(LoadTemplate(W1, abcWindow()));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    ASSERT_EQ(created.size(), 3u);
    EXPECT_EQ(created[0].component, C);
    EXPECT_EQ(created[0].controlId, 100);
    EXPECT_EQ(created[1].component, B);
    EXPECT_EQ(created[1].controlId, 110);
    EXPECT_EQ(created[2].component, A);
    EXPECT_EQ(created[2].controlId, 120);
    HWND win = WindowHandle(W1);
    for (const Created& c : created) EXPECT_EQ(GetParent(c.hwnd), win);
}

TEST_F(Loader, ZOrderFollowsTableOrderEntryOneOnTop) {
    ASSERT_TRUE(LoadTemplate(W1, abcWindow()));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    HWND win = WindowHandle(W1);
    HWND top = GetWindow(win, GW_CHILD);
    EXPECT_EQ(top, Handle(W1, A));
    EXPECT_EQ(GetWindow(top, GW_HWNDNEXT), Handle(W1, B));
    EXPECT_EQ(GetWindow(Handle(W1, B), GW_HWNDNEXT), Handle(W1, C));
}

TEST_F(Loader, ChildOfAContainerIsReparentedAndOrderedAmongItsSiblings) {
    TplComponent holder = Box(0, 0, 200, 100, TPL_STATE_VISIBLE, "holder", kHolderKind);
    TplComponent inner1 = Box(1, 1, 10, 10, TPL_STATE_VISIBLE, "in1");
    TplComponent inner2 = Box(2, 2, 10, 10, TPL_STATE_VISIBLE, "in2");
    inner1.parentId = A;
    inner2.parentId = A;
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window()), Entry(A, holder), Entry(B, inner1),
                                  Entry(C, Box(5, 5, 10, 10)), Entry(0x16010005, inner2)}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_EQ(GetParent(Handle(W1, B)), Handle(W1, A));
    EXPECT_EQ(GetParent(Handle(W1, 0x16010005)), Handle(W1, A));
    EXPECT_EQ(GetParent(Handle(W1, C)), WindowHandle(W1));
    EXPECT_EQ(GetWindow(Handle(W1, A), GW_CHILD), Handle(W1, B));
    EXPECT_EQ(GetWindow(Handle(W1, B), GW_HWNDNEXT), Handle(W1, 0x16010005));
    // A container of flag 0x200 owns its child windows when found by handle.
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, Handle(W1, A), nullptr, nullptr, nullptr);
    EXPECT_EQ(ui_FindEntryByHandle(Rec(W1), plain, false), 1);
}

TEST_F(Loader, VisibilityDisabledAndTabStopFollowStateAndKindFlags) {
    TplComponent hidden = Box(0, 0, 10, 10, TPL_STATE_VISIBLE, "h", kHiddenKind);
    hidden.stateFlags = TPL_STATE_VISIBLE | TPL_STATE_DISABLED | TPL_STATE_TABSTOP;
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window(50, 50, 400, 300, V)), Entry(A, Box(0, 0, 10, 10, TPL_STATE_VISIBLE)),
                                  Entry(B, Box(0, 0, 10, 10, 0)),
                                  Entry(C, Box(0, 0, 10, 10, TPL_STATE_VISIBLE | TPL_STATE_DISABLED | TPL_STATE_TABSTOP)),
                                  Entry(0x16010005, hidden)}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_TRUE(GetWindowLongA(Handle(W1, A), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(Handle(W1, B), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(Handle(W1, C), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowEnabled(Handle(W1, C)));
    EXPECT_TRUE(GetWindowLongA(Handle(W1, C), GWL_STYLE) & WS_TABSTOP);
    // Flag 0x8000: never shown and never disabled by the loader.
    HWND h = Handle(W1, 0x16010005);
    EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(IsWindowEnabled(h));
    // ... nor by the visible property.
    g_rt.ui.writeProperty(W1, 0x16010005, 5, -1, 1, 0);
    EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
    // The window itself is shown when its visible bit is set.
    EXPECT_TRUE(IsWindowVisible(WindowHandle(W1)));
}

TEST_F(Loader, WindowWithoutVisibleBitStaysHiddenUntilMadeVisible) {
    ASSERT_TRUE(LoadTemplate(W1, abcWindow(Window(50, 50, 300, 200, 0))));
    // (hidden template: the property shows it)
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_FALSE(IsWindowVisible(WindowHandle(W1)));
    g_rt.ui.writeProperty(W1, 0, 5, -1, 1, 0);
    EXPECT_TRUE(IsWindowVisible(WindowHandle(W1)));
    EXPECT_EQ(g_rt.ui.readProperty(W1, 0, 5, -1), 1u);
}

TEST_F(Loader, PrivateMessagesReachEveryComponentOnce) {
    ASSERT_TRUE(LoadTemplate(W1, abcWindow()));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    for (uint32_t id : {A, B, C}) {
        EXPECT_EQ(Obj(W1, id)->afterCreate, 1);
        EXPECT_EQ(Obj(W1, id)->afterShow, 1);
    }
    WindowObject* w = (WindowObject*)ui_WindowObject(Rec(W1));
    EXPECT_EQ(w->layoutMessages, 1);
    EXPECT_EQ(w->modalFlagAtCreate, 0);
}

TEST_F(Loader, WindowEventsZeroThreeFourAfterTheComponentsExist) {
    TplComponent window = Window();
    window.bindings = {{4, H(3)}, {0, H(1)}, {3, H(2)}};
    ASSERT_TRUE(LoadTemplate(W1, abcWindow(window)));
    int32_t valueSeen = -1;
    onHandler = [&](int slot, int32_t*) {
        if (slot == 1) valueSeen = (int32_t)g_rt.ui.readProperty(W1, A, P_VALUE, -1);
        return 0;
    };
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].slot, 1);
    EXPECT_EQ(calls[1].slot, 2);
    EXPECT_EQ(calls[2].slot, 3);
    EXPECT_EQ(calls[0].argc, 0);
    EXPECT_EQ(calls[0].sourceWindow, W1);
    EXPECT_EQ(calls[0].sourceComponent, E0);
    EXPECT_EQ(valueSeen, 1);
    EXPECT_EQ(g_rt.eventBlock, 0);
    EXPECT_EQ(g_rt.eventSourceWindow, 0u);
}

TEST_F(Loader, HandlerOfEventZeroThatDestroysTheWindowStopsThreeAndFour) {
    TplComponent window = Window();
    window.bindings = {{0, H(1)}, {3, H(2)}, {4, H(3)}};
    ASSERT_TRUE(LoadTemplate(W1, abcWindow(window)));
    onHandler = [&](int slot, int32_t*) {
        if (slot == 1) DestroyWindow(WindowHandle(W1));
        return 0;
    };
    EXPECT_TRUE(g_rt.ui.loadWindow(W1));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].slot, 1);
    EXPECT_FALSE(g_rt.ui.anyWindowExists());
    // The registry is as the template was: nothing live, loadable again.
    for (uint32_t i = 0; i < Rec(W1)->working.count; i++) EXPECT_EQ(tpl_GetObjectSlot(Rec(W1)->working, i), 0u);
    onHandler = nullptr;
    calls.clear();
    EXPECT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_EQ(calls.size(), 3u);
}

TEST_F(Loader, LoadingALoadedWindowActivatesItInsteadOfCreating) {
    ASSERT_TRUE(LoadTemplate(W1, abcWindow(Window(50, 50, 400, 300, V))));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    HWND first = WindowHandle(W1);
    ShowWindow(first, SW_MINIMIZE);
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_EQ(created.size(), 3u);
    EXPECT_EQ(WindowHandle(W1), first);
    EXPECT_FALSE(IsIconic(first));
}

TEST_F(Loader, ChangesOfOneLifeAreGoneAfterReload) {
    TplComponent a = Box(10, 11, 100, 20, TPL_STATE_VISIBLE, "A");
    a.tag = "t0";
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window()), Entry(A, a), Entry(B, Box(0, 0, 5, 5))}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    g_rt.ui.writeProperty(W1, A, 0, -1, 77, 0);
    g_rt.ui.writeProperty(W1, A, 2, -1, 222, 0);
    g_rt.ui.writeProperty(W1, A, 4, -1, (uint32_t)(uintptr_t)"a much longer tag", 0);
    g_rt.ui.writeProperty(W1, A, 5, -1, 0, 0);
    g_rt.ui.writeProperty(W1, A, P_VALUE, -1, 999, 0);
    g_rt.ui.writeProperty(W1, B, 4, -1, (uint32_t)(uintptr_t)"b", 0);
    EXPECT_EQ(Text(g_rt.ui.readProperty(W1, A, 4, -1)), "a much longer tag");
    Destroy(W1);
    // Not loaded: common properties come from the record, as the template had them.
    EXPECT_EQ(g_rt.ui.readProperty(W1, A, 0, -1), 10u);
    EXPECT_EQ(g_rt.ui.readProperty(W1, A, 2, -1), 100u);
    EXPECT_EQ(Text(g_rt.ui.readProperty(W1, A, 4, -1)), "t0");
    EXPECT_EQ(g_rt.ui.readProperty(W1, A, 5, -1), 1u);
    EXPECT_EQ(g_rt.ui.readProperty(W1, B, 4, -1), 0u);
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_EQ(g_rt.ui.readProperty(W1, A, P_VALUE, -1), 1u);
    EXPECT_EQ(g_rt.ui.readProperty(W1, A, 0, -1), 10u);
    EXPECT_TRUE(GetWindowLongA(Handle(W1, A), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Loader, CommonPropertyWrittenWhileNotLoadedTakesEffectAtTheNextLoad) {
    ASSERT_TRUE(LoadTemplate(W1, abcWindow()));
    g_rt.ui.writeProperty(W1, B, 1, -1, 44, 0);
    g_rt.ui.writeProperty(W1, B, 6, -1, 1, 0);
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    RECT r;
    GetWindowRect(Handle(W1, B), &r);
    MapWindowPoints(nullptr, WindowHandle(W1), (POINT*)&r, 2);
    EXPECT_EQ(r.top, 44);
    EXPECT_FALSE(IsWindowEnabled(Handle(W1, B)));
}

TEST_F(Loader, EventRaisedWhileAnotherWindowLoadsIsDropped) {
    TplComponent target = Box(0, 0, 10, 10);
    target.bindings = {{0, H(5)}};
    TplComponent raiser = Box(0, 0, 10, 10);
    raiser.kindBlock = BoxBlock(77, "");
    ASSERT_TRUE(LoadTemplates({{W1, {Entry(E0, Window()), Entry(A, target)}},
                               {W2, {Entry(E0, Window()), Entry(A, raiser)}}}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    ASSERT_TRUE(g_rt.ui.loadWindow(W2));
    EXPECT_EQ(raiseDuringCreateResult, 0u);
    EXPECT_TRUE(calls.empty());
    // Outside a load the same event reaches its handler.
    EventRecord e = {};
    e.window = W1;
    e.component = A;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 1u);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(Loader, FailedLoadLeavesNothingLiveAndTheTemplateIntact) {
    TplComponent bad = Box(0, 0, 10, 10);
    bad.kindBlock = BoxBlock(1, "", 2);  // version the kind does not know
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window()), Entry(A, bad), Entry(B, Box(0, 0, 5, 5))}));
    std::string before = Rec(W1)->working.bytes;
    EXPECT_FALSE(g_rt.ui.loadWindow(W1));
    Pump();
    EXPECT_EQ(g_rt.eventBlock, 0);
    EXPECT_FALSE(g_rt.ui.anyWindowExists());
    EXPECT_EQ(Rec(W1)->working.bytes, before);
    EXPECT_FALSE(Rec(W1)->hasSaved);
    // A kind without a create function fails the load the same way.
    Reset();
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window()), Entry(A, Box(0, 0, 5, 5, 1, "", 0x00010003))}));
    EXPECT_FALSE(g_rt.ui.loadWindow(W1));
    EXPECT_FALSE(g_rt.ui.anyWindowExists());
    EXPECT_EQ(g_rt.eventBlock, 0);
}

TEST_F(Loader, UnknownWindowIdDoesNotLoad) {
    ASSERT_TRUE(LoadTemplate(W1, abcWindow()));
    EXPECT_FALSE(g_rt.ui.loadWindow(W2));
    uint32_t request[3] = {W2, 0, 0};
    EXPECT_EQ(rt_Notify(2005, (uint32_t)(uintptr_t)request, 0), 0xFFFFFFFFu);
}

TEST_F(Loader, ModalLoadDisablesOtherWindowsAndRunsANestedLoop) {
    ASSERT_TRUE(LoadTemplates({{W1, abcWindow()}, {W2, {Entry(E0, Window(80, 80, 200, 100, V)), Entry(A, Box(0, 0, 5, 5))}}}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    HWND main = WindowHandle(W1);
    mainDisabledInLoop = false;
    modalIdInLoop = 0;
    struct Timer {
        static void CALLBACK fire(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            mainDisabledInLoop = !IsWindowEnabled(WindowHandle(0x52010001));
            modalIdInLoop = g_rt.modalWindowId;
            DestroyWindow(WindowHandle(0x52010002));
        }
    };
    SetTimer(nullptr, 0, 50, Timer::fire);
    ComponentObject* owner = ui_WindowObject(Rec(W1));
    uint32_t request[3] = {W2, (uint32_t)(uintptr_t)owner, 1};
    EXPECT_EQ(rt_Notify(2005, (uint32_t)(uintptr_t)request, 0), 0u);
    EXPECT_TRUE(mainDisabledInLoop);
    EXPECT_EQ(modalIdInLoop, W2);
    EXPECT_EQ(g_rt.modalWindowId, 0u);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(WindowHandle(W2), nullptr);
}

TEST_F(Loader, ModalFlagIsSeenByTheWindowKindAndOwnerIsDropped) {
    ASSERT_TRUE(LoadTemplates({{W1, abcWindow()}, {W2, {Entry(E0, Window(80, 80, 200, 100, 0))}}}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    UiWindowRecord* w2 = Rec(W2);
    ASSERT_EQ(ui_LoadWindowRecord(w2, 0, 1, WindowHandle(W1)), 1);
    WindowObject* o = (WindowObject*)ui_WindowObject(w2);
    EXPECT_EQ(o->modalFlagAtCreate, 1);
    EXPECT_EQ(o->ownerAtCreate, nullptr);
    EXPECT_TRUE(ui_IsModal(W2));
    EXPECT_FALSE(IsWindowEnabled(WindowHandle(W1)));
    EXPECT_EQ(ui_ModalLoadFlag(), 0);
    // Closing gives the windows back.
    ui_EndModal(W2);
    EXPECT_TRUE(IsWindowEnabled(WindowHandle(W1)));
    EXPECT_FALSE(ui_IsModal(W2));
    // A non-modal load with an owner that is not a window fails.
    Destroy(W2);
    EXPECT_EQ(ui_LoadWindowRecord(w2, 0, 0, (HWND)(uintptr_t)0x1234560), 0);
    EXPECT_EQ(g_rt.eventBlock, 0);
}

TEST_F(Loader, ShowByPositionMaximisesForPositionThree) {
    TplComponent window = Window(50, 50, 400, 300, V);
    window.kindBlock = WindowBlock(3);
    ASSERT_TRUE(LoadTemplates({{W1, {Entry(E0, window)}}}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_TRUE(IsZoomed(WindowHandle(W1)));
}

TEST_F(Loader, ShowByPositionMinimisesForPositionTwo) {
    TplComponent window = Window(50, 50, 400, 300, V);
    window.kindBlock = WindowBlock(2);
    ASSERT_TRUE(LoadTemplates({{W1, {Entry(E0, window)}}}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_TRUE(IsIconic(WindowHandle(W1)));
}

TEST_F(Loader, FocusedComponentGetsEventMinusSevenWhenShown) {
    TplComponent a = Box(0, 0, 10, 10);
    a.bindings = {{-7, H(6)}};
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window(50, 50, 400, 300, V)), Entry(A, a)}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    SetFocus(Handle(W1, A));
    ui_ShowByPosition(W1, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].slot, 6);
    EXPECT_EQ(calls[0].sourceComponent, A);
}

TEST_F(Loader, FindEntryByHandle) {
    ASSERT_TRUE(LoadTemplate(W1, abcWindow()));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    UiWindowRecord* w = Rec(W1);
    EXPECT_EQ(ui_FindEntryByHandle(w, Handle(W1, B), false), 2);
    EXPECT_EQ(ui_FindEntryByHandle(w, WindowHandle(W1), false), -1);
    HWND inner = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, Handle(W1, C), nullptr, nullptr, nullptr);
    EXPECT_EQ(ui_FindEntryByHandle(w, inner, false), -1);  // the box kind has no 0x200
    EXPECT_EQ(ui_FindEntryByHandle(w, inner, true), 3);
}

TEST_F(Loader, MousePointersComeFromFieldFifteenAndGoWithTheWindow) {
    TplComponent a = Box(0, 0, 10, 10);
    uint32_t cross = 32515;
    a.mousePointer.assign((const char*)&cross, 4);
    TplComponent b = Box(0, 0, 10, 10);
    b.mousePointer.clear();
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window()), Entry(A, a), Entry(B, b), Entry(C, Box(0, 0, 5, 5))}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    const TplTable& t = Rec(W1)->working;
    EXPECT_EQ(tpl_GetCursorSlot(t, 1), (uint32_t)(uintptr_t)LoadCursorA(nullptr, (LPCSTR)IDC_CROSS));
    EXPECT_EQ(tpl_GetCursorSlot(t, 2), 0u);
    EXPECT_EQ(tpl_GetCursorSlot(t, 3), 0u);
    Destroy(W1);
    EXPECT_EQ(tpl_GetCursorSlot(Rec(W1)->working, 1), 0u);
}

TEST_F(Loader, PointerBuffersAndTheNumberTable) {
    EXPECT_EQ(ui_PointerNumberToCode(14), 32649u);
    EXPECT_EQ(ui_PointerNumberToCode(1), 32512u);
    EXPECT_EQ(ui_PointerNumberToCode(15), 15u);
    EXPECT_EQ(ui_PointerCodeToNumber(32516), 13u);
    EXPECT_EQ(ui_PointerCodeToNumber(12345), 12345u);
    uint8_t zero[4] = {0, 0, 0, 0};
    EXPECT_EQ(ui_MakePointer(zero, 4), nullptr);
    uint8_t shortCode[2] = {0, 0};
    EXPECT_EQ(ui_MakePointer(shortCode, 2), nullptr);
    uint32_t notInTable = 4242;
    EXPECT_EQ(ui_MakePointer((const uint8_t*)&notInTable, 4), nullptr);
    uint32_t hand = 32649;
    EXPECT_NE(ui_MakePointer((const uint8_t*)&hand, 4), nullptr);
    // -1 followed by data that is no cursor file: none, and no crash.
    uint8_t junk[16] = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(ui_MakePointer(junk, sizeof junk), nullptr);
}

TEST_F(Loader, NotificationsAboutWindowsAndKinds) {
    ASSERT_TRUE(LoadTemplates({{W1, abcWindow()}, {W2, {Entry(E0, Window())}}}));
    EXPECT_EQ(rt_Notify(2032, 0, 0), 2u);
    EXPECT_EQ(rt_Notify(2033, 0, 0), 0u);
    EXPECT_EQ(rt_Notify(2006, W1, A), 0u);
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_EQ(rt_Notify(2033, 0, 0), (uint32_t)(uintptr_t)WindowHandle(W1));
    EXPECT_EQ(rt_Notify(2033, 1, 0), 0u);
    EXPECT_EQ(rt_Notify(2033, 7, 0), 0u);
    EXPECT_EQ(rt_Notify(2006, W1, 0), (uint32_t)(uintptr_t)ui_WindowObject(Rec(W1)));
    EXPECT_EQ(rt_Notify(2006, W1, E0), rt_Notify(2006, W1, 0));
    EXPECT_NE(rt_Notify(2006, W1, B), 0u);
    EXPECT_EQ(rt_Notify(2006, W1, 0x16019999), 0u);
    EXPECT_EQ(rt_Notify(2006, W1, 0x00000002), 0u);  // not an entry id
    EXPECT_EQ(rt_Notify(2022, W1, B), kBoxKind);
    EXPECT_EQ(rt_Notify(2022, W1, 0), kWindowKind);
    EXPECT_EQ(rt_Notify(2022, 0x52019999, 0), 0u);
    EXPECT_EQ(rt_Notify(2029, kBoxKind, 0), 1u);
    EXPECT_EQ(rt_Notify(2029, kMuteKind, 0), 0u);
    EXPECT_EQ(rt_Notify(2029, 0x00020001, 0), 0u);
    EXPECT_NE(rt_Notify(1002, kBoxKind, 0), 0u);
    EXPECT_EQ(rt_Notify(1002, 0x00010008, 0), 0u);
    EXPECT_EQ(rt_Notify(1002, 0x00010000, 0), 0u);
    EXPECT_EQ(rt_Notify(1001, 0, 0), (uint32_t)(uintptr_t)&ui_registry);
    const char* wn = nullptr;
    const char* en = nullptr;
    EXPECT_EQ(g_rt.ui.describe(W1, B, &wn, &en), 2);
    EXPECT_STREQ(en, "B");
    EXPECT_EQ(g_rt.ui.describe(W1, 0x16019999, &wn, &en), 1);
    EXPECT_EQ(g_rt.ui.describe(0x52019999, 0, &wn, &en), 0);
}

TEST_F(Loader, UnreadableTemplateIsRefused) {
    std::string bytes = "\x10\x00\x00\x00\x01\x00";
    EXPECT_FALSE(g_rt.ui.loadTemplates(bytes.data(), (uint32_t)bytes.size(), handlers));
    EXPECT_EQ(rt_Notify(2032, 0, 0), 0u);
    EXPECT_TRUE(g_rt.ui.loadTemplates(nullptr, 0, handlers));
}

TEST_F(Loader, IdleAsksEachWindowUntilItDeclines) {
    TplComponent window = Window();
    window.bindings = {{7, H(4)}};
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, window)}));
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    int asked = 0;
    onHandler = [&](int slot, int32_t* returned) {
        if (slot != 4) return 0;
        *returned = 1;
        return ++asked < 2 ? 1 : 0;
    };
    EXPECT_TRUE(g_rt.ui.idle(true, 5));
    EXPECT_FALSE(g_rt.ui.idle(false, 6));
    EXPECT_FALSE(g_rt.ui.idle(false, 7));
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].argc, 1);
    EXPECT_EQ(calls[1].args[0], 6u);
    g_rt.ui.idle(true, 0);
    EXPECT_EQ(asked, 3);
}

}  // namespace
