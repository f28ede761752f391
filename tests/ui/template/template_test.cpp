// Window template reader/writer, field walk, rewrites and id classes.
#include <gtest/gtest.h>
#include <vector>
#include "ui/template/template.h"
#include "ui/template/archive.h"

namespace {

TplComponent sample(uint32_t kind, const char* name) {
    TplComponent c;
    c.kindId = kind;
    c.name = name;
    c.left = -5;
    c.top = 7;
    c.width = 100;
    c.height = 20;
    c.stateFlags = TPL_STATE_VISIBLE | TPL_STATE_TABSTOP;
    c.kindBlock = std::string("\x02\x00\x00\x00kb", 6);
    return c;
}

// Two windows; fields with no run-time role all non-zero so a reader that
// drops them shows.
TplBlock richBlock() {
    TplComponent win = sample(0x00010001, "");
    win.reserved3[0] = 11; win.reserved3[3] = 14;
    win.secondName = "second";
    win.reserved17 = 17;
    win.reserved22[0] = 22; win.reserved22[4] = 26;
    win.bindings = {{0, 8}, {3, 0xFFFFFFFF}};

    TplComponent a = sample(0x0001000B, "按钮2");
    a.handlerSource = 0x16010003;
    a.parentId = 0x16010004;
    a.tag = "tag text";
    a.tabOrder = -3;
    a.mousePointer = std::string("\xFF\xFF\xFF\xFF" "cursor", 10);
    a.bindings = {{0, 4}, {-7, 0}};
    TplComponent box = sample(0x00010015, "box");
    box.children = {0x16010003, 0, 0x16010005};
    box.kindBlock.clear();

    TplMenuItem m;
    m.kindId = 0x00010003;
    m.name = "menu";
    m.secondName = "m2";
    m.shortcut = 0x41;
    m.unused = 9;
    m.flags = 5;
    m.caption = "&File";
    m.handler = 12;

    TplWindow w1;
    w1.id = 0x52010001;
    w1.slot = 0xDEADBEEF;
    w1.valueA = 0x0270E3C8;
    w1.valueB = 0x190121C5;
    w1.textA = "A text";
    w1.textB = std::string("B\0b", 3);
    w1.table = tpl_BuildTable({{0x06010000, tpl_EncodeComponent(win)},
                               {0x16010003, tpl_EncodeComponent(a)},
                               {0x26010007, tpl_EncodeMenuItem(m)},
                               {0x16010004, tpl_EncodeComponent(box)}});
    TplWindow w2;
    w2.id = 0x52010002;
    w2.table = tpl_BuildTable({{0x06010000, tpl_EncodeComponent(sample(0x00010001, ""))}});
    TplBlock b;
    b.windows = {w1, w2};
    return b;
}

void expectSame(const TplComponent& x, const TplComponent& y) {
    EXPECT_EQ(x.kindId, y.kindId);
    EXPECT_EQ(x.handlerSource, y.handlerSource);
    for (int i = 0; i < 4; i++) EXPECT_EQ(x.reserved3[i], y.reserved3[i]);
    EXPECT_EQ(x.name, y.name);
    EXPECT_EQ(x.secondName, y.secondName);
    EXPECT_EQ(x.objectSlot, y.objectSlot);
    EXPECT_EQ(x.left, y.left);
    EXPECT_EQ(x.top, y.top);
    EXPECT_EQ(x.width, y.width);
    EXPECT_EQ(x.height, y.height);
    EXPECT_EQ(x.cursorSlot, y.cursorSlot);
    EXPECT_EQ(x.parentId, y.parentId);
    EXPECT_EQ(x.children, y.children);
    EXPECT_EQ(x.mousePointer, y.mousePointer);
    EXPECT_EQ(x.tag, y.tag);
    EXPECT_EQ(x.reserved17, y.reserved17);
    EXPECT_EQ(x.stateFlags, y.stateFlags);
    EXPECT_EQ(x.tabOrder, y.tabOrder);
    ASSERT_EQ(x.bindings.size(), y.bindings.size());
    for (size_t i = 0; i < x.bindings.size(); i++) {
        EXPECT_EQ(x.bindings[i].event, y.bindings[i].event);
        EXPECT_EQ(x.bindings[i].handler, y.bindings[i].handler);
    }
    for (int i = 0; i < 5; i++) EXPECT_EQ(x.reserved22[i], y.reserved22[i]);
    EXPECT_EQ(x.kindBlock, y.kindBlock);
}

TplComponent decode(const TplTable& t, uint32_t i) {
    uint32_t size;
    const uint8_t* rec = tpl_Record(t, i, &size);
    TplComponent c;
    EXPECT_TRUE(rec && tpl_DecodeComponent(rec, size, &c)) << "entry " << i;
    return c;
}

}  // namespace

