// The component-kind table of library 1.
#include <gtest/gtest.h>
#include "ui/kind_api.h"
#include "commands/library.h"

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
