#include <gtest/gtest.h>
#include <shlobj.h>
#include "tests/support/drop.h"
#include "tests/support/kind_harness.h"
#include "tests/support/pump.h"
#include "commands/library.h"
#include "ui/kinds/common/common.h"
#include "runtime/rt.h"
#include "ui/kinds/window/window.h"
#include "ui/loader/loader.h"
#include "ui/kinds/button/button_block.h"
#include "ui/template/template.h"

namespace {

const uint32_t kWindowId = 0x52010001, kEntryId = 0x06010000;

// ---- kind block ----

TEST(WindowBlock, TemplateBlocksOfEveryVersionReadBackFieldForField) {
    for (uint32_t version = 1; version <= 6; version++) {
        WindowProps b;
        b.border = 5; b.layout = 3; b.colour = 0x123456; b.maxBox = 1; b.minBox = 0;
        b.controlBox = 0; b.position = 3; b.movable = 0; b.soundRepeat = 2; b.enterMovesFocus = 1;
        b.escCloses = 0; b.f1Help = 1; b.helpContext = 77; b.inTaskbar = 0; b.dragAnywhere = 1;
        b.shape = 2; b.topmost = 1; b.flag30 = 1; b.className = "MyClass";
        b.picture = "PIC"; b.icon = "ICO"; b.sound = "SND"; b.title = "T"; b.helpFile = "h.hlp";
        ArchiveWriter out;
        window_WriteBlock(b, &out, version);
        std::string data = out.out;
        WindowProps p;
        ASSERT_TRUE(window_ReadBlock((const uint8_t*)data.data(), (int32_t)data.size(), &p)) << version;
        // border, layout, colour, max, min and control box, position, movable,
        // sound repeat, Enter, Esc, F1, help context
        EXPECT_EQ((std::vector<int64_t>{5, 3, 0x123456, 1, 0, 0, 3, 0, 2, 1, 0, 1, 77}),
                  (std::vector<int64_t>{p.border, p.layout, p.colour, p.maxBox, p.minBox, p.controlBox, p.position,
                                        p.movable, p.soundRepeat, p.enterMovesFocus, p.escCloses, p.f1Help,
                                        p.helpContext}));
        // Fields of later versions keep their defaults in older blocks.
        EXPECT_EQ(version > 1 ? 0 : 1, p.inTaskbar) << version;
        EXPECT_EQ(version > 2 ? 1 : 0, p.dragAnywhere) << version;
        EXPECT_EQ(version > 2 ? 2 : 0, p.shape) << version;
        EXPECT_EQ(version > 3 ? 1 : 0, p.topmost) << version;
        EXPECT_EQ(version > 4 ? 1 : 0, p.flag30) << version;
        EXPECT_EQ(version == 6 ? "MyClass" : "", p.className) << version;
        EXPECT_EQ((std::vector<std::string>{"PIC", "ICO", "SND", "T", "h.hlp"}),
                  (std::vector<std::string>{p.picture, p.icon, p.sound, p.title, p.helpFile}));
        if (version == 6) {
            ArchiveWriter w;
            window_WriteBlock(p, &w);
            EXPECT_EQ(data, w.out);
        }
    }
}

TEST(WindowBlock, EmptyBlockGivesDefaultsAndVersionSevenOrShortBlocksFail) {
    WindowProps p;
    ASSERT_TRUE(window_ReadBlock(nullptr, 0, &p));
    // border, position, control, min and max box, Esc, taskbar, colour
    EXPECT_EQ((std::vector<int64_t>{2, 1, 1, 1, 0, 1, 1, UI_COLOUR_BUTTON_FACE}),
              (std::vector<int64_t>{p.border, p.position, p.controlBox, p.minBox, p.maxBox, p.escCloses, p.inTaskbar,
                                    p.colour}));
    WindowProps b;
    std::string data = ui_BlockBytes(window_Block, b);
    data[0] = 7;
    EXPECT_FALSE(window_ReadBlock((const uint8_t*)data.data(), (int32_t)data.size(), &p));
    data[0] = 6;
    EXPECT_FALSE(window_ReadBlock((const uint8_t*)data.data(), (int32_t)data.size() - 1, &p));
}

TEST(WindowStyles, BorderAndCaptionBits) {
    uint32_t st, ex;
    window_BorderStyles(0, &st, &ex);
    EXPECT_EQ(0u, st);
    EXPECT_EQ(0u, ex);
    window_BorderStyles(1, &st, &ex);
    EXPECT_EQ((uint32_t)(WS_DLGFRAME | WS_THICKFRAME), st);
    window_BorderStyles(3, &st, &ex);
    EXPECT_EQ((uint32_t)WS_EX_TOOLWINDOW, ex);
    EXPECT_EQ((uint32_t)(WS_DLGFRAME | WS_THICKFRAME), st);
    window_BorderStyles(4, &st, &ex);
    EXPECT_EQ((uint32_t)WS_DLGFRAME, st);
    window_BorderStyles(6, &st, &ex);
    EXPECT_EQ((uint32_t)WS_EX_CLIENTEDGE, ex);
    WindowProps p;
    p.border = 0;
    p.title = "title";
    EXPECT_EQ(0u, window_CaptionBits(p) & WS_CAPTION);
    p.border = 2;
    p.title.clear();
    p.controlBox = 0;
    EXPECT_EQ((uint32_t)WS_DLGFRAME, window_CaptionBits(p) & (WS_CAPTION | WS_SYSMENU));
    p.controlBox = 1;
    EXPECT_EQ((uint32_t)(WS_CAPTION | WS_SYSMENU), window_CaptionBits(p) & (WS_CAPTION | WS_SYSMENU));
    p.controlBox = 0;
    p.title = "t";
    EXPECT_EQ((uint32_t)WS_CAPTION, window_CaptionBits(p) & (WS_CAPTION | WS_SYSMENU));
}

// ---- windows created directly by the kind ----

class WindowDirect : public ::testing::Test {
protected:
    void SetUp() override {
        kh::Install();
        rt_InstallApplication();
    }
    void TearDown() override {
        for (HWND h : made)
            if (IsWindow(h)) DestroyWindow(h);
        pumpMessages();
    }
    ComponentObject* create(const WindowProps& b, int w = 300, int h = 200) {
        std::string data = ui_BlockBytes(window_Block, b);
        ComponentObject* o = window_Create((const uint8_t*)data.data(), (int32_t)data.size(), 0, nullptr, 0,
                                           nullptr, 50, 60, w, h, kWindowId, kEntryId, 0, 0);
        if (o) made.push_back(o->fw.hwnd);
        return o;
    }
    static uint32_t style(ComponentObject* o) { return (uint32_t)GetWindowLongA(o->fw.hwnd, GWL_STYLE); }
    static int32_t get(ComponentObject* o, int32_t i) { return (int32_t)kh::GetInt(kind_window_iface, o, i); }
    static void set(ComponentObject* o, int32_t i, int32_t v) { EXPECT_EQ(0, kh::Set(kind_window_iface, o, i, v)); }
    std::vector<HWND> made;
};

TEST_F(WindowDirect, ClassTitleAndObjectQuery) {
    WindowProps b;
    b.title = "\xB4\xB0\xBF\xDA";  // "窗口"
    ComponentObject* o = create(b);
    ASSERT_NE(nullptr, o);
    char cls[64] = {}, title[64] = {};
    GetClassNameA(o->fw.hwnd, cls, sizeof cls);
    GetWindowTextA(o->fw.hwnd, title, sizeof title);
    EXPECT_STREQ("WTWindow", cls);
    EXPECT_STREQ("\xB4\xB0\xBF\xDA", title);
    EXPECT_EQ((LRESULT)o, SendMessageA(o->fw.hwnd, RT_MSG_OBJECT_QUERY, 0, 0));
    EXPECT_EQ(kEntryId, o->componentId);
    EXPECT_NE(0u, style(o) & WS_CLIPCHILDREN);
    b.className = "VellOtherClass";
    ComponentObject* other = create(b);
    ASSERT_NE(nullptr, other);
    GetClassNameA(other->fw.hwnd, cls, sizeof cls);
    EXPECT_STREQ("VellOtherClass", cls);
}

TEST_F(WindowDirect, BorderZeroHasNoCaptionEvenWithATitle) {
    WindowProps b;
    b.border = 0;
    b.title = "has a title";
    ComponentObject* o = create(b);
    ASSERT_NE(nullptr, o);
    EXPECT_EQ(0u, style(o) & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
}

TEST_F(WindowDirect, FixedBorderWithoutTitleOrControlBoxHasADialogFrameOnly) {
    WindowProps b;
    b.border = 2;
    b.controlBox = 0;
    ComponentObject* o = create(b);
    ASSERT_NE(nullptr, o);
    EXPECT_EQ((uint32_t)WS_DLGFRAME, style(o) & (WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(0u, style(o) & WS_THICKFRAME);
    // Turning the control box on brings the caption and system menu.
    set(o, WP_CONTROL_BOX, 1);
    EXPECT_EQ((uint32_t)(WS_CAPTION | WS_SYSMENU), style(o) & (WS_CAPTION | WS_SYSMENU));
}

TEST_F(WindowDirect, BorderWritesClampAndChangeTheFrame) {
    WindowProps b;
    ComponentObject* o = create(b);
    ASSERT_NE(nullptr, o);
    set(o, WP_BORDER, 9);
    EXPECT_EQ(6, get(o, WP_BORDER));
    EXPECT_NE(0, GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(0u, style(o) & WS_THICKFRAME);
    set(o, WP_BORDER, 3);
    EXPECT_NE(0u, style(o) & WS_THICKFRAME);
    EXPECT_NE(0, GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(0, GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    set(o, WP_BORDER, 0);
    EXPECT_EQ(0u, style(o) & (WS_CAPTION | WS_THICKFRAME));
    const struct { int32_t index, written, read; } clamped[] = {
        {WP_LAYOUT, 8, 3}, {WP_SHAPE, 40, 29}, {WP_SOUND_REPEAT, -4, 0}};
    for (const auto& c : clamped) {
        set(o, c.index, c.written);
        EXPECT_EQ(c.read, get(o, c.index)) << c.index;
    }
}

TEST_F(WindowDirect, PositionOneCentresOnTheScreen) {
    WindowProps b;
    b.position = 1;
    ComponentObject* o = create(b, 320, 240);
    ASSERT_NE(nullptr, o);
    RECT r;
    GetWindowRect(o->fw.hwnd, &r);
    EXPECT_EQ(320, r.right - r.left);
    EXPECT_EQ(240, r.bottom - r.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 320) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 240) / 2, r.top);
    // Position 0 keeps the designed place; a written 1 centres again.
    b.position = 0;
    ComponentObject* placed = create(b, 320, 240);
    ASSERT_NE(nullptr, placed);
    GetWindowRect(placed->fw.hwnd, &r);
    EXPECT_EQ(50, r.left);
    EXPECT_EQ(60, r.top);
    ShowWindow(placed->fw.hwnd, SW_SHOWNA);
    set(placed, WP_POSITION, 7);  // clamps to 3: maximised
    EXPECT_EQ(3, get(placed, WP_POSITION));
    EXPECT_TRUE(IsZoomed(placed->fw.hwnd));
    // Centring a maximised window restores it first.
    set(placed, WP_POSITION, 1);
    EXPECT_FALSE(IsZoomed(placed->fw.hwnd));
    GetWindowRect(placed->fw.hwnd, &r);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 320) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 240) / 2, r.top);
    EXPECT_EQ(0, get(placed, WP_POSITION));  // live state: neither minimised nor maximised
}

TEST_F(WindowDirect, CloseRefusedByEventTwelveKeepsTheWindowAndSkipsEventOne) {
    WindowProps b;
    ComponentObject* o = create(b);
    ASSERT_NE(nullptr, o);
    HWND h = o->fw.hwnd;
    kh::handler = [](const EventRecord& e, int32_t* result) {
        if (e.event != 12) return false;
        *result = 0;
        return true;
    };
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(h));
    std::vector<int32_t> seen;
    for (const EventRecord& e : kh::events) seen.push_back(e.event);
    EXPECT_EQ(std::vector<int32_t>{12}, seen);
    // A handler of event 1 returning non-zero lets it close.
    kh::events.clear();
    kh::handler = [](const EventRecord&, int32_t* result) { *result = 1; return true; };
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
    seen.clear();
    for (const EventRecord& e : kh::events) seen.push_back(e.event);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(12, seen[0]);
    EXPECT_EQ(1, seen[1]);
    EXPECT_EQ(2, seen[2]);  // being destroyed
    for (const EventRecord& e : kh::events) {
        EXPECT_EQ(kWindowId, e.window);
        EXPECT_EQ(kEntryId, e.component);
    }
    // The window object reports its end with component 0.
    ASSERT_EQ(1u, kh::destroyed.size());
    EXPECT_EQ(kWindowId, kh::destroyed[0].first);
    EXPECT_EQ(0u, kh::destroyed[0].second);
}

TEST_F(WindowDirect, EventOneRefusalAlsoKeepsTheWindow) {
    WindowProps b;
    ComponentObject* o = create(b);
    ASSERT_NE(nullptr, o);
    kh::handler = [](const EventRecord& e, int32_t* result) {
        *result = e.event == 1 ? 0 : 1;
        return true;
    };
    SendMessageA(o->fw.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(o->fw.hwnd));
    ASSERT_EQ(2u, kh::events.size());
    EXPECT_EQ(1, kh::events[1].event);
    // A handler that returns nothing does not refuse.
    kh::handler = [](const EventRecord&, int32_t*) { return false; };
    HWND h = o->fw.hwnd;
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowDirect, EscClosesThroughThePreTranslationWalk) {
    WindowProps b;
    b.escCloses = 0;
    ComponentObject* kept = create(b);
    b.escCloses = 1;
    ComponentObject* closing = create(b);
    ASSERT_NE(nullptr, kept);
    ASSERT_NE(nullptr, closing);
    HWND hk = kept->fw.hwnd, hc = closing->fw.hwnd;
    PostMessageA(hk, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(hc, WM_KEYDOWN, VK_ESCAPE, 0);
    MSG peek;
    while (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE) && FwPumpMessage()) {
    }
    EXPECT_TRUE(IsWindow(hk));
    EXPECT_FALSE(IsWindow(hc));
}

TEST_F(WindowDirect, PaintingFillsWithTheBackgroundColour) {
    WindowProps b;
    b.border = 0;
    b.colour = 0x00FF00;
    ComponentObject* o = create(b, 120, 80);
    ASSERT_NE(nullptr, o);
    ShowWindow(o->fw.hwnd, SW_SHOWNA);
    UpdateWindow(o->fw.hwnd);
    pumpMessages();
    HDC dc = GetDC(o->fw.hwnd);
    EXPECT_EQ(RGB(0, 0xFF, 0), GetPixel(dc, 10, 10));
    ReleaseDC(o->fw.hwnd, dc);
    ValueRecord blue = kh::IntValue((int32_t)UI_COLOUR_BUTTON_FACE);
    window_Set(o, WP_COLOUR, &blue, 0);
    UpdateWindow(o->fw.hwnd);
    dc = GetDC(o->fw.hwnd);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(dc, 60, 40));
    ReleaseDC(o->fw.hwnd, dc);
}

