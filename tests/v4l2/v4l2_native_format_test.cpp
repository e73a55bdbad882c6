// The camera's own pixel formats against an emulated device: what is
// listed, what open() and setFormat() leave set, and frames of those
// formats arriving as RGB24 (broken ones as errors for that frame).

#include "fake_device_fixture.h"

#include "tesk/v4l2/v4l2_formats.h"
#include "tesk/v4l2/v4l2_frame_converter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <turbojpeg.h>

#include <cmath>
#include <cstdlib>

namespace tesk::v4l2::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

constexpr std::uint32_t kMjpeg = V4L2_PIX_FMT_MJPEG;
constexpr std::uint32_t kYuyv = V4L2_PIX_FMT_YUYV;
constexpr std::uint32_t kH264 = V4L2_PIX_FMT_H264;  // native on some cameras, but not convertible
constexpr std::uint32_t kRgb = V4L2_PIX_FMT_RGB24;
constexpr std::uint32_t kBgr = V4L2_PIX_FMT_BGR24;

// BT.601 full range, as libv4lconvert reads YUYV.
struct Yuv {
    std::uint8_t y, u, v;
};
Yuv toYuv(Rgb c) {
    const double y = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    const auto clamp = [](double value) { return std::uint8_t(std::lround(std::min(255.0, std::max(0.0, value)))); };
    return {clamp(y), clamp(128 + (c.b - y) / 1.772), clamp(128 + (c.r - y) / 1.402)};
}

void expectColour(const Frame& frame, int x, int y, Rgb expected, int tolerance) {
    const std::uint8_t* pixel = frame.pixels.data() + (std::size_t(y) * std::size_t(frame.width) + std::size_t(x)) * 3;
    SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
    EXPECT_NEAR(pixel[0], expected.r, tolerance);
    EXPECT_NEAR(pixel[1], expected.g, tolerance);
    EXPECT_NEAR(pixel[2], expected.b, tolerance);
}

// A complete JPEG image of one colour, as an MJPEG camera sends it.
std::vector<std::uint8_t> solidJpeg(int width, int height, Rgb colour) {
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < width * height; ++i)
        rgb.insert(rgb.end(), {colour.r, colour.g, colour.b});
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_422, 95, 0);
    std::vector<std::uint8_t> bytes;
    if (result == 0)
        bytes.assign(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(handle);
    return bytes;
}

std::vector<std::uint32_t> fourccsOf(const std::vector<PixelFormatOption>& formats) {
    std::vector<std::uint32_t> fourccs;
    for (const auto& format : formats)
        fourccs.push_back(format.fourcc);
    return fourccs;
}

TEST(FrameConversion, KnowsWhichFormatsBecomeRgb24) {
    for (std::uint32_t convertible : {kYuyv, kMjpeg, V4L2_PIX_FMT_NV12, V4L2_PIX_FMT_YUV420, kRgb, kBgr,
                                      V4L2_PIX_FMT_SBGGR8})
        EXPECT_TRUE(canConvertToRgb24(convertible)) << fourccText(convertible);
    for (std::uint32_t unknown : {kH264, fourcc('Z', 'Z', 'Z', 'Z')})
        EXPECT_FALSE(canConvertToRgb24(unknown)) << fourccText(unknown);
}

TEST_F(FakeCamera, ListsTheNativeFormatsThatBecomeRgb24InDeviceOrder) {
    io_->formats = {{kMjpeg, "Motion-JPEG", V4L2_FMT_FLAG_COMPRESSED},
                    {kH264, "H.264", V4L2_FMT_FLAG_COMPRESSED},
                    {kYuyv, "YUYV 4:2:2"},
                    {kRgb, "RGB3 (Emulated)", V4L2_FMT_FLAG_EMULATED},
                    {kBgr, "24-bit BGR 8-8-8"}};
    io_->pixelFormat = kYuyv;
    ASSERT_TRUE(driver_->open());
    const auto formats = driver_->formats();
    EXPECT_THAT(fourccsOf(formats), ElementsAre(kMjpeg, kYuyv, kBgr));
    ASSERT_EQ(formats.size(), 3u);
    EXPECT_EQ(formats[0].description, "Motion-JPEG");
    EXPECT_EQ(formats[2].description, "24-bit BGR 8-8-8");
    std::vector<std::pair<int, int>> sizes;
    for (const auto& size : formats[1].sizes)
        sizes.emplace_back(size.width, size.height);
    EXPECT_THAT(sizes, ElementsAre(std::pair(160, 120), std::pair(176, 144), std::pair(320, 240),
                                   std::pair(352, 288), std::pair(640, 360), std::pair(640, 480)));
    EXPECT_THAT(formats[1].sizes[0].intervals,
                ElementsAre(FrameInterval{1, 30}, FrameInterval{1, 25}, FrameInterval{1, 24}, FrameInterval{1, 20},
                            FrameInterval{1, 15}, FrameInterval{1, 10}));
    EXPECT_EQ(driver_->format(), (VideoFormat{kYuyv, 8, 4, 1, 30}));  // the device's current format stays
    EXPECT_TRUE(driver_->caps().formatDialog);
}

