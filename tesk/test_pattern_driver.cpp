#include "tesk/test_pattern_driver.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <thread>
#include <unordered_map>

#ifndef TESK_VERSION
#define TESK_VERSION "0.1"
#endif

namespace tesk {
namespace {

constexpr std::array<std::pair<int, int>, 10> kSizes{{{160, 120},
                                                      {176, 144},
                                                      {320, 240},
                                                      {352, 288},
                                                      {640, 480},
                                                      {800, 600},
                                                      {1024, 768},
                                                      {1280, 720},
                                                      {1280, 960},
                                                      {1920, 1080}}};
// Fastest first, as V4L2 devices list them.
constexpr std::array<int, 7> kRates{60, 30, 25, 15, 10, 5, 1};

constexpr Rgb kBandColour{32, 32, 32};
constexpr Rgb kInkColour{255, 255, 255};

struct Glyph {
    char c;
    std::uint8_t rows[kGlyphHeight];
};
constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
};

bool supportedSize(int w, int h) {
    return std::any_of(kSizes.begin(), kSizes.end(), [&](auto s) { return s.first == w && s.second == h; });
}

void putPixel(std::uint8_t* row, int x, Rgb c) {
    row[3 * x] = c.r;
    row[3 * x + 1] = c.g;
    row[3 * x + 2] = c.b;
}

void fillRect(std::vector<std::uint8_t>& rgb, int width, int x0, int y0, int w, int h, Rgb c) {
    for (int y = y0; y < y0 + h; ++y) {
        std::uint8_t* row = rgb.data() + std::size_t(y) * width * 3;
        for (int x = x0; x < x0 + w; ++x) putPixel(row, x, c);
    }
}

void drawText(std::vector<std::uint8_t>& rgb, int width, int height, int x0, int y0, int scale, const char* text) {
    for (int i = 0; text[i]; ++i) {
        const int cx = x0 + i * kGlyphAdvance * scale;
        for (int gy = 0; gy < kGlyphHeight; ++gy) {
            const std::uint8_t bits = testPatternGlyphRow(text[i], gy);
            for (int gx = 0; gx < kGlyphWidth; ++gx) {
                if (!(bits & (0x10 >> gx))) continue;
                const int px = cx + gx * scale, py = y0 + gy * scale;
                if (px + scale > width || py + scale > height) continue;
                fillRect(rgb, width, px, py, scale, scale, kInkColour);
            }
        }
    }
}

}  // namespace

TestPatternLayout testPatternLayout(int width, int height) {
    TestPatternLayout l;
    l.barsHeight = height * 2 / 3;
    l.scale = std::max(1, std::min(height / 120, width / 160));
    l.textX = 2 * l.scale;
    const int band = height - l.barsHeight;
    l.counterY = l.barsHeight + std::max(1, (band / 2 - (2 * kGlyphHeight + 2) * l.scale) / 2);
    l.timeY = l.counterY + (kGlyphHeight + 2) * l.scale;
    l.laneY = l.barsHeight + band / 2 + 1;
    l.boxSize = std::max(1, height - 1 - l.laneY);
    return l;
}

std::uint8_t testPatternGlyphRow(char c, int row) {
    if (row < 0 || row >= kGlyphHeight) return 0;
    for (const Glyph& g : kGlyphs)
        if (g.c == c) return g.rows[row];
    return 0;
}

std::vector<Rgb> testPatternPalette() {
    std::vector<Rgb> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = {std::uint8_t(((i >> 5) & 7) * 255 / 7), std::uint8_t(((i >> 2) & 7) * 255 / 7),
                      std::uint8_t((i & 3) * 255 / 3)};
    return palette;
}

std::uint8_t testPatternPaletteIndex(Rgb c) {
    // Nearest level per channel: 3 bits red and green, 2 bits blue.
    const int r = (c.r * 7 + 127) / 255, g = (c.g * 7 + 127) / 255, b = (c.b * 3 + 127) / 255;
    return std::uint8_t(r << 5 | g << 2 | b);
}

std::uint8_t nearestPaletteIndex(const std::vector<Rgb>& palette, Rgb c) {
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
        const int dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return std::uint8_t(best);
}

TestPatternDriver::TestPatternDriver(std::shared_ptr<TestPatternFaults> faults) : faults_(std::move(faults)) {
    if (!faults_) faults_ = std::make_shared<TestPatternFaults>();
    format_ = {FOURCC_RGB24, 320, 240, 1, 15};
}

TestPatternDriver::~TestPatternDriver() { close(); }

DriverInfo TestPatternDriver::info() const { return {kName, TESK_VERSION, {}}; }

Status TestPatternDriver::open() {
    if (faults_->refuseConnect) return Status::failure("the test pattern refused the connection (fault switch)");
    open_ = true;
    return Status::success();
}

void TestPatternDriver::close() {
    stopStreaming();
    open_ = false;
}

bool TestPatternDriver::isOpen() const { return open_; }

DriverCaps TestPatternDriver::caps() const {
    DriverCaps c;
    c.sourceDialog = true;
    c.formatDialog = true;
    c.displayDialog = true;
    c.suppliesPalettes = true;
    return c;
}

