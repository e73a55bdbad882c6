// String controls of the V4L2 driver against the fake device: the text and
// its default are read with G_EXT_CTRLS, a new text is written with
// S_EXT_CTRLS, and a text outside the length limits is refused with the
// limits before the device is asked.

#include "fake_device_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

namespace tesk::v4l2::testing {
namespace {

using ::testing::HasSubstr;

constexpr std::uint32_t kText = 0x00981000;      // String, 2 to 4 bytes
constexpr std::uint32_t kEvenText = 0x00981001;  // String, 0 to 8 bytes in steps of 2
constexpr std::uint32_t kLabel = 0x00981002;     // String, read-only
constexpr std::uint32_t kGain = 0x00980913;      // Integer

FakeCameraIo::Control fakeControl(std::uint32_t id, const char* name, std::uint32_t type, std::int64_t minimum,
                                  std::int64_t maximum, std::uint64_t step, std::uint32_t flags = 0) {
    FakeCameraIo::Control control;
    control.query.id = id;
    control.query.type = type;
    std::strncpy(control.query.name, name, sizeof control.query.name - 1);
    control.query.minimum = minimum;
    control.query.maximum = maximum;
    control.query.step = step;
    control.query.flags = flags;
    control.query.elems = 1;
    control.query.elem_size = type == V4L2_CTRL_TYPE_STRING ? std::uint32_t(maximum + 1) : 4;
    return control;
}

class FakeTextControls : public FakeCamera {
protected:
    void SetUp() override {
        FakeCamera::SetUp();
        auto text = fakeControl(kText, "String", V4L2_CTRL_TYPE_STRING, 2, 4, 1);
        text.text = "abc";
        text.defaultText = "  ";
        auto even = fakeControl(kEvenText, "Even String", V4L2_CTRL_TYPE_STRING, 0, 8, 2);
        auto label = fakeControl(kLabel, "Label", V4L2_CTRL_TYPE_STRING, 0, 16, 1, V4L2_CTRL_FLAG_READ_ONLY);
        label.text = "sensor A";
        auto gain = fakeControl(kGain, "Gain", V4L2_CTRL_TYPE_INTEGER, 0, 255, 1);
        gain.value = 7;
        io_->controls = {text, even, label, gain};
        ASSERT_TRUE(driver_->open());
    }

    Control control(std::uint32_t id) {
        for (const Control& c : driver_->controls())
            if (c.id == id) return c;
        ADD_FAILURE() << "no control " << id;
        return {};
    }

    const std::string& deviceText(std::uint32_t id) {
        for (const auto& c : io_->controls)
            if (c.query.id == id) return c.text;
        throw std::logic_error("no fake control");
    }
};

TEST_F(FakeTextControls, ReadsTheTextItsLimitsAndTheDevicesDefault) {
    const Control text = control(kText);
    EXPECT_EQ(text.type, Control::Type::String);
    EXPECT_EQ(text.name, "String");
    EXPECT_EQ(text.text, "abc");
    EXPECT_EQ(text.minimum, 2);
    EXPECT_EQ(text.maximum, 4);
    EXPECT_EQ(text.step, 1);
    EXPECT_TRUE(text.hasDefaultText);
    EXPECT_EQ(text.defaultText, "  ");
    EXPECT_EQ(control(kLabel).text, "sensor A");
    EXPECT_TRUE(control(kLabel).readOnly);
    EXPECT_EQ(control(kGain).value, 7) << "numbers are read as before";

    io_->defaultValues = false;  // an older kernel: the current text is still there
    EXPECT_FALSE(control(kText).hasDefaultText);
    EXPECT_EQ(control(kText).text, "abc");
}

TEST_F(FakeTextControls, SetsATextThatReadsBack) {
    for (const std::string wanted : {"wxyz", "no", "ab c"}) {
        ASSERT_TRUE(driver_->setControlText(kText, wanted)) << wanted;
        EXPECT_EQ(deviceText(kText), wanted);
        EXPECT_EQ(control(kText).text, wanted);
    }
    ASSERT_TRUE(driver_->setControlText(kEvenText, ""));
    ASSERT_TRUE(driver_->setControlText(kEvenText, "12345678")) << "the longest text fits";
    EXPECT_EQ(control(kEvenText).text, "12345678");
}

TEST_F(FakeTextControls, RefusesWhatDoesNotFitWithoutAskingTheDevice) {
    struct Case {
        std::uint32_t id;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {kText, "a", "must be 2 to 4 characters (bytes) long, not 1"},
        {kText, "abcde", "must be 2 to 4 characters (bytes) long, not 5"},
        {kEvenText, "abc", "must be 0 to 8 in steps of 2 characters (bytes) long, not 3"},
        {kEvenText, std::string("a\0b\0", 4), "cannot hold a NUL character"},
        {kLabel, "sensor B", "cannot be changed"},
        {kGain, "12", "takes a number, not a text"},
        {0x00981fff, "ab", "there is no control"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Status status = driver_->setControlText(c.id, c.text);
        EXPECT_THAT(status.error, HasSubstr(c.message));
        EXPECT_THAT(status.error, HasSubstr(path_));
    }
    EXPECT_EQ(io_->controlWrites, 0);
    EXPECT_EQ(deviceText(kText), "abc");
    EXPECT_THAT(driver_->setControl(kText, 1).error, HasSubstr("cannot be set to a number"));
}

TEST_F(FakeTextControls, ClosedOrUnpluggedCameraRefusesTexts) {
    driver_->close();
    EXPECT_THAT(driver_->setControlText(kText, "abcd").error, HasSubstr("not connected"));
    ASSERT_TRUE(driver_->open());
    io_->unplug();
    EXPECT_THAT(driver_->setControlText(kText, "abcd").error, HasSubstr("was disconnected"));
    EXPECT_EQ(io_->controlWrites, 0);
}

}  // namespace
}  // namespace tesk::v4l2::testing
