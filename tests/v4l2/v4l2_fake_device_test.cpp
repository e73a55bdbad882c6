// The V4L2 driver against an emulated device: listing, frame copying and
// the loss of the device, which the kernel's vivid driver cannot bring back.
// Pixel formats and frame conversion: v4l2_native_format_test.cpp.

#include "fake_device_fixture.h"

#include "tesk/v4l2/v4l2_driver.h"
#include "tesk/v4l2/v4l2_enumeration.h"
#include "tesk/v4l2/v4l2_formats.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <linux/videodev2.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

namespace tesk::v4l2::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST_F(FakeDeviceDir, ListsVideoNodesInNumericOrder) {
    for (const char* name : {"video10", "video2", "video0", "video1", "videoX", "video", "fb0", "media0"})
        node(name);
    std::vector<std::string> names;
    for (const std::string& path : videoNodes(dir_.string()))
        names.push_back(std::filesystem::path(path).filename().string());
    EXPECT_THAT(names, ElementsAre("video0", "video1", "video2", "video10"));
}

TEST_F(FakeDeviceDir, KeepsOnlyCaptureNodesThatOpenAndClosesThemAgain) {
    node("video0", FakeCameraIo::Node{kCapture, "Front Camera", "uvcvideo", (6u << 16) | (1u << 8) | 0u, 0});
    node("video1", FakeCameraIo::Node{V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING, "meta", "uvcvideo", 0, 0});
    node("video2", FakeCameraIo::Node{V4L2_CAP_VIDEO_OUTPUT | V4L2_CAP_STREAMING, "out", "vivid", 0, 0});
    node("video3", FakeCameraIo::Node{kCapture, "Busy", "uvcvideo", 0, EBUSY});
    node("video4", FakeCameraIo::Node{kCapture, "Locked", "uvcvideo", 0, EACCES});
    node("video12", FakeCameraIo::Node{V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_READWRITE, "TV Card", "bttv",
                                       (5u << 16) | (10u << 8) | 3u, 0});
    node("video5");  // an entry without a device behind it

    const auto drivers = findDrivers(dir_.string(), io_);
    ASSERT_EQ(drivers.size(), 2u);
    EXPECT_EQ(drivers[0]->info().name, "Front Camera");
    EXPECT_EQ(drivers[0]->info().version, "uvcvideo 6.1.0");
    EXPECT_EQ(drivers[0]->info().device, (dir_ / "video0").string());
    EXPECT_EQ(drivers[1]->info().name, "TV Card");
    EXPECT_EQ(drivers[1]->info().version, "bttv 5.10.3");
    EXPECT_EQ(io_->openCount(), 0);
}

TEST_F(FakeCamera, CopiesPaddedRowsIntoTightFramesCountingFromZero) {
    io_->width = 6;
    io_->height = 5;
    io_->bytesPerLine = 6 * 3 + 10;
    ASSERT_TRUE(driver_->open()) << driver_->open().error;
    ASSERT_TRUE(driver_->startStreaming());
    for (std::uint64_t expected = 0; expected < 5; ++expected) {  // more frames than buffers: they are requeued
        Frame frame;
        const Status status = driver_->readFrame(frame, std::chrono::milliseconds(100));
        ASSERT_TRUE(status) << status.error;
        EXPECT_EQ(frame.sequence, expected);
        expectPainted(frame, 6, 5, std::uint8_t(40 + expected));
    }
    driver_->close();
    EXPECT_EQ(io_->openCount(), 0);
    EXPECT_EQ(io_->mappedCount(), 0);
}

TEST_F(FakeDeviceDir, ReadsFramesWhereTheDeviceOffersNoStreaming) {
    constexpr std::uint32_t readOnlyCapture = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_READWRITE;
    const std::string path = node("video0", FakeCameraIo::Node{readOnlyCapture});
    io_->readable = true;
    io_->width = 4;
    io_->height = 3;
    io_->bytesPerLine = 4 * 3;
    V4l2Driver driver(DriverInfo{"TV Card", "bttv 6.1.0", path}, readOnlyCapture, io_);
    ASSERT_TRUE(driver.open());
    ASSERT_TRUE(driver.startStreaming());
    for (std::uint64_t expected = 0; expected < 2; ++expected) {
        Frame frame;
        const Status status = driver.readFrame(frame, std::chrono::milliseconds(100));
        ASSERT_TRUE(status) << status.error;
        EXPECT_EQ(frame.sequence, expected);
        ASSERT_EQ(frame.pixels.size(), 4u * 3u * 3u);
        EXPECT_EQ(frame.pixels[(2 * 4 + 3) * 3 + 0], FakeCameraIo::red(3));
        EXPECT_EQ(frame.pixels[(2 * 4 + 3) * 3 + 1], FakeCameraIo::green(2));
    }
    EXPECT_EQ(io_->mappedCount(), 0);  // no mmap buffers in read mode
    io_->unplug();
    Frame frame;
    EXPECT_THAT(driver.readFrame(frame, std::chrono::milliseconds(100)).error, HasSubstr("was disconnected"));
}

