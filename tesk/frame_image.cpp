#include "tesk/frame_image.h"

#include <cstring>

namespace tesk {

bool frameIsWhole(const Frame& frame, std::string* why) {
    auto fail = [&](const char* text) {
        if (why) *why = text;
        return false;
    };
    if (frame.width <= 0 || frame.height <= 0) return fail("the frame has no size");
    if (frame.width > 16384 || frame.height > 16384) return fail("the frame is larger than any supported size");
    const std::size_t expected = std::size_t(frame.width) * frame.height * frame.bytesPerPixel();
    if (frame.pixels.size() != expected) return fail("the frame's data is incomplete");
    if (frame.layout == Frame::Layout::Indexed8 && (frame.palette.empty() || frame.palette.size() > 256))
        return fail("the 8-bit frame has no valid palette");
    return true;
}

std::vector<std::uint8_t> frameToRgb24(const Frame& frame) {
    if (!frameIsWhole(frame)) return {};
    if (frame.layout == Frame::Layout::Rgb24) return frame.pixels;
    std::vector<std::uint8_t> rgb(frame.pixels.size() * 3);
    const std::size_t colours = frame.palette.size();
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
        const std::uint8_t index = frame.pixels[i];
        const Rgb c = index < colours ? frame.palette[index] : Rgb{};
        rgb[3 * i] = c.r;
        rgb[3 * i + 1] = c.g;
        rgb[3 * i + 2] = c.b;
    }
    return rgb;
}

QImage frameToImage(const Frame& frame) {
    if (!frameIsWhole(frame)) return {};
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    std::uint32_t lut[256] = {};
    if (frame.layout == Frame::Layout::Indexed8)
        for (std::size_t i = 0; i < frame.palette.size(); ++i)
            lut[i] = qRgb(frame.palette[i].r, frame.palette[i].g, frame.palette[i].b);
    for (int y = 0; y < frame.height; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        if (frame.layout == Frame::Layout::Rgb24) {
            const std::uint8_t* in = frame.pixels.data() + std::size_t(y) * frame.width * 3;
            for (int x = 0; x < frame.width; ++x, in += 3) out[x] = qRgb(in[0], in[1], in[2]);
        } else {
            const std::uint8_t* in = frame.pixels.data() + std::size_t(y) * frame.width;
            for (int x = 0; x < frame.width; ++x) out[x] = lut[in[x]];
        }
    }
    return image;
}

}  // namespace tesk
