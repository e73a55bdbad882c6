#include "tests/mainwin/main_fixture.h"

#include <cstdlib>

namespace mainwin_test {

void MainWindowTest::SetUp() {
    ASSERT_TRUE(config.isValid());
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    settings.start("orvane.INI");
}

void MainWindowTest::TearDown() { settings.stop(); }

void MainWindowTest::runMain() {
    user.run([this] {
        // As Main does, with the procedure kept where the steps can see it.
        mainwin::MainWindow window(runtime);
        main_ = &window;
        window.run();
        window.freeQueues();
        main_ = nullptr;
    });
}

mainwin::MainWindow& MainWindowTest::main() {
    if (main_ == nullptr) {
        ADD_FAILURE() << "main() is only valid while the window runs";
        std::abort();
    }
    return *main_;
}

testing_support::ScriptedUser& MainWindowTest::forget() {
    return user.then([this](Window&) {
        capture.clearCalls();
        messages.clear();
    });
}

void MainWindowTest::giveDrivers(int count) {
    capture.drivers.clear();
    for (int i = 0; i < count; ++i) {
        capture.drivers.push_back({"Driver" + std::to_string(i), "v" + std::to_string(i)});
    }
}

Calls MainWindowTest::callsBeforeTeardown() {
    Calls calls = capture.calls();
    EXPECT_GE(calls.size(), teardownCalls.size());
    if (calls.size() < teardownCalls.size()) return calls;
    const Calls tail(calls.end() - static_cast<std::ptrdiff_t>(teardownCalls.size()), calls.end());
    EXPECT_EQ(tail, teardownCalls);
    calls.resize(calls.size() - teardownCalls.size());
    return calls;
}

}  // namespace mainwin_test
