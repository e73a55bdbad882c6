// The V4L2 driver against the kernel's vivid test driver, run inside the
// vivid virtual machine: /dev/video0 and /dev/video1 capture, video2-3 are
// outputs, video4-7 metadata. Outside it, every test skips.
//
// The disconnect test uses /dev/video1, so the other tests' device stays.

#include "tesk/v4l2/v4l2_devices.h"
#include "tesk/v4l2/v4l2_driver.h"
#include "tesk/v4l2/v4l2_formats.h"
#include "tesk/v4l2/v4l2_frame_converter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <sys/utsname.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <regex>

namespace tesk {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;
using namespace std::chrono_literals;

constexpr auto kFrameTimeout = 3000ms;

// The reason to skip, or empty when /dev/video0 is a vivid device.
std::string vividMissing() {
    if (!std::filesystem::exists("/dev/video0"))
        return "no /dev/video0: these tests run inside run-in-vivid-vm";
    const auto drivers = findV4l2Drivers();
    if (drivers.empty() || drivers[0]->info().version.rfind("vivid ", 0) != 0)
        return "/dev/video0 is not a vivid device";
    return {};
}

#define SKIP_WITHOUT_VIVID()                        \
    do {                                            \
        if (const auto reason = vividMissing(); !reason.empty()) \
            GTEST_SKIP() << reason;                 \
    } while (0)

const Control* findControl(const std::vector<Control>& controls, const std::string& name) {
    const auto found =
        std::find_if(controls.begin(), controls.end(), [&](const Control& control) { return control.name == name; });
    return found == controls.end() ? nullptr : &*found;
}

std::unique_ptr<Driver> vividDriver(const std::string& device) {
    for (auto& driver : findV4l2Drivers())
        if (driver->info().device == device)
            return std::move(driver);
    return nullptr;
}

// Presses a button control (or sets any control) by name.
Status setByName(Driver& driver, const std::string& name, std::int64_t value) {
    const auto controls = driver.controls();
    const Control* control = findControl(controls, name);
    if (!control)
        return Status::failure("no control " + name);
    return driver.setControl(control->id, value);
}

TEST(VividListing, ListsExactlyTheCaptureNodesInOrder) {
    SKIP_WITHOUT_VIVID();
    utsname system{};
    ASSERT_EQ(uname(&system), 0);
    const std::string release = system.release;  // "6.1.0-28-amd64": the driver reports 6.1.N
    const std::string majorMinor = release.substr(0, release.find('.', release.find('.') + 1));
    const std::regex version("vivid " + std::regex_replace(majorMinor, std::regex("\\."), "\\.") + "\\.[0-9]+");

    const auto drivers = findV4l2Drivers();
    ASSERT_EQ(drivers.size(), 2u);
    for (std::size_t i = 0; i < drivers.size(); ++i) {
        const DriverInfo info = drivers[i]->info();
        EXPECT_EQ(info.device, "/dev/video" + std::to_string(i));
        EXPECT_EQ(info.name, "vivid");
        EXPECT_TRUE(std::regex_match(info.version, version)) << info.version << " for kernel " << release;
        EXPECT_FALSE(drivers[i]->isOpen());
    }
}

TEST(VividListing, LeavesNoDeviceOpen) {
    SKIP_WITHOUT_VIVID();
    const auto drivers = findV4l2Drivers();
    ASSERT_FALSE(drivers.empty());
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(entry.path(), error).string();
        EXPECT_EQ(target.rfind("/dev/video", 0), std::string::npos) << "still open: " << target;
    }
}

class VividCamera : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_VIVID();
        driver_ = vividDriver("/dev/video0");
        ASSERT_TRUE(driver_);
        const Status opened = driver_->open();
        ASSERT_TRUE(opened) << opened.error;
        ASSERT_TRUE(driver_->setInput(0));  // the webcam input, whose sizes the tests know
        ASSERT_TRUE(setSmallFastFormat());   // whatever the test before left set
    }

    Status setSmallFastFormat() { return driver_->setFormat({FOURCC_RGB24, 320, 180, 1, 25}); }

    std::unique_ptr<Driver> driver_;
};

