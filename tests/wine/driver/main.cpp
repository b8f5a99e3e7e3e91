// The Wine tests' main: GoogleTest, with a screenshot of the virtual screen
// at the first failure of every test, while its windows are still up
// (TW_WORK/screenshots/<suite>.<test>.png).
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace {

class ScreenshotAtFailure : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { taken_ = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (!result.failed() || taken_) return;
        taken_ = true;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        drv::Screenshot(test ? std::string(test->test_suite_name()) + "." + test->name() : "outside-a-test");
    }
    bool taken_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotAtFailure);
    return RUN_ALL_TESTS();
}
