#pragma once
// Fakes for the dialogs: a driver with a fixed format list, and a video
// source whose controls behave like a camera's (an automatic mode makes its
// manual partner inactive) and which records every call.

#include "tesk/dialogs/driver_dialogs.h"
#include "tesk/driver.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tesk_test {

using namespace tesk;

// Only formats() matters to the format dialog; the rest is inert.
class FixedFormatDriver final : public Driver {
public:
    explicit FixedFormatDriver(std::vector<PixelFormatOption> formats) : formats_(std::move(formats)) {}
    DriverInfo info() const override { return {"Fixed", "1.0", ""}; }
    Status open() override { return Status::success(); }
    void close() override {}
    bool isOpen() const override { return true; }
    DriverCaps caps() const override { return {}; }
    std::vector<PixelFormatOption> formats() const override { return formats_; }
    VideoFormat format() const override { return {}; }
    Status setFormat(const VideoFormat&) override { return Status::failure("not here"); }
    std::vector<Input> inputs() const override { return {}; }
    int currentInput() const override { return 0; }
    Status setInput(int) override { return Status::failure("not here"); }
    std::vector<Control> controls() const override { return {}; }
    Status setControl(std::uint32_t, std::int64_t) override { return Status::failure("not here"); }
    Status startStreaming() override { return Status::failure("not here"); }
    void stopStreaming() override {}
    bool isStreaming() const override { return false; }
    Status readFrame(Frame&, std::chrono::milliseconds) override { return Status::failure("not here"); }

private:
    std::vector<PixelFormatOption> formats_;
};

// Control ids of the fake source.
inline constexpr std::uint32_t kGain = 1;          // integer 0..255, step 1
inline constexpr std::uint32_t kZoom = 2;          // integer 100..500, step 10
inline constexpr std::uint32_t kAutoExposure = 3;  // boolean; when on, kExposure is inactive
inline constexpr std::uint32_t kExposure = 4;      // integer; refused while kAutoExposure is on
inline constexpr std::uint32_t kPowerLine = 5;     // menu 0 Off, 1 50 Hz, 2 60 Hz
inline constexpr std::uint32_t kResetPan = 6;      // button
inline constexpr std::uint32_t kSensorTemp = 7;    // read-only integer
inline constexpr std::uint32_t kCaption = 8;       // string of 2 to 8 bytes, default "cam"
inline constexpr std::uint32_t kNote = 9;          // string of 0 to 16 bytes, no known default

struct FakeSource {
    struct Call {
        std::string what;  // "control", "text" or "input"
        std::uint32_t id = 0;
        std::int64_t value = 0;
        std::string text;  // "text" calls
        bool operator==(const Call&) const = default;
    };

    FakeSource() {
        add(kGain, "Gain", Control::Type::Integer, 0, 255, 1, 128, 100);
        add(kZoom, "Zoom", Control::Type::Integer, 100, 500, 10, 100, 200);
        add(kAutoExposure, "Auto Exposure", Control::Type::Boolean, 0, 1, 1, 1, 0);
        add(kExposure, "Exposure", Control::Type::Integer, 1, 1000, 1, 250, 300);
        add(kPowerLine, "Power Line Frequency", Control::Type::Menu, 0, 2, 1, 1, 2);
        values[kPowerLine].menu = {{0, "Off"}, {1, "50 Hz"}, {2, "60 Hz"}};
        add(kResetPan, "Reset Pan", Control::Type::Button, 0, 0, 0, 0, 0);
        add(kSensorTemp, "Sensor Temperature", Control::Type::Integer, -40, 125, 1, 0, 35);
        values[kSensorTemp].readOnly = true;
        add(kCaption, "Caption", Control::Type::String, 2, 8, 1, 0, 0);
        values[kCaption].text = "hello";
        values[kCaption].defaultText = "cam";
        values[kCaption].hasDefaultText = true;
        add(kNote, "Note", Control::Type::String, 0, 16, 1, 0, 0);
        values[kNote].text = "memo";
    }

    void add(std::uint32_t id, const char* name, Control::Type type, std::int64_t min, std::int64_t max,
             std::int64_t step, std::int64_t def, std::int64_t value) {
        Control c;
        c.id = id;
        c.name = name;
        c.type = type;
        c.minimum = min;
        c.maximum = max;
        c.step = step;
        c.defaultValue = def;
        c.value = value;
        values[id] = c;
        order.push_back(id);
    }

    std::vector<Control> controls() const {
        std::vector<Control> list;
        for (std::uint32_t id : order) {
            Control c = values.at(id);
            if (id == kExposure) c.inactive = values.at(kAutoExposure).value != 0;
            list.push_back(c);
        }
        return list;
    }

    Status setControl(std::uint32_t id, std::int64_t value) {
        calls.push_back({"control", id, value});
        auto it = values.find(id);
        if (it == values.end()) return Status::failure("no such control");
        Control& c = it->second;
        if (c.readOnly) return Status::failure("read-only");
        if (auto refusal = refusals.find(id); refusal != refusals.end()) return Status::failure(refusal->second);
        if (id == kExposure && values[kAutoExposure].value) return Status::failure("Exposure is set automatically");
        if (c.type != Control::Type::Button && (value < c.minimum || value > c.maximum))
            return Status::failure("value out of range");
        if (c.type == Control::Type::Button) ++buttonPresses;
        else c.value = value;
        return Status::success();
    }

    Status setControlText(std::uint32_t id, const std::string& text) {
        calls.push_back({"text", id, 0, text});
        auto it = values.find(id);
        if (it == values.end()) return Status::failure("no such control");
        Control& c = it->second;
        if (c.type != Control::Type::String) return Status::failure("not a text control");
        if (c.readOnly) return Status::failure("read-only");
        if (auto refusal = refusals.find(id); refusal != refusals.end()) return Status::failure(refusal->second);
        if (std::int64_t(text.size()) < c.minimum || std::int64_t(text.size()) > c.maximum)
            return Status::failure("the text must be " + std::to_string(c.minimum) + " to " +
                                   std::to_string(c.maximum) + " characters long");
        c.text = text;
        return Status::success();
    }

    Status setInput(int index) {
        calls.push_back({"input", 0, index});
        if (index < 0 || index > 1) return Status::failure("no such input");
        input = index;
        return Status::success();
    }

    SourceAccess access() {
        SourceAccess a;
        a.inputs = [] { return std::vector<Input>{{0, "Camera"}, {1, "Composite"}}; };
        a.currentInput = [this] { return input; };
        a.setInput = [this](int index) { return setInput(index); };
        a.controls = [this] { return controls(); };
        a.setControl = [this](std::uint32_t id, std::int64_t value) { return setControl(id, value); };
        a.setControlText = [this](std::uint32_t id, const std::string& text) { return setControlText(id, text); };
        return a;
    }

    std::int64_t value(std::uint32_t id) const { return values.at(id).value; }
    const std::string& text(std::uint32_t id) const { return values.at(id).text; }

    std::map<std::uint32_t, Control> values;
    std::vector<std::uint32_t> order;
    std::vector<Call> calls;
    std::map<std::uint32_t, std::string> refusals;  // controls that refuse every value, and why
    int input = 0;
    int buttonPresses = 0;
};

}  // namespace tesk_test
