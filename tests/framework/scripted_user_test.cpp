// The scripted user: what a user cannot do fails the test with a clear
// message; modal boxes are reached and dismissed; leftover steps are reported.

#include "platform/framework/message.h"
#include "platform/framework/window.h"
#include "tests/framework/test_layout.h"
#include "tests/support/scripted_user.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace framework_test {
namespace {

using platform::ControlNumber;
using platform::Window;

// Runs the test window with `script`; "&Close" posts the close-window event.
std::vector<ControlNumber> runWindow(platform::WindowDecl decl, testing_support::ScriptedUser& user,
                                     std::function<void(ControlNumber)> extra = {}) {
    Window window(decl);
    std::vector<ControlNumber> accepted;
    window.setAcceptedHandler([&](ControlNumber c) {
        accepted.push_back(c);
        if (extra) extra(c);
        if (c == CLOSE_BUTTON) window.postCloseWindow();
    });
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    return accepted;
}

TEST(ScriptedUser, CannotChooseADisabledButton) {
    platform::WindowDecl decl = testLayout();
    decl.controls[8].disabled = true;
    EXPECT_NONFATAL_FAILURE(
        {
            testing_support::ScriptedUser user;
            user.press("&OK").press("&Close");
            EXPECT_TRUE(runWindow(decl, user).empty());
        },
        "step 1 (choose \"&OK\"): cannot choose it in \"Test Window\": it is disabled");
}

TEST(ScriptedUser, CannotChooseAHiddenItemOrAnItemOfADisabledMenu) {
    platform::WindowDecl decl = testLayout();
    decl.controls[1].hidden = true;    // "&Open..."
    decl.controls[4].disabled = true;  // the "&View" menu
    EXPECT_NONFATAL_FAILURE(
        {
            testing_support::ScriptedUser user;
            user.choose("&Open...");
            runWindow(decl, user);
        },
        "it is hidden");
    EXPECT_NONFATAL_FAILURE(
        {
            testing_support::ScriptedUser user;
            user.choose(PREVIEW_ITEM);
            runWindow(decl, user);
        },
        "its menu is disabled");
}

TEST(ScriptedUser, ReportsUnknownControlsAndLeftoverSteps) {
    EXPECT_NONFATAL_FAILURE(
        {
            testing_support::ScriptedUser user;
            user.press("Nowhere");
            runWindow(testLayout(), user);
        },
        "has no such control");
    EXPECT_NONFATAL_FAILURE(
        {
            testing_support::ScriptedUser user;
            user.press("&Close").press("&OK");
            runWindow(testLayout(), user);
        },
        "1 scripted step(s) left over");
}

TEST(ScriptedUser, ReachesAModalBoxOpenedByAHandler) {
    testing_support::ScriptedUser user;
    std::vector<std::string> order;
    user.press("&OK").acceptModal().then([&](Window&) { order.push_back("after box"); }).press("&Close");
    const auto accepted = runWindow(testLayout(), user, [&](ControlNumber c) {
        if (c != OK_BUTTON) return;
        platform::message("Could not capture frame");
        order.push_back("box closed");
    });
    EXPECT_EQ(accepted, (std::vector<ControlNumber>{OK_BUTTON, CLOSE_BUTTON}));
    EXPECT_EQ(order, (std::vector<std::string>{"box closed", "after box"}));
}

TEST(ScriptedUser, AStepCannotActBehindAModalBox) {
    EXPECT_NONFATAL_FAILURE(
        {
            testing_support::ScriptedUser user;
            user.press("&OK").press("&Close");
            runWindow(testLayout(), user, [](ControlNumber c) {
                if (c == OK_BUTTON) platform::message("in the way");
            });
        },
        "a modal box is open");
}

TEST(ScriptedUser, ClosingFromAMissingSystemMenuFails) {
    platform::WindowDecl decl = testLayout();
    decl.systemMenu = false;
    EXPECT_NONFATAL_FAILURE(
        {
            testing_support::ScriptedUser user;
            user.closeFromSystemMenu();
            runWindow(decl, user);
        },
        "has no system menu");
}

TEST(ScriptedUser, FindsControlsByNumberUseNameAndTextWithoutAmpersands) {
    testing_support::ScriptedUser user;
    user.press(OK_BUTTON).press("?OKBUTTON").press("OK").choose("Exit").press("Close");
    EXPECT_EQ(runWindow(testLayout(), user),
              (std::vector<ControlNumber>{OK_BUTTON, OK_BUTTON, OK_BUTTON, EXIT_ITEM, CLOSE_BUTTON}));
}

}  // namespace
}  // namespace framework_test
