#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include "tests/support/kind_harness.h"
#include "ui/kinds/edit/edit.h"

namespace {

const uint32_t kEdit = 0x16010006;
const char kExtensions[] = "yml,json,txt,lang,cfg,ini,log,conf,toml";

struct Block {
    uint32_t version = 2, border = 1, text = 0, back = 0xFFFFFF, hideSel = 1, maxLen = 0, multi = 0, scroll = 0,
             align = 0, mode = 0;
    uint16_t password = '*';
    uint32_t caseConv = 0, spin = 0, spinMin = 0, spinMax = 100, selStart = 0, selLength = 0;
    std::string font, content, source, column;
    std::string bytes() const {
        ArchiveWriter w;
        for (uint32_t v : {version, border, text, back, hideSel, maxLen, multi, scroll, align, mode}) aw_Dword(&w, v);
        w.out.append((const char*)&password, 2);
        for (uint32_t v : {caseConv, spin, spinMin, spinMax, selStart, selLength}) aw_Dword(&w, v);
        aw_Counted(&w, font.data(), (uint32_t)font.size());
        aw_Text(&w, content);
        if (version == 2) {
            aw_Text(&w, source);
            aw_Text(&w, column);
        }
        return w.out;
    }
};

uint32_t at(const std::string& s, size_t off) {
    uint32_t v = 0;
    memcpy(&v, s.data() + off, 4);
    return v;
}

int textHeight(HFONT font, const char* sample) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE sz;
    GetTextExtentPoint32A(dc, sample, (int)strlen(sample), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return sz.cy;
}

int heightOf(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r.bottom - r.top;
}

class EditKind : public ::testing::Test {
protected:
    void SetUp() override { kh::Install(); }
    void TearDown() override { kh::Destroy(edit); }
    ComponentObject* make(const std::string& block, int height = 32, uint32_t extra = WS_TABSTOP) {
        edit = kh::Create(ed, block, extra, 8, 112, 300, height, kEdit, 140);
        return edit;
    }
    void type(const char* keys) {
        for (const char* k = keys; *k; k++) SendMessageA(edit->fw.hwnd, WM_CHAR, (uint8_t)*k, 1);
    }
    void focusAndLeave() {
        SetFocus(edit->fw.hwnd);
        SetFocus(kh::Parent());
        kh::Pump();
    }
    std::string content() { return kh::GetText(ed, edit, EDIT_CONTENT); }
    // The content after `text` was written and the focus came and went.
    std::string leaveWith(const char* text) {
        kh::SetText(ed, edit, EDIT_CONTENT, text);
        focusAndLeave();
        return content();
    }
    ComponentObject* makeInMode(uint32_t mode) {
        Block b;
        b.mode = mode;
        return make(b.bytes());
    }
    HWND spin() { return GetDlgItem(kh::Parent(), 140 + EDIT_SPIN_ID_OFFSET); }
    void pressSpin(int delta) {
        NMUPDOWN nm = {};
        nm.hdr.hwndFrom = spin();
        nm.hdr.idFrom = 140 + EDIT_SPIN_ID_OFFSET;
        nm.hdr.code = UDN_DELTAPOS;
        nm.iDelta = delta;
        SendMessageA(kh::Parent(), WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
    }
    KindInterface ed = kind_edit_iface;
    ComponentObject* edit = nullptr;
};

TEST_F(EditKind, ToolBlockLayoutAndRoundTrip) {
    Block b;
    b.font = kh::Logfont("微软雅黑", -12, 400);
    b.content = kExtensions;
    std::string bytes = b.bytes();
    ASSERT_EQ(bytes.size(), 181u);
    EXPECT_EQ(at(bytes, 40) & 0xFFFF, 0x002Au);
    EXPECT_EQ(at(bytes, 54), 100u);
    EXPECT_EQ(at(bytes, 66), 60u);
    EXPECT_EQ(at(bytes, 130), 39u);
    ASSERT_NE(make(bytes), nullptr);
    EXPECT_EQ(content(), kExtensions);
    EXPECT_EQ(kh::GetText(ed, edit, EDIT_PASSWORD_CHAR), "*");
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SPIN_MAX), 100u);
    uint32_t st = (uint32_t)GetWindowLongA(edit->fw.hwnd, GWL_STYLE);
    EXPECT_TRUE(st & ES_AUTOHSCROLL);
    EXPECT_FALSE(st & (ES_MULTILINE | ES_NOHIDESEL | ES_READONLY | ES_PASSWORD));
    EXPECT_TRUE(GetWindowLongA(edit->fw.hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(heightOf(edit->fw.hwnd), 32);
    EXPECT_EQ(kh::WriteBlock(ed, edit), bytes);
}

TEST_F(EditKind, RejectsNewerAndTruncatedBlocks) {
    Block b;
    b.version = 3;
    EXPECT_EQ(make(b.bytes()), nullptr);
    b.version = 2;
    b.content = "abc";
    std::string bytes = b.bytes();
    EXPECT_EQ(make(bytes.substr(0, 41)), nullptr);  // inside the 16-bit field
    EXPECT_EQ(make(bytes.substr(0, bytes.size() - 1)), nullptr);
    b.version = 1;
    ASSERT_NE(make(b.bytes()), nullptr);
    EXPECT_EQ(content(), "abc");
}

TEST_F(EditKind, WritingContentRaisesEventZeroOnce) {
    ASSERT_NE(make(""), nullptr);
    kh::SetText(ed, edit, EDIT_CONTENT, "D:\\MyServer");
    kh::Pump();
    EXPECT_EQ(kh::CountEvents(0), 1);
    EXPECT_EQ(content(), "D:\\MyServer");
    kh::SetText(ed, edit, EDIT_CONTENT, "D:\\MyServer");
    EXPECT_EQ(kh::CountEvents(0), 2);
    kh::Set(ed, edit, EDIT_CONTENT, 0);  // null is the empty text
    EXPECT_EQ(content(), "");
    EXPECT_EQ(kh::CountEvents(0), 3);
    for (const EventRecord& e : kh::events) EXPECT_EQ(e.component, kEdit);
    // A user's change raises it too.
    type("x");
    EXPECT_EQ(kh::CountEvents(0), 4);
}

TEST_F(EditKind, ByteModeFiltersTypingAndNormalisesOnLeaving) {
    ASSERT_NE(makeInMode(5), nullptr);
    SetFocus(edit->fw.hwnd);
    type("3a-7");
    EXPECT_EQ(content(), "37");
    SetFocus(kh::Parent());
    EXPECT_EQ(content(), "37");
    kh::SetText(ed, edit, EDIT_CONTENT, "300");
    kh::events.clear();
    focusAndLeave();
    EXPECT_EQ(content(), "255");
    EXPECT_EQ(kh::CountEvents(0), 1);
    ASSERT_GE(kh::events.size(), 2u);
    EXPECT_EQ(kh::events.back().event, -8);  // after the normalisation
    EXPECT_EQ(kh::CountEvents(-7), 1);
    EXPECT_EQ(leaveWith("0"), "");
}

TEST_F(EditKind, IntegerModesOnLeaving) {
    ASSERT_NE(makeInMode(7), nullptr);
    EXPECT_EQ(leaveWith("99999999999"), "2147483647");
    kh::Set(ed, edit, EDIT_INPUT_MODE, 8);
    EXPECT_EQ(leaveWith("99999999999"), "99999999999");
    kh::Set(ed, edit, EDIT_INPUT_MODE, 40);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_INPUT_MODE), 11u);
}