TEST_F(FakeCamera, OpensInTheCurrentFormatOrTheFirstThatBecomesRgb24) {
    struct Case {
        const char* what;
        std::uint32_t current;
        std::uint32_t expected;  // 0: open fails
    };
    const Case cases[] = {
        {"current format deliverable", kYuyv, kYuyv},
        {"current format not convertible", kH264, kMjpeg},
        {"only formats that cannot be converted", kH264, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        io_->formats = {{kH264, "H.264", V4L2_FMT_FLAG_COMPRESSED}};
        if (c.expected != 0)
            io_->formats.insert(io_->formats.end(), {{kMjpeg, "Motion-JPEG"}, {kYuyv, "YUYV 4:2:2"}});
        io_->pixelFormat = c.current;
        const Status opened = driver_->open();
        if (c.expected == 0) {
            EXPECT_THAT(opened.error, HasSubstr("offers no pixel format that can be converted to RGB24"));
            EXPECT_FALSE(driver_->isOpen());
            EXPECT_EQ(io_->openCount(), 0);
            continue;
        }
        ASSERT_TRUE(opened) << opened.error;
        EXPECT_EQ(driver_->format().fourcc, c.expected);
        EXPECT_EQ(io_->pixelFormat, c.expected);
        driver_->close();
    }
}

TEST_F(FakeCamera, SetsExactlyTheNativeFormatAsked) {
    struct Case {
        const char* what;
        std::vector<FakeCameraIo::Format> formats;
        std::uint32_t current;
        std::uint32_t asked;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"YUYV", {{kYuyv, "YUYV"}, {kRgb, "RGB3"}}, kRgb, kYuyv, kYuyv},
        {"native RGB24", {{kYuyv, "YUYV"}, {kRgb, "RGB3"}}, kYuyv, kRgb, kRgb},
        {"MJPEG", {{kYuyv, "YUYV"}, {kMjpeg, "MJPEG"}}, kYuyv, kMjpeg, kMjpeg},
        {"0 keeps the current format", {{kYuyv, "YUYV"}, {kMjpeg, "MJPEG"}}, kMjpeg, 0, kMjpeg},
        {"RGB24 from a device without it", {{kYuyv, "YUYV"}, {kMjpeg, "MJPEG"}}, kYuyv, kRgb, kYuyv},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        io_->formats = c.formats;
        io_->pixelFormat = c.current;
        ASSERT_TRUE(driver_->open());
        const Status set = driver_->setFormat({c.asked, 8, 4, 1, 30});
        ASSERT_TRUE(set) << set.error;
        EXPECT_EQ(driver_->format(), (VideoFormat{c.expected, 8, 4, 1, 30}));
        EXPECT_EQ(io_->pixelFormat, c.expected);
        driver_->close();
    }
}

TEST_F(FakeCamera, RefusesANativeFormatThatCannotBecomeRgb24AndKeepsItsFormat) {
    io_->formats = {{kYuyv, "YUYV"}, {kH264, "H.264", V4L2_FMT_FLAG_COMPRESSED}};
    io_->pixelFormat = kYuyv;
    ASSERT_TRUE(driver_->open());
    const Status refused = driver_->setFormat({kH264, 8, 4, 1, 30});
    EXPECT_THAT(refused.error, HasSubstr("has no pixel format H264 that can be delivered as RGB24"));
    EXPECT_EQ(driver_->format().fourcc, kYuyv);
    EXPECT_EQ(io_->pixelFormat, kYuyv);
}

