// The capture object's drivers, capture window and live preview.
#include "tesk_capture_fixture.h"

#include "tesk/frame_image.h"

#include <cstring>
#include <thread>

namespace tesk::testing {
namespace {

using CaptureDrivers = CaptureTest;
using CaptureWindowTest = CaptureTest;
using Preview = CaptureTest;

TEST_F(CaptureDrivers, EnumeratesAndDescribes) {
    EXPECT_EQ(capture->ENUMCAPDRIVERS(), 2);
    char name[128], version[128];
    ASSERT_TRUE(capture->GETDRIVERDESCRIPTION(1, name, 128, version, 128));
    EXPECT_STREQ(name, "Video Capture Test Pattern");
    EXPECT_STRNE(version, "");
    // Cut to the buffer and NUL-terminated.
    char small[6];
    std::memset(small, 'x', sizeof small);
    ASSERT_TRUE(capture->GETDRIVERDESCRIPTION(0, small, 6, version, 128));
    EXPECT_STREQ(small, "Video");
    // An index with no driver leaves the buffers as they were.
    EXPECT_FALSE(capture->GETDRIVERDESCRIPTION(2, name, 128, version, 128));
    EXPECT_FALSE(capture->GETDRIVERDESCRIPTION(-1, name, 128, version, 128));
    EXPECT_STREQ(name, "Video Capture Test Pattern");
}

TEST_F(CaptureDrivers, DefaultListEndsWithTheTestPattern) {
    const DriverList drivers = defaultDrivers();
    ASSERT_FALSE(drivers.empty());
    EXPECT_LE(drivers.size(), kMaxDrivers);
    EXPECT_EQ(drivers.back()->info().name, TestPatternDriver::kName);
}

TEST_F(CaptureDrivers, ConnectsReleasesAndRefuses) {
    EXPECT_FALSE(capture->DRIVERCONNECT(5));
    EXPECT_FALSE(capture->CONNECTCAPDRIVER(-1));
    ASSERT_TRUE(capture->CONNECTCAPDRIVER(0));
    EXPECT_TRUE(hasStatus(IDS_CAP_INFO));
    Driver* first = capture->connectedDriver();
    ASSERT_TRUE(first && first->isOpen());
    ASSERT_TRUE(capture->DRIVERCONNECT(1));
    EXPECT_FALSE(first->isOpen());  // connecting another released the first
    secondFaults->refuseConnect = true;
    statuses.clear();
    EXPECT_FALSE(capture->DRIVERCONNECT(1));
    EXPECT_EQ(capture->connectedDriver(), nullptr);
    EXPECT_TRUE(hasStatus(IDS_CAP_DRIVER_ERROR));
    secondFaults->refuseConnect = false;
    EXPECT_TRUE(capture->DRIVERCONNECT(1));
    EXPECT_TRUE(capture->DRIVERDISCONNECT());
    EXPECT_TRUE(capture->DRIVERDISCONNECT());
    EXPECT_TRUE(messages.empty());
}

TEST_F(CaptureDrivers, CapsAndHeight) {
    capture::CAPDRIVERCAPS caps;
    caps.WDEVICEINDEX = 77;
    EXPECT_FALSE(capture->DRIVERGETCAPS(caps, sizeof caps));
    EXPECT_EQ(caps.WDEVICEINDEX, 77u);
    EXPECT_EQ(capture->GETCAPTUREWINDOWHEIGHT(), 0);
    ASSERT_TRUE(capture->DRIVERCONNECT(1));
    EXPECT_FALSE(capture->DRIVERGETCAPS(caps, sizeof caps - 4));
    ASSERT_TRUE(capture->DRIVERGETCAPS(caps, sizeof caps));
    EXPECT_EQ(caps.WDEVICEINDEX, 1u);
    EXPECT_EQ(caps.FHASOVERLAY, 0);
    EXPECT_NE(caps.FHASDLGVIDEOSOURCE, 0);
    EXPECT_NE(caps.FHASDLGVIDEOFORMAT, 0);
    EXPECT_NE(caps.FHASDLGVIDEODISPLAY, 0);
    EXPECT_NE(caps.FCAPTUREINITIALIZED, 0);
    EXPECT_EQ(caps.HVIDEOIN, 0u);
    EXPECT_EQ(capture->GETCAPTUREWINDOWHEIGHT(), 240);
    // A format saved for the driver is applied at the next connect.
    ComponentSettings(path("teskdrv.ini")).saveFormat(TestPatternDriver::kName, {FOURCC_RGB24, 352, 288, 1, 25});
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    EXPECT_EQ(capture->GETCAPTUREWINDOWHEIGHT(), 288);
}

TEST_F(CaptureWindowTest, CreatedOnceOverTheControlAndRefitted) {
    EXPECT_FALSE(capture->CREATECAPTUREWINDOW(99));  // no such control
    ASSERT_TRUE(capture->CREATECAPTUREWINDOW(27));
    CaptureWindow* window = capture->captureWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), host->hostWidget());
    EXPECT_EQ(window->geometry(), QRect(10, 20, 320, 240));
    ASSERT_TRUE(capture->CREATECAPTUREWINDOW(27));
    EXPECT_EQ(capture->captureWindow(), window);
    EXPECT_EQ(host->hostWidget()->findChildren<CaptureWindow*>().size(), 1);