std::vector<PixelFormatOption> TestPatternDriver::formats() const {
    std::vector<FrameSizeOption> sizes;
    for (auto [w, h] : kSizes) {
        FrameSizeOption s{w, h, {}};
        for (int rate : kRates) s.intervals.push_back({1, rate});
        sizes.push_back(std::move(s));
    }
    return {{FOURCC_RGB24, "RGB 24-bit", sizes}, {FOURCC_PAL8, "8-bit palettized", sizes}};
}

VideoFormat TestPatternDriver::format() const { return format_; }

Status TestPatternDriver::setFormat(const VideoFormat& wanted) {
    if (streaming_) return Status::failure("the format cannot change while the test pattern is streaming");
    VideoFormat f = wanted;
    if (f.fourcc != FOURCC_RGB24 && f.fourcc != FOURCC_PAL8) f.fourcc = FOURCC_RGB24;
    if (!supportedSize(f.width, f.height)) {
        // The nearest listed size by area, as a device adjusts a request.
        const long want = long(std::max(0, f.width)) * std::max(0, f.height);
        auto best = kSizes[0];
        for (auto s : kSizes)
            if (std::labs(long(s.first) * s.second - want) < std::labs(long(best.first) * best.second - want)) best = s;
        f.width = best.first;
        f.height = best.second;
    }
    // The nearest listed rate.
    const double rate = f.intervalNumerator > 0 && f.intervalDenominator > 0
                            ? double(f.intervalDenominator) / f.intervalNumerator
                            : 15.0;
    int bestRate = kRates[0];
    for (int r : kRates)
        if (std::abs(r - rate) < std::abs(bestRate - rate)) bestRate = r;
    f.intervalNumerator = 1;
    f.intervalDenominator = bestRate;
    format_ = f;
    return Status::success();
}

void TestPatternDriver::setPalette(const std::vector<Rgb>& colours) {
    auto palette = colours.empty() || colours.size() > 256 ? nullptr : std::make_shared<const std::vector<Rgb>>(colours);
    std::lock_guard lock(paletteMutex_);
    palette_ = std::move(palette);
}

std::vector<Input> TestPatternDriver::inputs() const { return {{0, "Test pattern generator"}}; }

int TestPatternDriver::currentInput() const { return input_; }

Status TestPatternDriver::setInput(int index) {
    if (index != 0) return Status::failure("the test pattern has only input 0");
    input_ = index;
    return Status::success();
}

std::vector<Control> TestPatternDriver::controls() const {
    Control brightness;
    brightness.id = TEST_PATTERN_CID_BRIGHTNESS;
    brightness.name = "Brightness";
    brightness.minimum = 0;
    brightness.maximum = 255;
    brightness.step = 1;
    brightness.defaultValue = 128;
    brightness.value = brightness_;
    Control pattern;
    pattern.id = TEST_PATTERN_CID_PATTERN;
    pattern.name = "Test Pattern";
    pattern.type = Control::Type::Menu;
    pattern.minimum = 0;
    pattern.maximum = 2;
    pattern.defaultValue = 0;
    pattern.value = pattern_;
    pattern.menu = {{0, "Colour Bars"}, {1, "Grey Ramp"}, {2, "Checkerboard"}};
    return {brightness, pattern};
}

Status TestPatternDriver::setControl(std::uint32_t id, std::int64_t value) {
    if (id == TEST_PATTERN_CID_BRIGHTNESS) {
        if (value < 0 || value > 255) return Status::failure("brightness must lie between 0 and 255");
        brightness_ = int(value);
        return Status::success();
    }
    if (id == TEST_PATTERN_CID_PATTERN) {
        if (value < 0 || value > 2) return Status::failure("no such test pattern");
        pattern_ = int(value);
        return Status::success();
    }
    return Status::failure("the test pattern has no such control");
}

Status TestPatternDriver::startStreaming() {
    if (!open_) return Status::failure("the test pattern is not connected");
    std::lock_guard lock(waitMutex_);
    streamStart_ = nextDue_ = Clock::now();
    nextSequence_ = 0;
    streaming_ = true;
    return Status::success();
}

void TestPatternDriver::stopStreaming() {
    {
        std::lock_guard lock(waitMutex_);
        streaming_ = false;
    }
    wake_.notify_all();
}

bool TestPatternDriver::isStreaming() const { return streaming_; }

