// The Video Source dialog, driven like a user: every control is shown with
// its range and state, a change reaches the driver at once, "Defaults" resets
// the values, and Cancel puts back what was changed.

#include "fake_driver.h"
#include "modal_script.h"
#include "tesk/dialogs/driver_dialogs.h"
#include "tesk/test_pattern_driver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

using namespace tesk;
using namespace tesk_test;
using Call = FakeSource::Call;

std::string name(std::uint32_t id, const char* suffix = "") { return "control_" + std::to_string(id) + suffix; }

QWidget* row(QWidget& d, std::uint32_t id) { return find<QWidget>(d, name(id, "_row").c_str()); }

bool runDialog(FakeSource& source, ModalScript& script) {
    const SourceAccess access = source.access();
    bool confirmed = false;
    script.run([&] { confirmed = showVideoSourceDialog(nullptr, "Fake Camera", access); });
    return confirmed;
}

TEST(VideoSourceDialog, ShowsEveryControlWithItsRangeAndState) {
    FakeSource source;
    ModalScript script;
    script.then([](QWidget& d) {
        EXPECT_EQ(find<QLabel>(d, "driverName")->text(), "Fake Camera");
        EXPECT_EQ(comboEntries(d, "input"), (QStringList{"Camera", "Composite"}));
        auto* gain = find<QSpinBox>(d, name(kGain).c_str());
        auto* gainSlider = find<QSlider>(d, name(kGain, "_slider").c_str());
        ASSERT_TRUE(gain && gainSlider);
        EXPECT_EQ(gain->value(), 100);
        EXPECT_EQ(gainSlider->value(), 100);
        EXPECT_EQ(gain->minimum(), 0);
        EXPECT_EQ(gain->maximum(), 255);
        EXPECT_EQ(find<QLabel>(d, name(kGain, "_range").c_str())->text(), "0 to 255, step 1, default 128");
        EXPECT_EQ(find<QLabel>(d, name(kZoom, "_range").c_str())->text(), "100 to 500, step 10, default 100");
        EXPECT_EQ(find<QSpinBox>(d, name(kZoom).c_str())->singleStep(), 10);
        EXPECT_FALSE(find<QCheckBox>(d, name(kAutoExposure).c_str())->isChecked());
        EXPECT_EQ(comboEntries(d, name(kPowerLine).c_str()), (QStringList{"Off", "50 Hz", "60 Hz"}));
        EXPECT_EQ(comboText(d, name(kPowerLine).c_str()), "60 Hz");
        EXPECT_EQ(find<QPushButton>(d, name(kResetPan).c_str())->text(), "Reset Pan");
        EXPECT_TRUE(row(d, kExposure)->isEnabled());
        EXPECT_FALSE(row(d, kSensorTemp)->isEnabled()) << "read-only controls are shown disabled";
        EXPECT_EQ(find<QSpinBox>(d, name(kSensorTemp).c_str())->value(), 35);
        click(d, "ok");
    });
    EXPECT_TRUE(runDialog(source, script));
    EXPECT_TRUE(source.calls.empty()) << "looking changes nothing";
}

TEST(VideoSourceDialog, ChangesTakeEffectAtOnceAndStayOnOk) {
    FakeSource source;
    ModalScript script;
    script.then([&](QWidget& d) {
        setSlider(d, name(kGain, "_slider").c_str(), 40);
        EXPECT_EQ(source.value(kGain), 40) << "live, before OK";
        EXPECT_EQ(find<QSpinBox>(d, name(kGain).c_str())->value(), 40) << "slider and box agree";
        setSpin(d, name(kZoom).c_str(), 330);
        choose(d, name(kPowerLine).c_str(), "50 Hz");
        click(d, name(kResetPan).c_str());
        // Switching the automatic mode on makes its manual partner inactive.
        tick(d, name(kAutoExposure).c_str(), true);
        EXPECT_FALSE(row(d, kExposure)->isEnabled());
        click(d, "ok");
    });
    EXPECT_TRUE(runDialog(source, script));
    EXPECT_EQ(source.calls, (std::vector<Call>{{"control", kGain, 40},
                                               {"control", kZoom, 330},
                                               {"control", kPowerLine, 1},
                                               {"control", kResetPan, 1},
                                               {"control", kAutoExposure, 1}}));
    EXPECT_EQ(source.buttonPresses, 1);
}

TEST(VideoSourceDialog, SliderValuesSnapToTheControlsStep) {
    FakeSource source;
    ModalScript script;
    script.then([&](QWidget& d) {
        setSlider(d, name(kZoom, "_slider").c_str(), 237);
        EXPECT_EQ(find<QSlider>(d, name(kZoom, "_slider").c_str())->value(), 240);
        click(d, "ok");
    });
    EXPECT_TRUE(runDialog(source, script));
    EXPECT_EQ(source.value(kZoom), 240);
}

