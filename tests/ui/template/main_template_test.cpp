// The block the program carries: its size and every value of the main
// window's tables read back from it.
#include <gtest/gtest.h>
#include "app/main_window.h"
#include "runtime/kind_ids.h"
#include "ui/template/template.h"
#include "ui/template/archive.h"

extern "C" const unsigned char vell_main_template[];
extern "C" const unsigned int vell_main_template_size;

namespace {

struct Main : ::testing::Test {
    TplBlock block;
    const TplTable* t = nullptr;
    void SetUp() override {
        ASSERT_TRUE(tpl_ReadBlock(vell_main_template, vell_main_template_size, &block));
        ASSERT_EQ(block.windows.size(), 1u);
        t = &block.windows[0].table;
    }
    std::string kindBlock(uint32_t id) {
        int32_t i = tpl_FindEntry(*t, id);
        EXPECT_GE(i, 0);
        uint32_t n;
        const uint8_t* p = tpl_GetKindBlock(*t, (uint32_t)i, &n);
        return p ? std::string((const char*)p, n) : std::string();
    }
};

void expectFont(ArchiveReader* r, int32_t height, int32_t weight) {
    uint32_t n;
    const uint8_t* f = ar_Counted(r, &n);
    ASSERT_EQ(n, 60u);
    int32_t v[5];
    memcpy(v, f, 20);
    EXPECT_EQ(v[0], height);
    EXPECT_EQ(v[1], 0);       // width
    EXPECT_EQ(v[2], 0);
    EXPECT_EQ(v[3], 0);
    EXPECT_EQ(v[4], weight);
    const uint8_t bytes[8] = {0, 0, 0, 134, 3, 2, 1, 34};
    EXPECT_EQ(memcmp(f + 20, bytes, 8), 0);
    char face[32] = "微软雅黑";
    EXPECT_EQ(memcmp(f + 28, face, 32), 0);
}

std::string text(ArchiveReader* r) { return ar_Text(r); }

struct Row {
    uint32_t id;
    const char* name;
    uint32_t kind;
    int32_t rect[4];
    bool tabStop;
    uint32_t handler;   // 0xFFFFFFFF: no binding
    int32_t event;      // the one bound: the click, or the log's context menu
};

// Table order, entry 1 first.
const Row kRows[] = {
    {ID_BUTTON_START, "按钮2", KIND_BUTTON, {592, 148, 112, 32}, true, HandlerOffset(SLOT_TRANSCODE), 0},
    {ID_STATUS, "标签5", KIND_LABEL, {8, 466, 696, 31}, false, 0xFFFFFFFF, 0},
    {ID_PROGRESS, "进度条1", KIND_PROGRESS, {8, 440, 696, 24}, false, 0xFFFFFFFF, 0},
    {ID_LABEL_PROGRESS, "标签4", KIND_LABEL, {8, 405, 696, 24}, false, 0xFFFFFFFF, 0},
    {ID_LABEL_LOG, "标签3", KIND_LABEL, {8, 185, 696, 24}, false, 0xFFFFFFFF, 0},
    {ID_LOG, "列表框1", KIND_LISTBOX, {8, 219, 696, 176}, true, HandlerOffset(SLOT_LOG_MENU), LOG_EVENT_CONTEXT_MENU},
    {ID_CHECK_BACKUP, "选择框1", KIND_CHECKBOX, {10, 152, 238, 24}, true, 0xFFFFFFFF, 0},
    {ID_EDIT_EXTENSIONS, "编辑框2", KIND_EDIT, {8, 112, 696, 32}, true, 0xFFFFFFFF, 0},
    {ID_LABEL_EXTENSIONS, "标签2", KIND_LABEL, {8, 80, 696, 24}, false, 0xFFFFFFFF, 0},
    {ID_BUTTON_CHOOSE, "按钮1", KIND_BUTTON, {595, 40, 112, 32}, true, HandlerOffset(SLOT_CHOOSE_FOLDER), 0},
    {ID_EDIT_ROOT, "编辑框1", KIND_EDIT, {8, 40, 584, 32}, true, 0xFFFFFFFF, 0},
    {ID_LABEL_ROOT, "标签1", KIND_LABEL, {8, 8, 696, 24}, false, 0xFFFFFFFF, 0},
};

}  // namespace

