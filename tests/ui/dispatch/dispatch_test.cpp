#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include "tests/support/ui_kit.h"
#include "runtime/rt.h"
#include "ui/scale.h"

using namespace uk;

namespace {

constexpr uint32_t W1 = 0x52010001;
constexpr uint32_t E0 = 0x06010000;
constexpr uint32_t A = 0x16010002, B = 0x16010003, C = 0x16010004;

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }

    // A loaded window with boxes A, B and C.
    void loadAbc(TplComponent a = Box(10, 10, 100, 20, V, "A"), TplComponent b = Box(20, 40, 100, 20, V, "B"),
                 TplComponent c = Box(30, 70, 100, 20, V, "C")) {
        ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window()), Entry(A, a), Entry(B, b), Entry(C, c)}));
        ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    }
    uint64_t read(uint32_t c, int32_t p, int32_t m = -1) { return g_rt.ui.readProperty(W1, c, p, m); }
    void write(uint32_t c, int32_t p, uint32_t lo, int32_t m = -1, uint32_t hi = 0) {
        g_rt.ui.writeProperty(W1, c, p, m, lo, hi);
    }
    LOGFONTA font(uint32_t c) {
        LOGFONTA lf = {};
        BoxObject* o = Obj(W1, c);
        EXPECT_EQ(o->font.size(), sizeof lf);
        if (o->font.size() == sizeof lf) memcpy(&lf, o->font.data(), sizeof lf);
        return lf;
    }
};

RECT parentRect(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, GetParent(h), (POINT*)&r, 2);
    return r;
}

TEST_F(Dispatch, WidthAndHeightClampToZeroAnd32627) {
    loadAbc();
    write(A, 2, 40000);
    EXPECT_EQ(read(A, 2), 32627u);
    write(A, 2, (uint32_t)-5);
    EXPECT_EQ(read(A, 2), 0u);
    write(A, 3, 33);
    write(A, 2, 77);
    RECT r = parentRect(Handle(W1, A));
    EXPECT_EQ(r.right - r.left, 77);
    EXPECT_EQ(r.bottom - r.top, 33);
    EXPECT_EQ(r.left, 10);  // not moved
    int32_t rect[4];
    tpl_GetRect(Rec(W1)->working, 1, rect);
    EXPECT_EQ(rect[2], 77);
    EXPECT_EQ(rect[3], 33);
}

TEST_F(Dispatch, LeftAndTopClampToPlusMinus32627AndKeepTheSize) {
    loadAbc();
    write(B, 0, (uint32_t)-40000);
    int32_t rect[4];
    tpl_GetRect(Rec(W1)->working, 2, rect);
    EXPECT_EQ(rect[0], -32627);
    write(B, 0, 40000);
    tpl_GetRect(Rec(W1)->working, 2, rect);
    EXPECT_EQ(rect[0], 32627);
    write(B, 0, 15);
    write(B, 1, 25);
    RECT r = parentRect(Handle(W1, B));
    EXPECT_EQ(r.left, 15);
    EXPECT_EQ(r.top, 25);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ((int32_t)read(B, 0), 15);
    EXPECT_EQ((int32_t)read(B, 1), 25);
    // The window itself answers in screen coordinates.
    write(0, 0, 120);
    EXPECT_EQ((int32_t)read(0, 0), 120);
    EXPECT_EQ((int32_t)read(E0, 0), 120);
}

TEST_F(Dispatch, TagReadsNullWhenEmptyAndRewritesShiftLaterEntries) {
    TplComponent b = Box(20, 40, 100, 20, V, "B");
    b.tag = "bee";
    loadAbc(Box(10, 10, 100, 20, V, "A"), b);
    EXPECT_EQ(read(A, 4), 0u);
    EXPECT_EQ(Text(read(B, 4)), "bee");
    write(A, 4, (uint32_t)(uintptr_t)"a tag that is clearly longer than before");
    EXPECT_EQ(Text(read(A, 4)), "a tag that is clearly longer than before");
    // Later records moved with the offsets: still intact.
    EXPECT_EQ(Text(read(B, 4)), "bee");
    EXPECT_STREQ(tpl_GetName(Rec(W1)->working, 3), "C");
    EXPECT_TRUE(tpl_CheckTable(Rec(W1)->working));
    write(B, 4, 0);
    EXPECT_EQ(read(B, 4), 0u);
    EXPECT_EQ(read(C, 2), 100u);
}

