// The test-pattern driver on its own: picture content, formats, controls and faults.
#include "tesk/frame_image.h"
#include "tesk/test_pattern_driver.h"
#include "tesk_test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace tesk {
namespace {

using namespace std::chrono_literals;

Rgb pixelAt(const Frame& frame, int x, int y) {
    const std::vector<std::uint8_t> rgb = frameToRgb24(frame);
    const std::uint8_t* p = rgb.data() + (std::size_t(y) * frame.width + x) * 3;
    return {p[0], p[1], p[2]};
}

Frame readOne(TestPatternDriver& driver) {
    Frame frame;
    EXPECT_TRUE(driver.readFrame(frame, 2s).ok());
    return frame;
}

TEST(TestPatternDriver, DefaultsAndIdentity) {
    TestPatternDriver driver;
    EXPECT_EQ(driver.info().name, "Video Capture Test Pattern");
    EXPECT_FALSE(driver.info().version.empty());
    EXPECT_EQ(driver.format(), (VideoFormat{FOURCC_RGB24, 320, 240, 1, 15}));
    const DriverCaps caps = driver.caps();
    EXPECT_FALSE(caps.overlay);
    EXPECT_TRUE(caps.sourceDialog && caps.formatDialog && caps.displayDialog);
    EXPECT_FALSE(driver.setOverlay(true).ok());
}

TEST(TestPatternDriver, ListsBothFormatsWithSizesAndRates) {
    TestPatternDriver driver;
    const auto formats = driver.formats();
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].fourcc, FOURCC_RGB24);
    EXPECT_EQ(formats[1].fourcc, FOURCC_PAL8);
    for (const auto& f : formats) {
        std::set<std::pair<int, int>> sizes;
        int fastest = 0;
        for (const auto& s : f.sizes) {
            sizes.insert({s.width, s.height});
            for (const auto& i : s.intervals) fastest = std::max(fastest, i.denominator / i.numerator);
        }
        EXPECT_TRUE(sizes.count({160, 120}) && sizes.count({320, 240}) && sizes.count({1920, 1080}));
        EXPECT_EQ(sizes.begin()->first, 160);
        EXPECT_GE(fastest, 60);
    }
}

TEST(TestPatternDriver, AdjustsRequestsToListedFormats) {
    struct Case {
        VideoFormat wanted, got;
    } cases[] = {
        {{FOURCC_PAL8, 640, 480, 1, 30}, {FOURCC_PAL8, 640, 480, 1, 30}},
        {{FOURCC_RGB24, 1920, 1080, 1, 60}, {FOURCC_RGB24, 1920, 1080, 1, 60}},
        {{FOURCC_RGB24, 650, 470, 1, 29}, {FOURCC_RGB24, 640, 480, 1, 30}},
        {{fourcc('Y', 'U', 'Y', 'V'), 100, 50, 0, 0}, {FOURCC_RGB24, 160, 120, 1, 15}},
    };
    for (const auto& c : cases) {
        TestPatternDriver driver;
        EXPECT_TRUE(driver.setFormat(c.wanted).ok());
        EXPECT_EQ(driver.format(), c.got);
    }
    TestPatternDriver streaming;
    ASSERT_TRUE(streaming.open().ok());
    ASSERT_TRUE(streaming.startStreaming().ok());
    EXPECT_FALSE(streaming.setFormat({FOURCC_RGB24, 640, 480, 1, 15}).ok());
}