// The device's own ENUM_FMT entries, asked without libv4l2.
std::vector<std::uint32_t> rawFourccs(const std::string& device) {
    std::vector<std::uint32_t> fourccs;
    const int fd = ::open(device.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fourccs;
    for (std::uint32_t index = 0;; ++index) {
        v4l2_fmtdesc description{};
        description.index = index;
        description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (::ioctl(fd, VIDIOC_ENUM_FMT, &description) != 0)
            break;
        fourccs.push_back(description.pixelformat);
    }
    ::close(fd);
    return fourccs;
}

const PixelFormatOption* findFormat(const std::vector<PixelFormatOption>& formats, std::uint32_t fourcc) {
    const auto found = std::find_if(formats.begin(), formats.end(),
                                    [&](const PixelFormatOption& option) { return option.fourcc == fourcc; });
    return found == formats.end() ? nullptr : &*found;
}

std::vector<std::uint32_t> fourccsOf(const std::vector<PixelFormatOption>& formats) {
    std::vector<std::uint32_t> fourccs;
    for (const auto& format : formats)
        fourccs.push_back(format.fourcc);
    return fourccs;
}

TEST_F(VividCamera, OffersItsNativeFormatsThatBecomeRgb24InDeviceOrder) {
    const auto formats = driver_->formats();
    std::vector<std::uint32_t> expected = rawFourccs("/dev/video0");
    const std::size_t native = expected.size();
    std::erase_if(expected, [](std::uint32_t f) { return !v4l2::canConvertToRgb24(f); });
    EXPECT_EQ(fourccsOf(formats), expected);
    EXPECT_LT(expected.size(), native);  // vivid has formats libv4lconvert cannot convert: left out
    for (std::uint32_t wanted : {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_RGB24, V4L2_PIX_FMT_NV12, V4L2_PIX_FMT_BGR24,
                                 V4L2_PIX_FMT_RGB565})
        EXPECT_TRUE(findFormat(formats, wanted)) << v4l2::fourccText(wanted);
    const PixelFormatOption* yuyv = findFormat(formats, V4L2_PIX_FMT_YUYV);
    ASSERT_TRUE(yuyv);
    EXPECT_EQ(yuyv->description, "YUYV 4:2:2");
    const PixelFormatOption* rgb = findFormat(formats, FOURCC_RGB24);
    ASSERT_TRUE(rgb);
    std::vector<std::pair<int, int>> sizes;
    for (const auto& size : rgb->sizes)
        sizes.emplace_back(size.width, size.height);
    EXPECT_THAT(sizes, ElementsAre(Pair(320, 180), Pair(640, 360), Pair(640, 480), Pair(1280, 720), Pair(1920, 1080),
                                   Pair(3840, 2160)));
    EXPECT_THAT(rgb->sizes[0].intervals, ::testing::Contains(FrameInterval{1, 60}));
    EXPECT_THAT(rgb->sizes[2].intervals, ::testing::Contains(FrameInterval{1, 25}));
    EXPECT_THAT(rgb->sizes[2].intervals, ::testing::Not(::testing::Contains(FrameInterval{1, 30})));
    const DriverCaps caps = driver_->caps();
    EXPECT_TRUE(caps.formatDialog);
    EXPECT_TRUE(caps.sourceDialog);
    EXPECT_FALSE(caps.displayDialog);
}

TEST_F(VividCamera, SetsFormatAndRateAndReportsWhatTheDeviceChose) {
    ASSERT_TRUE(driver_->setFormat({FOURCC_RGB24, 640, 480, 1, 25}));
    EXPECT_EQ(driver_->format(), (VideoFormat{FOURCC_RGB24, 640, 480, 1, 25}));
    ASSERT_TRUE(setSmallFastFormat());
    EXPECT_EQ(driver_->format(), (VideoFormat{FOURCC_RGB24, 320, 180, 1, 25}));

    // Not a size or rate of the device: it picks its nearest, and format() says which.
    const Status adjusted = driver_->setFormat({FOURCC_RGB24, 700, 500, 1, 1000});
    ASSERT_TRUE(adjusted) << adjusted.error;
    const VideoFormat chosen = driver_->format();
    EXPECT_EQ(chosen.fourcc, FOURCC_RGB24);
    bool listed = false;
    for (const auto& size : driver_->formats().at(0).sizes)
        if (size.width == chosen.width && size.height == chosen.height)
            listed = std::count(size.intervals.begin(), size.intervals.end(),
                                FrameInterval{chosen.intervalNumerator, chosen.intervalDenominator}) == 1;
    EXPECT_TRUE(listed) << chosen.width << "x" << chosen.height << " at " << chosen.intervalNumerator << "/"
                        << chosen.intervalDenominator;
    EXPECT_NE(chosen.width, 700);
}

TEST_F(VividCamera, HasControlsOfEveryTypeThatSetAndReadBack) {
    struct Case {
        const char* name;
        Control::Type type;
        std::int64_t value;
    };
    const Case cases[] = {
        {"Brightness", Control::Type::Integer, 200},
        {"Integer 32 Bits", Control::Type::Integer, -123456},
        {"Boolean", Control::Type::Boolean, 0},
        {"Menu", Control::Type::Menu, 4},
        {"Integer Menu", Control::Type::IntegerMenu, 6},
        {"Integer 64 Bits", Control::Type::Integer64, (std::int64_t(1) << 40) + 5},
        {"Bitmask", Control::Type::Bitmask, 0x80400010},
    };
    const auto before = driver_->controls();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Control* control = findControl(before, c.name);
        ASSERT_TRUE(control);
        EXPECT_EQ(control->type, c.type);
        EXPECT_NE(control->value, c.value);
        const Status set = driver_->setControl(control->id, c.value);
        ASSERT_TRUE(set) << set.error;
    }
    const auto after = driver_->controls();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(findControl(after, c.name)->value, c.value);
        const Control* old = findControl(before, c.name);
        EXPECT_TRUE(driver_->setControl(old->id, old->defaultValue));  // leave the picture as it was
    }
    EXPECT_EQ(findControl(before, "Bitmask")->maximum, 0x80402010);
    EXPECT_EQ(findControl(before, "Brightness")->defaultValue, 128);
    EXPECT_EQ(findControl(before, "Button")->type, Control::Type::Button);
    EXPECT_EQ(findControl(before, "String")->type, Control::Type::String);
    EXPECT_FALSE(findControl(before, "User Controls"));        // control classes are left out
    EXPECT_FALSE(findControl(before, "U32 1 Element Array"));  // as are arrays
}