TEST_F(Dispatch, VisibleAndDisabledFollowTheLiveWindow) {
    loadAbc();
    write(A, 5, 0);
    EXPECT_FALSE(GetWindowLongA(Handle(W1, A), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(read(A, 5), 0u);
    EXPECT_EQ(tpl_GetStateFlags(Rec(W1)->working, 1) & 1, 0u);
    write(A, 5, 1);
    EXPECT_EQ(read(A, 5), 1u);
    write(A, 6, 1);
    EXPECT_FALSE(IsWindowEnabled(Handle(W1, A)));
    EXPECT_EQ(read(A, 6), 1u);
    EnableWindow(Handle(W1, A), TRUE);  // the live window wins over the record
    EXPECT_EQ(read(A, 6), 0u);
}

TEST_F(Dispatch, KindPropertiesConvertByTypeCode) {
    loadAbc();
    BoxObject* o = Obj(W1, A);
    write(A, P_VALUE, 1234);
    EXPECT_EQ(o->value, 1234);
    EXPECT_EQ(read(A, P_VALUE), 1234u);
    write(A, P_FLAG, 5);
    EXPECT_EQ(o->flag, 1u);
    o->flag = 2;  // only 1 reads as true
    EXPECT_EQ(read(A, P_FLAG), 0u);
    o->flag = 1;
    EXPECT_EQ(read(A, P_FLAG), 1u);
    write(A, P_PICK, (uint32_t)-3);
    EXPECT_EQ(o->pick, 0u);
    write(A, P_PICK, 4);
    EXPECT_EQ(read(A, P_PICK), 4u);
    write(A, P_DOUBLE, 0x11111111u, -1, 0x22222222u);
    EXPECT_EQ(o->lo8, 0x11111111u);
    EXPECT_EQ(o->hi8, 0x22222222u);
    EXPECT_EQ(read(A, P_DOUBLE), 0x2222222211111111ull);
    // Texts: null written as empty, empty read as null.
    write(A, P_TEXT, 0);
    EXPECT_EQ(o->text, "");
    EXPECT_EQ(read(A, P_TEXT), 0u);
    write(A, P_TEXT, (uint32_t)(uintptr_t)"文本");
    EXPECT_EQ(Text(read(A, P_TEXT)), "文本");
    // Byte sets: a new copy each read; null written as (null, 0).
    void* set = ByteSet(std::string("\x01\x00\x02", 3));
    write(A, P_BYTES, (uint32_t)(uintptr_t)set);
    rt_Free(set);
    EXPECT_EQ(o->bytes, std::string("\x01\x00\x02", 3));
    void* back = (void*)(uintptr_t)(uint32_t)read(A, P_BYTES);
    EXPECT_EQ(Bytes(back), std::string("\x01\x00\x02", 3));
    rt_Free(back);
    write(A, P_BYTES, 0);
    EXPECT_EQ(o->lastSetRaw, 0u);
    EXPECT_EQ(read(A, P_BYTES), 0u);
}

TEST_F(Dispatch, MousePointerNumbersTranslateBothWays) {
    loadAbc();
    uint32_t number = 14;
    void* set = ByteSet(std::string((const char*)&number, 4));
    // A kind property of the mouse-pointer type converts its number too.
    ASSERT_EQ(ui_KindRecord(kBoxKind)->properties[P_POINTER].type, 1011);
    write(A, P_POINTER, (uint32_t)(uintptr_t)set);
    uint32_t stored;
    memcpy(&stored, Obj(W1, A)->pointer.data(), 4);
    EXPECT_EQ(stored, 32649u);
    void* back = (void*)(uintptr_t)(uint32_t)read(A, P_POINTER);
    ASSERT_EQ(rt_ByteSetLength(back), 4);
    EXPECT_EQ(*(const uint32_t*)rt_ByteSetData(back), 14u);
    rt_Free(back);
    // The common property 7: stored code in field 15, a pointer in the slot.
    write(B, 7, (uint32_t)(uintptr_t)set);
    uint32_t n = 0;
    const uint8_t* field = tpl_GetMousePointer(Rec(W1)->working, 2, &n);
    ASSERT_EQ(n, 4u);
    memcpy(&stored, field, 4);
    EXPECT_EQ(stored, 32649u);
    EXPECT_NE(tpl_GetCursorSlot(Rec(W1)->working, 2), 0u);
    back = (void*)(uintptr_t)(uint32_t)read(B, 7);
    EXPECT_EQ(*(const uint32_t*)rt_ByteSetData(back), 14u);
    rt_Free(back);
    write(B, 7, 0);
    EXPECT_EQ(tpl_GetCursorSlot(Rec(W1)->working, 2), 0u);
    EXPECT_EQ(read(B, 7), 0u);
    EXPECT_TRUE(tpl_CheckTable(Rec(W1)->working));
    rt_Free(set);
}

TEST_F(Dispatch, FontSizeMemberWritesTheHeight) {
    // Heights are the template's, at 96 DPI, whatever the screen's.
    ui_SetNativeDpi(144);
    loadAbc();
    write(A, P_FONT, (uint32_t)-12, 5);
    EXPECT_EQ(font(A).lfHeight, 0);
    write(A, P_FONT, 12, 5);
    EXPECT_EQ(font(A).lfHeight, -16);
    EXPECT_EQ(read(A, P_FONT, 5), 12u);
    // A member write starts from the kind's current font.
    write(A, P_FONT, 1, 1);
    EXPECT_EQ(font(A).lfWeight, 700);
    EXPECT_EQ(font(A).lfHeight, -16);
    EXPECT_EQ(read(A, P_FONT, 1), 1u);
    write(A, P_FONT, (uint32_t)-900, 0);
    EXPECT_EQ(font(A).lfEscapement, 2700);
    EXPECT_EQ(font(A).lfOrientation, 2700);
    EXPECT_EQ(read(A, P_FONT, 0), 2700u);
    write(A, P_FONT, 7, 4);
    EXPECT_EQ(font(A).lfUnderline, 1);
    ui_SetNativeDpi(0);
}

TEST_F(Dispatch, FontFaceNameRules) {
    loadAbc();
    const char face31[] = "abcdefghijklmnopqrstuvwxyz01234";
    const char face32[] = "abcdefghijklmnopqrstuvwxyz012345";
    ASSERT_EQ(strlen(face31), 31u);
    write(A, P_FONT, (uint32_t)(uintptr_t)face31, 6);
    EXPECT_STREQ(font(A).lfFaceName, face31);
    EXPECT_EQ(Text(read(A, P_FONT, 6)), face31);
    write(A, P_FONT, (uint32_t)(uintptr_t)face32, 6);
    EXPECT_STREQ(font(A).lfFaceName, "宋体");
    write(A, P_FONT, (uint32_t)(uintptr_t)"", 6);
    EXPECT_STREQ(font(A).lfFaceName, "宋体");
    write(A, P_FONT, (uint32_t)(uintptr_t)"微软雅黑", 6);
    EXPECT_STREQ(font(A).lfFaceName, "微软雅黑");

    // The whole font: from zero, 31 characters are already too many, an
    // empty face stays empty.
    UiFontRecord r = {450, 1, 1, 0, 1, 9, face31};
    write(B, P_FONT, (uint32_t)(uintptr_t)&r, -1);
    LOGFONTA lf = font(B);
    EXPECT_STREQ(lf.lfFaceName, "宋体");
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfOrientation, 450);
    EXPECT_EQ(lf.lfCharSet, 0);
    r.face = "";
    write(B, P_FONT, (uint32_t)(uintptr_t)&r, -1);
    EXPECT_STREQ(font(B).lfFaceName, "");
    r.face = nullptr;
    write(B, P_FONT, (uint32_t)(uintptr_t)&r, -1);
    EXPECT_STREQ(font(B).lfFaceName, "宋体");
    r.face = "Tahoma";
    write(B, P_FONT, (uint32_t)(uintptr_t)&r, -1);
    EXPECT_STREQ(font(B).lfFaceName, "Tahoma");
    // A null record hands the kind an empty value.
    write(B, P_FONT, 0, -1);
    EXPECT_EQ(Obj(W1, B)->font.size(), 0u);
}

TEST_F(Dispatch, WholeFontReadIsOneNewBlock) {
    loadAbc();
    UiFontRecord r = {0, 0, 1, 1, 0, 12, "Tahoma"};
    write(A, P_FONT, (uint32_t)(uintptr_t)&r, -1);
    UiFontRecord* back = (UiFontRecord*)(uintptr_t)(uint32_t)read(A, P_FONT, -1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->size, 12);
    EXPECT_EQ(back->italic, 1);
    EXPECT_EQ(back->strikeout, 1);
    EXPECT_EQ(back->bold, 0);
    EXPECT_STREQ(back->face, "Tahoma");
    rt_Free(back);
    // No font from the kind: the default GUI font answers.
    LOGFONTA def = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof def, &def);
    EXPECT_EQ(Text(read(B, P_FONT, 6)), def.lfFaceName[0] ? std::string(def.lfFaceName) : std::string("(null)"));
    // A member write without a font from the kind starts from it too.
    write(B, P_FONT, 1, 2);
    EXPECT_STREQ(font(B).lfFaceName, def.lfFaceName);
    EXPECT_EQ(font(B).lfItalic, 1);
}

