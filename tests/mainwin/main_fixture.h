#pragma once
// Runs the real main window with the recording fake of the capture component,
// the message recorder and a scripted user, in a settings folder of its own.

#include "mainwin/main_controls.h"
#include "mainwin/main_window.h"
#include "shell/error_manager.h"
#include "shell/runtime.h"
#include "shell/window_settings.h"
#include "tests/support/fake_capture.h"
#include "tests/support/message_recorder.h"
#include "tests/support/scripted_user.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mainwin_test {

using Calls = std::vector<std::string>;
using platform::ControlNumber;
using platform::Window;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs Main while the script plays; steps may look at main() meanwhile.
    void runMain();
    mainwin::MainWindow& main();

    // A step that forgets the calls and messages so far.
    testing_support::ScriptedUser& forget();
    // Gives the fake `count` drivers "Driver<i>" / "v<i>".
    void giveDrivers(int count);
    // The calls after the teardown's two last ones have been checked and dropped.
    Calls callsBeforeTeardown();

    QTemporaryDir config;
    shell::ErrorManager errors;
    shell::WindowSettings settings;
    testing_support::FakeCapture capture;
    shell::Runtime runtime{errors, settings, capture};
    testing_support::MessageRecorder messages;
    testing_support::ScriptedUser user;

private:
    mainwin::MainWindow* main_ = nullptr;
};

// The teardown's calls, always last.
inline const Calls teardownCalls{"DRIVERDISCONNECT()", "DESTROYCAPTUREWINDOW()"};

}  // namespace mainwin_test