TEST(VideoSourceDialog, CancelPutsBackEveryChangedValueInReverseOrder) {
    FakeSource source;
    ModalScript script;
    script.then([&](QWidget& d) {
        setSpin(d, name(kExposure).c_str(), 700);  // manual value first,
        tick(d, name(kAutoExposure).c_str(), true);  // then the automatic mode
        setSpin(d, name(kGain).c_str(), 10);
        setSpin(d, name(kGain).c_str(), 20);
        choose(d, "input", "Composite");
        click(d, "cancel");
    });
    EXPECT_FALSE(runDialog(source, script));
    const std::vector<Call> restore(source.calls.begin() + 5, source.calls.end());
    // The automatic mode goes off before the manual value goes back, which the
    // device would refuse the other way round.
    EXPECT_EQ(restore, (std::vector<Call>{{"input", 0, 0},
                                          {"control", kGain, 100},
                                          {"control", kAutoExposure, 0},
                                          {"control", kExposure, 300}}));
    const FakeSource untouched;
    for (std::uint32_t id : untouched.order) EXPECT_EQ(source.value(id), untouched.value(id)) << "control " << id;
    EXPECT_EQ(source.input, 0);
}

TEST(VideoSourceDialog, DefaultsResetsEveryValueAndCancelUndoesIt) {
    FakeSource source;
    ModalScript script;
    script.then([&](QWidget& d) {
        click(d, "defaults");
        EXPECT_EQ(source.value(kGain), 128);
        EXPECT_EQ(source.value(kZoom), 100);
        EXPECT_EQ(source.value(kAutoExposure), 1);
        EXPECT_EQ(source.value(kPowerLine), 1);
        EXPECT_EQ(source.value(kSensorTemp), 35) << "read-only stays";
        EXPECT_EQ(source.buttonPresses, 0) << "buttons are actions, not values";
        EXPECT_EQ(find<QSpinBox>(d, name(kGain).c_str())->value(), 128) << "the dialog shows the new values";
        EXPECT_EQ(source.text(kCaption), "cam") << "the device's default text";
        EXPECT_EQ(find<QLineEdit>(d, name(kCaption).c_str())->text(), "cam");
        EXPECT_EQ(source.text(kNote), "memo") << "a text without a known default stays";
        click(d, "cancel");
    });
    EXPECT_FALSE(runDialog(source, script));
    const FakeSource untouched;
    for (std::uint32_t id : untouched.order) {
        EXPECT_EQ(source.value(id), untouched.value(id)) << "control " << id;
        EXPECT_EQ(source.text(id), untouched.text(id)) << "control " << id;
    }
}

TEST(VideoSourceDialog, ARefusedValueIsReportedAndTheDriversValueShown) {
    FakeSource source;
    source.refusals[kGain] = "the device is busy";
    ModalScript script;
    script.then([&](QWidget& d) {
        setSpin(d, name(kGain).c_str(), 50);
        EXPECT_EQ(find<QLabel>(d, "status")->text(), "the device is busy");
        EXPECT_EQ(find<QSpinBox>(d, name(kGain).c_str())->value(), 100);
        EXPECT_EQ(find<QSlider>(d, name(kGain, "_slider").c_str())->value(), 100);
        click(d, "cancel");
    });
    EXPECT_FALSE(runDialog(source, script));
    EXPECT_EQ(source.calls, (std::vector<Call>{{"control", kGain, 50}})) << "nothing to put back";
}

TEST(VideoSourceDialog, ARestoreThatFailsIsReported) {
    FakeSource source;
    ModalScript script;
    script.then([&](QWidget& d) {
              setSpin(d, name(kGain).c_str(), 5);
              source.values[kGain].readOnly = true;  // the device stops taking the value back
              click(d, "cancel");
          })
        .then([](QWidget& box) {
            auto* message = qobject_cast<QMessageBox*>(&box);
            ASSERT_NE(message, nullptr);
            EXPECT_TRUE(message->text().contains("read-only"));
            message->accept();
        });
    EXPECT_FALSE(runDialog(source, script));
}

TEST(VideoSourceDialog, ATextControlIsEditedWithinItsLimitsAndAppliedWhenTheEditFinishes) {
    FakeSource source;
    ModalScript script;
    script.then([&](QWidget& d) {
        auto* caption = find<QLineEdit>(d, name(kCaption).c_str());
        ASSERT_TRUE(caption);
        EXPECT_EQ(caption->text(), "hello");
        EXPECT_FALSE(caption->isReadOnly());
        EXPECT_EQ(caption->maxLength(), 8);
        EXPECT_EQ(find<QLabel>(d, name(kCaption, "_range").c_str())->text(), "2 to 8 characters, default \"cam\"");
        EXPECT_EQ(find<QLabel>(d, name(kNote, "_range").c_str())->text(), "0 to 16 characters");
        typeText(d, name(kCaption).c_str(), "camera one");  // typing stops at 8
        EXPECT_EQ(source.text(kCaption), "camera o") << "live, before OK";
        typeText(d, name(kCaption).c_str(), "camera o");  // leaving an unchanged box sends nothing
        click(d, "ok");
    });
    EXPECT_TRUE(runDialog(source, script));
    EXPECT_EQ(source.calls, (std::vector<Call>{{"text", kCaption, 0, "camera o"}}));
    EXPECT_EQ(source.text(kCaption), "camera o");
}

