// The driver dialogs as the capture object wires them: each applies and keeps
// what was confirmed and leaves everything as it was when cancelled.
#include "tesk_capture_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QTimer>

namespace tesk::testing {
namespace {

using Dialogs = CaptureTest;

// Acts on the modal dialog of that object name as soon as it is up.
void whenDialog(const QString& name, std::function<void(QDialog&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, name, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name) return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start();
}

void press(QDialog& dialog, const char* button) {
    auto* b = dialog.findChild<QAbstractButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

TEST_F(Dialogs, FormatConfirmedIsAppliedKeptAndPreviewGoesOn) {
    startPreview();
    whenDialog("videoFormatDialog", [](QDialog& d) {
        auto* size = d.findChild<QComboBox*>("frameSize");
        ASSERT_NE(size, nullptr);
        const int at = size->findText("640", Qt::MatchContains);
        ASSERT_GE(at, 0);
        size->setCurrentIndex(at);
        press(d, "ok");
    });
    EXPECT_TRUE(capture->DLGVIDEOFORMAT());
    EXPECT_EQ(capture->GETCAPTUREWINDOWHEIGHT(), 480);
    EXPECT_TRUE(capture->previewing());
    ASSERT_TRUE(processUntil([&] { return capture->captureWindow()->image().width() == 640; }));
    VideoFormat saved;
    ASSERT_TRUE(ComponentSettings(path("teskdrv.ini")).loadFormat(TestPatternDriver::kName, saved));
    EXPECT_EQ(saved.height, 480);

    whenDialog("videoFormatDialog", [](QDialog& d) { press(d, "cancel"); });
    EXPECT_FALSE(capture->DLGVIDEOFORMAT());
    EXPECT_EQ(capture->GETCAPTUREWINDOWHEIGHT(), 480);
    EXPECT_TRUE(messages.empty());
}

// The device is lost while the format dialog is open: confirming it then
// changes nothing, keeps nothing and says why.
TEST_F(Dialogs, FormatConfirmedAfterTheDeviceWasLostChangesNothing) {
    startPreview();
    whenDialog("videoFormatDialog", [this](QDialog& d) {
        faults->stopFrames = true;
        ASSERT_TRUE(processUntil([&] { return capture->connectedDriver() == nullptr; }));
        auto* size = d.findChild<QComboBox*>("frameSize");
        ASSERT_NE(size, nullptr);
        size->setCurrentIndex(size->findText("640", Qt::MatchContains));
        press(d, "ok");
    });
    EXPECT_FALSE(capture->DLGVIDEOFORMAT());
    EXPECT_FALSE(capture->previewing());
    VideoFormat saved;
    EXPECT_FALSE(ComponentSettings(path("teskdrv.ini")).loadFormat(TestPatternDriver::kName, saved));
    ASSERT_EQ(messages.size(), 2u);  // the loss, then why nothing changed
    EXPECT_NE(messages[1].find("no longer connected"), std::string::npos);
}

TEST_F(Dialogs, DisplayChoiceIsKeptAndShown) {
    ASSERT_TRUE(capture->CREATECAPTUREWINDOW(27));
    whenDialog("videoDisplayDialog", [](QDialog& d) {
        auto* keep = d.findChild<QCheckBox*>("keepAspect");
        ASSERT_NE(keep, nullptr);
        keep->setChecked(false);
        press(d, "ok");
    });
    EXPECT_TRUE(capture->DLGVIDEODISPLAY());
    EXPECT_FALSE(ComponentSettings(path("teskdrv.ini")).loadDisplay().keepAspect);
}

TEST_F(Dialogs, SourceCompressionAndAudioOpenAndAnswer) {
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    whenDialog("videoSourceDialog", [](QDialog& d) { press(d, "ok"); });
    EXPECT_TRUE(capture->DLGVIDEOSOURCE());
    whenDialog("videoCompressionDialog", [](QDialog& d) { press(d, "ok"); });
    EXPECT_TRUE(capture->DLGVIDEOCOMPRESSION());
    whenDialog("audioFormatDialog", [](QDialog& d) { press(d, "cancel"); });
    EXPECT_FALSE(capture->SETAUDIOFORMATDLG(host->hostWidget()));
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace tesk::testing
