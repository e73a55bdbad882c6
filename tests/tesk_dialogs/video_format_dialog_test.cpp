// The Video Format dialog, driven like a user: its three lists follow one
// another as the driver enumerates them, and OK or Cancel decide the result.

#include "fake_driver.h"
#include "modal_script.h"
#include "tesk/dialogs/driver_dialogs.h"
#include "tesk/test_pattern_driver.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using namespace tesk;
using namespace tesk_test;

const std::uint32_t kYuyv = fourcc('Y', 'U', 'Y', 'V');
const std::uint32_t kMjpeg = fourcc('M', 'J', 'P', 'G');

// YUYV lists fewer sizes than MJPEG, and each size its own rates.
FixedFormatDriver camera() {
    return FixedFormatDriver({
        {kYuyv, "YUYV 4:2:2", {{640, 480, {{1, 30}, {1, 15}}}, {1280, 720, {{1, 10}}}}},
        {kMjpeg, "Motion-JPEG", {{320, 240, {{1, 30}}}, {640, 480, {{1001, 30000}, {1, 60}}}, {1920, 1080, {{1, 30}}}}},
    });
}

TEST(VideoFormatDialog, ShowsTheCurrentFormatAndKeepsItOnOk) {
    const FixedFormatDriver driver = camera();
    VideoFormat format{kMjpeg, 640, 480, 1, 60};
    bool confirmed = false;
    ModalScript script;
    script.then([](QWidget& d) {
        EXPECT_EQ(d.windowTitle(), "Video Format");
        EXPECT_EQ(comboEntries(d, "pixelFormat"), (QStringList{"YUYV 4:2:2 (YUYV)", "Motion-JPEG (MJPG)"}));
        EXPECT_EQ(comboText(d, "pixelFormat"), "Motion-JPEG (MJPG)");
        EXPECT_EQ(comboEntries(d, "frameSize"), (QStringList{"320 x 240", "640 x 480", "1920 x 1080"}));
        EXPECT_EQ(comboText(d, "frameSize"), "640 x 480");
        EXPECT_EQ(comboEntries(d, "frameRate"), (QStringList{"29.97 frames per second", "60 frames per second"}));
        EXPECT_EQ(comboText(d, "frameRate"), "60 frames per second");
        click(d, "ok");
    });
    script.run([&] { confirmed = showVideoFormatDialog(nullptr, driver, format); });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(format, (VideoFormat{kMjpeg, 640, 480, 1, 60}));
}

TEST(VideoFormatDialog, ChainsFormatSizeAndRate) {
    const FixedFormatDriver driver = camera();
    VideoFormat format{kMjpeg, 1920, 1080, 1, 30};
    bool confirmed = false;
    ModalScript script;
    script.then([](QWidget& d) {
        choose(d, "pixelFormat", "YUYV 4:2:2 (YUYV)");
        // 1920x1080 is not a YUYV size: the nearest one is offered instead.
        EXPECT_EQ(comboEntries(d, "frameSize"), (QStringList{"640 x 480", "1280 x 720"}));
        EXPECT_EQ(comboText(d, "frameSize"), "1280 x 720");
        EXPECT_EQ(comboEntries(d, "frameRate"), (QStringList{"10 frames per second"}));
        choose(d, "frameSize", "640 x 480");
        EXPECT_EQ(comboEntries(d, "frameRate"), (QStringList{"30 frames per second", "15 frames per second"}));
        choose(d, "frameRate", "15 frames per second");
        click(d, "ok");
    });
    script.run([&] { confirmed = showVideoFormatDialog(nullptr, driver, format); });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(format, (VideoFormat{kYuyv, 640, 480, 1, 15}));
}

TEST(VideoFormatDialog, CancelLeavesTheFormat) {
    const FixedFormatDriver driver = camera();
    const VideoFormat before{kYuyv, 640, 480, 1, 30};
    VideoFormat format = before;
    bool confirmed = true;
    ModalScript script;
    script.then([](QWidget& d) {
        choose(d, "pixelFormat", "Motion-JPEG (MJPG)");
        choose(d, "frameSize", "1920 x 1080");
        click(d, "cancel");
    });
    script.run([&] { confirmed = showVideoFormatDialog(nullptr, driver, format); });
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(format, before);
}

TEST(VideoFormatDialog, OffersTheTestPatternFormats) {
    TestPatternDriver driver;
    VideoFormat format = driver.format();
    bool confirmed = false;
    ModalScript script;
    script.then([](QWidget& d) {
        EXPECT_EQ(comboText(d, "frameSize"), "320 x 240");
        EXPECT_EQ(comboText(d, "frameRate"), "15 frames per second");
        EXPECT_TRUE(comboEntries(d, "frameSize").contains("1920 x 1080"));
        choose(d, "pixelFormat", "8-bit palettized (PAL8)");
        choose(d, "frameSize", "640 x 480");
        choose(d, "frameRate", "30 frames per second");
        click(d, "ok");
    });
    script.run([&] { confirmed = showVideoFormatDialog(nullptr, driver, format); });
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(format, (VideoFormat{FOURCC_PAL8, 640, 480, 1, 30}));
    ASSERT_TRUE(driver.setFormat(format).ok());
    EXPECT_EQ(driver.format(), format) << "the choice is one the driver takes as it is";
}

TEST(VideoFormatDialog, ADriverWithoutFormatsCanOnlyBeCancelled) {
    const FixedFormatDriver driver({});
    VideoFormat format{kYuyv, 640, 480, 1, 30};
    bool confirmed = true;
    ModalScript script;
    script.then([](QWidget& d) {
        auto* ok = find<QPushButton>(d, "ok");
        ASSERT_NE(ok, nullptr);
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_FALSE(find<QComboBox>(d, "frameSize")->isEnabled());
        click(d, "cancel");
    });
    script.run([&] { confirmed = showVideoFormatDialog(nullptr, driver, format); });
    EXPECT_FALSE(confirmed);
}

}  // namespace