TEST_F(Dispatch, SetAskingForRecreationReplacesTheComponentInPlace) {
    TplComponent b = Box(20, 40, 100, 20, V | TPL_STATE_TABSTOP, "B");
    b.tag = "keep";
    loadAbc(Box(10, 10, 100, 20, V, "A"), b);
    HWND old = Handle(W1, B);
    int32_t controlId = GetDlgCtrlID(old);
    SetFocus(old);
    write(B, P_RECREATE, 55);
    Pump();
    HWND fresh = Handle(W1, B);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(Obj(W1, B)->value, 55);  // rebuilt from the kind's block
    EXPECT_EQ(Obj(W1, B)->afterCreate, 1);
    EXPECT_EQ(Obj(W1, B)->afterShow, 1);
    EXPECT_EQ(GetDlgCtrlID(fresh), controlId);
    RECT r = parentRect(fresh);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 40);
    EXPECT_TRUE(GetWindowLongA(fresh, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(fresh, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(GetWindow(Handle(W1, A), GW_HWNDNEXT), fresh);
    EXPECT_EQ(GetWindow(fresh, GW_HWNDNEXT), Handle(W1, C));
    EXPECT_EQ(Text(read(B, 4)), "keep");
    EXPECT_EQ(g_rt.eventBlock, 0);
    EXPECT_FALSE(g_rt.recreating);
}

TEST_F(Dispatch, EventReachesItsBindingWithArgumentsAndResult) {
    TplComponent a = Box(10, 10, 100, 20, V, "A");
    a.bindings = {{1, H(3)}, {0, H(2)}, {0, H(5)}};
    loadAbc(a);
    onHandler = [](int, int32_t* returned) {
        *returned = 1;
        return 42;
    };
    EventRecord e = {};
    e.window = W1;
    e.component = A;
    e.event = 0;
    e.argc = 2;
    e.args[0] = 7;
    e.args[1] = 8;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 1u);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].slot, 2);  // the first binding of event 0
    EXPECT_EQ(calls[0].argc, 2);
    EXPECT_EQ(calls[0].args[0], 7u);
    EXPECT_EQ(calls[0].args[1], 8u);
    EXPECT_EQ(calls[0].sourceWindow, W1);
    EXPECT_EQ(calls[0].sourceComponent, A);
    EXPECT_EQ(e.resultPresent, 1);
    EXPECT_EQ(e.result, 42);
    EXPECT_EQ(rt_Notify(2017, 0, 0), 0u);
    // No binding, and a handler that gives no value.
    e.event = 9;
    e.resultPresent = 0;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 0u);
    onHandler = nullptr;
    e.event = 1;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 1u);
    EXPECT_EQ(e.resultPresent, 0);
}

