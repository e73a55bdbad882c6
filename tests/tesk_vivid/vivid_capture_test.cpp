// The capture object with its default driver list against the kernel's
// vivid driver, inside the vivid virtual machine: /dev/video0 and /dev/video1
// are vivid capture nodes, then comes the test pattern. Outside the machine
// every test skips.
//
// The unplug test uses /dev/video1, so the other tests' device stays.

#include "tesk/capture_window.h"
#include "tesk/frame_image.h"
#include "tesk/tesk_capture.h"
#include "tesk/test_pattern_driver.h"
#include "tesk/v4l2/v4l2_devices.h"
#include "tesk_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

namespace tesk::testing {
namespace {

using ::testing::HasSubstr;

// vivid's smallest webcam size at a rate that keeps the run short.
constexpr VideoFormat kSmallFast{FOURCC_RGB24, 320, 180, 1, 25};

// The reason to skip, or empty when /dev/video0 is a vivid device.
std::string vividMissing() {
    if (!std::filesystem::exists("/dev/video0")) return "no /dev/video0: these tests run inside run-in-vivid-vm";
    const auto drivers = findV4l2Drivers();
    if (drivers.empty() || drivers[0]->info().version.rfind("vivid ", 0) != 0)
        return "/dev/video0 is not a vivid device";
    return {};
}

// The node's own capabilities, asked of the kernel without the component.
std::uint32_t deviceCaps(const char* device) {
    const int fd = ::open(device, O_RDWR | O_NONBLOCK);
    if (fd < 0) return 0;
    v4l2_capability capability{};
    const int result = ::ioctl(fd, VIDIOC_QUERYCAP, &capability);
    ::close(fd);
    if (result != 0) return 0;
    return (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps : capability.capabilities;
}

// The /dev/video nodes this process holds open.
std::vector<std::string> openVideoNodes() {
    std::vector<std::string> nodes;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (target.rfind("/dev/video", 0) == 0) nodes.push_back(target);
    }
    return nodes;
}

std::optional<std::uint32_t> controlId(const Driver& driver, const std::string& name) {
    for (const Control& control : driver.controls())
        if (control.name == name) return control.id;
    return std::nullopt;
}

// Reads a binary PPM ("P6 width height 255", then RGB rows).
std::optional<DecodedImage> readPpm(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maximum = 0;
    DecodedImage image;
    if (!(in >> magic >> image.width >> image.height >> maximum) || magic != "P6" || maximum != 255) return std::nullopt;
    in.get();  // the one white-space character before the pixels
    image.rgb.resize(std::size_t(image.width) * image.height * 3);
    if (!in.read(reinterpret_cast<char*>(image.rgb.data()), std::streamsize(image.rgb.size()))) return std::nullopt;
    return image;
}

// Decodes pictures with one run of the ffmpeg command: each start of it
// takes seconds inside the virtual machine, so all files go through one.
std::vector<std::optional<DecodedImage>> decodeWithOneFfmpeg(const std::vector<std::string>& files) {
    std::string command = "ffmpeg -v error -y";
    for (const auto& file : files) command += " -i '" + file + "'";
    for (std::size_t i = 0; i < files.size(); ++i)
        command += " -map " + std::to_string(i) + ":v -frames:v 1 -sws_flags accurate_rnd+full_chroma_int" +
                   " -pix_fmt rgb24 -c:v ppm -f image2 '" + files[i] + ".ppm'";
    std::vector<std::optional<DecodedImage>> images(files.size());
    if (std::system(command.c_str()) != 0) return images;
    for (std::size_t i = 0; i < files.size(); ++i) images[i] = readPpm(files[i] + ".ppm");
    return images;
}

class VividCapture : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string reason = vividMissing(); !reason.empty()) GTEST_SKIP() << reason;
        ASSERT_TRUE(dir.isValid());
        capture = std::make_unique<TeskCapture>([this] { return host.get(); });  // the default drivers
        capture->setMessageFunction([this](QWidget*, const std::string& text) { messages.push_back(text); });
        capture->setComponentSettings(ComponentSettings(dir.filePath("teskdrv.ini").toStdString()));
        capture->setFrameLossTimeout(std::chrono::milliseconds(1000));
        capture->SETCALLBACKSTATUS([this](capture::NativeWindow, std::int32_t code, std::string_view text) {
            statuses.emplace_back(code, std::string(text));
            return 1;
        });
    }
    void TearDown() override { capture.reset(); }

    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    bool hasStatus(std::int32_t code, const std::string& part = {}) const {
        return std::any_of(statuses.begin(), statuses.end(), [&](const auto& s) {
            return s.first == code && s.second.find(part) != std::string::npos;
        });
    }

    // Connects driver `index` on its webcam input at the small, fast format.
    void connectSmallFast(int index) {
        ASSERT_TRUE(capture->DRIVERCONNECT(index));
        Driver* driver = capture->connectedDriver();
        ASSERT_TRUE(driver);
        ASSERT_TRUE(driver->setInput(0));
        const Status set = driver->setFormat(kSmallFast);
        ASSERT_TRUE(set) << set.error;
        ASSERT_EQ(driver->format(), kSmallFast);
    }

    // Starts the preview in the capture window and waits for `frames` more painted frames.
    void previewUntilPainted(int frames) {
        ASSERT_TRUE(capture->CREATECAPTUREWINDOW(27));
        ASSERT_TRUE(capture->SETPREVIEWRATE(40));
        ASSERT_TRUE(capture->SETPREVIEW(1));
        CaptureWindow* window = capture->captureWindow();
        const int painted = window->paintCount();
        ASSERT_TRUE(processUntil([&] { return window->paintCount() >= painted + frames; }));
    }

    QTemporaryDir dir;
    std::unique_ptr<FakeHost> host = std::make_unique<FakeHost>();
    std::unique_ptr<TeskCapture> capture;
    std::vector<std::string> messages;
    std::vector<std::pair<std::int32_t, std::string>> statuses;
};