    host->rects[27] = QRect(0, 0, 200, 100);
    ASSERT_TRUE(capture->RESIZECAPTUREREGION(27));
    EXPECT_EQ(window->geometry(), QRect(0, 0, 200, 100));
    ASSERT_TRUE(capture->RESIZECAPTUREAREA(26));
    EXPECT_EQ(window->geometry(), QRect(340, 20, 160, 120));
    EXPECT_FALSE(capture->RESIZECAPTUREREGION(99));

    // Refitted into another window, over the same control.
    FakeHost other;
    other.rects[26] = QRect(5, 5, 50, 40);
    ASSERT_TRUE(capture->RESIZECAPTUREWINDOW(&other));
    EXPECT_EQ(window->parentWidget(), other.hostWidget());
    EXPECT_EQ(window->geometry(), QRect(5, 5, 50, 40));
    EXPECT_FALSE(capture->RESIZECAPTUREWINDOW(nullptr));
    ASSERT_TRUE(capture->RESIZECAPTUREWINDOW(host.get()));

    EXPECT_TRUE(capture->DESTROYCAPTUREWINDOW());
    EXPECT_EQ(capture->captureWindow(), nullptr);
    EXPECT_TRUE(capture->DESTROYCAPTUREWINDOW());
    EXPECT_TRUE(host->hostWidget()->findChildren<CaptureWindow*>().isEmpty());
}

TEST_F(CaptureWindowTest, SurvivesItsHostAndNeedsOne) {
    ASSERT_TRUE(capture->CREATECAPTUREWINDOW(27));
    host.reset();  // the host window closes and takes the capture window along
    EXPECT_EQ(capture->captureWindow(), nullptr);
    EXPECT_FALSE(capture->CREATECAPTUREWINDOW(27));
    EXPECT_FALSE(capture->RESIZECAPTUREREGION(27));
    EXPECT_TRUE(capture->DESTROYCAPTUREWINDOW());
    EXPECT_TRUE(capture->DRIVERCONNECT(0));
    EXPECT_TRUE(capture->SETPREVIEW(1));  // preview without a window keeps the frame buffer
    EXPECT_TRUE(processUntil([&] { return capture->currentFrame().has_value(); }));
}

TEST(FitImageRect, KeepsAspectCentred) {
    struct Case {
        QSize image;
        QRect area;
        bool keep;
        QRect expected;
    } cases[] = {
        {{320, 240}, {0, 0, 320, 240}, true, {0, 0, 320, 240}},
        {{320, 240}, {0, 0, 400, 240}, true, {40, 0, 320, 240}},
        {{1920, 1080}, {10, 10, 320, 240}, true, {10, 40, 320, 180}},
        {{1920, 1080}, {10, 10, 320, 240}, false, {10, 10, 320, 240}},
    };
    for (const auto& c : cases) EXPECT_EQ(fitImageRect(c.image, c.area, c.keep), c.expected);
}

