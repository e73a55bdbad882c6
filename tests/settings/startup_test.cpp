// Start-up and shutdown: the order of the steps, the full-window-drag
// setting, and a runtime that cannot start.

#include "platform/profile.h"
#include "settings_fixture.h"
#include "shell/startup.h"
#include "tests/support/fake_capture.h"

namespace settings_test {
namespace {

using Log = std::vector<std::string>;

class StartupTest : public SettingsFolderTest {
protected:
    // A program whose every part logs when it runs, and what the settings file holds then.
    shell::ProgramParts parts(platform::DragSetting& drag) {
        shell::ProgramParts p;
        p.initialiseRuntime = [this] { return log("init"), initSucceeds; };
        p.shutDownRuntime = [this] { log("shutdown"); };
        p.captureObject = [this]() -> capture::VideoCapture& { return log("capture"), capture; };
        p.dragSetting = &drag;
        p.runMain = [this](shell::Runtime& runtime) {
            log("main");
            EXPECT_EQ(&runtime.capture, &capture);
            entriesSeenByMain = runtime.windowSettings.entries().size();
            if (mainChangesDrag) mainChangesDrag();
        };
        return p;
    }
    void log(const std::string& event) {
        events.push_back(event + (fs::exists(pathOf("orvane.INI")) ? " [file]" : ""));
    }

    bool initSucceeds = true;
    testing_support::FakeCapture capture;
    Log events;
    std::size_t entriesSeenByMain = 0;
    std::function<void()> mainChangesDrag;
};

struct DragCase {
    std::int32_t atStart;
    Log events;
    std::int32_t atEnd;
};

void PrintTo(const DragCase& c, std::ostream* os) { *os << "drag " << c.atStart; }

const DragCase dragCases[] = {
    {1, {"init", "capture", "get", "set 0", "main", "set 1", "shutdown [file]"}, 1},
    {0, {"init", "capture", "get", "main", "shutdown [file]"}, 0},
    {2, {"init", "capture", "get", "main", "shutdown [file]"}, 2},
    {-1, {"init", "capture", "get", "main", "shutdown [file]"}, -1},
};

class StartupDrag : public StartupTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(StartupDrag, RunsTheStepsInOrderAndTouchesDragOnlyWhenExactlyOne) {
    const DragCase& c = GetParam();
    platform::FakeDragSetting drag(c.atStart);
    drag.onCall = [this](const std::string& call) { log(call); };
    shell::ProgramParts p = parts(drag);
    EXPECT_EQ(shell::runProgram(p), 0);
    EXPECT_EQ(events, c.events) << "drag " << c.atStart;
    EXPECT_EQ(drag.value(), c.atEnd);
    // The bookkeeping is written before the runtime goes, and the capture
    // object was only made ready, never called.
    EXPECT_EQ(contents("orvane.INI"), "[__Dont_Touch_Me__]\nSectors=0\n");
    EXPECT_TRUE(capture.calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Values, StartupDrag, ::testing::ValuesIn(dragCases));

TEST_F(StartupTest, DragIsReadOnceAndComparedTwice) {
    // Another instance switches the setting while this one runs: this one
    // still switches it on at the end, and reads it no second time.
    platform::FakeDragSetting drag(1);
    mainChangesDrag = [&] {
        std::int32_t other = 0;
        drag.set(7);
        drag.get(other);
    };
    shell::ProgramParts p = parts(drag);
    shell::runProgram(p);
    EXPECT_EQ(drag.calls(), (Log{"get", "set 0", "set 7", "get", "set 1"}));
    EXPECT_EQ(drag.value(), 1);
}

TEST_F(StartupTest, SystemWithoutDragSettingRunsNormally) {
    shell::ProgramParts p = parts(platform::systemDragSetting());
    std::int32_t value = 42;
    EXPECT_FALSE(platform::systemDragSetting().get(value));
    EXPECT_EQ(value, 42);
    EXPECT_EQ(shell::runProgram(p), 0);
    EXPECT_EQ(events, (Log{"init", "capture", "main", "shutdown [file]"}));
}

TEST_F(StartupTest, BookkeepingIsReadBeforeMainAndWrittenAfter) {
    put("orvane.INI", "[Main]\nXPos=3\n[__Dont_Touch_Me__]\nSectors=1\nSectors_1=a,b,c\n");
    platform::FakeDragSetting drag(0);
    shell::ProgramParts p = parts(drag);
    shell::runProgram(p);
    EXPECT_EQ(entriesSeenByMain, 1u);
    EXPECT_EQ(contents("orvane.INI"), "[Main]\nXPos=3\n[__Dont_Touch_Me__]\nSectors=1\nSectors_1=a,b,c\n");
}

TEST_F(StartupTest, FailedRuntimeEndsWithZeroAndTouchesNothing) {
    initSucceeds = false;
    platform::FakeDragSetting drag(1);
    shell::ProgramParts p = parts(drag);
    EXPECT_EQ(shell::runProgram(p), 0);
    EXPECT_EQ(events, Log{"init"});
    EXPECT_TRUE(drag.calls().empty());
    EXPECT_FALSE(fs::exists(folder()));
}

// The Qt runtime as the program's step 1.
class QtRuntime : public StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            if (const char* v = std::getenv(name)) saved_.emplace_back(name, v);
            ::unsetenv(name);
        }
    }
    void TearDown() override {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) ::unsetenv(name);
        for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
        StartupTest::TearDown();
    }
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(QtRuntime, NoDisplayEndsTheProgramBeforeAnything) {
    std::optional<QApplication> app;
    platform::FakeDragSetting drag(1);
    shell::ProgramParts p = parts(drag);
    p.initialiseRuntime = [&] { return shell::initialiseQtRuntime(app); };
    EXPECT_EQ(shell::runProgram(p), 0);
    EXPECT_FALSE(app.has_value());
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(drag.calls().empty());
    EXPECT_FALSE(fs::exists(folder()));
}

TEST_F(QtRuntime, PlatformThatFailsInsideQtExitsWithZero) {
    ::setenv("QT_QPA_PLATFORM", "no-such-platform", 1);
    EXPECT_EXIT(
        {
            std::optional<QApplication> app;
            shell::initialiseQtRuntime(app);
            std::exit(3);  // not reached: Qt cannot start this platform
        },
        ::testing::ExitedWithCode(0), "cannot start without a display");
}

TEST_F(QtRuntime, OffscreenPlatformStarts) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::optional<QApplication> app;
    ASSERT_TRUE(shell::initialiseQtRuntime(app));
    ASSERT_TRUE(app.has_value());
    EXPECT_EQ(QCoreApplication::arguments(), QStringList{"videocapture"});
    app.reset();
}

}  // namespace
}  // namespace settings_test