TEST_F(WindowDirect, TextAndByteSetPropertiesReadBackAsStored) {
    WindowProps b;
    ComponentObject* o = create(b);
    ASSERT_NE(nullptr, o);
    ValueRecord t = kh::TextValue("new title");
    window_Set(o, WP_TITLE, &t, 0);
    char title[32] = {};
    GetWindowTextA(o->fw.hwnd, title, sizeof title);
    EXPECT_STREQ("new title", title);
    ValueRecord v{0, 0};
    ASSERT_EQ(1, window_Get(o, WP_TITLE, &v));
    EXPECT_STREQ("new title", (const char*)(uintptr_t)v.value);
    const char bytes[] = "\x01\x02\x00\x03";
    ValueRecord pic{(uint32_t)(uintptr_t)bytes, 4};
    window_Set(o, WP_PICTURE, &pic, 0);
    ASSERT_EQ(1, window_Get(o, WP_PICTURE, &v));
    EXPECT_EQ(4u, v.length);
    EXPECT_EQ(0, memcmp(bytes, (const void*)(uintptr_t)v.value, 4));
    UpdateWindow(o->fw.hwnd);  // an undecodable picture is simply not drawn
    ValueRecord none{0, 0};
    window_Set(o, WP_PICTURE, &none, 0);
    ASSERT_EQ(1, window_Get(o, WP_PICTURE, &v));
    EXPECT_EQ(0u, v.value);
    EXPECT_EQ(0, window_Get(o, WP_COUNT, &v));
    int32_t n = 0;
    uint8_t* block = window_WriteKindBlock(o, &n);
    ASSERT_NE(nullptr, block);
    WindowProps back;
    EXPECT_TRUE(window_ReadBlock(block, n, &back));
    EXPECT_EQ("new title", back.title);
    rt_Free(block);
}

