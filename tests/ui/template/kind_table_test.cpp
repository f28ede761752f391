// The component-kind table of library 1.
#include <gtest/gtest.h>
#include "ui/kind_api.h"
#include "commands/library.h"
#include "runtime/rt.h"
#include "ui/kinds/common/common.h"
#include "ui/kinds/button/button_block.h"
#include "ui/kinds/edit/edit_block.h"
#include "ui/kinds/label/label_block.h"
#include "ui/kinds/listbox/listbox_block.h"
#include "ui/kinds/window/window_block.h"
#include <ctype.h>
#include <string.h>

void* kind_progress_iface(int32_t number);

namespace {

const KindRecord* kinds() { return (const KindRecord*)lib1_kind_table; }

struct Filled { uint32_t number; const char* name; const char* english; uint32_t flags; uint32_t props; };
const Filled kFilled[] = {
    {1, "窗口", "window", 0x800000D0, 32},
    {5, "编辑框", "EditBox", 0x80000040, 29},
    {10, "标签", "Label", 0x84012040, 29},
    {11, "按钮", "Button", 0x80000840, 14},
    {12, "选择框", "CheckBox", 0x80001040, 21},
    {15, "列表框", "ListBox", 0x80000040, 22},
    {19, "进度条", "ProcessBar", 0x84010040, 14},
    {48, "对象", "ComObject", 0x80000000, 0},
};

const Filled* filled(uint32_t number) {
    for (const Filled& f : kFilled)
        if (f.number == number) return &f;
    return nullptr;
}

std::vector<uint16_t> types(uint32_t number) {
    const KindRecord& k = kinds()[number - 1];
    std::vector<uint16_t> v;
    for (uint32_t i = 0; i < k.propertyCount; i++) v.push_back(k.properties[i].type);
    return v;
}

}  // namespace

TEST(KindTable, RecordsByNumber) {
    ASSERT_EQ(lib1_kind_count, 51u);
    for (uint32_t n = 1; n <= 51; n++) {
        const KindRecord& k = kinds()[n - 1];
        const Filled* f = filled(n);
        SCOPED_TRACE(n);
        if (!f) {
            EXPECT_EQ(k.name, nullptr);
            EXPECT_EQ(k.propertyCount, 0u);
            continue;
        }
        ASSERT_NE(k.name, nullptr);
        EXPECT_STREQ(k.name, f->name);
        EXPECT_STREQ(k.englishName, f->english);
        EXPECT_EQ(k.flags, f->flags);
        EXPECT_EQ(k.propertyCount, f->props);
        for (uint32_t r : k.reserved8) EXPECT_EQ(r, 0u);
        for (uint32_t r : k.reserved24) EXPECT_EQ(r, 0u);
        for (uint32_t r : k.reserved48) EXPECT_EQ(r, 0u);
        if (n == 48) {
            EXPECT_EQ(k.iface, nullptr);
        } else {
            EXPECT_NE(k.iface, nullptr);
        }
    }
    EXPECT_EQ(kinds()[19 - 1].iface, &kind_progress_iface);
}

TEST(KindTable, CommonPropertiesOfEveryKind) {
    const uint16_t common[8] = {1001, 1001, 1001, 1001, 1005, 1003, 1003, 1011};
    for (const Filled& f : kFilled) {
        const KindRecord& k = kinds()[f.number - 1];
        if (k.propertyCount == 0) continue;
        SCOPED_TRACE(f.english);
        for (uint32_t i = 0; i < k.propertyCount; i++) {
            const PropertyRecord& p = k.properties[i];
            if (i < 8) {
                EXPECT_EQ(p.type, common[i]) << i;
                EXPECT_EQ(p.flags, 0xE000) << i;
            } else {
                EXPECT_EQ(p.flags & 0x8000, 0x8000) << i;
            }
            EXPECT_GE(p.type, 1000);
            EXPECT_LE(p.type, 1024);
        }
    }
}