// Bars in order across the top two thirds, at every size and in both layouts.
TEST(TestPatternDriver, BarsAreWhereTheyBelong) {
    const VideoFormat formats[] = {{FOURCC_RGB24, 160, 120, 1, 15},
                                   {FOURCC_RGB24, 320, 240, 1, 15},
                                   {FOURCC_RGB24, 1920, 1080, 1, 15},
                                   {FOURCC_PAL8, 352, 288, 1, 15}};
    for (const auto& format : formats) {
        SCOPED_TRACE(std::to_string(format.width) + "x" + std::to_string(format.height));
        TestPatternDriver driver;
        ASSERT_TRUE(driver.setFormat(format).ok());
        ASSERT_TRUE(driver.open().ok());
        ASSERT_TRUE(driver.startStreaming().ok());
        const Frame frame = readOne(driver);
        ASSERT_TRUE(frameIsWhole(frame));
        EXPECT_EQ(frame.width, format.width);
        EXPECT_EQ(frame.height, format.height);
        EXPECT_EQ(frame.layout, format.fourcc == FOURCC_PAL8 ? Frame::Layout::Indexed8 : Frame::Layout::Rgb24);
        for (int bar = 0; bar < 8; ++bar)
            for (int y : {0, format.height / 3, format.height * 2 / 3 - 1})
                EXPECT_EQ(pixelAt(frame, (2 * bar + 1) * format.width / 16, y), kColourBars[bar]) << "bar " << bar;
        // The band below the bars is not bars.
        const Rgb band = format.fourcc == FOURCC_PAL8 ? testPatternPalette()[testPatternPaletteIndex({32, 32, 32})]
                                                      : Rgb{32, 32, 32};
        EXPECT_EQ(pixelAt(frame, format.width - 1, format.height * 2 / 3 + 1), band);
    }
}

// With a palette set, every pixel of an 8-bit frame is the palette entry
// nearest to the same frame drawn in RGB, in every pattern and brightness.
TEST(TestPatternDriver, EightBitFramesUseTheGivenPaletteNearestColour) {
    const std::vector<Rgb> palette = {{0, 0, 0}, {250, 250, 250}, {200, 20, 20}, {20, 20, 200}, {100, 100, 100},
                                      {0, 180, 0}};
    struct Case {
        TestPattern pattern;
        int brightness;
    } cases[] = {{TestPattern::ColourBars, 128}, {TestPattern::GreyRamp, 128}, {TestPattern::ColourBars, 60}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.pattern));
        TestPatternDriver rgb, pal;
        for (TestPatternDriver* driver : {&rgb, &pal}) {
            ASSERT_TRUE(driver->setControl(TEST_PATTERN_CID_PATTERN, int(c.pattern)).ok());
            ASSERT_TRUE(driver->setControl(TEST_PATTERN_CID_BRIGHTNESS, c.brightness).ok());
        }
        ASSERT_TRUE(rgb.setFormat({FOURCC_RGB24, 320, 240, 1, 15}).ok());
        ASSERT_TRUE(pal.setFormat({FOURCC_PAL8, 320, 240, 1, 15}).ok());
        pal.setPalette(palette);
        Frame drawn, mapped;
        rgb.render(drawn, 7, 500ms);
        pal.render(mapped, 7, 500ms);
        ASSERT_TRUE(frameIsWhole(mapped));
        EXPECT_EQ(mapped.palette, palette);
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < mapped.pixels.size(); ++i) {
            const Rgb colour{drawn.pixels[3 * i], drawn.pixels[3 * i + 1], drawn.pixels[3 * i + 2]};
            auto distance = [&](Rgb p) {
                return (colour.r - p.r) * (colour.r - p.r) + (colour.g - p.g) * (colour.g - p.g) +
                       (colour.b - p.b) * (colour.b - p.b);
            };
            int best = distance(palette[0]);
            for (const Rgb& p : palette) best = std::min(best, distance(p));
            if (mapped.pixels[i] >= palette.size() || distance(palette[mapped.pixels[i]]) != best) ++wrong;
        }
        EXPECT_EQ(wrong, 0u);
    }
    // The bars in the given colours, and an empty palette gives back the driver's own.
    TestPatternDriver pal;
    ASSERT_TRUE(pal.setFormat({FOURCC_PAL8, 320, 240, 1, 15}).ok());
    pal.setPalette(palette);
    Frame frame;
    pal.render(frame, 0, 0ms);
    const Rgb expected[8] = {palette[1], palette[4], palette[4], palette[5],
                             palette[4], palette[2], palette[3], palette[0]};
    for (int bar = 0; bar < 8; ++bar) EXPECT_EQ(pixelAt(frame, (2 * bar + 1) * 20, 10), expected[bar]) << "bar " << bar;
    pal.setPalette({});
    pal.render(frame, 0, 0ms);
    EXPECT_EQ(frame.palette, testPatternPalette());
}