TEST_F(WindowDirect, MidiSoundGoesToTheSequencerAndFailsSilentlyWithoutADevice) {
    // One track that only ends.
    const std::string midi("MThd\0\0\0\x06\0\0\0\x01\0\x60MTrk\0\0\0\x04\0\xFF\x2F\0", 22);
    ASSERT_TRUE(sound_IsMidi(midi));
    WindowProps b;
    b.sound = midi;
    ComponentObject* o = create(b);
    ASSERT_NE(nullptr, o);
    const WindowSound& sound = ((WindowObject*)o)->sound;
    // With a sequencer the data plays from a file of its own; without one
    // nothing is left open or behind.
    std::string file = sound.file;
    EXPECT_EQ(sound_SequencerOpen(&sound), !file.empty());
    EXPECT_EQ(file.empty(), GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES);
    pumpMessages();
    set(o, WP_SOUND_REPEAT, 2);
    EXPECT_FALSE(sound_SequencerOpen(&sound));
    EXPECT_TRUE(sound.file.empty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    EXPECT_TRUE(IsWindow(o->fw.hwnd));
}

// ---- windows loaded from a template through the loader ----

int32_t g_calls[16];
int32_t g_results[16];
bool g_returns[16];
int32_t handler0(int32_t, const uint32_t*, int32_t* returned) {
    g_calls[0]++;
    *returned = g_returns[0];
    return g_results[0];
}
int32_t handler1(int32_t, const uint32_t*, int32_t* returned) {
    g_calls[1]++;
    *returned = g_returns[1];
    return g_results[1];
}
EventHandler g_slots[2] = {handler0, handler1};

TplComponent button(int32_t left, int32_t tabOrder, bool isDefault = false) {
    ButtonProps bb;
    bb.defaultButton = isDefault ? 1 : 0;
    TplComponent c = kh::Component(KIND_BUTTON, left, 10, 60, 24, TPL_STATE_VISIBLE | TPL_STATE_TABSTOP,
                                   ui_BlockBytes(button_Block, bb));
    c.tabOrder = tabOrder;
    return c;
}

class WindowLoaded : public ::testing::Test {
protected:
    void SetUp() override {
        kh::UseProgramKinds();
        rt_InstallApplication();
        g_rt.messageLoopStarted = false;
        for (int i = 0; i < 16; i++) g_calls[i] = g_results[i] = 0, g_returns[i] = false;
    }
    void TearDown() override {
        ui_ClearRegistry();
        pumpMessages();
        g_rt.messageLoopStarted = false;
    }
    // Window entry plus components (entry 1 first); bindings of the window
    // entry given as (event, slot) pairs.
    void load(const WindowProps& wb, const std::vector<TplComponent>& comps,
              const std::vector<TplBinding>& windowBindings = {}) {
        TplComponent win =
            kh::Component(KIND_WINDOW, 100, 100, 360, 200, TPL_STATE_VISIBLE, ui_BlockBytes(window_Block, wb));
        win.bindings = windowBindings;
        ASSERT_TRUE(kh::LoadStartWindow(kWindowId, kh::Entries(win, comps, kEntryId), g_slots));
        record = ui_FindWindow(kWindowId);
        ASSERT_NE(nullptr, record);
        window = ui_WindowObject(record);
        ASSERT_NE(nullptr, window);
    }
    HWND entryHandle(int32_t index) {
        ComponentObject* o = ui_LiveObject(record, index);
        return o ? o->fw.hwnd : nullptr;
    }
    // A key with Shift (or, with `modifier`, Alt) held, through the
    // pre-translation walk.
    void key(UINT vk, bool shift = false, BYTE modifier = VK_SHIFT) {
        BYTE state[256];
        GetKeyboardState(state);
        state[modifier] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        PostMessageA(GetFocus(), modifier == VK_MENU && shift ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 0);
        MSG peek;
        while (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE) && FwPumpMessage()) {
        }
        state[modifier] = 0;
        SetKeyboardState(state);
    }
    UiWindowRecord* record = nullptr;
    ComponentObject* window = nullptr;
};