TEST_F(Main, SizeIsTheSumOfItsFields) {
    // Each entry: its id, its record's offset and its record's byte count.
    uint32_t table = 13 * (4 + 4 + 4);
    // The window's record: its kind block, its own fields, and 8 bytes
    // (event, handler) for each binding: the close query, the folder drop.
    uint32_t size = 0;
    tpl_Record(*t, 0, &size);
    EXPECT_EQ(size, 108u + 103 + 8 + 8);
    table += size;
    // A component's record: 102 bytes of fixed fields, its name and the
    // zero ending it, 8 bytes per binding, its kind block (none for the
    // progress bar and the list box).
    const uint32_t kindBlock[] = {96, 152, 0, 156, 156, 0, 153, 181, 212, 95, 142, 191};
    for (uint32_t i = 0; i < 12; i++) {
        const Row& r = kRows[i];
        tpl_Record(*t, i + 1, &size);
        EXPECT_EQ(size, 102 + strlen(r.name) + 1 + (r.handler != 0xFFFFFFFF ? 8 : 0) + kindBlock[i]) << r.name;
        table += size;
    }
    const TplWindow& w = block.windows[0];
    EXPECT_EQ(w.table.bytes.size(), table);
    // The window table (its byte count, one id, one slot); the window
    // record's two values, two empty texts, component count and the byte
    // count of its component table.
    EXPECT_EQ(vell_main_template_size, (4 + 4 + 4) + (8 + 4 + 4 + 4 + 4) + table);
    EXPECT_EQ(tpl_WriteBlock(block).size(), (size_t)vell_main_template_size);
    EXPECT_EQ(memcmp(tpl_WriteBlock(block).data(), vell_main_template, vell_main_template_size), 0);
}

TEST_F(Main, WindowRecord) {
    const TplWindow& w = block.windows[0];
    EXPECT_EQ(w.id, (uint32_t)MAIN_WINDOW);
    EXPECT_TRUE(tpl_IsWindowId(w.id));
    EXPECT_EQ(w.valueA, 0x0270E3C8u);
    EXPECT_EQ(w.valueB, 0x190121C5u);
    EXPECT_EQ(w.textA, "");
    EXPECT_EQ(w.textB, "");
    ASSERT_EQ(t->count, 13u);
    EXPECT_EQ(tpl_EntryId(*t, 0), (uint32_t)MAIN_WINDOW_ENTRY);
    EXPECT_EQ(tpl_GetKindId(*t, 0), (uint32_t)KIND_WINDOW);
    EXPECT_STREQ(tpl_GetName(*t, 0), "");
    int32_t rc[4];
    ASSERT_TRUE(tpl_GetRect(*t, 0, rc));
    EXPECT_EQ(rc[0], 50);
    EXPECT_EQ(rc[1], 50);
    EXPECT_EQ(rc[2], 719);
    EXPECT_EQ(rc[3], 531);
    std::vector<TplBinding> window = tpl_GetBindings(*t, 0);
    ASSERT_EQ(window.size(), 2u);
    EXPECT_EQ(window[0].event, 12);   // close query
    EXPECT_EQ(window[0].handler, HandlerOffset(SLOT_CLOSE_REQUESTED));
    EXPECT_EQ(window[1].event, 13);   // folder dropped
    EXPECT_EQ(window[1].handler, HandlerOffset(SLOT_FOLDER_DROPPED));
}