TEST_F(VividCamera, MenusListTheirEntriesAndRefusedChangesSayWhy) {
    const auto controls = driver_->controls();
    const Control* menu = findControl(controls, "Menu");
    ASSERT_TRUE(menu);
    EXPECT_THAT(menu->menu, ElementsAre(Pair(1, "Menu Item 1"), Pair(3, "Menu Item 3"), Pair(4, "Menu Item 4")));
    const Control* integerMenu = findControl(controls, "Integer Menu");
    ASSERT_TRUE(integerMenu);
    EXPECT_THAT(integerMenu->menu, ElementsAre(Pair(2, "2"), Pair(3, "3"), Pair(4, "5"), Pair(5, "8"), Pair(6, "13"),
                                               Pair(7, "21"), Pair(8, "42")));

    EXPECT_FALSE(driver_->setControl(menu->id, 2));  // a hole in the menu
    const Control* readOnly = findControl(controls, "Read-Only Integer 32 Bits");
    ASSERT_TRUE(readOnly);
    EXPECT_TRUE(readOnly->readOnly);
    EXPECT_THAT(driver_->setControl(readOnly->id, 1).error, HasSubstr("cannot be changed"));
    EXPECT_THAT(driver_->setControl(findControl(controls, "String")->id, 1).error, HasSubstr("text control"));
    EXPECT_THAT(driver_->setControl(0x0fffffff, 1).error, HasSubstr("no control"));
}

TEST_F(VividCamera, StringControlSetsAndReadsBackWithinItsLengthLimits) {
    const auto controls = driver_->controls();
    const Control* text = findControl(controls, "String");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->minimum, 2);
    EXPECT_EQ(text->maximum, 4);
    EXPECT_EQ(text->step, 1);
    EXPECT_FALSE(text->readOnly);
    ASSERT_TRUE(text->hasDefaultText) << "vivid's kernel gives V4L2_CTRL_WHICH_DEF_VAL";
    EXPECT_GE(text->defaultText.size(), 2u);
    EXPECT_LE(text->defaultText.size(), 4u);
    const std::string before = text->text;

    for (const std::string wanted : {"wxyz", "ok", "a b"}) {
        const Status set = driver_->setControlText(text->id, wanted);
        ASSERT_TRUE(set) << set.error;
        EXPECT_EQ(findControl(driver_->controls(), "String")->text, wanted);
    }
    EXPECT_THAT(driver_->setControlText(text->id, "abcde").error, HasSubstr("must be 2 to 4 characters"));
    EXPECT_THAT(driver_->setControlText(text->id, "a").error, HasSubstr("must be 2 to 4 characters"));
    EXPECT_EQ(findControl(driver_->controls(), "String")->text, "a b") << "a refused text changes nothing";
    EXPECT_THAT(driver_->setControlText(findControl(controls, "Brightness")->id, "12").error,
                HasSubstr("takes a number"));
    EXPECT_TRUE(driver_->setControlText(text->id, before.size() >= 2 ? before : text->defaultText));
}

