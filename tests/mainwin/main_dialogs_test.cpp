// The three capture dialogs open from the Capture menu in their phases:
// "&Frames..." and "&Palette..." after the framework's handling between the
// update and reset steps (so every control is redisplayed when they close),
// "&Video..." before it with neither.

#include "tests/mainwin/main_fixture.h"

#include <QAction>
#include <QSignalBlocker>
#include <QWidget>

namespace mainwin_test {
namespace {

using namespace mainwin;
using testing::ElementsAre;

struct DialogCase {
    const char* name;
    ControlNumber item;
    const char* title;
    const char* procedure;
    int width, height;  // dialog units
    bool redisplayed;
};

class MainDialogsTest : public MainWindowTest, public testing::WithParamInterface<DialogCase> {};

TEST_P(MainDialogsTest, OpensModallyAndRedisplaysTheMainWindowOnlyAfterFramesAndPalette) {
    const DialogCase& c = GetParam();
    user.then([](Window& w) {
        // Show a check mark that PREVIEWFLAG (1) does not hold; only a redisplay puts it back.
        QSignalBlocker block(w.action(PREVIEWFLAG));
        w.action(PREVIEWFLAG)->setChecked(false);
        ASSERT_FALSE(w.isChecked(PREVIEWFLAG));
    });
    user.choose(c.item);
    user.then([&](Window& dialog) {
        EXPECT_EQ(dialog.hostWidget()->windowTitle(), c.title);
        EXPECT_EQ(dialog.width(), c.width);
        EXPECT_EQ(dialog.height(), c.height);
        EXPECT_FALSE(dialog.isResizable());
        EXPECT_THAT(errors.procedures(), ElementsAre("Main", c.procedure));
        EXPECT_FALSE(main().window().hostWidget()->isEnabled());
    });
    user.closeFromSystemMenu();
    user.then([&](Window& w) {
        EXPECT_EQ(&w, &main().window());
        EXPECT_EQ(w.isChecked(PREVIEWFLAG), c.redisplayed);
        EXPECT_EQ(main().previewFlag(), 1);
        EXPECT_EQ(errors.currentProcedure(), "Main");
        EXPECT_TRUE(w.hostWidget()->isEnabled());
    });
    user.press(CANCELBUTTON);
    runMain();
    // The sequence starts only when the dialog was confirmed, and closing it confirms nothing.
    EXPECT_THAT(callsBeforeTeardown(), testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(CaptureMenu, MainDialogsTest,
                         testing::Values(DialogCase{"Frames", CAPTUREFRAMES, "Capture Frames", "CaptureFrames", 133, 77, true},
                                         DialogCase{"Video", CAPTUREVIDEO, "Capture Video Sequence", "VideoCap", 183, 130,
                                                    false},
                                         DialogCase{"Palette", CAPTUREPALETTE, "Capture Palette", "CapPalette", 178, 108, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A main window whose sequence dialog returns scripted results, one per opening.
class ScriptedSequenceWindow : public mainwin::MainWindow {
public:
    ScriptedSequenceWindow(shell::Runtime& runtime, testing_support::FakeCapture& capture, std::vector<std::int32_t> results)
        : MainWindow(runtime), capture_(capture), results_(std::move(results)) {}
    Calls seenAtOpening;  // the capture calls made before each opening

protected:
    std::int32_t runVideoCap() override {
        seenAtOpening.push_back(std::to_string(capture_.count("CAPTURESEQUENCE")));
        if (results_.empty()) return 0;
        const std::int32_t r = results_.front();
        results_.erase(results_.begin());
        return r;
    }

private:
    testing_support::FakeCapture& capture_;
    std::vector<std::int32_t> results_;
};

TEST_F(MainWindowTest, VideoStartsTheSequenceOnlyWhenTheDialogSetTheParameters) {
    ScriptedSequenceWindow window(runtime, capture, {1, 0, 2});
    user.choose(CAPTUREVIDEO).choose(CAPTUREVIDEO).choose(CAPTUREVIDEO).press(CANCELBUTTON);
    user.run([&] { window.run(); });
    // Any nonzero result starts it, right after the dialog returns.
    EXPECT_THAT(window.seenAtOpening, ElementsAre("0", "1", "1"));
    EXPECT_THAT(callsBeforeTeardown(), ElementsAre("CAPTURESEQUENCE()", "CAPTURESEQUENCE()"));
}

}  // namespace
}  // namespace mainwin_test