TEST_F(Dispatch, StoredMinusOneIsNoHandlerAndZeroIsTheCodeBase) {
    TplComponent a = Box(10, 10, 100, 20, V, "A");
    a.bindings = {{0, 0xFFFFFFFFu}, {1, 0}};
    loadAbc(a);
    EventRecord e = {};
    e.window = W1;
    e.component = A;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 0u);
    e.event = 1;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 1u);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].slot, 0);
}

TEST_F(Dispatch, HandlerSourceChainsFollowOnlyTheSameKind) {
    TplComponent a = Box(10, 10, 100, 20, V, "A");
    a.bindings = {{0, H(1)}};
    TplComponent b = Box(20, 40, 100, 20, V, "B", kOtherKind);
    b.handlerSource = A;  // another kind: B keeps its own
    b.bindings = {{0, H(2)}};
    TplComponent c = Box(30, 70, 100, 20, V, "C");
    c.handlerSource = A;  // same kind: A's bindings
    c.bindings = {{0, H(3)}};
    loadAbc(a, b, c);
    EventRecord e = {};
    e.window = W1;
    e.component = B;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 1u);
    e.component = C;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 1u);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].slot, 2);
    EXPECT_EQ(calls[1].slot, 1);
    EXPECT_EQ(calls[1].sourceComponent, C);  // the source is still the raiser
}

