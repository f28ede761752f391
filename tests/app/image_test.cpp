// The module's program image and its own text routines.
#include <gtest/gtest.h>
#include <string.h>
#include "app/app.h"
#include "runtime/rt.h"

namespace {

const ProgramDescriptor& d = vell_program_image;

bool inConstants(const void* p) {
    const uint8_t* b = (const uint8_t*)d.constants;
    return (const uint8_t*)p >= b && (const uint8_t*)p < b + d.constantsSize;
}

TEST(Image, DescriptorWords) {
    EXPECT_EQ(d.word0, 3u);
    EXPECT_EQ(d.word1, 0u);
    EXPECT_EQ(d.freshBase, 0x19889u);
    EXPECT_EQ(d.codeBase, (const void*)vell_handlers);
    EXPECT_EQ(d.libraryCount, 2u);
    EXPECT_EQ(d.libraries[0], &vell_library1);
    EXPECT_EQ(d.libraries[1], &vell_library2);
    EXPECT_EQ(d.templates, (const void*)vell_main_template);
    EXPECT_EQ(d.templatesSize, vell_main_template_size);
}

TEST(Image, ForeignCommandsInDeclarationOrder) {
    ASSERT_EQ(d.foreignCount, 3u);
    EXPECT_STREQ(d.foreignLibraries[0], "kernel32.dll");
    EXPECT_STREQ(d.foreignNames[0], "lstrcpyn");
    EXPECT_STREQ(d.foreignLibraries[1], "ole32.dll");
    EXPECT_STREQ(d.foreignNames[1], "CoInitialize");
    EXPECT_STREQ(d.foreignLibraries[2], "ole32.dll");
    EXPECT_STREQ(d.foreignNames[2], "CoUninitialize");
}

// Every constant the module may hand around as a value lies in the
// constant area, so that freeing it is harmless.
TEST(Image, ConstantsLieInTheConstantArea) {
    ASSERT_GT(d.constantsSize, 0u);
    EXPECT_TRUE(inConstants(mod_emptyText));
    EXPECT_TRUE(inConstants(mod_emptyBytes));
    EXPECT_TRUE(inConstants(mod_emptyArray));
    EXPECT_TRUE(inConstants(K("转码完毕:")));
    EXPECT_TRUE(inConstants(d.foreignNames[2]));
    EXPECT_EQ(mod_emptyArray[0], 1u);
    EXPECT_EQ(mod_emptyArray[1], 0u);
    EXPECT_STREQ(K("转码完毕:"), "转码完毕:");
}

TEST(Image, HandlerSlotsMatchTheTemplateOffsets) {
    EXPECT_EQ((const void*)vell_handlers[0], (const void*)ChooseFolderHandler);  // offset 0
    EXPECT_EQ((const void*)vell_handlers[1], (const void*)TranscodeHandler);     // offset 4
    EXPECT_EQ((const void*)vell_handlers[2], (const void*)CloseRequested);       // offset 8
    EXPECT_EQ((const void*)vell_handlers[3], (const void*)FolderDropped);        // offset 12
}

TEST(Image, CloseIsAllowedWhenNoJobRuns) {
    int32_t returned = 0;
    CloseRequested(0, nullptr, &returned);
    EXPECT_EQ(returned, 0);  // no value: nothing refuses the close
}

class ModuleTexts : public ::testing::Test {
protected:
    void SetUp() override { g_rt.heap = GetProcessHeap(); }
};

TEST_F(ModuleTexts, ConcatIsNeverNull) {
    char* e = ConcatTexts(2, nullptr, "");
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e, "");
    vell_services.Free(e);
    char* s = ConcatTexts(4, "搜索[", "1", "/", "9");
    EXPECT_STREQ(s, "搜索[1/9");
    vell_services.Free(s);
}

TEST_F(ModuleTexts, CompareAsUnsignedBytes) {
    EXPECT_EQ(CompareTexts(nullptr, ""), 0);
    EXPECT_EQ(CompareTexts(nullptr, "a"), -1);
    EXPECT_EQ(CompareTexts("\xB0", "a"), 1);  // a lead byte sorts above ASCII
    EXPECT_EQ(CompareTexts(".", ".."), -1);
    EXPECT_EQ(CompareTexts("..", ".."), 0);
}

TEST_F(ModuleTexts, AppendGrowsAConstantEmptyArray) {
    const uint8_t* start = (const uint8_t*)d.constants;
    g_rt.constantsStart = start;
    g_rt.constantsEnd = start + d.constantsSize;
    void* a = (void*)mod_emptyArray;
    mod_AppendText(&a, ConcatTexts(1, "x"));
    mod_AppendText(&a, ConcatTexts(1, "y"));
    ASSERT_NE(a, (void*)mod_emptyArray);
    EXPECT_EQ(mod_ArrayCount(a), 2);
    EXPECT_STREQ(mod_ArrayText(a, 2, 1, 1), "y");
    EXPECT_EQ(mod_emptyArray[1], 0u);  // the constant is untouched
    mod_ReplaceWithEmptyArray(&a);
    EXPECT_EQ(a, (void*)mod_emptyArray);
    g_rt.constantsStart = g_rt.constantsEnd = nullptr;
}

}  // namespace
