#pragma once
// Frames of a camera's own pixel format (YUYV, MJPEG, NV12, Bayer, ...)
// turned into RGB24 by libv4lconvert, which also applies the flips and
// corrections its device list knows for the camera.

#include "tesk/driver.h"
#include "tesk/v4l2/v4l2_device_io.h"

#include <linux/videodev2.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct v4lconvert_data;

namespace tesk::v4l2 {

class FrameConverter {
public:
    // The converter for the device open as fd; libv4lconvert asks the
    // device about itself through io. Null, with error set, when it cannot.
    static std::unique_ptr<FrameConverter> create(DeviceIo& io, int fd, std::string& error);
    ~FrameConverter();
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;

    // One frame of the format source (as VIDIOC_G_FMT reports it) into
    // tightly packed RGB24 rows of the same size. A frame that cannot be
    // converted (corrupt, short) is an error with libv4lconvert's reason.
    Status toRgb24(const v4l2_pix_format& source, const std::uint8_t* data, std::size_t size,
                   std::vector<std::uint8_t>& rgb);

private:
    explicit FrameConverter(v4lconvert_data* data) : data_(data) {}
    v4lconvert_data* data_;
};

// Whether libv4lconvert can make RGB24 frames out of this pixel format.
// Decided once per format by converting a blank test frame.
bool canConvertToRgb24(std::uint32_t fourcc);

}  // namespace tesk::v4l2