TEST_F(WindowLoaded, TabVisitsTabStopsInCreationOrderWhenValuesAreEqual) {
    WindowProps wb;
    load(wb, {button(10, 0), button(80, 0), button(150, 0)});
    HWND e1 = entryHandle(1), e2 = entryHandle(2), e3 = entryHandle(3);
    ASSERT_TRUE(e1 && e2 && e3);
    int32_t order[8], n = 0;
    n = ui_TabOrder(kWindowId, order, 8);
    ASSERT_EQ(3, n);
    EXPECT_EQ(3, order[0]);  // created first
    EXPECT_EQ(2, order[1]);
    EXPECT_EQ(1, order[2]);
    SetFocus(e3);
    key(VK_TAB);
    EXPECT_EQ(e2, GetFocus());
    key(VK_TAB);
    EXPECT_EQ(e1, GetFocus());
    key(VK_TAB);
    EXPECT_EQ(e3, GetFocus());  // wraps around
    key(VK_TAB, true);
    EXPECT_EQ(e1, GetFocus());
    key(VK_TAB, true);
    EXPECT_EQ(e2, GetFocus());
}

TEST_F(WindowLoaded, TabOrderValuesComeFirstAndHiddenOrDisabledAreSkipped) {
    WindowProps wb;
    TplComponent noStop = button(220, 0);
    noStop.stateFlags = TPL_STATE_VISIBLE;
    load(wb, {button(10, 2), button(80, 1), button(150, 3), noStop});
    int32_t order[8], n = 0;
    n = ui_TabOrder(kWindowId, order, 8);
    ASSERT_EQ(3, n);
    EXPECT_EQ(2, order[0]);
    EXPECT_EQ(1, order[1]);
    EXPECT_EQ(3, order[2]);
    EnableWindow(entryHandle(1), FALSE);
    ShowWindow(entryHandle(3), SW_HIDE);
    n = ui_TabOrder(kWindowId, order, 8);
    ASSERT_EQ(1, n);
    EXPECT_EQ(2, order[0]);
}

