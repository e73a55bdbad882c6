#include "tesk/v4l2/v4l2_frame_converter.h"

#include <libv4l-plugin.h>
#include <libv4lconvert.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace tesk::v4l2 {
namespace {

int deviceIoctl(void* io, int fd, unsigned long request, void* argument) {
    return xioctl(*static_cast<DeviceIo*>(io), fd, request, argument);
}

ssize_t deviceRead(void* io, int fd, void* buffer, std::size_t length) {
    return static_cast<DeviceIo*>(io)->read(fd, buffer, length);
}

ssize_t noWrite(void*, int, const void*, std::size_t) {
    errno = EINVAL;  // capture devices are never written to
    return -1;
}

const libv4l_dev_ops kDeviceOps = {nullptr, nullptr, deviceIoctl, deviceRead, noWrite,
                                   nullptr, nullptr, nullptr,     nullptr,    nullptr,
                                   nullptr, nullptr};

// The blank device behind the format probe: a capture device with no
// formats and no inputs, so no flips or corrections apply. It claims every
// control as its own, so libv4lconvert adds no software controls (which
// would live in shared memory under the device's name).
int blankIoctl(void*, int, unsigned long request, void* argument) {
    if (request == VIDIOC_QUERYCAP) {
        auto* capability = static_cast<v4l2_capability*>(argument);
        *capability = {};
        capability->capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        return 0;
    }
    if (request == VIDIOC_QUERYCTRL) {
        auto* control = static_cast<v4l2_queryctrl*>(argument);
        const std::uint32_t id = control->id & ~std::uint32_t(V4L2_CTRL_FLAG_NEXT_CTRL);
        *control = {};
        control->id = id;
        control->type = V4L2_CTRL_TYPE_INTEGER;
        return 0;
    }
    errno = EINVAL;
    return -1;
}

ssize_t blankRead(void*, int, void*, std::size_t) {
    errno = EINVAL;
    return -1;
}

const libv4l_dev_ops kBlankOps = {nullptr, nullptr, blankIoctl, blankRead, noWrite, nullptr,
                                  nullptr, nullptr, nullptr,    nullptr,   nullptr, nullptr};

v4l2_format captureFormat(const v4l2_pix_format& pix) {
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix = pix;
    return format;
}

std::string errorText(v4lconvert_data* data) {
    const char* message = v4lconvert_get_error_message(data);
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? std::string(std::strerror(errno)) : text;
}

}  // namespace

std::unique_ptr<FrameConverter> FrameConverter::create(DeviceIo& io, int fd, std::string& error) {
    v4lconvert_data* data = v4lconvert_create_with_dev_ops(fd, &io, &kDeviceOps);
    if (!data) {
        error = std::string("libv4lconvert cannot work with the device: ") + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<FrameConverter>(new FrameConverter(data));
}

FrameConverter::~FrameConverter() { v4lconvert_destroy(data_); }

Status FrameConverter::toRgb24(const v4l2_pix_format& source, const std::uint8_t* data, std::size_t size,
                               std::vector<std::uint8_t>& rgb) {
    v4l2_format from = captureFormat(source);
    v4l2_pix_format target = source;
    target.pixelformat = V4L2_PIX_FMT_RGB24;
    target.bytesperline = source.width * 3;
    target.sizeimage = target.bytesperline * source.height;
    target.field = V4L2_FIELD_NONE;
    v4l2_format to = captureFormat(target);
    if (source.width == 0 || source.height == 0 || size > std::size_t(INT32_MAX))
        return Status::failure("the frame has no usable size");
    rgb.resize(target.sizeimage);
    // libv4lconvert takes its source as writable; it only reads it.
    const int written = v4lconvert_convert(data_, &from, &to, const_cast<std::uint8_t*>(data), int(size), rgb.data(),
                                           int(rgb.size()));
    if (written < 0)
        return Status::failure(errorText(data_));
    if (std::size_t(written) != rgb.size())
        return Status::failure("the converted frame has " + std::to_string(written) + " of " +
                               std::to_string(rgb.size()) + " bytes");
    return Status::success();
}

bool canConvertToRgb24(std::uint32_t fourcc) {
    if (fourcc == V4L2_PIX_FMT_RGB24)
        return true;
    static std::mutex mutex;
    static std::map<std::uint32_t, bool> known;
    static v4lconvert_data* probe = nullptr;
    std::lock_guard lock(mutex);
    if (const auto found = known.find(fourcc); found != known.end())
        return found->second;
    if (!probe)
        probe = v4lconvert_create_with_dev_ops(-1, nullptr, &kBlankOps);  // lives as long as the process
    if (!probe)
        return false;
    // A blank frame, big enough for any uncompressed layout at this size.
    // Only a format libv4lconvert does not know fails with EINVAL; a
    // compressed one fails on the blank data for other reasons.
    constexpr std::uint32_t side = 32, bytesPerPixel = 8;
    v4l2_pix_format pix{};
    pix.width = side;
    pix.height = side;
    pix.pixelformat = fourcc;
    pix.field = V4L2_FIELD_NONE;
    pix.bytesperline = side * 4;
    pix.sizeimage = side * side * bytesPerPixel;
    v4l2_format from = captureFormat(pix);
    v4l2_pix_format target = pix;
    target.pixelformat = V4L2_PIX_FMT_RGB24;
    target.bytesperline = side * 3;
    target.sizeimage = side * side * 3;
    v4l2_format to = captureFormat(target);
    std::vector<std::uint8_t> blank(pix.sizeimage, 0), rgb(target.sizeimage);
    errno = 0;
    const int written =
        v4lconvert_convert(probe, &from, &to, blank.data(), int(blank.size()), rgb.data(), int(rgb.size()));
    const bool convertible = written >= 0 || errno != EINVAL;
    known[fourcc] = convertible;
    return convertible;
}

}  // namespace tesk::v4l2