TEST_F(Main, WindowKindBlock) {
    std::string kb = kindBlock(MAIN_WINDOW_ENTRY);
    ArchiveReader r = ar_Open(kb.data(), kb.size());
    EXPECT_EQ(ar_Dword(&r), 6u);            // version
    EXPECT_EQ(ar_Dword(&r), 2u);            // border style
    EXPECT_EQ(ar_Dword(&r), 1u);            // picture layout
    EXPECT_EQ(ar_Dword(&r), 0x00FFFFFFu);   // background colour
    EXPECT_EQ(ar_Dword(&r), 0u);            // maximise box
    EXPECT_EQ(ar_Dword(&r), 1u);            // minimise box
    EXPECT_EQ(ar_Dword(&r), 1u);            // control box
    EXPECT_EQ(ar_Dword(&r), 1u);            // position: centred
    EXPECT_EQ(ar_Dword(&r), 1u);            // movable
    ar_Dword(&r);                           // sound repetition
    EXPECT_EQ(ar_Dword(&r), 0u);            // Enter moves focus
    EXPECT_EQ(ar_Dword(&r), 1u);            // Esc closes
    EXPECT_EQ(ar_Dword(&r), 0u);            // F1 help
    EXPECT_EQ(ar_Dword(&r), 0u);            // help context
    EXPECT_EQ(ar_Dword(&r), 1u);            // shown in taskbar
    EXPECT_EQ(ar_Dword(&r), 0u);            // drag anywhere
    EXPECT_EQ(ar_Dword(&r), 0u);            // window shape
    EXPECT_EQ(ar_Dword(&r), 0u);            // always on top
    ar_Dword(&r);                           // stored flag
    EXPECT_EQ(text(&r), "");                // class name
    EXPECT_EQ(text(&r), "");                // background picture
    EXPECT_EQ(text(&r), "");                // icon
    EXPECT_EQ(text(&r), "");                // background sound
    EXPECT_EQ(text(&r), "Vellumor");        // title
    EXPECT_EQ(text(&r), "");                // help file
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(ar_Left(&r), 0u);
}

TEST_F(Main, ComponentsInTableOrder) {
    for (uint32_t i = 0; i < 12; i++) {
        const Row& row = kRows[i];
        SCOPED_TRACE(row.name);
        uint32_t e = i + 1;
        EXPECT_EQ(tpl_EntryId(*t, e), row.id);
        EXPECT_EQ(tpl_FindEntry(*t, row.id), (int32_t)e);
        EXPECT_EQ(tpl_GetKindId(*t, e), row.kind);
        EXPECT_EQ(tpl_GetHandlerSource(*t, e), 0u);
        EXPECT_STREQ(tpl_GetName(*t, e), row.name);
        int32_t rc[4];
        ASSERT_TRUE(tpl_GetRect(*t, e, rc));
        for (int k = 0; k < 4; k++) EXPECT_EQ(rc[k], row.rect[k]);
        EXPECT_EQ(tpl_GetObjectSlot(*t, e), 0u);
        EXPECT_EQ(tpl_GetCursorSlot(*t, e), 0u);
        EXPECT_EQ(tpl_GetParent(*t, e), 0u);
        EXPECT_TRUE(tpl_GetChildren(*t, e).empty());
        uint32_t n;
        const uint8_t* mp = tpl_GetMousePointer(*t, e, &n);
        ASSERT_EQ(n, 4u);
        EXPECT_EQ(mp[0] | mp[1] | mp[2] | mp[3], 0);
        EXPECT_STREQ(tpl_GetTag(*t, e), "");
        EXPECT_EQ(tpl_GetStateFlags(*t, e), row.tabStop ? 5u : 1u);
        EXPECT_EQ(tpl_GetTabOrder(*t, e), 0);
        std::vector<TplBinding> b = tpl_GetBindings(*t, e);
        if (row.handler == 0xFFFFFFFF) {
            EXPECT_TRUE(b.empty());
        } else {
            ASSERT_EQ(b.size(), 1u);
            EXPECT_EQ(b[0].event, row.event);
            EXPECT_EQ(b[0].handler, row.handler);
        }
        TplComponent c;
        uint32_t size;
        const uint8_t* rec = tpl_Record(*t, e, &size);
        ASSERT_TRUE(tpl_DecodeComponent(rec, size, &c));
        EXPECT_EQ(c.secondName, "");
        EXPECT_EQ(c.reserved17, 0u);
        for (uint32_t v : c.reserved3) EXPECT_EQ(v, 0u);
        for (uint32_t v : c.reserved22) EXPECT_EQ(v, 0u);
    }
}