TEST(KindTable, KindPropertyTypeCodes) {
    using V = std::vector<uint16_t>;
    auto tail = [](const V& v) { return V(v.begin() + 8, v.end()); };
    EXPECT_EQ(tail(types(1)), (V{1005, 1006, 1017, 1009, 1006, 1012, 1006, 1003, 1003, 1003, 1006, 1003,
                                 1010, 1003, 1003, 1003, 1016, 1001, 1003, 1003, 1006, 1003, 1003, 1005}));
    EXPECT_EQ(tail(types(5)), (V{1005, 1006, 1014, 1017, 1013, 1003, 1001, 1003, 1006, 1006, 1006, 1005,
                                 1006, 1006, 1001, 1001, 1001, 1001, 1005, 1018, 1020}));
    EXPECT_EQ(tail(types(10)), (V{1005, 1006, 1006, 1001, 1015, 1015, 1015, 1013, 1014, 1017, 1009, 1006,
                                  1006, 1015, 1015, 1015, 1006, 1003, 1006, 1018, 1020}));
    EXPECT_EQ(tail(types(11)), (V{1009, 1006, 1005, 1006, 1006, 1013}));
    EXPECT_EQ(tail(types(12)), (V{1009, 1003, 1003, 1005, 1003, 1006, 1006, 1014, 1017, 1013, 1003, 1018, 1020}));
    EXPECT_EQ(tail(types(15)), (V{1006, 1003, 1003, 1001, 1014, 1017, 1013, 1003, 1001, 1024, 1024, 1018,
                                  1020, 1003}));
    EXPECT_EQ(tail(types(19)), (V{1006, 1006, 1006, 1001, 1001, 1001}));
}

namespace {

char* upper(const char* s) {
    size_t n = strlen(s);
    if (n == 0) return nullptr;
    char* out = (char*)rt_Allocate((int32_t)n + 1);
    for (size_t i = 0; i <= n; i++) out[i] = (char)toupper((unsigned char)s[i]);
    return out;
}

std::string font(const char* face, int32_t height = 0) {
    UiLogFont f;
    f.face = face;
    f.height = height;
    return ui_FontBytes(f);
}

// Interface 9 of kind `number` on `in`, compared with the block the
// converted texts should give.
void expectConverted(uint32_t number, const std::string& in, const std::string& expected) {
    SCOPED_TRACE(number);
    KindConvertTextsFn fn = (KindConvertTextsFn)kinds()[number - 1].iface(KI_CONVERT_TEXTS);
    ASSERT_NE(nullptr, fn);
    int32_t n = 0;
    uint8_t* out = fn((const uint8_t*)in.data(), (int32_t)in.size(), upper, &n);
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(expected, std::string((const char*)out, (size_t)n));
    rt_Free(out);
    std::string bad = in;
    bad[0] = 9;  // a version no kind reads
    EXPECT_EQ(nullptr, fn((const uint8_t*)bad.data(), (int32_t)bad.size(), upper, &n));
}

}  // namespace

TEST(KindTable, EveryKindWithTextsConvertsEachListedTextField) {
    WindowProps w, W;
    w.className = "cls", w.title = "title", w.helpFile = "help", w.sound = "snd";
    W.className = "CLS", W.title = "TITLE", W.helpFile = "HELP", W.sound = "snd";
    expectConverted(1, ui_BlockBytes(window_Block, w), ui_BlockBytes(window_Block, W));
    EditProps e, E;
    e.content = "text", e.font = font("arial"), e.dataSource = "src", e.dataColumn = "col";
    E.content = "TEXT", E.font = font("ARIAL"), E.dataSource = "SRC", E.dataColumn = "COL";
    expectConverted(5, ui_BlockBytes(edit_Block, e), ui_BlockBytes(edit_Block, E));
    ButtonProps b, B;
    b.caption = "go", b.font = font("arial"), b.picture = "pic";
    B.caption = "GO", B.font = font("ARIAL"), B.picture = "pic";
    expectConverted(11, ui_BlockBytes(button_Block, b), ui_BlockBytes(button_Block, B));
    ButtonProps c = checkbox_Defaults(), C = checkbox_Defaults();
    c.caption = "tick", c.dataSource = "src", c.dataColumn = "col";
    C.caption = "TICK", C.dataSource = "SRC", C.dataColumn = "COL";
    expectConverted(12, ui_BlockBytes(checkbox_Block, c), ui_BlockBytes(checkbox_Block, C));
    LabelProps a, A;  // other fields (gradient mode 5, font height) stay as they are
    a.caption = "caption", a.dataSource = "source", a.gradientMode = 5, a.font = font("arial", -20);
    A.caption = "CAPTION", A.dataSource = "SOURCE", A.gradientMode = 5, A.font = font("ARIAL", -20);
    expectConverted(10, ui_BlockBytes(label_Block, a), ui_BlockBytes(label_Block, A));
    ListBoxProps l, L;
    l.items = {"one", "two"}, l.font = font("arial"), l.dataSource = "src", l.itemData = "data";
    L.items = {"ONE", "TWO"}, L.font = font("ARIAL"), L.dataSource = "SRC", L.itemData = "data";
    expectConverted(15, ui_BlockBytes(listbox_Block, l), ui_BlockBytes(listbox_Block, L));
}
