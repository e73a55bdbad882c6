#pragma once
// Pixel formats, frame sizes and frame intervals as a V4L2 capture device
// enumerates them (VIDIOC_ENUM_FMT, ENUM_FRAMESIZES, ENUM_FRAMEINTERVALS).

#include "tesk/driver.h"
#include "tesk/v4l2/v4l2_device_io.h"

#include <linux/videodev2.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tesk::v4l2 {

// The device's own capture pixel formats in its order; entries a library
// emulates (V4L2_FMT_FLAG_EMULATED) are left out.
std::vector<std::uint32_t> nativeFourccs(DeviceIo& io, int fd);

// Every native capture format that keep() accepts (all without one), with
// its sizes and, per size, its frame intervals. Stepwise and continuous
// ranges are turned into a list of common sizes and rates inside the range
// (with its two ends).
std::vector<PixelFormatOption> enumerateFormats(DeviceIo& io, int fd,
                                                const std::function<bool(std::uint32_t)>& keep = {});

struct FrameSize {
    int width = 0;
    int height = 0;
    bool operator==(const FrameSize&) const = default;
};

// The common sizes inside a stepwise (or continuous: step 1) range, plus its
// smallest and largest size, ordered by area.
std::vector<FrameSize> sizesInRange(const v4l2_frmsize_stepwise& range);

// The common rates (60 ... 1 frames per second) inside an interval range,
// plus its fastest and slowest interval, fastest first.
std::vector<FrameInterval> intervalsInRange(const v4l2_frmival_stepwise& range);

// "YUYV", "RGB3", ... for messages.
std::string fourccText(std::uint32_t fourcc);

}  // namespace tesk::v4l2