TEST(TemplateRecord, EmptyComponentIs103BytesBeforeKindBlock) {
    TplComponent c;
    EXPECT_EQ(tpl_EncodeComponent(c).size(), 103u);
    c.kindBlock = "xyz";
    c.name = "ab";
    c.bindings = {{0, 0}};
    EXPECT_EQ(tpl_EncodeComponent(c).size(), 103u + 2 + 8 + 3);
}

TEST(TemplateRecord, WalkFindsEveryField) {
    TplComponent c = sample(0x0001000B, "nm");
    c.secondName = "s";
    c.children = {1, 2};
    c.tag = "t";
    c.bindings = {{0, 4}};
    std::string rec = tpl_EncodeComponent(c);
    TplFields f;
    ASSERT_TRUE(tpl_WalkComponent((const uint8_t*)rec.data(), (uint32_t)rec.size(), &f));
    EXPECT_EQ(f.name, 24u);
    EXPECT_EQ(f.secondName, 27u);
    EXPECT_EQ(f.objectSlot, 29u);
    EXPECT_EQ(f.rect, 33u);
    EXPECT_EQ(f.cursorSlot, 49u);
    EXPECT_EQ(f.parentId, 53u);
    EXPECT_EQ(f.childCount, 57u);
    EXPECT_EQ(f.mousePointer, 69u);
    EXPECT_EQ(f.mousePointerSize, 4u);
    EXPECT_EQ(f.tag, 77u);
    EXPECT_EQ(f.reserved17, 79u);
    EXPECT_EQ(f.stateFlags, 83u);
    EXPECT_EQ(f.tabOrder, 87u);
    EXPECT_EQ(f.bindingCount, 91u);
    EXPECT_EQ(f.reserved22, 103u);
    EXPECT_EQ(f.kindBlock, 123u);
    EXPECT_EQ(f.kindBlockSize, 6u);
}

TEST(TemplateRecord, MenuItemRoundTrip) {
    TplMenuItem m;
    m.kindId = 0x00010003;
    m.name = "n";
    m.shortcut = 7;
    m.unused = 8;
    m.flags = 3;
    m.caption = "cap";
    m.handler = 20;
    std::string rec = tpl_EncodeMenuItem(m);
    EXPECT_EQ(rec.size(), 24u + 2 + 1 + 12 + 4 + 4);
    TplMenuItem back;
    ASSERT_TRUE(tpl_DecodeMenuItem((const uint8_t*)rec.data(), (uint32_t)rec.size(), &back));
    EXPECT_EQ(back.name, "n");
    EXPECT_EQ(back.shortcut, 7u);
    EXPECT_EQ(back.unused, 8u);
    EXPECT_EQ(back.flags, 3u);
    EXPECT_EQ(back.caption, "cap");
    EXPECT_EQ(back.handler, 20u);
    EXPECT_EQ(tpl_EncodeMenuItem(back), rec);
}

TEST(TemplateBlock, WriterOutputReadsBackUnchanged) {
    TplBlock b = richBlock();
    std::string bytes = tpl_WriteBlock(b);
    TplBlock r;
    ASSERT_TRUE(tpl_ReadBlock(bytes.data(), bytes.size(), &r));
    ASSERT_EQ(r.windows.size(), 2u);
    const TplWindow& w = r.windows[0];
    EXPECT_EQ(w.id, 0x52010001u);
    EXPECT_EQ(w.slot, 0xDEADBEEFu);
    EXPECT_EQ(w.valueA, 0x0270E3C8u);
    EXPECT_EQ(w.valueB, 0x190121C5u);
    EXPECT_EQ(w.textA, "A text");
    EXPECT_EQ(w.textB, std::string("B\0b", 3));
    ASSERT_EQ(w.table.count, 4u);
    EXPECT_EQ(w.table.bytes, b.windows[0].table.bytes);
    EXPECT_EQ(r.windows[1].id, 0x52010002u);

    // Every field of every record, fields without run-time role included.
    const TplTable& orig = b.windows[0].table;
    for (uint32_t i : {0u, 1u, 3u}) expectSame(decode(w.table, i), decode(orig, i));
    EXPECT_TRUE(tpl_IsMenuEntry(w.table, 2));
    uint32_t size;
    const uint8_t* rec = tpl_Record(w.table, 2, &size);
    TplMenuItem m;
    ASSERT_TRUE(tpl_DecodeMenuItem(rec, size, &m));
    EXPECT_EQ(m.caption, "&File");
    EXPECT_EQ(m.secondName, "m2");
    EXPECT_EQ(m.unused, 9u);

    EXPECT_EQ(tpl_WriteBlock(r), bytes);

    // Bytes after the last window record are read by nothing; tolerated.
    std::string longer = bytes + "zz";
    TplBlock r2;
    ASSERT_TRUE(tpl_ReadBlock(longer.data(), longer.size(), &r2));
    EXPECT_EQ(tpl_WriteBlock(r2), bytes);
}