TEST_F(EditKind, DateTimeModeOnLeaving) {
    ASSERT_NE(makeInMode(11), nullptr);
    EXPECT_EQ(leaveWith("2024-2-30"), "");
    EXPECT_EQ(leaveWith("2024-2-3"), "2024年2月3日");
    EXPECT_EQ(leaveWith("2024-2-3 5:06"), "2024年2月3日5时6分");
    // An already normal text is left as it is: no change event.
    kh::events.clear();
    focusAndLeave();
    EXPECT_EQ(kh::CountEvents(0), 0);
}

TEST_F(EditKind, SelectionProperties) {
    Block b;
    b.content = "hello world";
    b.selStart = 2;
    b.selLength = 3;
    ASSERT_NE(make(b.bytes()), nullptr);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SEL_START), 2u);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SEL_LENGTH), 3u);
    EXPECT_EQ(kh::GetText(ed, edit, EDIT_SELECTED_TEXT), "llo");
    kh::Set(ed, edit, EDIT_SEL_START, (uint32_t)-1);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SEL_START), 11u);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SEL_LENGTH), 0u);
    kh::Set(ed, edit, EDIT_SEL_LENGTH, (uint32_t)-1);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SEL_START), 0u);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SEL_LENGTH), 11u);
    kh::Set(ed, edit, EDIT_SEL_START, 6);
    kh::Set(ed, edit, EDIT_SEL_LENGTH, 5);
    EXPECT_EQ(kh::GetText(ed, edit, EDIT_SELECTED_TEXT), "world");
    kh::SetText(ed, edit, EDIT_SELECTED_TEXT, "世界");
    EXPECT_EQ(content(), "hello 世界");
    // Positions count characters, also for double-byte text.
    kh::Set(ed, edit, EDIT_SEL_START, 6);
    kh::Set(ed, edit, EDIT_SEL_LENGTH, 2);
    EXPECT_EQ(kh::GetText(ed, edit, EDIT_SELECTED_TEXT), "世界");
    kh::Set(ed, edit, EDIT_SEL_START, (uint32_t)-5);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SEL_START), 0u);
}

