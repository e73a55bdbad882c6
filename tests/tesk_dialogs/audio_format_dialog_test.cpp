// The Audio Format dialog: every offered rate, channel count and sample size.

#include "modal_script.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

using namespace tesk;
using namespace tesk_test;

TEST(AudioFormatDialog, OffersTheRatesChannelsAndSizes) {
    AudioChoice choice;  // 22050 Hz, mono, 16-bit
    ModalScript script;
    script.then([](QWidget& d) {
        EXPECT_EQ(d.windowTitle(), "Audio Format");
        EXPECT_EQ(comboEntries(d, "sampleRate"), (QStringList{"8000 Hz", "11025 Hz", "22050 Hz", "44100 Hz", "48000 Hz"}));
        EXPECT_EQ(comboEntries(d, "channels"), (QStringList{"Mono", "Stereo"}));
        EXPECT_EQ(comboEntries(d, "bits"), (QStringList{"8-bit", "16-bit"}));
        EXPECT_EQ(comboText(d, "sampleRate"), "22050 Hz");
        EXPECT_EQ(comboText(d, "channels"), "Mono");
        EXPECT_EQ(comboText(d, "bits"), "16-bit");
        EXPECT_EQ(find<QLabel>(d, "dataRate")->text(), "44100 bytes per second");
        click(d, "cancel");
    });
    script.run([&] { EXPECT_FALSE(showAudioFormatDialog(nullptr, choice)); });
}

struct AudioCase {
    const char* rate;
    const char* channels;
    const char* bits;
    AudioChoice expected;
};

class AudioFormatChoice : public ::testing::TestWithParam<AudioCase> {};

TEST_P(AudioFormatChoice, ReturnsWhatWasChosen) {
    const AudioCase c = GetParam();
    AudioChoice choice;
    bool confirmed = false;
    ModalScript script;
    script.then([&](QWidget& d) {
        choose(d, "sampleRate", c.rate);
        choose(d, "channels", c.channels);
        choose(d, "bits", c.bits);
        click(d, "ok");
    });
    script.run([&] { confirmed = showAudioFormatDialog(nullptr, choice); });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(choice, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Choices, AudioFormatChoice,
                         ::testing::Values(AudioCase{"8000 Hz", "Mono", "8-bit", {8000, 1, 8}},
                                           AudioCase{"11025 Hz", "Stereo", "16-bit", {11025, 2, 16}},
                                           AudioCase{"44100 Hz", "Stereo", "8-bit", {44100, 2, 8}},
                                           AudioCase{"48000 Hz", "Mono", "16-bit", {48000, 1, 16}}));

TEST(AudioFormatDialog, CancelKeepsTheChoice) {
    AudioChoice choice{48000, 2, 8};
    ModalScript script;
    script.then([](QWidget& d) {
        EXPECT_EQ(comboText(d, "sampleRate"), "48000 Hz");
        EXPECT_EQ(comboText(d, "channels"), "Stereo");
        EXPECT_EQ(comboText(d, "bits"), "8-bit");
        choose(d, "sampleRate", "8000 Hz");
        click(d, "cancel");
    });
    script.run([&] { EXPECT_FALSE(showAudioFormatDialog(nullptr, choice)); });
    EXPECT_EQ(choice, (AudioChoice{48000, 2, 8}));
}

}  // namespace