Status TestPatternDriver::readFrame(Frame& out, std::chrono::milliseconds timeout) {
    std::unique_lock lock(waitMutex_);
    if (!streaming_) return Status::failure("the test pattern is not streaming");
    const auto now = Clock::now();
    const auto deadline = now + timeout;
    if (faults_->stopFrames) {
        wake_.wait_until(lock, deadline, [&] { return !streaming_; });
        return Status::failure("the test pattern stopped delivering frames");
    }
    const auto interval = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(format_.intervalNumerator) / format_.intervalDenominator));
    // A reader that fell behind gets the next frame at once, not a burst of old ones.
    if (nextDue_ + interval < now) nextDue_ = now;
    if (nextDue_ > deadline) {
        wake_.wait_until(lock, deadline, [&] { return !streaming_; });
        return Status::failure("no frame from the test pattern within the time allowed");
    }
    if (wake_.wait_until(lock, nextDue_, [&] { return !streaming_; }))
        return Status::failure("the test pattern stopped streaming");
    const auto due = nextDue_;
    const std::uint64_t sequence = nextSequence_++;
    nextDue_ += interval;
    lock.unlock();

    render(out, sequence, std::chrono::duration_cast<std::chrono::microseconds>(due - streamStart_));
    int broken = faults_->brokenFrames.load();
    while (broken > 0 && !faults_->brokenFrames.compare_exchange_weak(broken, broken - 1)) {
    }
    if (broken > 0) out.pixels.resize(out.pixels.size() / 2);  // a truncated transfer
    return Status::success();
}

void TestPatternDriver::render(Frame& out, std::uint64_t sequence, std::chrono::microseconds timestamp) const {
    const int w = format_.width, h = format_.height;
    const TestPatternLayout l = testPatternLayout(w, h);
    std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3);

    // The pattern: every row the same for bars and the ramp.
    const int pattern = pattern_;
    if (pattern == int(TestPattern::Checkerboard)) {
        const int cell = std::max(1, h / 12);
        for (int y = 0; y < l.barsHeight; ++y) {
            std::uint8_t* row = rgb.data() + std::size_t(y) * w * 3;
            for (int x = 0; x < w; ++x)
                putPixel(row, x, ((x / cell + y / cell) & 1) ? Rgb{255, 255, 255} : Rgb{0, 0, 0});
        }
    } else {
        std::vector<std::uint8_t> row(std::size_t(w) * 3);
        for (int x = 0; x < w; ++x) {
            if (pattern == int(TestPattern::GreyRamp)) {
                const auto v = std::uint8_t(w > 1 ? x * 255 / (w - 1) : 0);
                putPixel(row.data(), x, {v, v, v});
            } else {
                putPixel(row.data(), x, kColourBars[x * 8 / w]);
            }
        }
        for (int y = 0; y < l.barsHeight; ++y) std::memcpy(rgb.data() + std::size_t(y) * w * 3, row.data(), row.size());
    }

    // The band: moving box, counter and time stamp.
    fillRect(rgb, w, 0, l.barsHeight, w, h - l.barsHeight, kBandColour);
    const int travel = std::max(1, w - l.boxSize);
    const int step = std::max(1, w / 64);
    const int pos = int((sequence * step) % std::uint64_t(2 * travel));
    const int boxX = pos < travel ? pos : 2 * travel - pos;  // back and forth
    fillRect(rgb, w, std::min(boxX, w - 1), l.laneY, std::min(l.boxSize, w), std::min(l.boxSize, h - l.laneY),
             Rgb{255, 255, 0});
    char text[32];
    std::snprintf(text, sizeof text, "#%06llu", static_cast<unsigned long long>(sequence % 1000000));
    drawText(rgb, w, h, l.textX, l.counterY, l.scale, text);
    const long long ms = timestamp.count() / 1000;
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", (ms / 3600000) % 100, (ms / 60000) % 60,
                  (ms / 1000) % 60, ms % 1000);
    drawText(rgb, w, h, l.textX, l.timeY, l.scale, text);

    // Brightness: 128 leaves the picture as drawn.
    const int brightness = brightness_;
    if (brightness != 128) {
        std::uint8_t lut[256];
        for (int v = 0; v < 256; ++v) lut[v] = std::uint8_t(std::min(255, v * brightness / 128));
        for (auto& v : rgb) v = lut[v];
    }

    out.width = w;
    out.height = h;
    out.sequence = sequence;
    out.timestamp = timestamp;
    if (format_.fourcc == FOURCC_PAL8) {
        std::shared_ptr<const std::vector<Rgb>> palette;
        {
            std::lock_guard lock(paletteMutex_);
            palette = palette_;
        }
        out.layout = Frame::Layout::Indexed8;
        out.pixels.resize(std::size_t(w) * h);
        if (!palette) {
            out.palette = testPatternPalette();
            for (std::size_t i = 0; i < out.pixels.size(); ++i)
                out.pixels[i] = testPatternPaletteIndex({rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]});
        } else {
            // The picture has few distinct colours, mostly in runs: each is searched for once.
            out.palette = *palette;
            std::unordered_map<std::uint32_t, std::uint8_t> nearest;
            std::uint32_t lastColour = 0xFFFFFFFF;
            std::uint8_t lastIndex = 0;
            for (std::size_t i = 0; i < out.pixels.size(); ++i) {
                const Rgb c{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
                const std::uint32_t key = std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
                if (key != lastColour) {
                    auto [it, added] = nearest.try_emplace(key, 0);
                    if (added) it->second = nearestPaletteIndex(*palette, c);
                    lastColour = key;
                    lastIndex = it->second;
                }
                out.pixels[i] = lastIndex;
            }
        }
    } else {
        out.layout = Frame::Layout::Rgb24;
        out.palette.clear();
        out.pixels = std::move(rgb);
    }
}

}  // namespace tesk
