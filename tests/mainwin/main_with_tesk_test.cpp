// The main window with the real capture component and its test-pattern
// driver: enumerate, start a live preview in the capture box, save both
// stills with their messages, close.

#include "tests/mainwin/main_fixture.h"

#include "tesk/capture_window.h"
#include "tesk/tesk_capture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>

namespace mainwin_test {
namespace {

using namespace mainwin;
using testing::ElementsAre;
using testing::IsEmpty;

// Runs the event loop until `done` holds or a generous limit passes.
bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QByteArray head(const QString& path, int bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

class MainWithTeskTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        ASSERT_TRUE(work.isValid());
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(work.path()));  // the stills' bare names land here
        settings.start("orvane.INI");
        tesk.setMessageFunction([this](QWidget*, const std::string& text) { teskMessages.push_back(text); });
    }
    void TearDown() override {
        settings.stop();
        QDir::setCurrent(previousDir);
    }

    QTemporaryDir config, work;
    QString previousDir;
    shell::ErrorManager errors;
    shell::WindowSettings settings;
    tesk::TeskCapture tesk{[] { return static_cast<capture::CaptureHost*>(platform::activeWindow()); }};
    shell::Runtime runtime{errors, settings, tesk};
    testing_support::MessageRecorder messages;
    std::vector<std::string> teskMessages;
    testing_support::ScriptedUser user;
};

TEST_F(MainWithTeskTest, PreviewsTheTestPatternAndSavesBothStills) {
    std::size_t patternRow = 0;
    user.press("Enumerate Drivers").then([&](Window& w) {
        // The test pattern is always there, after any camera: the last row.
        const auto* list = qobject_cast<const QComboBox*>(w.widget(LOC_DRIVER));
        ASSERT_NE(list, nullptr);
        patternRow = static_cast<std::size_t>(list->count());
        ASSERT_GE(patternRow, 1u);
        ASSERT_TRUE(w.isEnabled(STARTCAPTURE));
        ASSERT_TRUE(w.isHidden(OPTIONSDESTROY));
    });
    user.then([&](Window& w) {
        w.selectListRow(LOC_DRIVER, patternRow);
        ASSERT_EQ(w.listChoice(LOC_DRIVER), patternRow);
    });
    user.press("Start Capture").then([&](Window& w) {
        ASSERT_TRUE(tesk.previewing());
        ASSERT_NE(tesk.captureWindow(), nullptr);
        ASSERT_TRUE(waitFor([&] { return tesk.currentFrame().has_value() && tesk.captureWindow()->paintCount() > 0; }));
        // The live picture sits in the capture box.
        const QRect box = *w.controlRect(CAPREG);
        const QRect live(tesk.captureWindow()->mapTo(w.hostWidget(), QPoint(0, 0)), tesk.captureWindow()->size());
        EXPECT_TRUE(box.contains(live)) << "box " << box.x() << "," << box.y() << " " << box.width() << "x"
                                        << box.height();
        EXPECT_TRUE(w.isEnabled(CAPTUREJPEG));
        EXPECT_TRUE(w.isEnabled(CAPTUREBMP));
        EXPECT_TRUE(w.isEnabled(NEWREGION));
    });
    // Resizing moves the controls but not the live picture; "New Region" moves it into region 26.
    QRect liveBefore;
    user.then([&](Window& w) {
        liveBefore = tesk.captureWindow()->geometry();
        const QRect boxBefore = *w.controlRect(CAPREG);
        w.setWidth(798);
        QCoreApplication::processEvents();
        EXPECT_GT(w.controlRect(CAPREG)->width(), boxBefore.width());
        EXPECT_EQ(tesk.captureWindow()->geometry(), liveBefore);
    });
    user.press("New Region").then([&](Window& w) {
        const QRect live(tesk.captureWindow()->mapTo(w.hostWidget(), QPoint(0, 0)), tesk.captureWindow()->size());
        EXPECT_TRUE(w.controlRect(REGION1)->contains(live));
    });
    user.press("Capture Frame JPEG").press("Capture Frame BMP");
    user.press("&Close");
    user.run([&] { mainwin::Main(runtime); });

    EXPECT_THAT(messages.messages(), ElementsAre("File capture.jpg was created", "File capture.bmp was created"));
    EXPECT_THAT(teskMessages, IsEmpty());
    EXPECT_EQ(head(work.filePath("capture.jpg"), 3), QByteArray("\xFF\xD8\xFF", 3));
    EXPECT_EQ(head(work.filePath("capture.bmp"), 2), QByteArray("BM"));
    // The teardown released the driver and the capture window.
    EXPECT_EQ(tesk.connectedDriver(), nullptr);
    EXPECT_EQ(tesk.captureWindow(), nullptr);
    EXPECT_FALSE(tesk.previewing());
}

}  // namespace
}  // namespace mainwin_test