TEST_F(Preview, PaintsTheNewestFrameAndReports) {
    startPreview();
    EXPECT_TRUE(capture->previewing());
    EXPECT_TRUE(hasStatus(capture::IDS_CAP_STAT_LIVE_MODE));
    CaptureWindow* window = capture->captureWindow();
    EXPECT_EQ(window->image().size(), QSize(320, 240));
    const std::uint64_t before = window->paintedSequence();
    ASSERT_TRUE(processUntil([&] { return window->paintedSequence() > before; }));
    // The frame buffer holds a whole frame with its counter.
    auto frame = capture->currentFrame();
    ASSERT_TRUE(frame && frameIsWhole(*frame));
    EXPECT_EQ(readCounter(*frame), std::optional<std::uint64_t>(frame->sequence));
    EXPECT_TRUE(capture->SETPREVIEW(0));
    EXPECT_FALSE(capture->previewing());
    EXPECT_TRUE(hasStatus(IDS_CAP_STAT_CLEAR));
    EXPECT_FALSE(capture->connectedDriver()->isStreaming());
    EXPECT_TRUE(messages.empty());
}

TEST_F(Preview, DeviceLossStopsWithAMessageAndReconnectWorks) {
    startPreview();
    faults->stopFrames = true;
    ASSERT_TRUE(processUntil([&] { return !messages.empty(); }));
    EXPECT_FALSE(capture->previewing());
    EXPECT_NE(messages.front().find("stopped delivering pictures"), std::string::npos);
    EXPECT_TRUE(hasStatus(IDS_CAP_DRIVER_ERROR));
    // The device is released, and the last good picture can still be saved.
    EXPECT_EQ(capture->connectedDriver(), nullptr);
    capture::CAPDRIVERCAPS caps;
    EXPECT_FALSE(capture->DRIVERGETCAPS(caps, sizeof caps));
    ASSERT_TRUE(capture->currentFrame());
    EXPECT_TRUE(capture->FILESAVEDIB((dir.path() + "/last.bmp").toStdString()));
    faults->stopFrames = false;
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    EXPECT_FALSE(capture->currentFrame()) << "the lost device's picture went with the new connection";
    ASSERT_TRUE(capture->SETPREVIEW(1));
    const int painted = capture->captureWindow()->paintCount();
    EXPECT_TRUE(processUntil([&] { return capture->captureWindow()->paintCount() > painted + 1; }));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(Preview, BrokenFrameIsDroppedAndPreviewGoesOn) {
    startPreview();
    statuses.clear();
    faults->brokenFrames = 2;
    ASSERT_TRUE(processUntil([&] { return hasStatus(IDS_CAP_DRIVER_ERROR); }));
    const std::uint64_t seen = capture->currentFrame()->sequence;
    ASSERT_TRUE(processUntil([&] { return capture->currentFrame()->sequence > seen + 1; }));
    EXPECT_TRUE(capture->previewing());
    EXPECT_TRUE(frameIsWhole(*capture->currentFrame()));
    EXPECT_TRUE(messages.empty());
}

TEST_F(Preview, OverlayIsRefusedWithoutOne) {
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    EXPECT_FALSE(capture->OVERLAY(1));
    EXPECT_TRUE(hasStatus(IDS_CAP_DRIVER_ERROR));
    EXPECT_TRUE(capture->OVERLAY(0));
}

TEST_F(Preview, GrabStopsPreviewAndShowsOneFrame) {
    startPreview();
    ASSERT_TRUE(capture->GRABFRAME());
    EXPECT_FALSE(capture->previewing());
    auto frame = capture->currentFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->sequence, 0u);  // a fresh stream for the grab
    EXPECT_EQ(capture->captureWindow()->image(), frameToImage(*frame));
    // Nothing arrives for a grab: a clear message and no frame change.
    faults->stopFrames = true;
    EXPECT_FALSE(capture->GRABFRAME());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Could not grab"), std::string::npos);
}

// A preview picture still waiting for its paint when a grab stops the preview
// must not cover the grabbed frame once the events run.
TEST_F(Preview, GrabIsNotCoveredByAnOlderPreviewPicture) {
    startPreview();
    // The UI thread is busy: the capture thread publishes frames that wait for their paint.
    const std::uint64_t seen = capture->currentFrame()->sequence;
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (capture->currentFrame()->sequence < seen + 2 && std::chrono::steady_clock::now() < guard)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(capture->currentFrame()->sequence, seen + 2) << "the preview delivered no frames";
    ASSERT_TRUE(capture->GRABFRAME());
    QCoreApplication::processEvents();
    const auto frame = capture->currentFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(capture->captureWindow()->image(), frameToImage(*frame));
}

}  // namespace
}  // namespace tesk::testing