TEST_F(Dispatch, HandlerSourceCycleStopsAtTheFirstRepeatedEntry) {
    TplComponent a = Box(10, 10, 100, 20, V, "A");
    a.handlerSource = B;
    a.bindings = {{0, H(1)}};
    TplComponent b = Box(20, 40, 100, 20, V, "B");
    b.handlerSource = C;
    b.bindings = {{0, H(2)}};
    TplComponent c = Box(30, 70, 100, 20, V, "C");
    c.handlerSource = A;
    c.bindings = {{0, H(3)}};
    loadAbc(a, b, c);
    EventRecord e = {};
    e.window = W1;
    e.component = A;
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 1u);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].slot, 3);  // A -> B -> C, and C's source A was seen
}

TEST_F(Dispatch, EventBlockDropsEvents) {
    TplComponent a = Box(10, 10, 100, 20, V, "A");
    a.bindings = {{0, H(1)}};
    loadAbc(a);
    EventRecord e = {};
    e.window = W1;
    e.component = A;
    rt_Notify(2009, 0, 0);
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 0u);
    rt_Notify(2010, 0, 0);
    EXPECT_EQ(rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0), 1u);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(Dispatch, NestedHandlerHandsTheSourceBack) {
    TplComponent a = Box(10, 10, 100, 20, V, "A");
    a.bindings = {{0, H(1)}};
    TplComponent b = Box(20, 40, 100, 20, V, "B");
    b.bindings = {{0, H(2)}};
    loadAbc(a, b);
    uint32_t afterNested[2] = {0, 0};
    onHandler = [&](int slot, int32_t*) {
        if (slot == 1) {
            EventRecord inner = {};
            inner.window = W1;
            inner.component = B;
            rt_Notify(2008, (uint32_t)(uintptr_t)&inner, 0);
            EXPECT_EQ(rt_Notify(2017, (uint32_t)(uintptr_t)afterNested, 0), 1u);
        }
        return 0;
    };
    EventRecord e = {};
    e.window = W1;
    e.component = A;
    rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].sourceComponent, B);
    EXPECT_EQ(afterNested[0], W1);
    EXPECT_EQ(afterNested[1], A);
    EXPECT_EQ(g_rt.eventSourceWindow, 0u);
}

TEST_F(Dispatch, TypedEventArgumentsPassByTypeAndFlags) {
    TplComponent a = Box(10, 10, 100, 20, V, "A");
    a.bindings = {{3, H(4)}};
    loadAbc(a);
    onHandler = [](int, int32_t* returned) {
        *returned = 1;
        return -2;
    };
    TypedEventRecord e = {};
    e.window = W1;
    e.component = A;
    e.event = 3;
    e.argc = 6;
    e.args[0] = {0x1FF, 0xAAAA, TYPE_BYTE, 0};
    e.args[1] = {0xFFFE, 0, TYPE_SHORT, 0};
    e.args[2] = {1, 2, TYPE_DOUBLE, 0};
    e.args[3] = {3, 4, TYPE_DOUBLE, 1};  // flag bit 0: low only
    e.args[4] = {5, 6, TYPE_INT, 2};     // flag bit 1: both words
    e.args[5] = {9, 10, TYPE_INT, 0};
    EXPECT_EQ(rt_Notify(2031, (uint32_t)(uintptr_t)&e, 0), 1u);
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].argc, 8);
    const uint32_t want[8] = {0xFF, 0xFFFFFFFEu, 1, 2, 3, 5, 6, 9};
    for (int i = 0; i < 8; i++) EXPECT_EQ(calls[0].args[i], want[i]) << i;
    EXPECT_EQ(e.resultPresent, 1);
    EXPECT_EQ(e.result[0], 0xFFFFFFFEu);
    EXPECT_EQ(e.result[1], 0xFFFFFFFFu);
}