TEST(TemplateBlock, EmptyBlockHasNoWindows) {
    TplBlock r;
    r.windows.resize(3);
    EXPECT_TRUE(tpl_ReadBlock(nullptr, 0, &r));
    EXPECT_TRUE(r.windows.empty());
}

TEST(TemplateBlock, EveryTruncationFailsCleanly) {
    std::string bytes = tpl_WriteBlock(richBlock());
    for (size_t n = 1; n < bytes.size(); n++) {
        // An exact-size copy, so a read past the end would leave the buffer.
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
        TplBlock r;
        EXPECT_FALSE(tpl_ReadBlock(cut.data(), cut.size(), &r)) << "prefix " << n;
        EXPECT_TRUE(r.windows.empty()) << "prefix " << n;
    }
}

TEST(TemplateBlock, CountsRunningPastTheDataFail) {
    std::string good = tpl_WriteBlock(richBlock());
    auto patched = [&](size_t at, uint32_t v) {
        std::string s = good;
        memcpy(&s[at], &v, 4);
        return s;
    };
    TplBlock r;
    // Window table byte count: too large, and not a multiple of 8.
    std::string s = patched(0, 0xFFFFFFF8u);
    EXPECT_FALSE(tpl_ReadBlock(s.data(), s.size(), &r));
    s = patched(0, 12);
    EXPECT_FALSE(tpl_ReadBlock(s.data(), s.size(), &r));
    // Window 1 record starts at 4 + 16: A, B, text A (4 + 6), text B (4 + 3),
    // component count, table byte count.
    size_t countAt = 20 + 8 + 10 + 7;
    s = patched(countAt, 0x40000000u);   // N ids/offsets past the table
    EXPECT_FALSE(tpl_ReadBlock(s.data(), s.size(), &r));
    s = patched(countAt + 4, 0x7FFFFFF0u);
    EXPECT_FALSE(tpl_ReadBlock(s.data(), s.size(), &r));
    // An entry offset and a record size pointing past the table.
    size_t tableAt = countAt + 8;
    s = patched(tableAt + 16 + 4, 0x10000000u);
    EXPECT_FALSE(tpl_ReadBlock(s.data(), s.size(), &r));
    s = patched(tableAt + 32, 0xFFFFFFFFu);
    EXPECT_FALSE(tpl_ReadBlock(s.data(), s.size(), &r));
    // A record whose own child count runs past its size.
    TplTable t = richBlock().windows[0].table;
    TplFields f;
    ASSERT_TRUE(tpl_Fields(t, 3, &f));
    uint8_t* rec = tpl_RecordMutable(&t, 3, nullptr);
    uint32_t huge = 0x3FFFFFFF;
    memcpy(rec + f.childCount, &huge, 4);
    EXPECT_FALSE(tpl_CheckTable(t));
    EXPECT_STREQ(tpl_GetName(t, 3), "");
    EXPECT_TRUE(tpl_GetChildren(t, 3).empty());
}

TEST(TemplateIds, Classification) {
    EXPECT_TRUE(tpl_IsWindowId(0x52010001));
    EXPECT_TRUE(tpl_IsWindowId(0x02000001));
    EXPECT_FALSE(tpl_IsWindowId(0x06010000));
    EXPECT_FALSE(tpl_IsWindowId(0x16010002));

    EXPECT_FALSE(tpl_IsEntryId(0));
    EXPECT_FALSE(tpl_IsEntryId(0x00010001));  // bits 24..27 zero
    EXPECT_FALSE(tpl_IsEntryId(0x10010001));  // bits 24..27 zero, high nibble set
    EXPECT_FALSE(tpl_IsEntryId(0x16000000));  // low 24 bits zero
    EXPECT_TRUE(tpl_IsEntryId(0x06010000));
    EXPECT_TRUE(tpl_IsEntryId(0x1601000E));
    EXPECT_TRUE(tpl_IsEntryId(0x26010001));

    EXPECT_TRUE(tpl_IsMenuItemId(0x26010001));
    EXPECT_FALSE(tpl_IsMenuItemId(0x16010001));
    EXPECT_FALSE(tpl_IsMenuItemId(0x36010001));
    EXPECT_FALSE(tpl_IsMenuItemId(0x25010001));

    EXPECT_EQ(tpl_KindLibrary(0x0001000B), 1u);
    EXPECT_EQ(tpl_KindRecordNumber(0x0001000B), 11u);
    EXPECT_EQ(tpl_KindRecordNumber(0x00020030), 0x30u);
}