TEST_F(Main, LabelBlocks) {
    struct L { uint32_t id; const char* caption; int32_t height, weight, hAlign; };
    const L labels[] = {
        {ID_LABEL_ROOT, "请选择欲转码的服务端根目录 例如 D:\\MyServer", -12, 400, 0},
        {ID_LABEL_EXTENSIONS, "转码文件类型 使用英文逗号分隔(,) 如果您不知道这是什么 请不要修改", -12, 400, 0},
        {ID_LABEL_LOG, "日志输出", -12, 400, 0},
        {ID_LABEL_PROGRESS, "处理进度", -12, 400, 0},
        {ID_STATUS, "空闲", -14, 700, 1},
    };
    for (const L& l : labels) {
        SCOPED_TRACE(l.caption);
        std::string kb = kindBlock(l.id);
        ArchiveReader r = ar_Open(kb.data(), kb.size());
        EXPECT_EQ(ar_Dword(&r), 2u);          // version
        EXPECT_EQ(ar_Dword(&r), 0u);          // text effect
        EXPECT_EQ(ar_Dword(&r), 8u);          // frame width
        EXPECT_EQ(ar_Dword(&r), 0u);          // border
        EXPECT_EQ(ar_Dword(&r), 0x808080u);
        EXPECT_EQ(ar_Dword(&r), 0xFFFFFFu);
        EXPECT_EQ(ar_Dword(&r), 0x808080u);
        EXPECT_EQ(ar_Dword(&r), 0u);          // text colour
        EXPECT_EQ(ar_Dword(&r), 0xFFFFFFu);   // background
        EXPECT_EQ(ar_Dword(&r), 1u);          // picture mode
        EXPECT_EQ(ar_Dword(&r), 0u);          // gradient mode
        EXPECT_EQ(ar_Dword(&r), 0x808080u);
        EXPECT_EQ(ar_Dword(&r), 0xFFFFFFu);
        EXPECT_EQ(ar_Dword(&r), 0x808080u);
        EXPECT_EQ(ar_Dword(&r), (uint32_t)l.hAlign);
        EXPECT_EQ(ar_Dword(&r), 1u);          // vertical alignment
        EXPECT_EQ(ar_Dword(&r), 0u);          // word wrap
        expectFont(&r, l.height, l.weight);
        EXPECT_EQ(text(&r), "");              // picture
        EXPECT_EQ(text(&r), l.caption);
        EXPECT_EQ(text(&r), "");              // data source
        EXPECT_EQ(text(&r), "");              // data column
        EXPECT_FALSE(r.failed);
        EXPECT_EQ(ar_Left(&r), 0u);
    }
    EXPECT_EQ(kindBlock(ID_STATUS).size(), 152u);
}

TEST_F(Main, ButtonBlocks) {
    struct B { uint32_t id; const char* caption; int32_t weight; };
    for (const B& b : {B{ID_BUTTON_START, "一键转码", 700}, B{ID_BUTTON_CHOOSE, "选择...", 400}}) {
        SCOPED_TRACE(b.caption);
        std::string kb = kindBlock(b.id);
        ArchiveReader r = ar_Open(kb.data(), kb.size());
        EXPECT_EQ(ar_Dword(&r), 1u);    // version
        EXPECT_EQ(ar_Dword(&r), 0u);    // default button
        EXPECT_EQ(ar_Dword(&r), 1u);    // horizontal alignment
        EXPECT_EQ(ar_Dword(&r), 1u);    // vertical alignment
        EXPECT_EQ(text(&r), "");        // picture
        expectFont(&r, -12, b.weight);
        EXPECT_EQ(text(&r), b.caption);
        EXPECT_FALSE(r.failed);
        EXPECT_EQ(ar_Left(&r), 0u);
    }
    EXPECT_EQ(kindBlock(ID_BUTTON_START).size(), 96u);
}

TEST_F(Main, CheckBoxBlock) {
    std::string kb = kindBlock(ID_CHECK_BACKUP);
    EXPECT_EQ(kb.size(), 153u);
    ArchiveReader r = ar_Open(kb.data(), kb.size());
    EXPECT_EQ(ar_Dword(&r), 2u);            // version
    EXPECT_EQ(ar_Dword(&r), 0u);            // push-like
    EXPECT_EQ(ar_Dword(&r), 0u);            // flat
    EXPECT_EQ(ar_Dword(&r), 0u);            // text on left
    EXPECT_EQ(ar_Dword(&r), 0u);            // horizontal alignment
    EXPECT_EQ(ar_Dword(&r), 1u);            // vertical alignment
    EXPECT_EQ(ar_Dword(&r), 0u);            // text colour
    EXPECT_EQ(ar_Dword(&r), 0xFFFFFFu);     // background
    EXPECT_EQ(ar_Dword(&r), 1u);            // checked
    EXPECT_EQ(text(&r), "");                // picture
    expectFont(&r, -12, 400);
    std::string caption = text(&r);
    EXPECT_EQ(caption, "启用文件备份 (将创建源文件的备份文件)");
    EXPECT_EQ(caption.size(), 37u);
    EXPECT_EQ(text(&r), "");
    EXPECT_EQ(text(&r), "");
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(ar_Left(&r), 0u);
}