TEST_F(FakeCamera, UnpluggedCameraGivesDisconnectedErrorsAndWorksAgainWhenBack) {
    ASSERT_TRUE(driver_->open());
    ASSERT_TRUE(driver_->startStreaming());
    Frame frame;
    ASSERT_TRUE(driver_->readFrame(frame, std::chrono::milliseconds(100)));

    io_->unplug();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Status lost = driver_->readFrame(frame, std::chrono::milliseconds(100));
        ASSERT_FALSE(lost);
        EXPECT_THAT(lost.error, HasSubstr("The camera Fake Camera (" + path_ + ") was disconnected"));
    }
    EXPECT_FALSE(driver_->setControl(1, 1));
    driver_->close();
    driver_->close();
    EXPECT_FALSE(driver_->isOpen());
    EXPECT_EQ(io_->openCount(), 0);
    EXPECT_EQ(io_->mappedCount(), 0);
    const Status reopen = driver_->open();
    ASSERT_FALSE(reopen);
    EXPECT_THAT(reopen.error, HasSubstr("Cannot open the camera Fake Camera (" + path_ + ")"));

    io_->plugIn();
    ASSERT_TRUE(driver_->open());
    ASSERT_TRUE(driver_->startStreaming());
    const Status again = driver_->readFrame(frame, std::chrono::milliseconds(100));
    ASSERT_TRUE(again) << again.error;
    EXPECT_EQ(frame.sequence, 0u);
}

TEST_F(FakeCamera, StalledCameraTimesOutAndRecovers) {
    ASSERT_TRUE(driver_->open());
    ASSERT_TRUE(driver_->startStreaming());
    io_->stalled = true;
    Frame frame;
    const Status stalled = driver_->readFrame(frame, std::chrono::milliseconds(20));
    EXPECT_THAT(stalled.error, HasSubstr("no frame arrived within 20 ms"));
    EXPECT_THAT(stalled.error, HasSubstr(path_));
    EXPECT_TRUE(frame.empty());
    io_->stalled = false;
    EXPECT_TRUE(driver_->readFrame(frame, std::chrono::milliseconds(20)));
}

TEST_F(FakeCamera, RefusesWhatItCannotDoWithClearMessages) {
    struct Case {
        const char* what;
        std::function<Status(V4l2Driver&)> call;
        const char* message;
    };
    const Case cases[] = {
        {"read before streaming", [](V4l2Driver& d) { Frame f; return d.readFrame(f, std::chrono::milliseconds(1)); },
         "frames are not streaming"},
        {"format the device lacks", [](V4l2Driver& d) { return d.setFormat({fourcc('N', 'V', '1', '2'), 8, 4, 1, 30}); },
         "has no pixel format NV12 that can be delivered as RGB24"},
        {"empty size", [](V4l2Driver& d) { return d.setFormat({FOURCC_RGB24, 0, 4, 1, 30}); }, "invalid frame size"},
        {"missing control", [](V4l2Driver& d) { return d.setControl(0x980900, 1); }, "there is no control"},
        {"overlay", [](V4l2Driver& d) { return d.setOverlay(true); }, "has no overlay"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THAT(c.call(*driver_).error, HasSubstr("not connected"));  // closed: nothing to ask
        ASSERT_TRUE(driver_->open());
        const Status status = c.call(*driver_);
        EXPECT_THAT(status.error, HasSubstr(c.message));
        EXPECT_THAT(status.error, HasSubstr(path_));
        driver_->close();
    }
}

TEST(FrameRanges, CommonSizesInsideStepwiseRanges) {
    struct Case {
        v4l2_frmsize_stepwise range;
        std::vector<FrameSize> sizes;
    };
    const Case cases[] = {
        {{320, 640, 320, 240, 480, 240}, {{320, 240}, {640, 480}}},
        {{100, 200, 1, 100, 200, 1}, {{100, 100}, {160, 120}, {176, 144}, {200, 200}}},
        {{640, 640, 1, 480, 480, 1}, {{640, 480}}},
        {{0, 640, 1, 0, 480, 1}, {}},  // broken range
    };
    for (const Case& c : cases)
        EXPECT_EQ(sizesInRange(c.range), c.sizes) << c.range.min_width << "-" << c.range.max_width;
}

TEST(FrameRanges, CommonRatesInsideIntervalRanges) {
    EXPECT_THAT(intervalsInRange({{1, 60}, {1, 25}, {1, 1}}),
                ElementsAre(FrameInterval{1, 60}, FrameInterval{1, 50}, FrameInterval{1, 30}, FrameInterval{1, 25}));
    EXPECT_THAT(intervalsInRange({{1001, 30000}, {2, 1}, {1, 1}}),
                ElementsAre(FrameInterval{1001, 30000}, FrameInterval{1, 25}, FrameInterval{1, 24},
                            FrameInterval{1, 20}, FrameInterval{1, 15}, FrameInterval{1, 10}, FrameInterval{1, 5},
                            FrameInterval{1, 1}, FrameInterval{2, 1}));
    EXPECT_THAT(intervalsInRange({{1, 10}, {1, 10}, {1, 1}}), ElementsAre(FrameInterval{1, 10}));
    EXPECT_TRUE(intervalsInRange({{1, 0}, {1, 10}, {1, 1}}).empty());
}

TEST(FrameRanges, VersionTextFromKernelVersionCode) {
    EXPECT_EQ(versionText("uvcvideo", (6u << 16) | (1u << 8) | 0u), "uvcvideo 6.1.0");
    EXPECT_EQ(versionText("vivid", (6u << 16) | (1u << 8) | 194u), "vivid 6.1.194");
    EXPECT_EQ(fourccText(FOURCC_RGB24), "RGB3");
}

}  // namespace
}  // namespace tesk::v4l2::testing