TEST(TemplateIds, LookupNeverFindsInvalidIds) {
    TplComponent c;
    TplTable t = tpl_BuildTable({{0x06010000, tpl_EncodeComponent(c)},
                                 {0, tpl_EncodeComponent(c)},
                                 {0x00010005, tpl_EncodeComponent(c)},
                                 {0x16010002, tpl_EncodeComponent(c)}});
    EXPECT_EQ(tpl_FindEntry(t, 0x06010000), 0);
    EXPECT_EQ(tpl_FindEntry(t, 0x16010002), 3);
    EXPECT_EQ(tpl_FindEntry(t, 0), -1);
    EXPECT_EQ(tpl_FindEntry(t, 0x00010005), -1);
    EXPECT_EQ(tpl_FindEntry(t, 0x16010003), -1);
}

TEST(TemplateRewrite, FixedFieldsInPlace) {
    TplTable t = richBlock().windows[0].table;
    std::string before = t.bytes;
    ASSERT_TRUE(tpl_SetObjectSlot(&t, 1, 0x1234));
    ASSERT_TRUE(tpl_SetCursorSlot(&t, 1, 0x5678));
    ASSERT_TRUE(tpl_SetRectField(&t, 1, 2, 333));
    ASSERT_TRUE(tpl_SetStateFlags(&t, 1, 3));
    ASSERT_TRUE(tpl_SetTabOrder(&t, 1, 9));
    EXPECT_EQ(t.bytes.size(), before.size());
    EXPECT_EQ(tpl_GetObjectSlot(t, 1), 0x1234u);
    EXPECT_EQ(tpl_GetCursorSlot(t, 1), 0x5678u);
    int32_t rc[4];
    ASSERT_TRUE(tpl_GetRect(t, 1, rc));
    EXPECT_EQ(rc[0], -5);
    EXPECT_EQ(rc[2], 333);
    EXPECT_EQ(tpl_GetStateFlags(t, 1), 3u);
    EXPECT_EQ(tpl_GetTabOrder(t, 1), 9);
    EXPECT_FALSE(tpl_SetRectField(&t, 1, 4, 1));
    // A menu item has no such fields; nothing is written.
    std::string menuBefore = t.bytes;
    EXPECT_FALSE(tpl_SetObjectSlot(&t, 2, 1));
    EXPECT_FALSE(tpl_SetObjectSlot(&t, 9, 1));
    EXPECT_EQ(t.bytes, menuBefore);
}

TEST(TemplateRewrite, TagAndMousePointerMoveLaterRecords) {
    TplBlock b = richBlock();
    TplTable t = b.windows[0].table;
    TplComponent e0 = decode(t, 0), e3 = decode(t, 3);
    TplComponent e1 = decode(t, 1);

    ASSERT_TRUE(tpl_SetTag(&t, 1, "a much longer tag than before"));
    EXPECT_STREQ(tpl_GetTag(t, 1), "a much longer tag than before");
    ASSERT_TRUE(tpl_CheckTable(t));
    expectSame(decode(t, 0), e0);
    expectSame(decode(t, 3), e3);
    uint32_t size;
    TplMenuItem m;
    const uint8_t* rec = tpl_Record(t, 2, &size);
    ASSERT_TRUE(tpl_DecodeMenuItem(rec, size, &m));
    EXPECT_EQ(m.caption, "&File");

    ASSERT_TRUE(tpl_SetTag(&t, 1, nullptr));
    EXPECT_STREQ(tpl_GetTag(t, 1), "");
    const char cursor[] = "\xFF\xFF\xFF\xFF" "new cursor data";
    ASSERT_TRUE(tpl_SetMousePointer(&t, 1, cursor, sizeof cursor - 1));
    uint32_t n;
    const uint8_t* mp = tpl_GetMousePointer(t, 1, &n);
    ASSERT_EQ(n, sizeof cursor - 1);
    EXPECT_EQ(memcmp(mp, cursor, n), 0);
    expectSame(decode(t, 3), e3);

    // Everything else of the rewritten record is as it was.
    TplComponent now = decode(t, 1);
    now.tag = e1.tag;
    now.mousePointer = e1.mousePointer;
    expectSame(now, e1);

    // Back to the original values gives back the original bytes.
    ASSERT_TRUE(tpl_SetTag(&t, 1, e1.tag.c_str()));
    ASSERT_TRUE(tpl_SetMousePointer(&t, 1, e1.mousePointer.data(), (uint32_t)e1.mousePointer.size()));
    EXPECT_EQ(t.bytes, b.windows[0].table.bytes);
}

