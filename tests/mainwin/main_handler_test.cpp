// The handler's after-handling: "&Frames..." and "&Palette..." open their
// dialogs between the update and the reset step, "Enumerate Drivers" begins
// with the update step, and "&Video..." has neither.

#include "tests/mainwin/main_fixture.h"

#include "shell/host_window.h"

namespace mainwin_test {
namespace {

using namespace mainwin;
using testing::ElementsAreArray;

// A component of the window manager's list that writes its steps into a shared journal.
class JournalComponent : public platform::WindowComponent {
public:
    explicit JournalComponent(Calls& journal) : journal_(journal) {}
    void update() override { journal_.push_back("update"); }
    void reset(bool force) override { journal_.push_back(force ? "reset(1)" : "reset(0)"); }

private:
    Calls& journal_;
};

struct StepsCase {
    const char* name;
    ControlNumber control;
    Calls journal;  // the component's steps, the dialog's opening and the capture calls, in order
};

class AfterHandlingTest : public MainWindowTest, public testing::WithParamInterface<StepsCase> {};

TEST_P(AfterHandlingTest, RunsTheUpdateAndResetStepsAroundItsWork) {
    const StepsCase& c = GetParam();
    Calls journal;
    JournalComponent component(journal);
    giveDrivers(1);
    capture.onCall = [&](std::string_view call) {
        if (call == "ENUMCAPDRIVERS()") {
            // The host window is recorded before the component is asked.
            journal.push_back(shell::hostWindow() == &main().window() ? "host recorded" : "host missing");
        }
        journal.emplace_back(call);
    };
    user.then([&](Window&) { main().addComponent(component); });
    user.choose(c.control);
    if (c.control != ENUMERATEDRIVERS) {
        user.then([&](Window& dialog) { journal.push_back("open " + dialog.hostWidget()->windowTitle().toStdString()); })
            .closeFromSystemMenu();
    }
    user.then([&](Window&) {
        EXPECT_THAT(journal, ElementsAreArray(c.journal));
        capture.onCall = nullptr;
    });
    user.press(CANCELBUTTON);
    runMain();
}

INSTANTIATE_TEST_SUITE_P(
    Controls, AfterHandlingTest,
    testing::Values(StepsCase{"Frames", CAPTUREFRAMES, {"update", "open Capture Frames", "reset(0)"}},
                    StepsCase{"Palette", CAPTUREPALETTE, {"update", "open Capture Palette", "reset(0)"}},
                    StepsCase{"Video", CAPTUREVIDEO, {"open Capture Video Sequence"}},
                    StepsCase{"Enumerate",
                              ENUMERATEDRIVERS,
                              {"update", "host recorded", "ENUMCAPDRIVERS()", "GETDRIVERDESCRIPTION(0,128,128)"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, ResetAfterADialogShowsTheChosenRowAgain) {
    // The list's value follows the chosen row, so the redisplay keeps that row.
    giveDrivers(3);
    user.press(ENUMERATEDRIVERS).selectRow(LOC_DRIVER, 3).choose(CAPTUREFRAMES).closeFromSystemMenu();
    user.then([this](Window& w) {
        EXPECT_EQ(w.listChoice(LOC_DRIVER), 3u);
        EXPECT_EQ(main().locDriver(), "Driver2 v2");
    });
    user.press(STARTCAPTURE).then([this](Window&) { EXPECT_EQ(capture.count("DRIVERCONNECT"), 1u); });
    user.press(CANCELBUTTON);
    runMain();
    const Calls calls = capture.calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "DRIVERCONNECT(2)"), calls.end());
}

}  // namespace
}  // namespace mainwin_test