TEST(TestPatternDriver, CounterAndMovingBoxAdvanceFrameToFrame) {
    TestPatternDriver driver;
    ASSERT_TRUE(driver.setFormat({FOURCC_RGB24, 320, 240, 1, 60}).ok());
    ASSERT_TRUE(driver.open().ok());
    ASSERT_TRUE(driver.startStreaming().ok());
    std::vector<Frame> frames;
    for (int i = 0; i < 4; ++i) frames.push_back(readOne(driver));
    const TestPatternLayout l = testPatternLayout(320, 240);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].sequence, i);
        EXPECT_EQ(testing::readCounter(frames[i]), std::optional<std::uint64_t>(i));
        if (i > 0) {
            EXPECT_GT(frames[i].timestamp, frames[i - 1].timestamp);
            // The box's lane differs from the frame before.
            const auto a = frameToRgb24(frames[i - 1]), b = frameToRgb24(frames[i]);
            const std::size_t lane = std::size_t(l.laneY) * 320 * 3;
            EXPECT_FALSE(std::equal(a.begin() + lane, a.end(), b.begin() + lane));
        }
    }
    // A frame far into the stream shows its own number, in the palettized format as well.
    TestPatternDriver pal;
    ASSERT_TRUE(pal.setFormat({FOURCC_PAL8, 640, 480, 1, 15}).ok());
    Frame frame;
    pal.render(frame, 123456, 8200ms);
    EXPECT_EQ(testing::readCounter(frame), std::optional<std::uint64_t>(123456));
}

TEST(TestPatternDriver, BrightnessAndPatternControls) {
    TestPatternDriver driver;
    const auto controls = driver.controls();
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0].name, "Brightness");
    EXPECT_EQ(controls[1].type, Control::Type::Menu);
    EXPECT_EQ(controls[1].menu.size(), 3u);
    Frame frame;
    ASSERT_TRUE(driver.setControl(TEST_PATTERN_CID_BRIGHTNESS, 64).ok());
    driver.render(frame, 0, 0ms);
    EXPECT_EQ(pixelAt(frame, 10, 10), (Rgb{127, 127, 127}));  // white bar at half brightness
    ASSERT_TRUE(driver.setControl(TEST_PATTERN_CID_BRIGHTNESS, 128).ok());
    ASSERT_TRUE(driver.setControl(TEST_PATTERN_CID_PATTERN, int(TestPattern::GreyRamp)).ok());
    driver.render(frame, 0, 0ms);
    EXPECT_EQ(pixelAt(frame, 0, 10), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixelAt(frame, 319, 10), (Rgb{255, 255, 255}));
    EXPECT_EQ(driver.controls()[1].value, 1);
    EXPECT_FALSE(driver.setControl(TEST_PATTERN_CID_BRIGHTNESS, 256).ok());
    EXPECT_FALSE(driver.setControl(TEST_PATTERN_CID_PATTERN, 3).ok());
    EXPECT_FALSE(driver.setControl(1234, 0).ok());
}

TEST(TestPatternDriver, FaultSwitches) {
    auto faults = std::make_shared<TestPatternFaults>();
    TestPatternDriver driver(faults);
    faults->refuseConnect = true;
    EXPECT_FALSE(driver.open().ok());
    EXPECT_FALSE(driver.isOpen());
    faults->refuseConnect = false;
    ASSERT_TRUE(driver.open().ok());
    ASSERT_TRUE(driver.startStreaming().ok());

    faults->brokenFrames = 1;
    Frame broken = readOne(driver);
    EXPECT_FALSE(frameIsWhole(broken));
    EXPECT_TRUE(frameIsWhole(readOne(driver)));

    faults->stopFrames = true;
    Frame none;
    EXPECT_FALSE(driver.readFrame(none, 50ms).ok());
    faults->stopFrames = false;
    EXPECT_TRUE(frameIsWhole(readOne(driver)));
    driver.close();
    EXPECT_FALSE(driver.readFrame(none, 50ms).ok());
}

}  // namespace
}  // namespace tesk