TEST_F(WindowLoaded, EscClosesAndTheLastWindowEndsTheLoopWithCodeZero) {
    WindowProps wb;
    load(wb, {button(10, 0)});
    HWND h = window->fw.hwnd;
    g_rt.messageLoopStarted = true;
    SetFocus(entryHandle(1));
    PostMessageA(entryHandle(1), WM_KEYDOWN, VK_ESCAPE, 0);
    // The loop of the runtime, in small: pump until the quit message.
    UINT_PTR timer = SetTimer(nullptr, 0, 5000, nullptr);
    MSG m = {};
    bool quit = false;
    for (;;) {
        if (!GetMessageA(&m, nullptr, 0, 0)) { quit = true; break; }
        if (m.message == WM_TIMER && m.wParam == timer) break;
        if (!fw_app->steps->PreTranslateMessage(fw_app, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    KillTimer(nullptr, timer);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(quit);
    EXPECT_EQ(0u, m.wParam);
    EXPECT_EQ(nullptr, ui_WindowObject(record));
}

TEST_F(WindowLoaded, EventTwelveBoundInTheTemplateCanRefuseTheClose) {
    WindowProps wb;
    g_returns[0] = true;   // event 12 returns 0
    g_results[0] = 0;
    load(wb, {}, {{12, 0}, {1, 4}});
    HWND h = window->fw.hwnd;
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(1, g_calls[0]);
    EXPECT_EQ(0, g_calls[1]);
    g_results[0] = 1;
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(2, g_calls[0]);
    EXPECT_EQ(1, g_calls[1]);
}

TEST_F(WindowLoaded, MoveAndSizeEventsComeOnceAfterLoadingThenOnRealChanges) {
    WindowProps wb;
    wb.position = 0;
    load(wb, {}, {{3, 0}, {4, 4}});
    // The first show's own move and size messages are no second report.
    EXPECT_EQ(1, g_calls[0]);
    EXPECT_EQ(1, g_calls[1]);
    HWND h = window->fw.hwnd;
    SetWindowPos(h, nullptr, 140, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
    EXPECT_EQ(2, g_calls[0]);
    EXPECT_EQ(1, g_calls[1]);
    SetWindowPos(h, nullptr, 0, 0, 300, 180, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
    EXPECT_EQ(2, g_calls[0]);
    EXPECT_EQ(2, g_calls[1]);
}

TEST_F(WindowLoaded, WindowKeptOutOfTheTaskbarIsOwnedByTheHiddenOwner) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VellTestHideOwner";
    RegisterClassA(&wc);
    g_rt.hiddenOwner = CreateWindowExA(WS_EX_TOOLWINDOW, "VellTestHideOwner", "", WS_POPUP, 0, 0, 1, 1,
                                       nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    WindowProps wb;
    wb.inTaskbar = 0;
    load(wb, {});
    EXPECT_EQ(g_rt.hiddenOwner, GetWindow(window->fw.hwnd, GW_OWNER));
    EXPECT_EQ(0u, (uint32_t)GetWindowLongA(window->fw.hwnd, GWL_STYLE) & WS_POPUP);
    ui_ClearRegistry();
    DestroyWindow(g_rt.hiddenOwner);
    g_rt.hiddenOwner = nullptr;
}

TEST_F(WindowLoaded, EnterRaisesTheDefaultButtonsClick) {
    WindowProps wb;
    TplComponent plain = button(10, 0), deflt = button(80, 0, true);
    deflt.bindings = {{0, 0}};   // click -> handler 0
    plain.bindings = {{0, 4}};   // click -> handler 1
    load(wb, {plain, deflt});
    SetFocus(entryHandle(1));
    key(VK_RETURN);
    EXPECT_EQ(1, g_calls[0]);
    EXPECT_EQ(0, g_calls[1]);
    EXPECT_EQ(entryHandle(1), GetFocus());
    // A disabled default button is passed over: Enter does nothing.
    EnableWindow(entryHandle(2), FALSE);
    key(VK_RETURN);
    EXPECT_EQ(1, g_calls[0]);
    EXPECT_EQ(0, g_calls[1]);
}

TEST_F(WindowLoaded, EnterMovesTheFocusWhenAskedAndNoDefaultButtonHasIt) {
    WindowProps wb;
    wb.enterMovesFocus = 1;
    load(wb, {button(10, 0), button(80, 0)});
    SetFocus(entryHandle(2));
    key(VK_RETURN);
    EXPECT_EQ(entryHandle(1), GetFocus());
}

TEST_F(WindowLoaded, AltWithAMarkedLetterOrDigitFocusesItsComponent) {
    WindowProps wb;
    TplComponent go = button(10, 0), two = button(80, 0), amp = button(150, 0);
    ButtonProps bb;
    bb.caption = "&Go";
    go.kindBlock = ui_BlockBytes(button_Block, bb);
    bb.caption = "Step &2";
    two.kindBlock = ui_BlockBytes(button_Block, bb);
    bb.caption = "A&&B";  // a plain ampersand marks nothing
    amp.kindBlock = ui_BlockBytes(button_Block, bb);
    load(wb, {go, two, amp});
    SetFocus(entryHandle(3));
    key('G', true, VK_MENU);
    EXPECT_EQ(entryHandle(1), GetFocus());
    key('2', true, VK_MENU);
    EXPECT_EQ(entryHandle(2), GetFocus());
    key('B', true, VK_MENU);
    EXPECT_EQ(entryHandle(2), GetFocus());
}

// The program's library with its check box kind in groups of option buttons.
const LibraryRecord* optionGroupLibrary() {
    static LibraryRecord lib = vell_library1;
    static std::vector<KindRecord> kinds((const KindRecord*)lib.typeTable,
                                         (const KindRecord*)lib.typeTable + lib.typeCount);
    kinds[(KIND_CHECKBOX & 0xFFFF) - 1].flags |= KF_OPTION_GROUP;
    lib.typeTable = kinds.data();
    return &lib;
}

TEST_F(WindowLoaded, ArrowKeysMoveWithinAGroupOfOptionButtons) {
    static const LibraryRecord* libs[1] = {optionGroupLibrary()};
    g_rt.libraries = libs;
    WindowProps wb;
    std::vector<TplComponent> comps;
    for (int32_t i = 0; i < 3; i++) {
        TplComponent c = button(10 + 70 * i, 0);
        c.kindId = KIND_CHECKBOX;
        c.kindBlock = ui_BlockBytes(checkbox_Block, checkbox_Defaults());
        c.bindings = {{0, 0}};
        comps.push_back(c);
    }
    comps.push_back(button(220, 0));
    load(wb, comps);
    // Creation order is the table backwards: entry 3, 2, 1.
    SetFocus(entryHandle(3));
    key(VK_RIGHT);
    EXPECT_EQ(entryHandle(2), GetFocus());
    EXPECT_EQ(BST_CHECKED, SendMessageA(entryHandle(2), BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, g_calls[0]);
    key(VK_UP);
    key(VK_LEFT);
    EXPECT_EQ(entryHandle(1), GetFocus());  // wrapped around backwards
    EXPECT_EQ(BST_CHECKED, SendMessageA(entryHandle(1), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(entryHandle(2), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(entryHandle(3), BM_GETCHECK, 0, 0));
    EXPECT_EQ(3, g_calls[0]);
    // The push button is no option: arrows on it do nothing.
    SetFocus(entryHandle(4));
    key(VK_DOWN);
    EXPECT_EQ(entryHandle(4), GetFocus());
    EXPECT_EQ(3, g_calls[0]);
}

TEST_F(WindowLoaded, ClosingOneOfTwoWindowsDoesNotQuit) {
    WindowProps wb;
    load(wb, {});
    // A second window in the registry, loaded too.
    TplComponent win = kh::Component(KIND_WINDOW, 0, 0, 200, 100, TPL_STATE_VISIBLE, ui_BlockBytes(window_Block, wb));
    std::string data = kh::TemplateBytes({{0x52010002, kh::Entries(win, {}, kEntryId)}});
    ASSERT_TRUE(ui_LoadTemplates(data.data(), (uint32_t)data.size(), g_slots));
    UiWindowRecord* second = ui_FindWindow(0x52010002);
    ASSERT_NE(nullptr, second);
    ASSERT_EQ(1, ui_LoadWindowRecord(second, 0, 0, nullptr));
    ComponentObject* other = ui_WindowObject(second);
    ASSERT_NE(nullptr, other);
    g_rt.messageLoopStarted = true;
    pumpMessages();
    SendMessageA(window->fw.hwnd, WM_CLOSE, 0, 0);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    HWND h2 = other->fw.hwnd;
    SendMessageA(h2, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h2));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, m.wParam);
}

TEST_F(WindowLoaded, NoQuitBeforeTheMessageLoopRuns) {
    WindowProps wb;
    load(wb, {});
    SendMessageA(window->fw.hwnd, WM_CLOSE, 0, 0);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Icon file data: one 16x16 32-bit image of one colour.
std::string iconFile(uint32_t bgra) {
    const int n = 16;
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = n;
    ih.biHeight = 2 * n;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    std::string image((const char*)&ih, sizeof ih);
    for (int i = 0; i < n * n; i++) image.append((const char*)&bgra, 4);
    image.append((size_t)4 * n, '\0');  // AND mask rows
    std::string out;
    const uint16_t dir[3] = {0, 1, 1};
    out.append((const char*)dir, 6);
    uint8_t entry[16] = {n, n, 0, 0, 1, 0, 32, 0};
    uint32_t size = (uint32_t)image.size(), offset = 22;
    memcpy(entry + 8, &size, 4);
    memcpy(entry + 12, &offset, 4);
    out.append((const char*)entry, 16);
    return out + image;
}

TEST_F(WindowLoaded, WindowsWithoutAnIconGetTheProgramIcon) {
    WindowProps wb;
    load(wb, {});
    HICON big = (HICON)SendMessageA(window->fw.hwnd, WM_GETICON, ICON_BIG, 0);
    HICON small = (HICON)SendMessageA(window->fw.hwnd, WM_GETICON, ICON_SMALL, 0);
    HICON program[2] = {nullptr, nullptr};
    rt_Notify(1000, (uint32_t)(uintptr_t)program, 0);
    ASSERT_NE(nullptr, program[0]);
    EXPECT_EQ(program[0], big);
    EXPECT_EQ(program[1], small);
    // An icon property of icon file data replaces them; garbage falls back.
    std::string ico = iconFile(0xFF0000FF);
    ValueRecord v{(uint32_t)(uintptr_t)ico.data(), (uint32_t)ico.size()};
    window_Set(window, WP_ICON, &v, 0);
    HICON own = (HICON)SendMessageA(window->fw.hwnd, WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(nullptr, own);
    EXPECT_NE(program[0], own);
    std::string junk = "\0\0\1\0\5\0junk";
    ValueRecord bad{(uint32_t)(uintptr_t)junk.data(), (uint32_t)junk.size()};
    window_Set(window, WP_ICON, &bad, 0);
    EXPECT_EQ(program[0], (HICON)SendMessageA(window->fw.hwnd, WM_GETICON, ICON_BIG, 0));
}


TEST_F(WindowDirect, ADroppedFolderRaisesEventThirteenWithItsPathAndFilesArePassedOver) {
    ComponentObject* o = create(WindowProps());
    ASSERT_NE(nullptr, o);
    EXPECT_NE(0, GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string file = self, folder = file.substr(0, file.rfind('\\'));
    std::vector<std::string> dropped;
    kh::handler = [&](const EventRecord& e, int32_t*) {
        if (e.event == 13 && e.argc == 1) dropped.push_back((const char*)(uintptr_t)e.args[0]);
        return false;
    };
    SendMessageA(o->fw.hwnd, WM_DROPFILES, (WPARAM)dropOf({file, folder, folder + "\\.."}), 0);
    SendMessageA(o->fw.hwnd, WM_DROPFILES, (WPARAM)dropOf({file}), 0);
    EXPECT_EQ(std::vector<std::string>{folder}, dropped);
}

}  // namespace
