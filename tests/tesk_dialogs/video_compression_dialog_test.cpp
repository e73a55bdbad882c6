// The codecs offered for capture files, and the Video Compression dialog.

#include "modal_script.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <QComboBox>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace tesk;
using namespace tesk_test;

TEST(AvailableCodecs, StartWithTheThreeCaptureCodecs) {
    const std::vector<CodecOption> codecs = availableCodecs();
    ASSERT_GE(codecs.size(), 3u);
    EXPECT_EQ(codecs[0].name, "rawvideo");
    EXPECT_EQ(codecs[1].name, "mjpeg");
    EXPECT_EQ(codecs[2].name, "ffv1");
    EXPECT_FALSE(codecs[0].takesQuality);
    EXPECT_TRUE(codecs[1].takesQuality);
    EXPECT_FALSE(codecs[2].takesQuality) << "lossless";
    std::set<std::string> names;
    for (const CodecOption& c : codecs) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name << " listed twice";
        EXPECT_FALSE(c.description.empty()) << c.name;
        for (const char* backend : {"_vaapi", "_nvenc", "_qsv", "_v4l2m2m", "_omx"})
            EXPECT_EQ(c.name.find(backend), std::string::npos) << c.name << " needs hardware";
    }
    EXPECT_EQ(names.count("pcm_s16le"), 0u) << "video encoders only";
    EXPECT_EQ(names.count("libopus"), 0u);
}

struct CompressionCase {
    const char* codecText;
    int quality;
    CompressionChoice expected;
    bool qualityEnabled;
};

class VideoCompressionDialog : public ::testing::TestWithParam<CompressionCase> {};

TEST_P(VideoCompressionDialog, ReturnsTheChosenCodecAndQuality) {
    const CompressionCase c = GetParam();
    CompressionChoice choice{"rawvideo", 90};
    bool confirmed = false;
    ModalScript script;
    script.then([&](QWidget& d) {
        EXPECT_EQ(comboText(d, "codec"), "Full frames (uncompressed DIB)");
        EXPECT_FALSE(find<QWidget>(d, "qualityRow")->isEnabled()) << "no quality for uncompressed frames";
        choose(d, "codec", c.codecText);
        EXPECT_EQ(find<QWidget>(d, "qualityRow")->isEnabled(), c.qualityEnabled);
        if (c.qualityEnabled) setSpin(d, "quality", c.quality);
        click(d, "ok");
    });
    script.run([&] { confirmed = showVideoCompressionDialog(nullptr, choice); });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(choice, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Codecs, VideoCompressionDialog,
                         ::testing::Values(CompressionCase{"Motion JPEG", 75, {"mjpeg", 75}, true},
                                           CompressionCase{"FFV1 (lossless)", 0, {"ffv1", 90}, false},
                                           CompressionCase{"Full frames (uncompressed DIB)", 0, {"rawvideo", 90}, false}));

TEST(VideoCompressionDialogChoice, ShowsTheSavedChoiceAndCancelKeepsIt) {
    CompressionChoice choice{"mjpeg", 42};
    bool confirmed = true;
    ModalScript script;
    script.then([](QWidget& d) {
        EXPECT_EQ(comboText(d, "codec"), "Motion JPEG");
        EXPECT_EQ(find<QSpinBox>(d, "quality")->value(), 42);
        choose(d, "codec", "FFV1 (lossless)");
        click(d, "cancel");
    });
    script.run([&] { confirmed = showVideoCompressionDialog(nullptr, choice); });
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(choice, (CompressionChoice{"mjpeg", 42}));
}

TEST(VideoCompressionDialogChoice, ACodecNoLongerOfferedShowsUncompressed) {
    CompressionChoice choice{"no-such-codec", 50};
    bool confirmed = false;
    ModalScript script;
    script.then([](QWidget& d) {
        EXPECT_EQ(comboText(d, "codec"), "Full frames (uncompressed DIB)");
        click(d, "ok");
    });
    script.run([&] { confirmed = showVideoCompressionDialog(nullptr, choice); });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(choice, (CompressionChoice{"rawvideo", 50}));
}

}  // namespace
