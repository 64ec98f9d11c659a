// The Windows presenter for the whole run (under Wine, on a virtual X display); the test's
// thread is the user-interface thread.
#include <gtest/gtest.h>

#include "framework/headless_presenter.h"
#include "framework/win32/win32_presenter.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    SetPresenter(std::make_unique<Win32Presenter>());
    const int result = RUN_ALL_TESTS();
    SetPresenter(std::make_unique<HeadlessPresenter>());
    return result;
}
