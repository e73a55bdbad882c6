#pragma once
// The component's driver interface. Two kinds stand behind it: V4L2 devices
// (in the camera's own pixel format, converted with libv4lconvert, so frames
// always arrive as RGB) and the built-in test-pattern driver, which is the
// model for every test. VideoFormat::fourcc is the device's own format.
//
// A driver is used from two threads: the capture thread calls readFrame()
// while streaming; everything else comes from the UI thread, which stops
// streaming before it changes the format, the input or the overlay.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tesk {

// An error is a value: empty means success.
struct Status {
    std::string error;
    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }
    static Status success() { return {}; }
    static Status failure(std::string message) { return {message.empty() ? "failed" : std::move(message)}; }
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// One video frame, rows top-down, tightly packed.
struct Frame {
    enum class Layout { Rgb24, Indexed8 };
    int width = 0;
    int height = 0;
    Layout layout = Layout::Rgb24;
    std::vector<std::uint8_t> pixels;  // width*3 or width bytes per row
    std::vector<Rgb> palette;          // Indexed8 only
    std::uint64_t sequence = 0;        // counts from 0 at stream start
    std::chrono::microseconds timestamp{0};

    bool empty() const { return width <= 0 || height <= 0 || pixels.empty(); }
    int bytesPerPixel() const { return layout == Layout::Rgb24 ? 3 : 1; }
};

// A frame format: pixel format (V4L2 fourcc), size and rate as a frame interval.
struct VideoFormat {
    std::uint32_t fourcc = 0;
    int width = 0;
    int height = 0;
    int intervalNumerator = 1;     // seconds per frame = numerator / denominator
    int intervalDenominator = 15;
    bool operator==(const VideoFormat&) const = default;
};

struct FrameInterval {
    int numerator = 1;
    int denominator = 15;
    bool operator==(const FrameInterval&) const = default;
};

struct FrameSizeOption {
    int width = 0;
    int height = 0;
    std::vector<FrameInterval> intervals;
};

struct PixelFormatOption {
    std::uint32_t fourcc = 0;
    std::string description;
    std::vector<FrameSizeOption> sizes;
};

struct Input {
    int index = 0;
    std::string name;
};

// A device control with its range (V4L2 control semantics). A String
// control carries its value in `text`; its minimum and maximum are the
// length limits in bytes and step the length step.
struct Control {
    enum class Type { Integer, Boolean, Menu, IntegerMenu, Button, Integer64, String, Bitmask };
    std::uint32_t id = 0;
    std::string name;
    Type type = Type::Integer;
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    std::int64_t step = 1;
    std::int64_t defaultValue = 0;
    std::int64_t value = 0;
    std::vector<std::pair<std::int64_t, std::string>> menu;  // Menu and IntegerMenu entries
    bool readOnly = false;
    bool inactive = false;
    std::string text;         // String: the current text
    std::string defaultText;  // String: the device's default text, where hasDefaultText
    bool hasDefaultText = false;
};

struct DriverCaps {
    bool overlay = false;
    bool sourceDialog = false;
    bool formatDialog = false;
    bool displayDialog = false;
    bool suppliesPalettes = false;
};

struct DriverInfo {
    std::string name;     // e.g. the V4L2 card name
    std::string version;  // e.g. "uvcvideo 6.1.0"
    std::string device;   // e.g. "/dev/video0"; empty for built-in drivers
};

class Driver {
public:
    virtual ~Driver() = default;

    virtual DriverInfo info() const = 0;

    // Connection. close() is idempotent and also stops streaming and overlay.
    virtual Status open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual DriverCaps caps() const = 0;

    // Formats as the device enumerates them, and the current one.
    virtual std::vector<PixelFormatOption> formats() const = 0;
    virtual VideoFormat format() const = 0;
    // Not while streaming. The driver may adjust the request; format() tells.
    virtual Status setFormat(const VideoFormat& format) = 0;

    virtual std::vector<Input> inputs() const = 0;
    virtual int currentInput() const = 0;
    virtual Status setInput(int index) = 0;

    virtual std::vector<Control> controls() const = 0;
    virtual Status setControl(std::uint32_t id, std::int64_t value) = 0;
    // Sets a String control. Drivers without text controls refuse it.
    virtual Status setControlText(std::uint32_t id, const std::string& text) {
        (void)id;
        (void)text;
        return Status::failure("this driver has no text controls");
    }

    // Streaming: readFrame blocks for at most timeout. A failure while
    // streaming (device gone, broken frame) is returned as an error.
    virtual Status startStreaming() = 0;
    virtual void stopStreaming() = 0;
    virtual bool isStreaming() const = 0;
    virtual Status readFrame(Frame& out, std::chrono::milliseconds timeout) = 0;

    // Overlay, where caps().overlay says there is one.
    virtual Status setOverlay(bool on) { return on ? Status::failure("this driver has no overlay") : Status::success(); }

    // The palette of 8-bit frames from the next frame on: 1..256 colours
    // that the picture is mapped onto (nearest colour); empty gives back the
    // driver's own. May be called while streaming. Drivers whose frames are
    // never 8-bit have nothing to map and ignore it.
    virtual void setPalette(const std::vector<Rgb>& colours) { (void)colours; }
};

// V4L2 fourcc codes the component uses for its own formats.
constexpr std::uint32_t fourcc(char a, char b, char c, char d) {
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 | std::uint32_t(std::uint8_t(c)) << 16 |
           std::uint32_t(std::uint8_t(d)) << 24;
}
inline constexpr std::uint32_t FOURCC_RGB24 = fourcc('R', 'G', 'B', '3');
inline constexpr std::uint32_t FOURCC_PAL8 = fourcc('P', 'A', 'L', '8');

}  // namespace tesk