TEST_F(VividCapture, ListsBothCaptureNodesThenTheTestPattern) {
    utsname system{};
    ASSERT_EQ(::uname(&system), 0);
    const std::string release = system.release;  // "6.1.0-28-amd64": the driver reports 6.1.N
    const std::string majorMinor = release.substr(0, release.find('.', release.find('.') + 1));
    const std::regex vividVersion("vivid " + std::regex_replace(majorMinor, std::regex("\\."), "\\.") + "\\.[0-9]+");

    ASSERT_EQ(capture->ENUMCAPDRIVERS(), 3);
    char name[128], version[128];
    for (int index : {0, 1}) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(capture->GETDRIVERDESCRIPTION(index, name, sizeof name, version, sizeof version));
        EXPECT_STREQ(name, "vivid");
        EXPECT_TRUE(std::regex_match(version, vividVersion)) << version << " for kernel " << release;
    }
    ASSERT_TRUE(capture->GETDRIVERDESCRIPTION(2, name, sizeof name, version, sizeof version));
    EXPECT_STREQ(name, TestPatternDriver::kName);
    EXPECT_EQ(version, TestPatternDriver().info().version);
    EXPECT_FALSE(capture->GETDRIVERDESCRIPTION(3, name, sizeof name, version, sizeof version));
    EXPECT_FALSE(capture->DRIVERCONNECT(3));
}

TEST_F(VividCapture, ConnectsWithTheCapsTheDeviceReports) {
    const std::uint32_t kernelCaps = deviceCaps("/dev/video0");
    ASSERT_NE(kernelCaps & V4L2_CAP_VIDEO_CAPTURE, 0u);
    ASSERT_TRUE(capture->DRIVERCONNECT(0));
    EXPECT_TRUE(hasStatus(IDS_CAP_INFO, "Connected to vivid"));
    capture::CAPDRIVERCAPS caps;
    ASSERT_TRUE(capture->DRIVERGETCAPS(caps, sizeof caps));
    EXPECT_EQ(caps.WDEVICEINDEX, 0u);
    EXPECT_EQ(caps.FHASOVERLAY != 0, (kernelCaps & V4L2_CAP_VIDEO_OVERLAY) != 0);
    EXPECT_NE(caps.FHASOVERLAY, 0);  // the VM's vivid nodes have one
    EXPECT_NE(caps.FHASDLGVIDEOSOURCE, 0);
    EXPECT_NE(caps.FHASDLGVIDEOFORMAT, 0);
    EXPECT_EQ(caps.FHASDLGVIDEODISPLAY, 0);
    EXPECT_NE(caps.FCAPTUREINITIALIZED, 0);
    EXPECT_EQ(capture->GETCAPTUREWINDOWHEIGHT(), capture->connectedDriver()->format().height);

    // vivid refuses its overlay into the VM's framebuffer: a message, and the device stays usable.
    EXPECT_FALSE(capture->OVERLAY(1));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_THAT(messages[0], HasSubstr("The overlay could not start"));
    EXPECT_TRUE(capture->OVERLAY(0));
    connectSmallFast(0);
    ASSERT_TRUE(capture->GRABFRAME());
    // Connecting the other node releases this one.
    ASSERT_TRUE(capture->DRIVERCONNECT(1));
    EXPECT_THAT(openVideoNodes(), ::testing::ElementsAre("/dev/video1"));
}