TEST_F(Dispatch, PropertiesOfMenuItemEntries) {
    TplMenuItem m;
    m.kindId = KIND_MENU;
    m.caption = "文件";
    m.flags = 4;
    ASSERT_TRUE(LoadTemplate(W1, {Entry(E0, Window()), TplEntry{0x26010009, tpl_EncodeMenuItem(m)},
                                  Entry(A, Box(0, 0, 5, 5))}));
    EXPECT_EQ(Text(read(0x26010009, 0)), "文件");
    EXPECT_EQ(read(0x26010009, 1), 1u);
    EXPECT_EQ(read(0x26010009, 3), 1u);
    write(0x26010009, 3, 0);
    write(0x26010009, 0, (uint32_t)(uintptr_t)"编辑");
    EXPECT_EQ(read(0x26010009, 3), 0u);
    EXPECT_EQ(Text(read(0x26010009, 0)), "编辑");
    EXPECT_EQ(read(A, 2), 5u);  // the entry after it still reads
    // Menu items are not created; the window loads without them.
    ASSERT_TRUE(g_rt.ui.loadWindow(W1));
    EXPECT_EQ(created.size(), 1u);
}

// ---- fatal paths (each in a child process) ----

int printHook(int32_t, const char* text) {
    fprintf(stderr, "FATAL[%s]\n", text);
    fflush(stderr);
    return 1;
}

class DispatchDeath : public Dispatch {
protected:
    void SetUp() override {
        Dispatch::SetUp();
        g_rt.fatalHook = printHook;
        TplComponent a = Box(10, 10, 100, 20, V, "A");
        a.bindings = {{0, H(1)}};
        ASSERT_TRUE(LoadTemplates({{W1, {Entry(E0, Window()), Entry(A, a),
                                         Entry(B, Box(0, 0, 5, 5, V, "B", kMuteKind))}}}));
    }
    void TearDown() override {
        g_rt.fatalHook = nullptr;
        Dispatch::TearDown();
    }
};

void raise(uint32_t w, uint32_t c) {
    EventRecord e = {};
    e.window = w;
    e.component = c;
    rt_Notify(2008, (uint32_t)(uintptr_t)&e, 0);
}

TEST_F(DispatchDeath, FatalMessagesOfPropertyAccess) {
    EXPECT_EXIT(g_rt.ui.readProperty(0x52017777, A, 0, -1), ::testing::ExitedWithCode(-1),
                "FATAL\\[未载入欲访问窗口组件所在的窗口");
    EXPECT_EXIT(g_rt.ui.readProperty(W1, A, P_VALUE, -1), ::testing::ExitedWithCode(-1),
                "FATAL\\[读取组件属性时发现指定窗口尚未载入");
    EXPECT_EXIT(g_rt.ui.writeProperty(W1, A, P_VALUE, -1, 1, 0), ::testing::ExitedWithCode(-1),
                "FATAL\\[修改组件属性时发现指定窗口尚未载入");
    EXPECT_EXIT(g_rt.ui.writeProperty(W1, 0x16017777, 0, -1, 1, 0), ::testing::ExitedWithCode(-1),
                "FATAL\\[指定窗口或窗口组件不存在或尚未载入");
    EXPECT_EXIT(rt_Notify(2007, W1, A), ::testing::ExitedWithCode(-1), "FATAL\\[指定窗口或窗口组件不存在或尚未载入");
}

TEST_F(DispatchDeath, FatalMessagesOfEventDispatch) {
    EXPECT_EXIT(raise(0x52017777, A), ::testing::ExitedWithCode(-1), "FATAL\\[未找到引发事件的窗口");
    EXPECT_EXIT(raise(W1, 0x16017777), ::testing::ExitedWithCode(-1), "FATAL\\[未找到引发事件的窗口组件");
    EXPECT_EXIT(raise(W1, B), ::testing::ExitedWithCode(-1), "FATAL\\[引发事件的窗口组件无效");
}

}  // namespace