TEST_F(Main, EditBlocks) {
    struct E { uint32_t id; const char* content; };
    for (const E& e : {E{ID_EDIT_EXTENSIONS, "yml,json,txt,lang,cfg,ini,log,conf,toml"}, E{ID_EDIT_ROOT, ""}}) {
        SCOPED_TRACE(e.content);
        std::string kb = kindBlock(e.id);
        ArchiveReader r = ar_Open(kb.data(), kb.size());
        EXPECT_EQ(ar_Dword(&r), 2u);        // version
        EXPECT_EQ(ar_Dword(&r), 1u);        // border
        EXPECT_EQ(ar_Dword(&r), 0u);        // text colour
        EXPECT_EQ(ar_Dword(&r), 0xFFFFFFu); // background
        EXPECT_EQ(ar_Dword(&r), 1u);        // hide selection
        EXPECT_EQ(ar_Dword(&r), 0u);        // maximum length
        EXPECT_EQ(ar_Dword(&r), 0u);        // multi-line
        EXPECT_EQ(ar_Dword(&r), 0u);        // scroll bars
        EXPECT_EQ(ar_Dword(&r), 0u);        // alignment
        EXPECT_EQ(ar_Dword(&r), 0u);        // input mode
        ASSERT_GE(ar_Left(&r), 2u);
        EXPECT_EQ(r.p[0], '*');             // password character word
        EXPECT_EQ(r.p[1], 0);
        ar_Skip(&r, 2);
        EXPECT_EQ(ar_Dword(&r), 0u);        // case conversion
        EXPECT_EQ(ar_Dword(&r), 0u);        // spin mode
        EXPECT_EQ(ar_Dword(&r), 0u);        // spin minimum
        EXPECT_EQ(ar_Dword(&r), 100u);      // spin maximum
        EXPECT_EQ(ar_Dword(&r), 0u);        // selection start
        EXPECT_EQ(ar_Dword(&r), 0u);        // selection length
        expectFont(&r, -12, 400);
        EXPECT_EQ(text(&r), e.content);
        EXPECT_EQ(text(&r), "");
        EXPECT_EQ(text(&r), "");
        EXPECT_FALSE(r.failed);
        EXPECT_EQ(ar_Left(&r), 0u);
    }
    // The offsets the odd 16-bit field gives.
    std::string kb = kindBlock(ID_EDIT_EXTENSIONS);
    ASSERT_EQ(kb.size(), 181u);
    auto dw = [&](size_t at) { uint32_t v; memcpy(&v, kb.data() + at, 4); return v; };
    EXPECT_EQ((uint8_t)kb[40], 0x2A);
    EXPECT_EQ((uint8_t)kb[41], 0x00);
    EXPECT_EQ(dw(54), 100u);
    EXPECT_EQ(dw(66), 60u);
    EXPECT_EQ(dw(130), 39u);
}

TEST_F(Main, ListBoxAndProgressHaveEmptyBlocks) {
    EXPECT_EQ(kindBlock(ID_LOG).size(), 0u);
    EXPECT_EQ(kindBlock(ID_PROGRESS).size(), 0u);
}

TEST_F(Main, BindingsRelocateToHandlerSlots) {
    TplTable copy = *t;
    static const uint32_t slots[2] = {0, 0};
    uintptr_t base = (uintptr_t)slots;
    ASSERT_TRUE(tpl_RelocateHandlers(&copy, base));
    uint32_t h;
    ASSERT_TRUE(tpl_FindBinding(copy, (uint32_t)tpl_FindEntry(copy, ID_BUTTON_CHOOSE), 0, &h));
    EXPECT_EQ(h, (uint32_t)(uintptr_t)&slots[0]);
    ASSERT_TRUE(tpl_FindBinding(copy, (uint32_t)tpl_FindEntry(copy, ID_BUTTON_START), 0, &h));
    EXPECT_EQ(h, (uint32_t)(uintptr_t)&slots[1]);
    EXPECT_FALSE(tpl_FindBinding(copy, (uint32_t)tpl_FindEntry(copy, ID_LABEL_ROOT), 0, &h));
}