TEST_F(VividCapture, PreviewsIntoTheCaptureWindowAndChangesFormat) {
    connectSmallFast(0);
    Driver* driver = capture->connectedDriver();
    const auto pattern = controlId(*driver, "Test Pattern");
    ASSERT_TRUE(pattern);
    ASSERT_TRUE(driver->setControl(*pattern, 1));  // 100% colour bars
    previewUntilPainted(3);
    EXPECT_TRUE(capture->previewing());
    EXPECT_TRUE(hasStatus(capture::IDS_CAP_STAT_LIVE_MODE));
    CaptureWindow* window = capture->captureWindow();
    EXPECT_EQ(window->image().size(), QSize(320, 180));

    // The frame buffer holds the device's colour bars (below vivid's on-screen text).
    const auto frame = capture->currentFrame();
    ASSERT_TRUE(frame && frameIsWhole(*frame));
    EXPECT_GE(frame->sequence, 2u);  // counted from the stream's start
    const std::vector<std::uint8_t> rgb = frameToRgb24(*frame);
    for (int bar = 0; bar < 8; ++bar) {
        SCOPED_TRACE("bar " + std::to_string(bar));
        const std::uint8_t* pixel = rgb.data() + (165 * 320 + 320 * bar / 8 + 20) * 3;
        EXPECT_NEAR(pixel[0], kColourBars[bar].r, 8);
        EXPECT_NEAR(pixel[1], kColourBars[bar].g, 8);
        EXPECT_NEAR(pixel[2], kColourBars[bar].b, 8);
    }

    // A format change with the preview stopped, then the preview shows the new size.
    ASSERT_TRUE(capture->SETPREVIEW(0));
    EXPECT_FALSE(capture->previewing());
    EXPECT_FALSE(driver->isStreaming());
    ASSERT_TRUE(driver->setFormat({FOURCC_RGB24, 640, 360, 1, 25}));
    EXPECT_EQ(capture->GETCAPTUREWINDOWHEIGHT(), 360);
    ASSERT_TRUE(capture->SETPREVIEW(1));
    ASSERT_TRUE(processUntil([&] { return window->image().size() == QSize(640, 360); }));
    EXPECT_EQ(capture->currentFrame()->width, 640);
    EXPECT_TRUE(driver->setControl(*pattern, 0));
    EXPECT_TRUE(messages.empty());
    // Closing the capture object during the preview releases the device.
    capture.reset();
    EXPECT_TRUE(openVideoNodes().empty());
}

TEST_F(VividCapture, GrabsCopiesAndSavesTheFrame) {
    connectSmallFast(0);
    previewUntilPainted(2);
    ASSERT_TRUE(capture->GRABFRAME());
    EXPECT_FALSE(capture->previewing());
    const auto frame = capture->currentFrame();
    ASSERT_TRUE(frame && frameIsWhole(*frame));
    EXPECT_EQ(frame->width, 320);
    EXPECT_EQ(frame->height, 180);
    EXPECT_EQ(frame->sequence, 0u);  // the first frame of a stream of its own
    EXPECT_EQ(capture->captureWindow()->image(), frameToImage(*frame));

    ASSERT_TRUE(capture->EDITCOPY());
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(frame->width, frame->height));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), frameToImage(*frame));

    ASSERT_TRUE(capture->FILESAVEJPEG(path("vivid.jpg"), 100));
    ASSERT_TRUE(capture->FILESAVEDIB(path("vivid.bmp")));
    EXPECT_TRUE(messages.empty());
    if (!ffmpegAvailable()) GTEST_SKIP() << "the ffmpeg command is not installed, so the saved files are not decoded";
    const std::vector<std::uint8_t> rgb = frameToRgb24(*frame);
    const auto decoded = decodeWithOneFfmpeg({path("vivid.jpg"), path("vivid.bmp")});
    for (const auto& image : decoded) {
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, 320);
        EXPECT_EQ(image->height, 180);
    }
    EXPECT_GT(psnr(decoded[0]->rgb, rgb), 40.0);
    EXPECT_TRUE(decoded[1]->rgb == rgb);  // BMP is exact
}

// Pressing vivid's Disconnect button takes /dev/video1's instance away until
// its last user closes it, as an unplugged camera.
TEST_F(VividCapture, UnpluggedCameraStopsThePreviewWithAMessageAndReconnects) {
    connectSmallFast(1);
    previewUntilPainted(2);
    Driver* driver = capture->connectedDriver();
    const auto disconnect = controlId(*driver, "Disconnect");
    ASSERT_TRUE(disconnect);
    ASSERT_TRUE(driver->setControl(*disconnect, 1));

    ASSERT_TRUE(processUntil([&] { return !messages.empty(); }));
    EXPECT_FALSE(capture->previewing());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_THAT(messages[0], HasSubstr("stopped delivering pictures"));
    EXPECT_THAT(messages[0], HasSubstr("vivid (/dev/video1) was disconnected"));
    EXPECT_TRUE(hasStatus(IDS_CAP_DRIVER_ERROR, "stopped delivering pictures"));
    // The lost device is released at once: a grab meanwhile fails with a clear message and no crash.
    EXPECT_EQ(capture->connectedDriver(), nullptr);
    EXPECT_FALSE(capture->GRABFRAME());
    EXPECT_THAT(messages.back(), HasSubstr("No capture driver is connected"));

    // Connecting again opens the node vivid brought back, and the preview works.
    messages.clear();
    connectSmallFast(1);
    previewUntilPainted(3);
    EXPECT_TRUE(capture->previewing());
    EXPECT_EQ(capture->captureWindow()->image().size(), QSize(320, 180));
    EXPECT_TRUE(capture->DRIVERDISCONNECT());
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace tesk::testing