TEST(VideoSourceDialog, ARefusedTextIsReportedAndTheDriversTextShown) {
    struct Case {
        const char* why;
        const char* typed;
        const char* refusal;  // the device refuses every text, or null
        const char* message;
    };
    const Case cases[] = {
        {"too short for the driver", "x", nullptr, "the text must be 2 to 8 characters long"},
        {"the device says no", "fine", "the device is busy", "the device is busy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FakeSource source;
        if (c.refusal) source.refusals[kCaption] = c.refusal;
        ModalScript script;
        script.then([&](QWidget& d) {
            typeText(d, name(kCaption).c_str(), c.typed);
            EXPECT_EQ(find<QLabel>(d, "status")->text(), c.message);
            EXPECT_EQ(find<QLineEdit>(d, name(kCaption).c_str())->text(), "hello");
            click(d, "cancel");
        });
        EXPECT_FALSE(runDialog(source, script));
        EXPECT_EQ(source.calls, (std::vector<Call>{{"text", kCaption, 0, c.typed}})) << "nothing to put back";
        EXPECT_EQ(source.text(kCaption), "hello");
    }
}

TEST(VideoSourceDialog, CancelPutsBackChangedTextsWithTheValues) {
    FakeSource source;
    ModalScript script;
    script.then([&](QWidget& d) {
        typeText(d, name(kCaption).c_str(), "first");
        setSpin(d, name(kGain).c_str(), 10);
        typeText(d, name(kCaption).c_str(), "second");
        typeText(d, name(kNote).c_str(), "");
        click(d, "cancel");
    });
    EXPECT_FALSE(runDialog(source, script));
    const std::vector<Call> restore(source.calls.begin() + 4, source.calls.end());
    EXPECT_EQ(restore, (std::vector<Call>{{"text", kNote, 0, "memo"},
                                          {"control", kGain, 100},
                                          {"text", kCaption, 0, "hello"}}));
    EXPECT_EQ(source.text(kCaption), "hello");
    EXPECT_EQ(source.text(kNote), "memo");
}

TEST(VideoSourceDialog, WithoutATextSetterTextsAreShownOnly) {
    FakeSource source;
    SourceAccess access = source.access();
    access.setControlText = nullptr;
    ModalScript script;
    script.then([](QWidget& d) {
        auto* caption = find<QLineEdit>(d, name(kCaption).c_str());
        ASSERT_TRUE(caption);
        EXPECT_TRUE(caption->isReadOnly());
        EXPECT_EQ(caption->text(), "hello");
        click(d, "defaults");
        click(d, "ok");
    });
    script.run([&] { showVideoSourceDialog(nullptr, "Fake Camera", access); });
    EXPECT_EQ(source.text(kCaption), "hello");
    for (const Call& call : source.calls) EXPECT_NE(call.what, "text");
}

TEST(VideoSourceDialog, DriversWithoutTextControlsRefuseTexts) {
    FixedFormatDriver driver({});
    EXPECT_EQ(driver.setControlText(1, "text").error, "this driver has no text controls");
    TestPatternDriver pattern;
    ASSERT_TRUE(pattern.open());
    EXPECT_FALSE(pattern.setControlText(TEST_PATTERN_CID_BRIGHTNESS, "bright"));
}

TEST(VideoSourceDialog, DrivesTheTestPatternDriver) {
    TestPatternDriver driver;
    ASSERT_TRUE(driver.open().ok());
    SourceAccess access;
    access.inputs = [&] { return driver.inputs(); };
    access.currentInput = [&] { return driver.currentInput(); };
    access.setInput = [&](int i) { return driver.setInput(i); };
    access.controls = [&] { return driver.controls(); };
    access.setControl = [&](std::uint32_t id, std::int64_t v) { return driver.setControl(id, v); };
    auto value = [&](std::uint32_t id) {
        for (const Control& c : driver.controls())
            if (c.id == id) return c.value;
        return std::int64_t(-1);
    };

    for (bool confirm : {false, true}) {
        ModalScript script;
        script.then([&](QWidget& d) {
            EXPECT_FALSE(find<QComboBox>(d, "input")->isEnabled()) << "one input: nothing to choose";
            setSlider(d, name(TEST_PATTERN_CID_BRIGHTNESS, "_slider").c_str(), 200);
            choose(d, name(TEST_PATTERN_CID_PATTERN).c_str(), "Checkerboard");
            EXPECT_EQ(value(TEST_PATTERN_CID_BRIGHTNESS), 200);
            EXPECT_EQ(value(TEST_PATTERN_CID_PATTERN), 2);
            click(d, confirm ? "ok" : "cancel");
        });
        bool confirmed = !confirm;
        script.run([&] { confirmed = showVideoSourceDialog(nullptr, driver.info().name, access); });
        EXPECT_EQ(confirmed, confirm);
        EXPECT_EQ(value(TEST_PATTERN_CID_BRIGHTNESS), confirm ? 200 : 128);
        EXPECT_EQ(value(TEST_PATTERN_CID_PATTERN), confirm ? 2 : 0);
    }
}

}  // namespace