TEST_F(EditKind, AutomaticSpinWrapsAround) {
    Block b;
    b.spin = 1;
    b.spinMin = 5;  // stored in either order
    b.spinMax = 1;
    b.content = "5";
    ASSERT_NE(make(b.bytes()), nullptr);
    ASSERT_NE(spin(), nullptr);
    pressSpin(1);
    EXPECT_EQ(content(), "1");
    EXPECT_EQ(kh::CountEvents(0), 1);
    pressSpin(1);
    EXPECT_EQ(content(), "2");
    kh::SetText(ed, edit, EDIT_CONTENT, "abc");
    pressSpin(-1);
    EXPECT_EQ(content(), "5");
    EXPECT_EQ(GetFocus(), edit->fw.hwnd);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_SEL_LENGTH), 1u);  // all selected
    // Disabled boxes do not spin.
    EnableWindow(edit->fw.hwnd, FALSE);
    EXPECT_FALSE(IsWindowEnabled(spin()));
    pressSpin(1);
    EXPECT_EQ(content(), "5");
}

TEST_F(EditKind, ManualSpinRaisesEventOne) {
    Block b;
    b.spin = 2;
    b.content = "7";
    ASSERT_NE(make(b.bytes()), nullptr);
    pressSpin(1);
    pressSpin(-1);
    EXPECT_EQ(content(), "7");
    ASSERT_EQ(kh::CountEvents(1), 2);
    std::vector<uint32_t> args;
    for (const EventRecord& e : kh::events)
        if (e.event == 1) {
            EXPECT_EQ(e.argc, 1);
            args.push_back(e.args[0]);
        }
    EXPECT_EQ(args[0], 1u);
    EXPECT_EQ(args[1], (uint32_t)-1);
}