TEST(TemplateRewrite, RecordsStoredOutOfTableOrder) {
    TplComponent a = sample(0x0001000A, "a"), b = sample(0x0001000A, "b"), c = sample(0x0001000A, "c");
    std::string ra = tpl_EncodeComponent(a), rb = tpl_EncodeComponent(b), rc = tpl_EncodeComponent(c);
    // Entries a, b, c whose records are stored c, a, b.
    ArchiveWriter w;
    aw_Dword(&w, 0x16010001); aw_Dword(&w, 0x16010002); aw_Dword(&w, 0x16010003);
    uint32_t offC = 0, offA = 4 + (uint32_t)rc.size(), offB = offA + 4 + (uint32_t)ra.size();
    aw_Dword(&w, offA); aw_Dword(&w, offB); aw_Dword(&w, offC);
    aw_Counted(&w, rc.data(), (uint32_t)rc.size());
    aw_Counted(&w, ra.data(), (uint32_t)ra.size());
    aw_Counted(&w, rb.data(), (uint32_t)rb.size());
    TplTable t;
    t.count = 3;
    t.bytes = w.out;
    ASSERT_TRUE(tpl_CheckTable(t));
    ASSERT_TRUE(tpl_SetTag(&t, 2, "grown tag of c"));   // c is stored first
    EXPECT_STREQ(tpl_GetName(t, 0), "a");
    EXPECT_STREQ(tpl_GetName(t, 1), "b");
    EXPECT_STREQ(tpl_GetName(t, 2), "c");
    EXPECT_STREQ(tpl_GetTag(t, 2), "grown tag of c");
    ASSERT_TRUE(tpl_SetTag(&t, 0, "x"));                // a, stored in the middle
    EXPECT_STREQ(tpl_GetName(t, 1), "b");
    EXPECT_STREQ(tpl_GetTag(t, 2), "grown tag of c");
    EXPECT_STREQ(tpl_GetTag(t, 0), "x");
}

TEST(TemplateRewrite, KindBlockAndWholeRecord) {
    TplBlock b = richBlock();
    TplTable t = b.windows[0].table;
    TplComponent e3 = decode(t, 3);
    ASSERT_TRUE(tpl_SetKindBlock(&t, 1, "0123456789", 10));
    uint32_t n;
    const uint8_t* kb = tpl_GetKindBlock(t, 1, &n);
    ASSERT_EQ(n, 10u);
    EXPECT_EQ(memcmp(kb, "0123456789", 10), 0);
    expectSame(decode(t, 3), e3);
    std::string small = tpl_EncodeComponent(sample(0x0001000A, "z"));
    ASSERT_TRUE(tpl_ReplaceRecord(&t, 0, small.data(), (uint32_t)small.size()));
    EXPECT_STREQ(tpl_GetName(t, 0), "z");
    EXPECT_STREQ(tpl_GetName(t, 1), "按钮2");
    expectSame(decode(t, 3), e3);
}

TEST(TemplateRelocation, OffsetsBecomeAddresses) {
    TplTable t = richBlock().windows[0].table;
    ASSERT_TRUE(tpl_RelocateHandlers(&t, 0x00401000));
    std::vector<TplBinding> w = tpl_GetBindings(t, 0);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].handler, 0x00401008u);
    EXPECT_EQ(w[1].handler, 0u);           // -1: no handler
    std::vector<TplBinding> a = tpl_GetBindings(t, 1);
    EXPECT_EQ(a[0].handler, 0x00401004u);
    EXPECT_EQ(a[1].event, -7);
    EXPECT_EQ(a[1].handler, 0x00401000u);  // 0 is the base itself
    uint32_t h = 1;
    EXPECT_TRUE(tpl_FindBinding(t, 1, -7, &h));
    EXPECT_EQ(h, 0x00401000u);
    EXPECT_FALSE(tpl_FindBinding(t, 1, 5, &h));
    uint32_t size;
    TplMenuItem m;
    const uint8_t* rec = tpl_Record(t, 2, &size);
    ASSERT_TRUE(tpl_DecodeMenuItem(rec, size, &m));
    EXPECT_EQ(m.handler, 0x0040100Cu);
}
