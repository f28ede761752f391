// Directory enumeration (utilities 0 and 1) on a scratch folder.
#include <set>
#include "tests/support/lib_env.h"

namespace {

using Names = std::set<std::string>;

class FindFile : public ::testing::Test {
protected:
    void SetUp() override {
        connectLibrary();
        dir.write("a.yml", "a");
        dir.write("b.txt", "b");
        dir.write("noext", "n");
        dir.write("NOEXT2", "n");
        SetFileAttributesA(dir.write("h.yml", "h").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA(dir.write("r.yml", "r").c_str(), FILE_ATTRIBUTE_READONLY);
        dir.mkdir("sub");
        dir.mkdir("d.yml");
        SetFileAttributesA(dir.mkdir(".hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
        dir.write("sub\\inner.yml", "i");
    }
    ScratchDir dir;

    // Runs one enumeration to its end, as the recursive search does.
    Names enumerate(const std::string& pattern, uint32_t mask, uint32_t filesOnly) {
        Names names;
        uint32_t handle = 0;
        std::string p = dir.path() + "\\" + pattern;
        char* name = rt_FindFile(p.c_str(), mask, filesOnly, &handle);
        int guard = 0;
        while (name && guard++ < 100) {
            EXPECT_NE(handle, 0u) << "an accepted entry keeps the handle";
            EXPECT_EQ(strchr(name, '\\'), nullptr) << "no directory part";
            EXPECT_TRUE(names.insert(name).second) << name;
            rt_Free(name);
            name = rt_FindFile("", mask, filesOnly, &handle);
        }
        EXPECT_EQ(handle, 0u) << "the end of the search closes the handle";
        rt_CloseFind(handle);
        return names;
    }
};

TEST_F(FindFile, FilesOnlyNeverReturnsADirectory) {
    EXPECT_EQ(enumerate("*.*", 0, 1), (Names{"a.yml", "b.txt", "noext", "NOEXT2", "h.yml", "r.yml"}));
    EXPECT_EQ(enumerate("*.yml", 0, 1), (Names{"a.yml", "h.yml", "r.yml"}));
    EXPECT_EQ(enumerate("*.*", 0x10, 1), enumerate("*.*", 0, 1)) << "the mask does not count";
    EXPECT_EQ(enumerate("*.json", 0, 1), Names{});
}

// The job's pattern for an empty extension item.
TEST_F(FindFile, StarDotMatchesNamesWithoutExtension) {
    EXPECT_EQ(enumerate("*.", 0, 1), (Names{"noext", "NOEXT2"}));
    EXPECT_EQ(enumerate("*.", 0x10, 0), (Names{".", "..", "sub"}));
    EXPECT_EQ(enumerate("no*.", 0, 1), (Names{"noext", "NOEXT2"}));
    // Only that pattern: others keep the platform's matching.
    EXPECT_EQ(enumerate("*.yml", 0, 1), (Names{"a.yml", "h.yml", "r.yml"}));
    EXPECT_EQ(enumerate("sub\\*.", 0, 1), Names{});
}

// The platform trims trailing spaces and dots and would match everything.
TEST_F(FindFile, TrailingSpaceOrDotMatchesNothing) {
    for (const char* p : {"*. ", "*..", "*.yml ", "*.yml.", "*. .", "*.*."}) {
        EXPECT_EQ(enumerate(p, 0, 1), Names{}) << "'" << p << "'";
        EXPECT_EQ(rt_LastFindError(), 0u) << "nothing to match is no failure";
    }
    EXPECT_EQ(enumerate("*.", 0, 1), (Names{"noext", "NOEXT2"})) << "the no-extension form stays";
}

TEST_F(FindFile, LastErrorTellsAnUnreadableFolderFromAnEmptyMatch) {
    EXPECT_EQ(enumerate("*.json", 0, 1), Names{});
    EXPECT_EQ(rt_LastFindError(), 0u);
    EXPECT_EQ(enumerate("nowhere\\*.*", 0x10, 0), Names{});
    EXPECT_NE(rt_LastFindError(), 0u);
    EXPECT_EQ(enumerate("a?\\*.*", 0x10, 0), Names{}) << "a name the code page turned into '?'";
    EXPECT_NE(rt_LastFindError(), 0u);
    EXPECT_EQ(enumerate(std::string(300, 'x') + "\\*.*", 0x10, 0), Names{});
    EXPECT_NE(rt_LastFindError(), 0u);
    EXPECT_EQ(enumerate("*.*", 0x10, 0).size(), 5u);
    EXPECT_EQ(rt_LastFindError(), 0u) << "a start that succeeds clears it";
}

// A later search on a recycled handle must not inherit the rule.
TEST_F(FindFile, StarDotRuleEndsWithItsSearch) {
    uint32_t handle = 0;
    std::string dotless = dir.path() + "\\*.";
    char* name = rt_FindFile(dotless.c_str(), 0, 1, &handle);
    ASSERT_NE(name, nullptr);
    rt_Free(name);
    rt_CloseFind(handle);
    for (int i = 0; i < 3; i++) EXPECT_EQ(enumerate("*.txt", 0, 1), (Names{"b.txt"}));
}

TEST_F(FindFile, DirectoryMaskReturnsOnlyDirectoriesWithDots) {
    EXPECT_EQ(enumerate("*.*", 0x10, 0), (Names{".", "..", "sub", "d.yml", ".hid"}));
    // Bits outside 0x37 are dropped: 0x90 acts as 0x10.
    EXPECT_EQ(enumerate("*.*", 0x90, 0), (Names{".", "..", "sub", "d.yml", ".hid"}));
}

TEST_F(FindFile, AttributeMasks) {
    EXPECT_EQ(enumerate("*.*", FILE_ATTRIBUTE_HIDDEN, 0), (Names{"h.yml", ".hid"}));
    EXPECT_EQ(enumerate("*.*", FILE_ATTRIBUTE_READONLY, 0), (Names{"r.yml"}));
    // Mask 0 accepts only entries whose attribute word is zero; none of
    // these is a directory, hidden or read-only.
    for (const std::string& n : enumerate("*.*", 0, 0)) {
        EXPECT_TRUE(n == "a.yml" || n == "b.txt" || n == "noext" || n == "NOEXT2") << n;
    }
}

TEST_F(FindFile, ContinuingWithoutAHandleReturnsNull) {
    uint32_t handle = 0;
    EXPECT_EQ(rt_FindFile("", 0, 1, &handle), nullptr);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(rt_FindFile(nullptr, 0x10, 0, &handle), nullptr);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(rt_FindFile("x", 0, 1, nullptr), nullptr);
    rt_CloseFind(0);
}

TEST_F(FindFile, FailedStartStoresZeroAndClosesTheOldSearch) {
    uint32_t handle = 0;
    std::string all = dir.path() + "\\*.*";
    char* first = rt_FindFile(all.c_str(), 0x10, 0, &handle);
    ASSERT_NE(first, nullptr);
    rt_Free(first);
    ASSERT_NE(handle, 0u);
    std::string missing = dir.path() + "\\nowhere\\*.*";
    EXPECT_EQ(rt_FindFile(missing.c_str(), 0x10, 0, &handle), nullptr);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(rt_FindFile("", 0x10, 0, &handle), nullptr);
}

TEST_F(FindFile, RestartingReplacesTheSearchInTheVariable) {
    uint32_t handle = 0;
    std::string all = dir.path() + "\\*.*";
    char* name = rt_FindFile(all.c_str(), 0x10, 0, &handle);
    ASSERT_NE(name, nullptr);
    rt_Free(name);
    std::string yml = dir.path() + "\\sub\\*.yml";
    name = rt_FindFile(yml.c_str(), 0, 1, &handle);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "inner.yml");
    rt_Free(name);
    EXPECT_EQ(rt_FindFile("", 0, 1, &handle), nullptr);
    EXPECT_EQ(handle, 0u);
}

TEST_F(FindFile, ReachableThroughTheUtilitySlot) {
    uint32_t handle = 0;
    std::string yml = dir.path() + "\\sub\\*.yml";
    char* name = (char*)(uintptr_t)(uint32_t)vell_services.CallUtility(
        UTIL_FindFile, yml.c_str(), (uint32_t)0, (uint32_t)1, &handle);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "inner.yml");
    rt_Free(name);
    EXPECT_EQ(vell_services.CallUtility(UTIL_FindFile, "", (uint32_t)0, (uint32_t)1, &handle), 0);
    EXPECT_EQ(handle, 0u);
    vell_services.CallUtility(UTIL_CloseFind, handle);
}

}  // namespace
