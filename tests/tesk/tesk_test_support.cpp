#include "tesk_test_support.h"

#include "tesk/frame_image.h"
#include "tesk/test_pattern_driver.h"

#include <cmath>
#include <cstdio>

namespace tesk::testing {
namespace {

std::string run(const std::string& command, std::vector<std::uint8_t>* bytes = nullptr) {
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        if (bytes) bytes->insert(bytes->end(), buffer, buffer + n);
        else text.append(buffer, n);
    }
    ::pclose(pipe);
    return text;
}

}  // namespace

bool ffmpegAvailable() { return !run("command -v ffmpeg ffprobe 2>/dev/null").empty(); }

std::optional<DecodedImage> decodeWithFfmpeg(const std::string& path) {
    const std::string size =
        run("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 '" + path + "'");
    DecodedImage image;
    if (std::sscanf(size.c_str(), "%d,%d", &image.width, &image.height) != 2) return std::nullopt;
    run("ffmpeg -v error -i '" + path + "' -sws_flags accurate_rnd+full_chroma_int -f rawvideo -pix_fmt rgb24 -",
        &image.rgb);
    if (image.rgb.size() != std::size_t(image.width) * image.height * 3) return std::nullopt;
    return image;
}

double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0.0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    const double mse = sum / double(a.size());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

std::optional<std::uint64_t> readCounter(const Frame& frame) {
    const std::vector<std::uint8_t> rgb = frameToRgb24(frame);
    if (rgb.empty()) return std::nullopt;
    const TestPatternLayout l = testPatternLayout(frame.width, frame.height);
    std::uint64_t value = 0;
    for (int i = 0; i < 7; ++i) {
        std::uint8_t rows[kGlyphHeight] = {};
        for (int gy = 0; gy < kGlyphHeight; ++gy)
            for (int gx = 0; gx < kGlyphWidth; ++gx) {
                const int x = l.textX + (i * kGlyphAdvance + gx) * l.scale + l.scale / 2;
                const int y = l.counterY + gy * l.scale + l.scale / 2;
                const std::uint8_t* p = rgb.data() + (std::size_t(y) * frame.width + x) * 3;
                if (p[0] > 128 && p[1] > 128 && p[2] > 128) rows[gy] |= std::uint8_t(0x10 >> gx);
            }
        const char* candidates = i == 0 ? "#" : "0123456789";
        std::optional<char> found;
        for (const char* c = candidates; *c; ++c) {
            bool same = true;
            for (int gy = 0; gy < kGlyphHeight; ++gy) same = same && rows[gy] == testPatternGlyphRow(*c, gy);
            if (same) found = *c;
        }
        if (!found) return std::nullopt;
        if (i > 0) value = value * 10 + std::uint64_t(*found - '0');
    }
    return value;
}

}  // namespace tesk::testing
