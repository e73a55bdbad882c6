// Overlay: the device writes its picture straight into a framebuffer.
// VIDIOC_S_FBUF needs the framebuffer's physical address and privileges, so
// normally a helper has set it up already (VIDIOC_G_FBUF shows a base); only
// when none is set up do we offer the device the machine's /dev/fbN.

#include "tesk/v4l2/v4l2_driver.h"

#include "tesk/v4l2/v4l2_formats.h"
#include "tesk/v4l2/v4l2_status.h"

#include <linux/fb.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>

namespace tesk {
namespace {

constexpr int kMaxFramebuffers = 8;

// The V4L2 pixel format of a framebuffer mode; 0 when there is none.
std::uint32_t framebufferFourcc(const fb_var_screeninfo& mode) {
    switch (mode.bits_per_pixel) {
    case 16: return mode.green.length == 6 ? V4L2_PIX_FMT_RGB565 : V4L2_PIX_FMT_XRGB555;
    case 24: return mode.red.offset == 16 ? V4L2_PIX_FMT_BGR24 : V4L2_PIX_FMT_RGB24;
    case 32: return mode.red.offset == 16 ? V4L2_PIX_FMT_XBGR32 : V4L2_PIX_FMT_XRGB32;
    default: return 0;
    }
}

// Fills framebuffer from /dev/fbN; false when it is missing or unusable.
bool describeFramebuffer(v4l2::DeviceIo& io, const std::string& path, v4l2_framebuffer& framebuffer) {
    const int fd = io.openRaw(path, O_RDWR);
    if (fd < 0)
        return false;
    fb_fix_screeninfo fixed{};
    fb_var_screeninfo mode{};
    const bool described = v4l2::xioctl(io, fd, FBIOGET_FSCREENINFO, &fixed) == 0 &&
                           v4l2::xioctl(io, fd, FBIOGET_VSCREENINFO, &mode) == 0;
    io.close(fd);
    const std::uint32_t fourcc = described ? framebufferFourcc(mode) : 0;
    if (fourcc == 0 || fixed.smem_start == 0 || mode.xres == 0 || mode.yres == 0)
        return false;
    framebuffer = {};
    framebuffer.base = reinterpret_cast<void*>(fixed.smem_start);
    framebuffer.fmt.width = mode.xres;
    framebuffer.fmt.height = mode.yres;
    framebuffer.fmt.pixelformat = fourcc;
    framebuffer.fmt.field = V4L2_FIELD_NONE;
    framebuffer.fmt.bytesperline = fixed.line_length;
    framebuffer.fmt.sizeimage = fixed.line_length * mode.yres;
    framebuffer.fmt.colorspace = V4L2_COLORSPACE_SRGB;
    return true;
}

}  // namespace

Status V4l2Driver::configureFramebuffer() {
    int lastError = ENOENT;
    for (int index = 0; index < kMaxFramebuffers; ++index) {
        v4l2_framebuffer framebuffer{};
        if (!describeFramebuffer(*io_, "/dev/fb" + std::to_string(index), framebuffer))
            continue;
        if (v4l2::xioctl(*io_, fd_, VIDIOC_S_FBUF, &framebuffer) == 0)
            return Status::success();
        lastError = errno;
        if (v4l2::isDisconnection(lastError))
            return failure("VIDIOC_S_FBUF", lastError);
    }
    if (lastError == ENOENT)
        return v4l2::deviceFailure(info_, "no framebuffer is set up for the overlay, and no usable /dev/fbN was found");
    return v4l2::deviceFailure(info_, std::string("no framebuffer is set up for the overlay, and the device refused "
                                                  "the machine's framebuffers (VIDIOC_S_FBUF: ") +
                                          std::strerror(lastError) + ")");
}

Status V4l2Driver::setOverlay(bool on) {
    if (!on) {
        if (!overlay_ || !isOpen()) {
            overlay_ = false;
            return Status::success();
        }
        int off = 0;
        overlay_ = false;
        if (v4l2::xioctl(*io_, fd_, VIDIOC_OVERLAY, &off) != 0)
            return failure("VIDIOC_OVERLAY", errno);
        return Status::success();
    }
    if (!isOpen())
        return notOpen();
    if (!(deviceCaps_ & V4L2_CAP_VIDEO_OVERLAY))
        return v4l2::deviceFailure(info_, "the device has no overlay");
    if (overlay_)
        return Status::success();

    v4l2_framebuffer framebuffer{};
    if (v4l2::xioctl(*io_, fd_, VIDIOC_G_FBUF, &framebuffer) != 0)
        return failure("VIDIOC_G_FBUF", errno);
    const bool external = (framebuffer.capability & V4L2_FBUF_CAP_EXTERNOVERLAY) != 0;
    if (!external && framebuffer.base == nullptr) {
        if (Status status = configureFramebuffer(); !status)
            return status;
        if (v4l2::xioctl(*io_, fd_, VIDIOC_G_FBUF, &framebuffer) != 0)
            return failure("VIDIOC_G_FBUF", errno);
    }

    // The overlay window: the picture at its capture size, clipped to the framebuffer.
    v4l2_format window{};
    window.type = V4L2_BUF_TYPE_VIDEO_OVERLAY;
    window.fmt.win.w.left = 0;
    window.fmt.win.w.top = 0;
    window.fmt.win.w.width = std::uint32_t(format_.width);
    window.fmt.win.w.height = std::uint32_t(format_.height);
    if (!external && framebuffer.fmt.width > 0 && framebuffer.fmt.height > 0) {
        window.fmt.win.w.width = std::min(window.fmt.win.w.width, framebuffer.fmt.width);
        window.fmt.win.w.height = std::min(window.fmt.win.w.height, framebuffer.fmt.height);
    }
    window.fmt.win.field = V4L2_FIELD_ANY;
    if (v4l2::xioctl(*io_, fd_, VIDIOC_S_FMT, &window) != 0)
        return failure("VIDIOC_S_FMT (overlay window)", errno);

    int start = 1;
    if (v4l2::xioctl(*io_, fd_, VIDIOC_OVERLAY, &start) != 0) {
        const int error = errno;
        if (error == EINVAL && !external && framebuffer.fmt.pixelformat != format_.fourcc)
            return v4l2::deviceFailure(
                info_, "the device refused to start the overlay (VIDIOC_OVERLAY: " + std::string(std::strerror(error)) +
                           "): its framebuffer holds " + v4l2::fourccText(framebuffer.fmt.pixelformat) +
                           " pixels and the capture format is " + v4l2::fourccText(format_.fourcc));
        return failure("VIDIOC_OVERLAY", error);
    }
    overlay_ = true;
    return Status::success();
}

}  // namespace tesk
