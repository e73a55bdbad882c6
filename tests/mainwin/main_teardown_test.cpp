// Closing the main window: every way ends in the same teardown, which
// releases the driver and the capture window and saves the position.

#include "tests/mainwin/main_fixture.h"

#include "platform/profile.h"
#include "shell/host_window.h"

namespace mainwin_test {
namespace {

using namespace mainwin;
using testing::ElementsAreArray;

struct Closing {
    const char* name;
    std::function<void(testing_support::ScriptedUser&)> close;
};

class MainTeardownTest : public MainWindowTest, public testing::WithParamInterface<Closing> {};

TEST_P(MainTeardownTest, ReleasesTheCaptureAndSavesThePositionUnderMain) {
    GetParam().close(user);
    // The capture is released before the position is saved and the name unregistered.
    Calls atRelease;
    capture.onCall = [&](std::string_view call) {
        atRelease.push_back(std::string(call) + " saved=" +
                            profile::GetPrivateProfileString("Main", "Width", "none", "orvane.INI") +
                            " procedure=" + errors.currentProcedure());
    };
    // Through the program's own entry.
    user.run([this] { mainwin::Main(runtime); });

    EXPECT_THAT(capture.calls(), ElementsAreArray(teardownCalls));
    EXPECT_THAT(atRelease, ElementsAreArray({"DRIVERDISCONNECT() saved=none procedure=Main",
                                             "DESTROYCAPTUREWINDOW() saved=none procedure=Main"}));
    EXPECT_THAT(messages.messages(), testing::IsEmpty());
    EXPECT_EQ(profile::GetPrivateProfileString("Main", "Maximize", "", "orvane.INI"), "No");
    EXPECT_EQ(profile::GetPrivateProfileString("Main", "Minimize", "", "orvane.INI"), "No");
    EXPECT_EQ(profile::GetPrivateProfileString("Main", "Width", "", "orvane.INI"), "399");
    EXPECT_EQ(profile::GetPrivateProfileString("Main", "Height", "", "orvane.INI"), "242");
    EXPECT_NE(profile::GetPrivateProfileString("Main", "XPos", "none", "orvane.INI"), "none");
    EXPECT_EQ(errors.currentProcedure(), "");
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, MainTeardownTest,
                         testing::Values(Closing{"Exit", [](auto& u) { u.choose("&Exit"); }},
                                         Closing{"Close", [](auto& u) { u.press("&Close"); }},
                                         Closing{"SystemMenu", [](auto& u) { u.closeFromSystemMenu(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, TeardownAfterACaptureStillEndsWithDisconnectThenDestroy) {
    giveDrivers(1);
    user.press(ENUMERATEDRIVERS).press(STARTCAPTURE);
    forget().choose(FILEEXIT);
    runMain();
    EXPECT_THAT(capture.calls(), ElementsAreArray(teardownCalls));
}

TEST_F(MainWindowTest, ATeardownRepeatedReleasesTheCaptureAgainButSavesNothing) {
    mainwin::MainWindow window(runtime);
    user.press(CANCELBUTTON);
    user.run([&] { window.run(); });
    ASSERT_TRUE(profile::WritePrivateProfileString("Main", "Width", "123", "orvane.INI"));
    capture.clearCalls();

    EXPECT_NE(window.tearDown(), 0);  // already torn down
    EXPECT_THAT(capture.calls(), ElementsAreArray(teardownCalls));
    EXPECT_EQ(profile::GetPrivateProfileString("Main", "Width", "", "orvane.INI"), "123");
}

// A frame that refuses to set the window up.
class RefusedMainWindow : public mainwin::MainWindow {
public:
    using MainWindow::MainWindow;

protected:
    int frameworkSetUp() override { return 1; }
};

TEST_F(MainWindowTest, RefusedSetUpStillReleasesTheCaptureButSavesNoPosition) {
    RefusedMainWindow window(runtime);
    window.run();
    EXPECT_FALSE(window.opened());
    EXPECT_THAT(capture.calls(), ElementsAreArray(teardownCalls));
    EXPECT_EQ(profile::GetPrivateProfileString("Main", "Maximize", "none", "orvane.INI"), "none");
    EXPECT_EQ(errors.currentProcedure(), "");
}

TEST_F(MainWindowTest, HostWindowIsRecordedByEnumerationAndForgottenWithTheWindow) {
    EXPECT_EQ(shell::hostWindow(), nullptr);
    user.then([](Window&) { EXPECT_EQ(shell::hostWindow(), nullptr); });
    user.press(ENUMERATEDRIVERS).then([](Window& w) { EXPECT_EQ(shell::hostWindow(), &w); });
    user.press(CANCELBUTTON);
    runMain();
    EXPECT_EQ(shell::hostWindow(), nullptr);
}

}  // namespace
}  // namespace mainwin_test
