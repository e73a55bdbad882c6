#pragma once
// The built-in test-pattern driver: always present, needs no hardware, and is
// the model every test uses. Each frame shows colour bars (or another chosen
// pattern) over two thirds of the picture and, in the band below, the frame
// counter, the time stamp and a box that moves one step a frame.
//
// Faults that tests switch on live in a shared TestPatternFaults object, so a
// test keeps control of them while the capture object owns the driver.

#include "tesk/driver.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tesk {

struct TestPatternFaults {
    std::atomic<bool> refuseConnect{false};  // open() fails
    std::atomic<bool> stopFrames{false};     // readFrame() delivers nothing (as if the device vanished)
    std::atomic<int> brokenFrames{0};        // the next N frames arrive truncated
};

// Control ids (the V4L2 ids of brightness and of the test-pattern menu).
inline constexpr std::uint32_t TEST_PATTERN_CID_BRIGHTNESS = 0x00980900;
inline constexpr std::uint32_t TEST_PATTERN_CID_PATTERN = 0x009f0903;

enum class TestPattern { ColourBars = 0, GreyRamp = 1, Checkerboard = 2 };

// The eight bars, left to right, at full brightness.
inline constexpr Rgb kColourBars[8] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                       {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};

// Where the parts of a frame of the given size lie (tests read frames with it).
struct TestPatternLayout {
    int barsHeight = 0;  // rows [0, barsHeight) hold the pattern
    int scale = 1;       // glyph pixels are scale x scale
    int textX = 0;       // left edge of both text lines
    int counterY = 0;    // top of the counter line "#000123"
    int timeY = 0;       // top of the time line "00:00:08.200"
    int laneY = 0;       // top of the moving box's lane
    int boxSize = 0;
};
TestPatternLayout testPatternLayout(int width, int height);

// Glyphs are 5 x 7; row r of the glyph is bits 4..0 of the result (bit 4 = left).
// Known characters: digits, ':', '.', '#'; anything else is blank.
inline constexpr int kGlyphWidth = 5, kGlyphHeight = 7, kGlyphAdvance = 6;
std::uint8_t testPatternGlyphRow(char c, int row);

// The 3-3-2 palette of the 8-bit format, and the index of a colour in it.
std::vector<Rgb> testPatternPalette();
std::uint8_t testPatternPaletteIndex(Rgb colour);
// The index of the entry of `palette` (1..256 colours) nearest to `colour`
// (least squared distance; the first of equals).
std::uint8_t nearestPaletteIndex(const std::vector<Rgb>& palette, Rgb colour);

class TestPatternDriver final : public Driver {
public:
    static constexpr const char* kName = "Video Capture Test Pattern";

    explicit TestPatternDriver(std::shared_ptr<TestPatternFaults> faults = std::make_shared<TestPatternFaults>());
    ~TestPatternDriver() override;

    DriverInfo info() const override;
    Status open() override;
    void close() override;
    bool isOpen() const override;
    DriverCaps caps() const override;

    std::vector<PixelFormatOption> formats() const override;
    VideoFormat format() const override;
    Status setFormat(const VideoFormat& format) override;

    std::vector<Input> inputs() const override;
    int currentInput() const override;
    Status setInput(int index) override;

    std::vector<Control> controls() const override;
    Status setControl(std::uint32_t id, std::int64_t value) override;

    Status startStreaming() override;
    void stopStreaming() override;
    bool isStreaming() const override;
    Status readFrame(Frame& out, std::chrono::milliseconds timeout) override;

    // Frames of the 8-bit format show the picture in these colours (nearest
    // colour each pixel); empty, or more than 256, gives the 3-3-2 palette.
    void setPalette(const std::vector<Rgb>& colours) override;

    const std::shared_ptr<TestPatternFaults>& faults() const { return faults_; }

    // Draws frame number `sequence` at `timestamp` in the given format: the
    // same picture readFrame() delivers, without pacing.
    void render(Frame& out, std::uint64_t sequence, std::chrono::microseconds timestamp) const;

private:
    using Clock = std::chrono::steady_clock;

    std::shared_ptr<TestPatternFaults> faults_;
    bool open_ = false;
    std::atomic<bool> streaming_{false};
    VideoFormat format_;
    int input_ = 0;
    std::atomic<int> brightness_{128};
    std::atomic<int> pattern_{0};

    // Set from the UI thread, read by render() on the capture thread.
    mutable std::mutex paletteMutex_;
    std::shared_ptr<const std::vector<Rgb>> palette_;  // null: the 3-3-2 palette

    // Pacing of the stream; stopStreaming() wakes a waiting readFrame().
    std::mutex waitMutex_;
    std::condition_variable wake_;
    Clock::time_point streamStart_;
    Clock::time_point nextDue_;
    std::uint64_t nextSequence_ = 0;
};

}  // namespace tesk
