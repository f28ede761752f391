// What the tests of the window share: a fresh tool window and an empty
// folder named after the test.
#pragma once
#include <gtest/gtest.h>
#include "driver.h"

namespace e2e {

class WithTool : public ::testing::Test {
protected:
    Tool tool;
    std::string root;
    void SetUp() override {
        root = tempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(tool.start()) << "no window captioned Vellumor";
    }
    void TearDown() override {
        tool.kill();
        removeTree(root);
    }
};

}  // namespace e2e
