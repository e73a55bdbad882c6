// The component's settings file: choices survive a round trip, and broken or
// out-of-range values read as defaults or the nearest valid value.

#include "platform/profile.h"
#include "tesk/component_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace {

namespace fs = std::filesystem;
using namespace tesk;

class ComponentSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldXdg_ = old;
        std::string pattern = (fs::temp_directory_path() / "vc-tesk-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        ::setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
        if (oldXdg_) ::setenv("XDG_CONFIG_HOME", oldXdg_->c_str(), 1);
        else ::unsetenv("XDG_CONFIG_HOME");
    }
    void put(const std::string& text) const {
        fs::create_directories(root_ / "videocapture");
        std::ofstream(root_ / "videocapture" / ComponentSettings::fileName) << text;
    }

    ComponentSettings settings;
    fs::path root_;

private:
    std::optional<std::string> oldXdg_;
};

TEST_F(ComponentSettingsTest, NothingSavedGivesDefaults) {
    VideoFormat format{FOURCC_PAL8, 1, 2, 3, 4};
    EXPECT_FALSE(settings.loadFormat("Camera", format));
    EXPECT_EQ(format, (VideoFormat{FOURCC_PAL8, 1, 2, 3, 4})) << "left as it was";
    EXPECT_EQ(settings.loadCompression(), CompressionChoice{});
    EXPECT_EQ(settings.loadAudio(), AudioChoice{});
    EXPECT_EQ(settings.loadDisplay(), DisplayChoice{});
}

TEST_F(ComponentSettingsTest, ChoicesRoundTripInTheSettingsFolder) {
    const VideoFormat rgb{FOURCC_RGB24, 640, 480, 1001, 30000};
    const VideoFormat grey{fourcc('Y', '1', '6', ' '), 1280, 720, 1, 60};
    const VideoFormat bigEndian{fourcc('A', 'R', '1', '5') | 0x80000000u, 320, 240, 1, 5};
    settings.saveFormat("Integrated Camera: Integrated C", rgb);
    settings.saveFormat("Odd [name]; with=marks", grey);
    settings.saveFormat("Big endian", bigEndian);
    settings.saveCompression({"mjpeg", 75});
    settings.saveAudio({44100, 2, 8});
    settings.saveDisplay({false, true});

    EXPECT_TRUE(fs::exists(root_ / "videocapture" / "teskdrv.ini"));
    ComponentSettings later;  // a new run
    VideoFormat loaded;
    ASSERT_TRUE(later.loadFormat("Integrated Camera: Integrated C", loaded));
    EXPECT_EQ(loaded, rgb);
    ASSERT_TRUE(later.loadFormat("Odd [name]; with=marks", loaded));
    EXPECT_EQ(loaded, grey) << "a trailing space in a fourcc and marks in a name survive";
    ASSERT_TRUE(later.loadFormat("Big endian", loaded));
    EXPECT_EQ(loaded, bigEndian);
    EXPECT_FALSE(later.loadFormat("Another camera", loaded));
    EXPECT_EQ(later.loadCompression(), (CompressionChoice{"mjpeg", 75}));
    EXPECT_EQ(later.loadAudio(), (AudioChoice{44100, 2, 8}));
    EXPECT_EQ(later.loadDisplay(), (DisplayChoice{false, true}));
}

TEST_F(ComponentSettingsTest, BrokenValuesReadAsDefaults) {
    put("[compression]\ncodec=no-such-codec\nquality=lots\n"
        "[audio]\nsample rate=fast\nchannels=\nbits=8bit\n"
        "[display]\nkeep aspect=yes\nframe info=2\n"
        "[format Camera]\nfourcc=RGB\nwidth=640\nheight=480\n");
    EXPECT_EQ(settings.loadCompression(), CompressionChoice{});
    EXPECT_EQ(settings.loadAudio(), AudioChoice{});
    EXPECT_EQ(settings.loadDisplay(), DisplayChoice{});
    VideoFormat format;
    EXPECT_FALSE(settings.loadFormat("Camera", format)) << "a three-letter fourcc is no format";
}

TEST_F(ComponentSettingsTest, OutOfRangeValuesAreClamped) {
    put("[compression]\ncodec=ffv1\nquality=250\n"
        "[audio]\nsample rate=44000\nchannels=6\nbits=99999999999999999999\n"
        "[format Camera]\nfourcc=\"RGB3\"\nwidth=-5\nheight=99999\ninterval numerator=0\ninterval denominator=30\n");
    EXPECT_EQ(settings.loadCompression(), (CompressionChoice{"ffv1", 100}));
    const AudioChoice audio = settings.loadAudio();
    EXPECT_EQ(audio.sampleRate, 44100) << "the nearest offered rate";
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.bitsPerSample, 16) << "a number too large to read is the default";
    VideoFormat format;
    ASSERT_TRUE(settings.loadFormat("Camera", format));
    EXPECT_EQ(format, (VideoFormat{FOURCC_RGB24, 1, 16384, 1, 30}));
}

}  // namespace
