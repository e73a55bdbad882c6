// SIGTERM closes every open window through its teardown, innermost first.

#include "shell/termination.h"
#include "shell/window_procedure.h"
#include "tests/framework/frame_fixture.h"
#include "tests/framework/test_layout.h"
#include "platform/framework/message.h"
#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <csignal>

namespace framework_test {
namespace {

class TeardownLog : public shell::WindowProcedure {
public:
    TeardownLog(shell::Runtime& runtime, std::string name, const platform::WindowDecl& layout,
                std::vector<std::string>& log, std::function<void()> onOk = {})
        : WindowProcedure(runtime, std::move(name), layout), log_(log), onOk_(std::move(onOk)) {}

protected:
    int takeAccepted(platform::ControlNumber control) override {
        if (control == OK_BUTTON && onOk_) onOk_();
        return frameworkHandling(control);
    }
    void tearDownSteps() override { log_.push_back(procedureName() + " torn down"); }

private:
    std::vector<std::string>& log_;
    std::function<void()> onOk_;
};

TEST_F(FrameTest, TerminationClosesANestedDialogAndTheMainWindowThroughTheirTeardowns) {
    shell::closeWindowsOnTermination();
    std::vector<std::string> log;
    platform::WindowDecl dialog = testLayout();
    dialog.title = "Dialog";
    TeardownLog main(runtime, "Main", testLayout(), log, [&] {
        TeardownLog nested(runtime, "Dialog", dialog, log);
        nested.run();
        log.push_back("dialog returned");
    });
    testing_support::ScriptedUser user;
    user.press("&OK").then([](platform::Window& active) {
        ASSERT_EQ(active.decl().title, "Dialog");
        ::raise(SIGTERM);
    });
    user.run([&] { main.run(); });
    EXPECT_EQ(log, (std::vector<std::string>{"Dialog torn down", "dialog returned", "Main torn down"}));
    EXPECT_EQ(ini("Main", "Maximize"), "No");
    EXPECT_EQ(ini("Dialog", "Maximize"), "No");
}

TEST_F(FrameTest, TerminationDismissesAMessageBoxThatWouldHoldTheWindowsOpen) {
    shell::closeWindowsOnTermination();
    std::vector<std::string> log;
    TeardownLog main(runtime, "Main", testLayout(), log, [&] {
        QTimer::singleShot(0, [] { ::raise(SIGTERM); });
        platform::message("File capture.jpg was created");
        log.push_back("box closed");
    });
    // Should the box outlive the termination, it is closed here so that the test ends.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            log.push_back("box left open");
            box->close();
        }
    });
    guard.start(5000);
    testing_support::ScriptedUser user;
    user.press("&OK");
    user.run([&] { main.run(); });
    EXPECT_EQ(log, (std::vector<std::string>{"box closed", "Main torn down"}));
    EXPECT_EQ(ini("Main", "Maximize"), "No");
}

}  // namespace
}  // namespace framework_test
