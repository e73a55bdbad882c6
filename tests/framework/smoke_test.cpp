#include "platform/framework/window.h"
#include "tests/framework/test_layout.h"
#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

namespace framework_test {
namespace {

TEST(Smoke, OpensRunsAndCloses) {
    platform::Window window(testLayout());
    std::int32_t preview = 1;
    window.bind(PREVIEW_ITEM, &preview);
    std::vector<platform::ControlNumber> accepted;
    window.setAcceptedHandler([&](platform::ControlNumber c) {
        accepted.push_back(c);
        if (c == CLOSE_BUTTON) window.postCloseWindow();
    });
    testing_support::ScriptedUser user;
    user.choose("&Preview").press("?OKBUTTON").press("Close");
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    EXPECT_EQ(accepted, (std::vector<platform::ControlNumber>{PREVIEW_ITEM, OK_BUTTON, CLOSE_BUTTON}));
    EXPECT_EQ(preview, 0);
}

}  // namespace
}  // namespace framework_test