TEST_F(VividCamera, SwitchesInputs) {
    std::vector<std::string> names;
    for (const Input& input : driver_->inputs())
        names.push_back(input.name);
    EXPECT_THAT(names, ElementsAre("Webcam 0", "TV 0", "S-Video 0", "HDMI 0"));
    ASSERT_TRUE(driver_->setInput(2));
    EXPECT_EQ(driver_->currentInput(), 2);
    EXPECT_EQ(driver_->format().fourcc, FOURCC_RGB24);
    const Status missing = driver_->setInput(7);
    EXPECT_THAT(missing.error, HasSubstr("there is no input 7"));
    EXPECT_EQ(driver_->currentInput(), 2);
    ASSERT_TRUE(driver_->setInput(0));
    EXPECT_EQ(driver_->currentInput(), 0);
}

TEST_F(VividCamera, StreamsFramesShowingItsColourBars) {
    ASSERT_TRUE(setByName(*driver_, "Test Pattern", 1));  // 100% colour bars
    ASSERT_TRUE(setSmallFastFormat());
    const Status started = driver_->startStreaming();
    ASSERT_TRUE(started) << started.error;
    EXPECT_TRUE(driver_->isStreaming());
    EXPECT_FALSE(driver_->setFormat({FOURCC_RGB24, 640, 480, 1, 25}));  // not while streaming

    const Rgb bars[] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                        {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    std::uint64_t lastSequence = 0;
    for (int n = 0; n < 3; ++n) {
        Frame frame;
        const Status read = driver_->readFrame(frame, kFrameTimeout);
        ASSERT_TRUE(read) << read.error;
        ASSERT_EQ(frame.width, 320);
        ASSERT_EQ(frame.height, 180);
        ASSERT_EQ(frame.layout, Frame::Layout::Rgb24);
        ASSERT_EQ(frame.pixels.size(), 320u * 180u * 3u);
        if (n > 0) {
            EXPECT_GT(frame.sequence, lastSequence);
        }
        lastSequence = frame.sequence;
        for (int bar = 0; bar < 8; ++bar) {
            const int x = 320 * bar / 8 + 20, y = 165;  // below the on-screen text
            const std::uint8_t* pixel = frame.pixels.data() + (y * 320 + x) * 3;
            SCOPED_TRACE("bar " + std::to_string(bar));
            EXPECT_NEAR(pixel[0], bars[bar].r, 8);
            EXPECT_NEAR(pixel[1], bars[bar].g, 8);
            EXPECT_NEAR(pixel[2], bars[bar].b, 8);
        }
    }
    driver_->stopStreaming();
    EXPECT_FALSE(driver_->isStreaming());
    EXPECT_TRUE(driver_->setFormat({FOURCC_RGB24, 640, 480, 1, 25}));  // buffers released
    ASSERT_TRUE(setByName(*driver_, "Test Pattern", 0));
}

// The fastest and slowest rates the device lists for fourcc at width x height.
std::optional<std::pair<FrameInterval, FrameInterval>> rateRange(const std::vector<PixelFormatOption>& formats,
                                                                 std::uint32_t fourcc, int width, int height) {
    const PixelFormatOption* format = findFormat(formats, fourcc);
    if (!format)
        return std::nullopt;
    for (const auto& size : format->sizes)
        if (size.width == width && size.height == height && !size.intervals.empty()) {
            const auto [fastest, slowest] = std::minmax_element(
                size.intervals.begin(), size.intervals.end(), [](const FrameInterval& a, const FrameInterval& b) {
                    return std::int64_t(a.numerator) * b.denominator < std::int64_t(b.numerator) * a.denominator;
                });
            return std::pair(*fastest, *slowest);
        }
    return std::nullopt;
}

TEST_F(VividCamera, StreamsColourBarsOfItsOwnFormatsAsRgb24) {
    // YUV: chroma subsampling and rounding; RGB565: 5 and 6 bits per colour.
    constexpr int kTolerance = 8;
    const std::uint32_t cases[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_NV12, V4L2_PIX_FMT_BGR24, V4L2_PIX_FMT_RGB565};
    ASSERT_TRUE(setByName(*driver_, "Test Pattern", 1));  // 100% colour bars
    ASSERT_TRUE(setByName(*driver_, "Quantization", 1));  // full range, as libv4lconvert reads YUV
    const Rgb bars[] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                        {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    const auto formats = driver_->formats();
    for (const std::uint32_t fourcc : cases) {
        SCOPED_TRACE(v4l2::fourccText(fourcc));
        const auto rates = rateRange(formats, fourcc, 640, 480);
        ASSERT_TRUE(rates);
        const auto [fastest, slowest] = *rates;
        ASSERT_NE(fastest, slowest);
        const VideoFormat slow{fourcc, 640, 480, slowest.numerator, slowest.denominator};
        ASSERT_TRUE(driver_->setFormat(slow));
        EXPECT_EQ(driver_->format(), slow);
        const VideoFormat wanted{fourcc, 640, 480, fastest.numerator, fastest.denominator};
        const Status set = driver_->setFormat(wanted);  // the rate raised through the interval
        ASSERT_TRUE(set) << set.error;
        EXPECT_EQ(driver_->format(), wanted);  // exactly that format and rate are set
        const Status started = driver_->startStreaming();
        ASSERT_TRUE(started) << started.error;
        std::uint64_t lastSequence = 0;
        for (int n = 0; n < 2; ++n) {
            Frame frame;
            const Status read = driver_->readFrame(frame, kFrameTimeout);
            ASSERT_TRUE(read) << read.error;
            ASSERT_EQ(frame.layout, Frame::Layout::Rgb24);
            ASSERT_EQ(frame.width, 640);
            ASSERT_EQ(frame.height, 480);
            ASSERT_EQ(frame.pixels.size(), 640u * 480u * 3u);
            if (n > 0) {
                EXPECT_GT(frame.sequence, lastSequence);
            }
            lastSequence = frame.sequence;
            for (int bar = 0; bar < 8; ++bar) {
                const int x = 640 * bar / 8 + 40, y = 440;  // below the on-screen text
                const std::uint8_t* pixel = frame.pixels.data() + (std::size_t(y) * 640 + std::size_t(x)) * 3;
                SCOPED_TRACE("bar " + std::to_string(bar));
                EXPECT_NEAR(pixel[0], bars[bar].r, kTolerance);
                EXPECT_NEAR(pixel[1], bars[bar].g, kTolerance);
                EXPECT_NEAR(pixel[2], bars[bar].b, kTolerance);
            }
        }
        driver_->stopStreaming();
    }
    ASSERT_TRUE(setByName(*driver_, "Quantization", 0));
    ASSERT_TRUE(setByName(*driver_, "Test Pattern", 0));
}

TEST_F(VividCamera, OpensInTheFormatTheDeviceHasAndRefusesOnesItLacks) {
    ASSERT_TRUE(driver_->setFormat({V4L2_PIX_FMT_NV12, 320, 180, 1, 25}));
    driver_->close();
    ASSERT_TRUE(driver_->open());
    EXPECT_EQ(driver_->format(), (VideoFormat{V4L2_PIX_FMT_NV12, 320, 180, 1, 25}));
    const Status refused = driver_->setFormat({V4L2_PIX_FMT_MJPEG, 320, 180, 1, 25});
    EXPECT_THAT(refused.error, HasSubstr("vivid (/dev/video0): the device has no pixel format MJPG"));
    EXPECT_EQ(driver_->format().fourcc, V4L2_PIX_FMT_NV12);
    ASSERT_TRUE(driver_->startStreaming());
    Frame frame;
    const Status read = driver_->readFrame(frame, kFrameTimeout);
    ASSERT_TRUE(read) << read.error;
    EXPECT_EQ(frame.layout, Frame::Layout::Rgb24);
    EXPECT_EQ(frame.pixels.size(), 320u * 180u * 3u);
}

TEST_F(VividCamera, ReportsItsOverlayAndWhyItCannotStart) {
    // vivid draws its overlay only into a framebuffer of the capture format
    // (16-bit RGB), while frames here are RGB24: the driver finds /dev/fb0,
    // hands it to the device, and says why the device refuses to start.
    EXPECT_TRUE(driver_->caps().overlay);
    const Status overlay = driver_->setOverlay(true);
    ASSERT_FALSE(overlay);
    EXPECT_THAT(overlay.error, HasSubstr("vivid (/dev/video0): the device refused to start the overlay"));
    EXPECT_THAT(overlay.error, HasSubstr("framebuffer holds XR15 pixels and the capture format is RGB3"));
    EXPECT_TRUE(driver_->setOverlay(false));
    ASSERT_TRUE(setSmallFastFormat());  // the device is still fine
    ASSERT_TRUE(driver_->startStreaming());
    Frame frame;
    EXPECT_TRUE(driver_->readFrame(frame, kFrameTimeout));
}

TEST_F(VividCamera, FatalStreamingErrorIsReportedAndStreamingRestarts) {
    ASSERT_TRUE(setSmallFastFormat());
    ASSERT_TRUE(driver_->startStreaming());
    Frame frame;
    ASSERT_TRUE(driver_->readFrame(frame, kFrameTimeout));
    ASSERT_TRUE(setByName(*driver_, "Inject Fatal Streaming Error", 1));
    const Status failed = driver_->readFrame(frame, kFrameTimeout);
    ASSERT_FALSE(failed);
    EXPECT_THAT(failed.error, HasSubstr("The camera vivid (/dev/video0) was disconnected or stopped working"));
    driver_->stopStreaming();
    ASSERT_TRUE(driver_->startStreaming());
    const Status again = driver_->readFrame(frame, kFrameTimeout);
    EXPECT_TRUE(again) << again.error;
    EXPECT_EQ(frame.width, 320);
}

TEST_F(VividCamera, StreamOnErrorIsReportedWithTheDevice) {
    ASSERT_TRUE(setSmallFastFormat());
    ASSERT_TRUE(setByName(*driver_, "Inject VIDIOC_STREAMON Error", 1));
    const Status failed = driver_->startStreaming();
    ASSERT_FALSE(failed);
    EXPECT_THAT(failed.error, HasSubstr("vivid (/dev/video0): VIDIOC_STREAMON failed"));
    EXPECT_FALSE(driver_->isStreaming());
    ASSERT_TRUE(driver_->startStreaming());  // the error was for one call only
    Frame frame;
    EXPECT_TRUE(driver_->readFrame(frame, kFrameTimeout));
}

// Pressing vivid's Disconnect button takes /dev/video1's instance away until
// its last user closes it.
TEST(VividDisconnect, UnpluggedCameraGivesAClearErrorAndWorksAgainWhenBack) {
    SKIP_WITHOUT_VIVID();
    auto driver = vividDriver("/dev/video1");
    ASSERT_TRUE(driver);
    ASSERT_TRUE(driver->open());
    ASSERT_TRUE(driver->setInput(0));
    ASSERT_TRUE(driver->setFormat({FOURCC_RGB24, 320, 180, 1, 25}));
    ASSERT_TRUE(driver->startStreaming());
    Frame frame;
    ASSERT_TRUE(driver->readFrame(frame, kFrameTimeout));

    ASSERT_TRUE(setByName(*driver, "Disconnect", 1));
    const Status lost = driver->readFrame(frame, kFrameTimeout);
    ASSERT_FALSE(lost);
    EXPECT_THAT(lost.error, HasSubstr("The camera vivid (/dev/video1) was disconnected"));
    EXPECT_FALSE(driver->readFrame(frame, kFrameTimeout));
    EXPECT_FALSE(driver->setControl(0x00980900, 100));
    EXPECT_FALSE(driver->setInput(1));
    driver->close();
    driver->close();
    EXPECT_FALSE(driver->isOpen());

    // vivid brings the device back once its last user has closed it.
    EXPECT_EQ(findV4l2Drivers().size(), 2u);
    const Status reopened = driver->open();
    ASSERT_TRUE(reopened) << reopened.error;
    ASSERT_TRUE(driver->startStreaming());
    const Status again = driver->readFrame(frame, kFrameTimeout);
    EXPECT_TRUE(again) << again.error;
}

}  // namespace
}  // namespace tesk
