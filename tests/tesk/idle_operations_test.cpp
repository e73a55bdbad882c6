// Every operation with nothing connected and no capture window: no crash, a
// harmless result, and a message where the user asked for something.
#include "tesk_capture_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

namespace tesk::testing {
namespace {

using Idle = CaptureTest;

TEST_F(Idle, EveryOperationCopes) {
    struct Case {
        const char* name;
        std::function<capture::Flag()> call;
        capture::Flag result;
        bool tellsTheUser;
    };
    capture::CAPDRIVERCAPS caps;
    char name[8] = "keep", version[8] = "keep";
    const std::vector<Case> cases = {
        {"DRIVERDISCONNECT", [&] { return capture->DRIVERDISCONNECT(); }, 1, false},
        {"DRIVERGETCAPS", [&] { return capture->DRIVERGETCAPS(caps, sizeof caps); }, 0, false},
        {"GETDRIVERDESCRIPTION", [&] { return capture->GETDRIVERDESCRIPTION(9, name, 8, version, 8); }, 0, false},
        {"GETCAPTUREWINDOWHEIGHT", [&] { return capture->GETCAPTUREWINDOWHEIGHT(); }, 0, false},
        {"DESTROYCAPTUREWINDOW", [&] { return capture->DESTROYCAPTUREWINDOW(); }, 1, false},
        {"RESIZECAPTUREREGION", [&] { return capture->RESIZECAPTUREREGION(27); }, 0, false},
        {"RESIZECAPTUREAREA", [&] { return capture->RESIZECAPTUREAREA(26); }, 0, false},
        {"RESIZECAPTUREWINDOW", [&] { return capture->RESIZECAPTUREWINDOW(host.get()); }, 0, false},
        {"SETPREVIEWRATE", [&] { return capture->SETPREVIEWRATE(66); }, 1, false},
        {"SETPREVIEWRATE 0", [&] { return capture->SETPREVIEWRATE(0); }, 0, false},
        {"SETPREVIEW 0", [&] { return capture->SETPREVIEW(0); }, 1, false},
        {"SETPREVIEW 1", [&] { return capture->SETPREVIEW(1); }, 0, true},
        {"OVERLAY 0", [&] { return capture->OVERLAY(0); }, 1, false},
        {"OVERLAY 1", [&] { return capture->OVERLAY(1); }, 0, true},
        {"DLGVIDEOFORMAT", [&] { return capture->DLGVIDEOFORMAT(); }, 0, true},
        {"DLGVIDEOSOURCE", [&] { return capture->DLGVIDEOSOURCE(); }, 0, true},
        {"GRABFRAME", [&] { return capture->GRABFRAME(); }, 0, true},
        {"EDITCOPY", [&] { return capture->EDITCOPY(); }, 0, true},
        {"FILESAVEJPEG", [&] { return capture->FILESAVEJPEG(path("a.jpg"), 100); }, 0, true},
        {"FILESAVEDIB", [&] { return capture->FILESAVEDIB(path("a.bmp")); }, 0, true},
        {"FILESAVEJPEG no name", [&] { return capture->FILESAVEJPEG("", 100); }, 0, false},
        {"DLGSAVESINGLEFRAME", [&] { return capture->DLGSAVESINGLEFRAME(); }, 0, true},
        {"DLGSAVEPALETTE", [&] { return capture->DLGSAVEPALETTE(); }, 0, true},
        {"DLGLOADPALETTE cancelled", [&] { return capture->DLGLOADPALETTE(); }, 0, false},
        {"DLGSETCAPTUREFILE cancelled", [&] { return capture->DLGSETCAPTUREFILE(); }, 0, false},
        {"DLGSAVECAPTUREDVIDEOAS", [&] { return capture->DLGSAVECAPTUREDVIDEOAS(); }, 0, true},
        {"FILESAVEAS", [&] { return capture->FILESAVEAS(path("b.avi")); }, 0, true},
        {"PALETTEOPEN", [&] { return capture->PALETTEOPEN(path("none.pal")); }, 0, true},
        {"PALETTESAVE", [&] { return capture->PALETTESAVE(path("p.pal")); }, 0, true},
        {"SETCAPTUREFILE empty", [&] { return capture->SETCAPTUREFILE(""); }, 0, false},
        {"FILEALLOC", [&] { return capture->FILEALLOC(1 << 20); }, 0, false},
        {"CAPTURESEQUENCE", [&] { return capture->CAPTURESEQUENCE(); }, 0, true},
        {"CAPTURESINGLEFRAMEOPEN", [&] { return capture->CAPTURESINGLEFRAMEOPEN(); }, 0, false},
        {"CAPTURESINGLEFRAME", [&] { return capture->CAPTURESINGLEFRAME(); }, 0, true},
        {"CAPTURESINGLEFRAMECLOSE", [&] { return capture->CAPTURESINGLEFRAMECLOSE(); }, 0, false},
        {"PALETTEAUTO", [&] { return capture->PALETTEAUTO(10, 256); }, 0, true},
        {"PALETTEMANUAL 0", [&] { return capture->PALETTEMANUAL(0, 256); }, 0, false},
    };
    host.reset();  // no host window either
    for (const auto& c : cases) {
        messages.clear();
        EXPECT_EQ(c.call(), c.result) << c.name;
        EXPECT_EQ(messages.size(), c.tellsTheUser ? 1u : 0u) << c.name;
        if (!messages.empty()) {
            EXPECT_GT(messages[0].size(), 10u) << c.name;
        }
    }
    EXPECT_STREQ(name, "keep");
    EXPECT_FALSE(capture->CREATECAPTUREWINDOW(27));
    EXPECT_TRUE(hasStatus(IDS_CAP_DRIVER_ERROR));  // "not available yet" and the like
    // Nothing was connected or created along the way.
    EXPECT_EQ(capture->connectedDriver(), nullptr);
    EXPECT_EQ(capture->captureWindow(), nullptr);
}

TEST_F(Idle, CaptureSetupKeepsValidParameters) {
    capture::CAPTUREPARMS parms;
    parms.DWREQUESTMICROSECPERFRAME = 66667;
    parms.AVSTREAMMASTER = capture::AVSTREAMMASTER_NONE;
    EXPECT_FALSE(capture->CAPTURESETSETUP(parms, 95));
    EXPECT_FALSE(capture->captureSetup());
    ASSERT_TRUE(capture->CAPTURESETSETUP(parms, sizeof parms));
    EXPECT_EQ(capture->captureSetup()->DWREQUESTMICROSECPERFRAME, 66667u);
    capture::CAPTUREPARMS bad = parms;
    bad.DWREQUESTMICROSECPERFRAME = 0;
    EXPECT_FALSE(capture->CAPTURESETSETUP(bad, sizeof bad));
    EXPECT_EQ(capture->captureSetup()->DWREQUESTMICROSECPERFRAME, 66667u);  // the good one stays
}

TEST_F(Idle, SystemInfoShowsTitleHeadingAndFacts) {
    QString title, heading, text;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        title = dialog->windowTitle();
        heading = dialog->findChild<QLabel*>("SystemInfoHeading")->text();
        text = dialog->findChild<QPlainTextEdit*>("SystemInfoText")->toPlainText();
        dialog->accept();
    });
    EXPECT_TRUE(capture->SYSINFO("Video Capture App System Info Window#OS Information:", ""));
    EXPECT_EQ(title, "Video Capture App System Info Window");
    EXPECT_EQ(heading, "OS Information:");
    for (const char* fact : {"Operating system:", "Kernel: Linux", "Processor:", "Memory:", "Qt: ", "libjpeg-turbo: ",
                             "FFmpeg: ", "libv4l2: ", "Capture drivers:", "1: Video Capture Test Pattern"})
        EXPECT_TRUE(text.contains(fact)) << fact;
}

}  // namespace
}  // namespace tesk::testing