TEST_F(EditKind, SpinSitsBesideTheBoxAndFollowsIt) {
    Block b;
    b.spin = 1;
    ASSERT_NE(make(b.bytes()), nullptr);
    HWND s = spin();
    ASSERT_NE(s, nullptr);
    auto check = [&]() {
        RECT er, sr;
        GetWindowRect(edit->fw.hwnd, &er);
        GetWindowRect(s, &sr);
        EXPECT_EQ(sr.left, er.right);
        EXPECT_EQ(sr.top, er.top);
        EXPECT_EQ(sr.right - sr.left, EDIT_SPIN_WIDTH);
        EXPECT_EQ(sr.bottom - sr.top, er.bottom - er.top);
    };
    check();
    EXPECT_TRUE(IsWindowVisible(s));
    EXPECT_TRUE(GetWindowLongA(s, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    SetWindowPos(edit->fw.hwnd, nullptr, 20, 200, 150, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    check();
    ShowWindow(edit->fw.hwnd, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(s));
    ShowWindow(edit->fw.hwnd, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(s));
    kh::Set(ed, edit, EDIT_BORDER, 2);
    EXPECT_FALSE(GetWindowLongA(s, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    // Re-creating (spin mode changed) leaves no stray spin control behind.
    EXPECT_EQ(kh::Set(ed, edit, EDIT_SPIN_MODE, 0), 1);
    edit = kh::Recreate(ed, edit);
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(IsWindow(s));
    EXPECT_EQ(spin(), nullptr);
}

TEST_F(EditKind, SingleLineHeightRuleAndCentring) {
    Block b;
    b.font = kh::Logfont("微软雅黑", -12, 400);
    ASSERT_NE(make(b.bytes(), 10), nullptr);
    HFONT font = (HFONT)SendMessageA(edit->fw.hwnd, WM_GETFONT, 0, 0);
    int want = textHeight(font, "吴") + 2 * GetSystemMetrics(SM_CYEDGE);
    EXPECT_EQ(heightOf(edit->fw.hwnd), want);
    kh::Destroy(edit);

    ASSERT_NE(make(b.bytes(), 40), nullptr);
    HWND h = edit->fw.hwnd;
    EXPECT_EQ(heightOf(h), 40);
    RECT client, win;
    GetClientRect(h, &client);
    int lineH = textHeight((HFONT)SendMessageA(h, WM_GETFONT, 0, 0), "W");
    EXPECT_EQ(client.bottom - client.top, lineH);
    POINT origin = {0, 0};
    ClientToScreen(h, &origin);
    GetWindowRect(h, &win);
    int edge = GetSystemMetrics(SM_CYEDGE);
    int above = origin.y - win.top - edge, below = win.bottom - edge - (origin.y + lineH);
    EXPECT_LE(abs(above - below), 1);
    // The bands above and below the line do not take clicks.
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(origin.x + 5, win.top + edge + 1)), HTBORDER);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(origin.x + 5, origin.y + 1)), HTCLIENT);

    // A bigger font grows a short box when it is written.
    kh::SetBytes(ed, edit, EDIT_FONT, kh::Logfont("微软雅黑", -40, 400));
    font = (HFONT)SendMessageA(h, WM_GETFONT, 0, 0);
    EXPECT_EQ(heightOf(h), textHeight(font, "吴") + 2 * GetSystemMetrics(SM_CYEDGE));
}

TEST_F(EditKind, MultiLineStylesRecreationAndEnterKey) {
    Block b;
    b.multi = 1, b.scroll = 3, b.align = 2, b.hideSel = 0, b.caseConv = 2;
    ASSERT_NE(make(b.bytes(), 10), nullptr);
    uint32_t st = (uint32_t)GetWindowLongA(edit->fw.hwnd, GWL_STYLE);
    EXPECT_EQ(st & (ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL), (uint32_t)(ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL));
    EXPECT_TRUE(st & ES_AUTOHSCROLL);
    EXPECT_TRUE(st & ES_RIGHT);
    EXPECT_TRUE(st & ES_NOHIDESEL);
    EXPECT_TRUE(st & ES_UPPERCASE);
    EXPECT_EQ(heightOf(edit->fw.hwnd), 10);  // no height rule for several lines
    auto takes = (KindTakesKeyFn)ed(KI_TAKES_KEY);
    ASSERT_NE(takes, nullptr);
    EXPECT_EQ(takes(edit, VK_RETURN), 1);
    EXPECT_EQ(takes(edit, VK_TAB), 0);
    kh::Set(ed, edit, EDIT_INPUT_MODE, 1);
    EXPECT_EQ(takes(edit, VK_RETURN), 0);
    EXPECT_TRUE(GetWindowLongA(edit->fw.hwnd, GWL_STYLE) & ES_READONLY);
    kh::Set(ed, edit, EDIT_INPUT_MODE, 0);
    EXPECT_FALSE(GetWindowLongA(edit->fw.hwnd, GWL_STYLE) & ES_READONLY);

    EXPECT_EQ(kh::Set(ed, edit, EDIT_MULTI_LINE, 1), 0);
    EXPECT_EQ(kh::Set(ed, edit, EDIT_ALIGNMENT, 9), 0);  // clamps to 2, unchanged
    EXPECT_EQ(kh::Set(ed, edit, EDIT_SCROLL_BARS, 1), 1);
    EXPECT_EQ(kh::Set(ed, edit, EDIT_HIDE_SELECTION, 1), 1);
    // Typed text survives a re-creation.
    type("typed");
    EXPECT_EQ(kh::Set(ed, edit, EDIT_MULTI_LINE, 0), 1);
    edit = kh::Recreate(ed, edit);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(content(), "TYPED");
    EXPECT_EQ(takes(edit, VK_RETURN), 0);
}

TEST_F(EditKind, PasswordModeAndLimits) {
    Block b;
    b.mode = 2;
    b.password = '#';
    b.maxLen = 4;
    ASSERT_NE(make(b.bytes()), nullptr);
    EXPECT_EQ(SendMessageA(edit->fw.hwnd, EM_GETPASSWORDCHAR, 0, 0), '#');
    EXPECT_EQ(kh::GetText(ed, edit, EDIT_PASSWORD_CHAR), "#");
    kh::SetText(ed, edit, EDIT_PASSWORD_CHAR, "@x");
    EXPECT_EQ(SendMessageA(edit->fw.hwnd, EM_GETPASSWORDCHAR, 0, 0), '@');
    type("123456");
    EXPECT_EQ(content(), "1234");
    kh::Set(ed, edit, EDIT_MAX_LENGTH, (uint32_t)-3);
    EXPECT_EQ(kh::GetInt(ed, edit, EDIT_MAX_LENGTH), 0u);
    kh::Set(ed, edit, EDIT_INPUT_MODE, 0);
    EXPECT_EQ(SendMessageA(edit->fw.hwnd, EM_GETPASSWORDCHAR, 0, 0), 0);
    kh::SetText(ed, edit, EDIT_PASSWORD_CHAR, "");
    EXPECT_EQ(kh::GetText(ed, edit, EDIT_PASSWORD_CHAR), "");
}

TEST_F(EditKind, ColoursAndBinding) {
    Block b;
    b.back = 0x00336699;
    b.text = 0x000000FF;
    b.content = "bound";
    ASSERT_NE(make(b.bytes()), nullptr);
    HWND h = edit->fw.hwnd;
    HDC dc = GetDC(h);
    EXPECT_EQ(kh::CtlColour(WM_CTLCOLOREDIT, h, dc), (COLORREF)0x00336699);
    EXPECT_EQ(GetTextColor(dc), (COLORREF)0x000000FF);
    EXPECT_EQ(GetBkColor(dc), (COLORREF)0x00336699);
    kh::Set(ed, edit, EDIT_BACK_COLOUR, 0xFF000000u);
    EXPECT_EQ(kh::CtlColour(WM_CTLCOLOREDIT, h, dc), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(h, dc);

    kh::SetText(ed, edit, EDIT_DATA_COLUMN, "列");
    EXPECT_EQ(content(), "");
    EXPECT_EQ(kh::CountEvents(0), 0);
    EXPECT_EQ(kh::GetText(ed, edit, EDIT_DATA_COLUMN), "列");
}

}  // namespace
