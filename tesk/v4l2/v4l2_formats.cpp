#include "tesk/v4l2/v4l2_formats.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tesk::v4l2 {
namespace {

constexpr FrameSize kCommonSizes[] = {
    {160, 120},  {176, 144},  {320, 180},   {320, 240},   {352, 288},   {424, 240},   {640, 360},
    {640, 480},  {720, 480},  {720, 576},   {800, 600},   {960, 540},   {1024, 576},  {1024, 768},
    {1280, 720}, {1280, 960}, {1280, 1024}, {1600, 1200}, {1920, 1080}, {2560, 1440}, {3840, 2160},
};

constexpr int kCommonRates[] = {60, 50, 30, 25, 24, 20, 15, 10, 5, 1};

bool fitsStep(std::uint32_t value, std::uint32_t minimum, std::uint32_t step) {
    return value >= minimum && (step <= 1 || (value - minimum) % step == 0);
}

// a/b compared with c/d without rounding.
int compareFractions(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d) {
    const std::uint64_t left = a * d, right = c * b;
    return left < right ? -1 : left > right ? 1 : 0;
}

std::vector<FrameInterval> enumerateIntervals(DeviceIo& io, int fd, std::uint32_t fourcc, int width, int height) {
    std::vector<FrameInterval> intervals;
    for (std::uint32_t index = 0;; ++index) {
        v4l2_frmivalenum interval{};
        interval.index = index;
        interval.pixel_format = fourcc;
        interval.width = std::uint32_t(width);
        interval.height = std::uint32_t(height);
        if (xioctl(io, fd, VIDIOC_ENUM_FRAMEINTERVALS, &interval) != 0)
            break;
        if (interval.type == V4L2_FRMIVAL_TYPE_DISCRETE) {
            if (interval.discrete.numerator > 0 && interval.discrete.denominator > 0)
                intervals.push_back({int(interval.discrete.numerator), int(interval.discrete.denominator)});
            continue;
        }
        return intervalsInRange(interval.stepwise);  // a range is the only entry
    }
    return intervals;
}

std::vector<FrameSize> enumerateSizes(DeviceIo& io, int fd, std::uint32_t fourcc) {
    std::vector<FrameSize> sizes;
    for (std::uint32_t index = 0;; ++index) {
        v4l2_frmsizeenum size{};
        size.index = index;
        size.pixel_format = fourcc;
        if (xioctl(io, fd, VIDIOC_ENUM_FRAMESIZES, &size) != 0)
            break;
        if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            sizes.push_back({int(size.discrete.width), int(size.discrete.height)});
            continue;
        }
        return sizesInRange(size.stepwise);
    }
    if (!sizes.empty())
        return sizes;
    // Without size enumeration, ask the driver which common sizes it takes as they are.
    for (const FrameSize& candidate : kCommonSizes) {
        v4l2_format format{};
        format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        format.fmt.pix.width = std::uint32_t(candidate.width);
        format.fmt.pix.height = std::uint32_t(candidate.height);
        format.fmt.pix.pixelformat = fourcc;
        format.fmt.pix.field = V4L2_FIELD_ANY;
        if (xioctl(io, fd, VIDIOC_TRY_FMT, &format) == 0 && format.fmt.pix.pixelformat == fourcc &&
            int(format.fmt.pix.width) == candidate.width && int(format.fmt.pix.height) == candidate.height)
            sizes.push_back(candidate);
    }
    return sizes;
}

}  // namespace

std::vector<FrameSize> sizesInRange(const v4l2_frmsize_stepwise& range) {
    std::vector<FrameSize> sizes;
    if (range.min_width == 0 || range.min_height == 0 || range.max_width < range.min_width ||
        range.max_height < range.min_height)
        return sizes;
    sizes.push_back({int(range.min_width), int(range.min_height)});
    for (const FrameSize& candidate : kCommonSizes) {
        const auto width = std::uint32_t(candidate.width), height = std::uint32_t(candidate.height);
        if (width <= range.max_width && height <= range.max_height && fitsStep(width, range.min_width, range.step_width) &&
            fitsStep(height, range.min_height, range.step_height))
            sizes.push_back(candidate);
    }
    sizes.push_back({int(range.max_width), int(range.max_height)});
    std::stable_sort(sizes.begin(), sizes.end(), [](const FrameSize& a, const FrameSize& b) {
        return std::int64_t(a.width) * a.height < std::int64_t(b.width) * b.height ||
               (std::int64_t(a.width) * a.height == std::int64_t(b.width) * b.height && a.width < b.width);
    });
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

std::vector<FrameInterval> intervalsInRange(const v4l2_frmival_stepwise& range) {
    std::vector<FrameInterval> intervals;
    const v4l2_fract& fastest = range.min;
    const v4l2_fract& slowest = range.max;
    if (fastest.numerator == 0 || fastest.denominator == 0 || slowest.numerator == 0 || slowest.denominator == 0 ||
        compareFractions(fastest.numerator, fastest.denominator, slowest.numerator, slowest.denominator) > 0)
        return intervals;
    intervals.push_back({int(fastest.numerator), int(fastest.denominator)});
    for (int rate : kCommonRates) {
        if (compareFractions(1, std::uint64_t(rate), fastest.numerator, fastest.denominator) > 0 &&
            compareFractions(1, std::uint64_t(rate), slowest.numerator, slowest.denominator) < 0)
            intervals.push_back({1, rate});
    }
    if (compareFractions(fastest.numerator, fastest.denominator, slowest.numerator, slowest.denominator) != 0)
        intervals.push_back({int(slowest.numerator), int(slowest.denominator)});
    return intervals;
}

namespace {

// Calls each(description) for every native capture format, in order.
void forEachNativeFormat(DeviceIo& io, int fd, const std::function<void(const v4l2_fmtdesc&)>& each) {
    for (std::uint32_t index = 0;; ++index) {
        v4l2_fmtdesc description{};
        description.index = index;
        description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (xioctl(io, fd, VIDIOC_ENUM_FMT, &description) != 0)
            break;
        if (!(description.flags & V4L2_FMT_FLAG_EMULATED))
            each(description);
    }
}

}  // namespace

std::vector<std::uint32_t> nativeFourccs(DeviceIo& io, int fd) {
    std::vector<std::uint32_t> fourccs;
    forEachNativeFormat(io, fd, [&](const v4l2_fmtdesc& description) { fourccs.push_back(description.pixelformat); });
    return fourccs;
}

std::vector<PixelFormatOption> enumerateFormats(DeviceIo& io, int fd, const std::function<bool(std::uint32_t)>& keep) {
    std::vector<PixelFormatOption> formats;
    forEachNativeFormat(io, fd, [&](const v4l2_fmtdesc& description) {
        if (keep && !keep(description.pixelformat))
            return;
        PixelFormatOption option;
        option.fourcc = description.pixelformat;
        option.description = std::string(reinterpret_cast<const char*>(description.description),
                                         strnlen(reinterpret_cast<const char*>(description.description),
                                                 sizeof description.description));
        for (const FrameSize& size : enumerateSizes(io, fd, option.fourcc))
            option.sizes.push_back(
                {size.width, size.height, enumerateIntervals(io, fd, option.fourcc, size.width, size.height)});
        formats.push_back(std::move(option));
    });
    return formats;
}

std::string fourccText(std::uint32_t fourcc) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const char c = char((fourcc >> shift) & 0xff);
        text += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace tesk::v4l2