TEST_F(FakeCamera, ConvertsYuyvFramesWithPaddedRowsToRgb24) {
    // 4x2 pixels; each pixel pair shares its chroma, so each pair has one colour.
    const Rgb colours[2][2] = {{{255, 0, 0}, {0, 255, 0}}, {{0, 0, 255}, {128, 128, 128}}};
    io_->width = 4;
    io_->height = 2;
    io_->bytesPerLine = 4 * 2 + 4;
    io_->pixelFormat = kYuyv;
    for (const auto& row : colours) {
        for (const Rgb& colour : row) {
            const Yuv yuv = toYuv(colour);
            io_->payload.insert(io_->payload.end(), {yuv.y, yuv.u, yuv.y, yuv.v});
        }
        io_->payload.insert(io_->payload.end(), 4, 0xee);  // padding must not show
    }
    ASSERT_TRUE(driver_->open());
    ASSERT_EQ(driver_->format().fourcc, kYuyv);
    ASSERT_TRUE(driver_->startStreaming());
    for (std::uint64_t expected = 0; expected < 4; ++expected) {  // buffers come back and convert again
        Frame frame;
        const Status read = driver_->readFrame(frame, 100ms);
        ASSERT_TRUE(read) << read.error;
        ASSERT_EQ(frame.layout, Frame::Layout::Rgb24);
        ASSERT_EQ(frame.width, 4);
        ASSERT_EQ(frame.height, 2);
        ASSERT_EQ(frame.pixels.size(), 4u * 2u * 3u);
        EXPECT_EQ(frame.sequence, expected);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                expectColour(frame, x, y, colours[y][x / 2], 10);
    }
}

TEST_F(FakeCamera, BrokenFramesAreErrorsForThatFrameOnly) {
    io_->width = 16;
    io_->height = 8;
    const Rgb colour{200, 40, 90};
    const std::vector<std::uint8_t> jpeg = solidJpeg(16, 8, colour);
    ASSERT_FALSE(jpeg.empty());
    std::vector<std::uint8_t> yuyv;
    const Yuv yuv = toYuv(colour);
    for (int i = 0; i < 16 * 8 / 2; ++i)
        yuyv.insert(yuyv.end(), {yuv.y, yuv.u, yuv.y, yuv.v});

    struct Case {
        const char* what;
        std::uint32_t fourcc;
        std::vector<std::uint8_t> good;
        std::vector<std::uint8_t> broken;
    };
    std::vector<std::uint8_t> corrupt = jpeg;
    std::fill(corrupt.begin() + std::ptrdiff_t(corrupt.size() / 3), corrupt.end(), 0);
    const Case cases[] = {
        {"corrupt MJPEG", kMjpeg, jpeg, corrupt},
        {"garbage MJPEG", kMjpeg, jpeg, std::vector<std::uint8_t>(200, 0x5a)},
        {"short YUYV", kYuyv, yuyv, std::vector<std::uint8_t>(yuyv.begin(), yuyv.begin() + 100)},
    };
    io_->formats = {{kYuyv, "YUYV 4:2:2"}, {kMjpeg, "Motion-JPEG", V4L2_FMT_FLAG_COMPRESSED}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(driver_->open());
        ASSERT_TRUE(driver_->setFormat({c.fourcc, 16, 8, 1, 30}));
        ASSERT_TRUE(driver_->startStreaming());
        for (const auto* payload : {&c.good, &c.broken, &c.good}) {
            io_->payload = *payload;
            Frame frame;
            const Status read = driver_->readFrame(frame, 100ms);
            if (payload == &c.broken) {
                ASSERT_FALSE(read);
                EXPECT_THAT(read.error, HasSubstr(path_ + "): broken frame (" + fourccText(c.fourcc)));
                continue;
            }
            ASSERT_TRUE(read) << read.error;
            ASSERT_EQ(frame.pixels.size(), 16u * 8u * 3u);
            for (int y = 0; y < 8; y += 7)
                for (int x = 0; x < 16; x += 15)
                    expectColour(frame, x, y, colour, 10);
        }
        driver_->close();
    }
}

}  // namespace
}  // namespace tesk::v4l2::testing
