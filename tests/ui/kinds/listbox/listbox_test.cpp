#include <gtest/gtest.h>
#include <string.h>
#include "commands/library.h"
#include "tests/support/capture.h"
#include "tests/support/kind_harness.h"
#include "ui/kinds/common/common.h"
#include "ui/kinds/listbox/listbox.h"

namespace {

const uint32_t kList = 0x16010008;

struct Block {
    uint32_t version = 3, border = 1, sorted = 0, multiColumn = 0, spacing = 1, text = 0, back = 0xFFFFFF,
             multi = 0, current = (uint32_t)-1;
    std::string font, itemData;
    std::vector<std::string> items;
    std::string source, column;
    uint32_t flag = 0;
    std::string bytes() const {
        ArchiveWriter w;
        for (uint32_t v : {version, border, sorted, multiColumn, spacing, text, back, multi, current}) aw_Dword(&w, v);
        aw_Counted(&w, font.data(), (uint32_t)font.size());
        aw_Counted(&w, itemData.data(), (uint32_t)itemData.size());
        ui_EncodeItems(&w, items);
        if (version >= 2) {
            aw_Text(&w, source);
            aw_Text(&w, column);
        }
        if (version == 3) aw_Dword(&w, flag);
        return w.out;
    }
};

std::string itemText(HWND list, int i) {
    char buf[256] = {0};
    if (SendMessageA(list, LB_GETTEXTLEN, i, 0) >= (LRESULT)sizeof buf) return "?";
    SendMessageA(list, LB_GETTEXT, i, (LPARAM)buf);
    return buf;
}

int32_t insert(uint32_t component, int32_t position, const char* text, const ArgRecord* data = nullptr) {
    ArgRecord args[4] = {{kh::kWindowId, component, KIND_LISTBOX}, {(uint32_t)position, 0, TYPE_INT},
                         {(uint32_t)(uintptr_t)text, 0, TYPE_TEXT}, {0, 0, TYPE_NONE}};
    if (data) args[3] = *data;
    ArgRecord result = {0, 0, 0};
    cmd_ListBoxInsertItem(&result, data ? 4 : 3, args);
    EXPECT_EQ(result.type, TYPE_INT);
    return (int32_t)result.low;
}

void clear(uint32_t component) {
    ArgRecord args[1] = {{kh::kWindowId, component, KIND_LISTBOX}};
    ArgRecord result = {0, 0, 0};
    cmd_ListBoxClear(&result, 1, args);
}

// Item height of a plain list box with the default GUI font.
int nativeItemHeight() {
    HWND plain = CreateWindowExA(0, "LISTBOX", nullptr, WS_CHILD | LBS_NOINTEGRALHEIGHT, 0, 0, 50, 50, kh::Parent(),
                                 nullptr, nullptr, nullptr);
    SendMessageA(plain, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    int h = (int)SendMessageA(plain, LB_GETITEMHEIGHT, 0, 0);
    DestroyWindow(plain);
    return h;
}

class ListBoxKind : public ::testing::Test {
protected:
    void SetUp() override { kh::Install(); }
    void TearDown() override { kh::Destroy(list); }
    ComponentObject* make(const std::string& block, uint32_t extra = 0) {
        list = kh::Create(lb, block, extra, 8, 20, 300, 176, kList, 160);
        return list;
    }
    KindInterface lb = kind_listbox_iface;
    ComponentObject* list = nullptr;
};

TEST_F(ListBoxKind, EmptyBlockDefaults) {
    ASSERT_NE(make(""), nullptr);
    HWND h = list->fw.hwnd;
    uint32_t st = (uint32_t)GetWindowLongA(h, GWL_STYLE), ex = (uint32_t)GetWindowLongA(h, GWL_EXSTYLE);
    EXPECT_FALSE(st & (LBS_MULTICOLUMN | LBS_SORT | LBS_EXTENDEDSEL));
    EXPECT_TRUE(ex & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ((int)SendMessageA(h, LB_GETITEMHEIGHT, 0, 0), nativeItemHeight() + 1);
    EXPECT_EQ(kh::GetInt(lb, list, LIST_CURRENT), (uint32_t)-1);
    EXPECT_EQ(kh::GetBytes(lb, list, LIST_ITEMS), std::string("\0\0", 2));
    HDC dc = GetDC(h);
    EXPECT_EQ(kh::CtlColour(WM_CTLCOLORLISTBOX, h, dc), (COLORREF)0xFFFFFF);
    EXPECT_EQ(GetBkColor(dc), (COLORREF)0xFFFFFF);
    ReleaseDC(h, dc);
    // The vertical bar shows once the items overflow (the control hides it
    // before), at the latest when the frame of the inserts is over.
    for (int i = 0; i < 40; i++) insert(kList, 0, "line");
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    st = (uint32_t)GetWindowLongA(h, GWL_STYLE);
    EXPECT_TRUE(st & WS_VSCROLL);
    EXPECT_FALSE(st & WS_HSCROLL);
}

TEST_F(ListBoxKind, InsertCommandPositions) {
    ASSERT_NE(make(""), nullptr);
    HWND h = list->fw.hwnd;
    EXPECT_EQ(insert(kList, 0, "a"), 0);
    EXPECT_EQ(insert(kList, 0, "b"), 0);
    EXPECT_EQ(insert(kList, 0, "c"), 0);
    EXPECT_EQ(itemText(h, 0), "c");
    EXPECT_EQ(itemText(h, 1), "b");
    EXPECT_EQ(itemText(h, 2), "a");
    EXPECT_EQ(insert(kList, -1, "x"), -1);
    EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(insert(kList, 3, "end"), 3);
    EXPECT_EQ(itemText(h, 3), "end");
    EXPECT_EQ(insert(kList, 9, "far"), -1);  // past the end: the control refuses
    EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 4);
    ArgRecord data = {77, 0, TYPE_INT};
    EXPECT_EQ(insert(kList, 1, "日志", &data), 1);
    EXPECT_EQ(SendMessageA(h, LB_GETITEMDATA, 1, 0), 77);
    EXPECT_EQ(itemText(h, 1), "日志");
    EXPECT_EQ(SendMessageA(h, LB_GETITEMDATA, 0, 0), 0);
    EXPECT_EQ(kh::CountEvents(0), 0);
    // The stored list is the initial content only.
    EXPECT_EQ(kh::GetBytes(lb, list, LIST_ITEMS), std::string("\0\0", 2));
}

TEST_F(ListBoxKind, CommandsOnMissingOrForeignComponents) {
    ASSERT_NE(make(""), nullptr);
    EXPECT_EQ(insert(0x16010099, 0, "a"), -1);
    EXPECT_EQ(kh::fatalCount, 1);
    clear(0x16010099);
    EXPECT_EQ(kh::fatalCount, 2);
    // A component of another kind is left alone.
    ComponentObject other = *list;
    other.kindId = KIND_BUTTON;
    kh::Register(kh::kWindowId, 0x16010050, &other);
    EXPECT_EQ(insert(0x16010050, 0, "a"), -1);
    kh::Unregister(kh::kWindowId, 0x16010050);
    EXPECT_EQ(SendMessageA(list->fw.hwnd, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxKind, ClearAndSortedRecreationKeepStoredProperties) {
    Block b;
    b.items = {"b", "a"};
    b.current = 1;
    ASSERT_NE(make(b.bytes()), nullptr);
    EXPECT_EQ(itemText(list->fw.hwnd, 1), "a");
    EXPECT_EQ(insert(kList, 0, "new"), 0);
    clear(kList);
    EXPECT_EQ(SendMessageA(list->fw.hwnd, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(kh::WriteBlock(lb, list).substr(0, 4), std::string("\3\0\0\0", 4));
    EXPECT_EQ(kh::GetBytes(lb, list, LIST_ITEMS), std::string("\2\0\1\0\0\0b\1\0\0\0a", 12));

    EXPECT_EQ(insert(kList, 0, "z"), 0);
    EXPECT_EQ(kh::Set(lb, list, LIST_SORTED, 1), 1);
    EXPECT_EQ(kh::Set(lb, list, LIST_SORTED, 1), 0);
    list = kh::Recreate(lb, list);
    ASSERT_NE(list, nullptr);
    HWND h = list->fw.hwnd;
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & LBS_SORT);
    ASSERT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(itemText(h, 0), "a");
    EXPECT_EQ(itemText(h, 1), "b");
    // The command never sorts.
    EXPECT_EQ(insert(kList, 0, "zz"), 0);
    EXPECT_EQ(itemText(h, 0), "zz");
}

TEST_F(ListBoxKind, CurrentSelectionClampsWithoutEvents) {
    Block b;
    b.items = {"one", "two", "three"};
    ASSERT_NE(make(b.bytes()), nullptr);
    kh::Set(lb, list, LIST_CURRENT, 99);
    EXPECT_EQ(SendMessageA(list->fw.hwnd, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(kh::GetInt(lb, list, LIST_CURRENT), 2u);
    kh::Set(lb, list, LIST_CURRENT, (uint32_t)-7);
    EXPECT_EQ(SendMessageA(list->fw.hwnd, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(kh::GetInt(lb, list, LIST_CURRENT), (uint32_t)-1);
    kh::Pump();
    EXPECT_EQ(kh::CountEvents(0), 0);
}

TEST_F(ListBoxKind, BlockSelectionIsClampedToTheItems) {
    Block b;
    b.items = {"one", "two"};
    b.current = 5;
    ASSERT_NE(make(b.bytes()), nullptr);
    EXPECT_EQ(kh::GetInt(lb, list, LIST_CURRENT), 1u);
}

TEST_F(ListBoxKind, RowSpacingAndFont) {
    ASSERT_NE(make(""), nullptr);
    int native = nativeItemHeight();
    kh::Set(lb, list, LIST_ROW_SPACING, (uint32_t)-4);
    EXPECT_EQ(kh::GetInt(lb, list, LIST_ROW_SPACING), 0u);
    EXPECT_EQ((int)SendMessageA(list->fw.hwnd, LB_GETITEMHEIGHT, 0, 0), native);
    kh::Set(lb, list, LIST_ROW_SPACING, 6);
    EXPECT_EQ((int)SendMessageA(list->fw.hwnd, LB_GETITEMHEIGHT, 0, 0), native + 6);
    std::string font = kh::Logfont("微软雅黑", -30, 400);
    kh::SetBytes(lb, list, LIST_FONT, font);
    EXPECT_EQ(kh::GetBytes(lb, list, LIST_FONT), font);
    int big = (int)SendMessageA(list->fw.hwnd, LB_GETITEMHEIGHT, 0, 0);
    EXPECT_GT(big, native + 6);
    kh::Set(lb, list, LIST_ROW_SPACING, 0);
    EXPECT_EQ((int)SendMessageA(list->fw.hwnd, LB_GETITEMHEIGHT, 0, 0), big - 6);
}

TEST_F(ListBoxKind, MultipleSelectionReadsMinusOne) {
    Block b;
    b.multi = 1;
    b.items = {"one", "two", "three"};
    b.current = 1;
    ASSERT_NE(make(b.bytes()), nullptr);
    EXPECT_TRUE(GetWindowLongA(list->fw.hwnd, GWL_STYLE) & LBS_EXTENDEDSEL);
    EXPECT_EQ(kh::GetInt(lb, list, LIST_CURRENT), (uint32_t)-1);
    kh::Set(lb, list, LIST_CURRENT, 1);
    EXPECT_EQ(kh::GetInt(lb, list, LIST_CURRENT), (uint32_t)-1);
}

TEST_F(ListBoxKind, BlockRoundTripAndVersions) {
    Block b;
    b.border = 5;
    b.multiColumn = 1;
    b.spacing = 3;
    b.text = 0x0000FF;
    b.back = 0x00FF00;
    b.current = 0;
    b.items = {"甲", "乙"};
    b.itemData = std::string("\x05\0\0\0\x06\0\0\0", 8);
    b.source = "src";
    b.column = "col";
    b.flag = 1;
    ASSERT_NE(make(b.bytes()), nullptr);
    HWND h = list->fw.hwnd;
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & LBS_MULTICOLUMN);
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(SendMessageA(h, LB_GETITEMDATA, 1, 0), 6);
    EXPECT_EQ(kh::WriteBlock(lb, list), b.bytes());
    kh::Destroy(list);
    list = nullptr;

    Block v1 = b;
    v1.version = 1;
    EXPECT_NE(v1.bytes(), b.bytes());
    ASSERT_NE(make(v1.bytes()), nullptr);
    EXPECT_EQ(kh::GetText(lb, list, LIST_DATA_SOURCE), "");
    kh::Destroy(list);
    list = nullptr;

    Block v4 = b;
    v4.version = 4;
    EXPECT_EQ(make(v4.bytes()), nullptr);
    std::string cut = b.bytes();
    EXPECT_EQ(make(cut.substr(0, cut.size() - 1)), nullptr);
}

// A burst of log lines changes the items at once; the display catches up
// when the frame ends and then shows what a list box filled in one go shows.
TEST_F(ListBoxKind, BurstOfInsertsReadsAtOnceAndShowsInFullAfterTheFrame) {
    make(Block().bytes());
    const uint32_t kOther = 0x16010009;
    ComponentObject* plain = kh::Create(lb, Block().bytes(), 0, 320, 20, 300, 176, kOther, 161);
    ASSERT_NE(nullptr, list);
    ASSERT_NE(nullptr, plain);
    HWND h = list->fw.hwnd;
    kh::Pump();
    char line[64];
    for (int i = 0; i < 60; i++) {
        snprintf(line, sizeof line, "搜索 >> 找到文件:C:\\srv\\f%02d.yml", i);
        insert(kList, 0, line);
        SendMessageA(plain->fw.hwnd, LB_INSERTSTRING, 0, (LPARAM)line);
        if (i == 30) clear(kList), SendMessageA(plain->fw.hwnd, LB_RESETCONTENT, 0, 0);
    }
    // No message has run yet: the items are there all the same.
    EXPECT_EQ(29, SendMessageA(h, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(itemText(plain->fw.hwnd, 0), itemText(h, 0));
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    InvalidateRect(plain->fw.hwnd, nullptr, TRUE);
    UpdateWindow(plain->fw.hwnd);
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL);
    std::vector<uint32_t> shown = capture::Window(h), expected = capture::Window(plain->fw.hwnd);
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown == expected) << "the paced list box does not show its items";
    // A single line after a quiet spell is drawn by the write itself.
    insert(kList, 0, "newest");
    SendMessageA(plain->fw.hwnd, LB_INSERTSTRING, 0, (LPARAM) "newest");
    UpdateWindow(h);
    UpdateWindow(plain->fw.hwnd);
    EXPECT_TRUE(capture::Window(h) == capture::Window(plain->fw.hwnd));
    kh::Destroy(plain);
}

TEST(ListBoxItems, CodecNeverReadsPastTheData) {
    std::vector<std::string> items;
    // Declares 3 texts, holds one and a half.
    std::string data("\3\0\2\0\0\0ab\5\0\0\0c", 13);
    ArchiveReader r = ar_Open(data.data(), data.size());
    EXPECT_FALSE(ui_DecodeItems(&r, &items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], "ab");
    // A count of 0xFFFF or more takes the long form.
    std::vector<std::string> many(0xFFFF, "");
    ArchiveWriter w;
    ui_EncodeItems(&w, many);
    EXPECT_EQ(w.out.substr(0, 6), std::string("\xFF\xFF\xFF\xFF\0\0", 6));
    r = ar_Open(w.out.data(), w.out.size());
    EXPECT_TRUE(ui_DecodeItems(&r, &items));
    EXPECT_EQ(items.size(), 0xFFFFu);
    // A huge declared count with no texts fails at once.
    std::string huge("\xFF\xFF\xFF\xFF\xFF\x7F", 6);
    r = ar_Open(huge.data(), huge.size());
    EXPECT_FALSE(ui_DecodeItems(&r, &items));
    EXPECT_TRUE(items.empty());
    std::string one("\1", 1);
    r = ar_Open(one.data(), one.size());
    EXPECT_FALSE(ui_DecodeItems(&r, &items));
}

TEST_F(ListBoxKind, ItemsAndItemDataWritesAskForRecreation) {
    ASSERT_NE(make(""), nullptr);
    ArchiveWriter w;
    ui_EncodeItems(&w, {"x", "y", "z"});
    EXPECT_EQ(kh::SetBytes(lb, list, LIST_ITEMS, w.out), 1);
    EXPECT_EQ(kh::GetBytes(lb, list, LIST_ITEMS), w.out);
    EXPECT_EQ(kh::SetBytes(lb, list, LIST_ITEM_DATA, std::string("\x09\0\0\0", 4)), 1);
    list = kh::Recreate(lb, list);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageA(list->fw.hwnd, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(list->fw.hwnd, LB_GETITEMDATA, 0, 0), 9);
    EXPECT_EQ(SendMessageA(list->fw.hwnd, LB_GETITEMDATA, 1, 0), 0);
    // A short byte set keeps what could be read.
    std::string cut = w.out.substr(0, w.out.size() - 1);
    kh::SetBytes(lb, list, LIST_ITEMS, cut);
    ArchiveWriter two;
    ui_EncodeItems(&two, {"x", "y"});
    EXPECT_EQ(kh::GetBytes(lb, list, LIST_ITEMS), two.out);
    kh::SetBytes(lb, list, LIST_ITEMS, "");
    EXPECT_EQ(kh::GetBytes(lb, list, LIST_ITEMS), std::string("\0\0", 2));
}

TEST_F(ListBoxKind, UserSelectionRaisesEventsBindingDoesNot) {
    Block b;
    b.items = {"one", "two", "three"};
    ASSERT_NE(make(b.bytes()), nullptr);
    HWND h = list->fw.hwnd;
    RECT r;
    SendMessageA(h, LB_GETITEMRECT, 1, (LPARAM)&r);
    LPARAM at = MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(h, WM_LBUTTONUP, 0, at);
    kh::Pump();
    EXPECT_EQ(kh::CountEvents(0), 1);
    EXPECT_EQ(kh::GetInt(lb, list, LIST_CURRENT), 1u);
    EXPECT_GE(kh::CountEvents(-7), 1);
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(h, WM_LBUTTONUP, 0, at);
    kh::Pump();
    EXPECT_EQ(kh::CountEvents(1), 1);
    for (const EventRecord& e : kh::events) EXPECT_EQ(e.component, kList);

    kh::events.clear();
    EnableWindow(h, FALSE);
    kh::SetText(lb, list, LIST_DATA_SOURCE, "记录集");
    EXPECT_TRUE(IsWindowEnabled(h));
    EXPECT_EQ(SendMessageA(h, LB_GETCURSEL, 0, 0), LB_ERR);
    kh::Pump();
    EXPECT_EQ(kh::CountEvents(0), 0);
    SetFocus(kh::Parent());
    EXPECT_EQ(kh::CountEvents(-8), 1);
}

}  // namespace
