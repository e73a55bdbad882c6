#include "fake_camera_io.h"

#include <linux/videodev2.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tesk::v4l2::testing {

void FakeCameraIo::plugIn() {
    unplugged_ = false;
    buffers_.clear();
    queued_.clear();
    streaming_ = false;
}

int FakeCameraIo::fail(int error) const {
    errno = error;
    return -1;
}

int FakeCameraIo::open(const std::string& path, int) {
    const auto node = nodes.find(path);
    if (node == nodes.end() || unplugged_)
        return fail(ENOENT);
    if (node->second.openError != 0)
        return fail(node->second.openError);
    const int fd = nextFd_++;
    open_[fd] = path;
    return fd;
}

int FakeCameraIo::close(int fd) {
    if (open_.erase(fd) == 0)
        return fail(EBADF);
    return 0;
}

void FakeCameraIo::paint(std::vector<std::uint8_t>& image) const {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.data() + std::size_t(y) * bytesPerLine + std::size_t(x) * 3;
            pixel[0] = red(x);
            pixel[1] = green(y);
            pixel[2] = blue(sequence_);
        }
}

int FakeCameraIo::ioctl(int fd, unsigned long request, void* argument) {
    const auto open = open_.find(fd);
    if (open == open_.end())
        return fail(EBADF);
    if (unplugged_)
        return fail(ENODEV);
    const Node& node = nodes.at(open->second);
    switch (request) {
    case VIDIOC_QUERYCAP: {
        auto* caps = static_cast<v4l2_capability*>(argument);
        *caps = {};
        std::strncpy(reinterpret_cast<char*>(caps->card), node.card.c_str(), sizeof caps->card - 1);
        std::strncpy(reinterpret_cast<char*>(caps->driver), node.driver.c_str(), sizeof caps->driver - 1);
        caps->version = node.version;
        caps->capabilities = node.deviceCaps | V4L2_CAP_VIDEO_OUTPUT | V4L2_CAP_DEVICE_CAPS;
        caps->device_caps = node.deviceCaps;
        return 0;
    }
    case VIDIOC_G_FMT:
    case VIDIOC_S_FMT:
    case VIDIOC_TRY_FMT: {
        auto* format = static_cast<v4l2_format*>(argument);
        if (format->type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return fail(EINVAL);
        if (request == VIDIOC_S_FMT && !buffers_.empty())
            return fail(EBUSY);
        format->fmt.pix.width = std::uint32_t(width);
        format->fmt.pix.height = std::uint32_t(height);
        format->fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
        format->fmt.pix.bytesperline = bytesPerLine;
        format->fmt.pix.sizeimage = bytesPerLine * std::uint32_t(height);
        return 0;
    }
    case VIDIOC_G_PARM: {
        auto* parameters = static_cast<v4l2_streamparm*>(argument);
        parameters->parm.capture.capability = 0;
        parameters->parm.capture.timeperframe = {1, 30};
        return 0;
    }
    case VIDIOC_ENUM_FMT: {
        auto* description = static_cast<v4l2_fmtdesc*>(argument);
        if (description->index > 1)
            return fail(EINVAL);
        description->pixelformat = description->index == 0 ? V4L2_PIX_FMT_YUYV : V4L2_PIX_FMT_RGB24;
        std::strcpy(reinterpret_cast<char*>(description->description), description->index == 0 ? "YUYV" : "RGB3");
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto* size = static_cast<v4l2_frmsizeenum*>(argument);
        if (size->index > 0)
            return fail(EINVAL);
        size->type = V4L2_FRMSIZE_TYPE_STEPWISE;
        size->stepwise = {160, 640, 16, 120, 480, 8};
        return 0;
    }
    case VIDIOC_ENUM_FRAMEINTERVALS: {
        auto* interval = static_cast<v4l2_frmivalenum*>(argument);
        if (interval->index > 0)
            return fail(EINVAL);
        interval->type = V4L2_FRMIVAL_TYPE_CONTINUOUS;
        interval->stepwise = {{1, 30}, {1, 10}, {1, 1}};
        return 0;
    }
    case VIDIOC_ENUMINPUT: {
        auto* input = static_cast<v4l2_input*>(argument);
        if (input->index > 0)
            return fail(EINVAL);
        std::strcpy(reinterpret_cast<char*>(input->name), "Camera 1");
        return 0;
    }
    case VIDIOC_REQBUFS: {
        auto* request_ = static_cast<v4l2_requestbuffers*>(argument);
        if (streaming_)
            return fail(EBUSY);
        buffers_.assign(std::min<std::uint32_t>(request_->count, 3),
                        std::vector<std::uint8_t>(bytesPerLine * std::uint32_t(height), 0));
        request_->count = std::uint32_t(buffers_.size());
        queued_.clear();
        return 0;
    }
    case VIDIOC_QUERYBUF: {
        auto* buffer = static_cast<v4l2_buffer*>(argument);
        if (buffer->index >= buffers_.size())
            return fail(EINVAL);
        buffer->length = std::uint32_t(buffers_[buffer->index].size());
        buffer->m.offset = buffer->index * 4096;
        return 0;
    }
    case VIDIOC_QBUF: {
        auto* buffer = static_cast<v4l2_buffer*>(argument);
        if (buffer->index >= buffers_.size())
            return fail(EINVAL);
        queued_.push_back(int(buffer->index));
        return 0;
    }
    case VIDIOC_DQBUF: {
        auto* buffer = static_cast<v4l2_buffer*>(argument);
        if (!streaming_)
            return fail(EINVAL);
        if (queued_.empty() || stalled)
            return fail(EAGAIN);
        const int index = queued_.front();
        queued_.erase(queued_.begin());
        paint(buffers_[std::size_t(index)]);
        buffer->index = std::uint32_t(index);
        buffer->bytesused = std::uint32_t(buffers_[std::size_t(index)].size());
        buffer->sequence = sequence_++;
        buffer->flags = 0;
        return 0;
    }
    case VIDIOC_STREAMON: streaming_ = true; return 0;
    case VIDIOC_STREAMOFF: streaming_ = false; queued_.clear(); return 0;
    case VIDIOC_G_INPUT: *static_cast<int*>(argument) = 0; return 0;
    default: return fail(ENOTTY);  // no controls, overlay, ...
    }
}

void* FakeCameraIo::mmap(void*, std::size_t length, int, int, int fd, off_t offset) {
    const std::size_t index = std::size_t(offset / 4096);
    if (!open_.count(fd) || unplugged_ || index >= buffers_.size() || length > buffers_[index].size()) {
        errno = unplugged_ ? ENODEV : EINVAL;
        return MAP_FAILED;
    }
    ++mapped_;
    return buffers_[index].data();
}

int FakeCameraIo::munmap(void*, std::size_t) {
    --mapped_;
    return 0;
}

int FakeCameraIo::poll(pollfd* fds, nfds_t count, int) {
    const bool ready = !stalled && (readable || (streaming_ && !queued_.empty()));
    for (nfds_t i = 0; i < count; ++i)
        fds[i].revents = unplugged_ ? short(POLLERR | POLLHUP) : ready ? short(POLLIN) : short(0);
    return (unplugged_ || ready) ? int(count) : 0;
}

ssize_t FakeCameraIo::read(int fd, void* buffer, std::size_t length) {
    if (!open_.count(fd))
        return fail(EBADF);
    if (unplugged_)
        return fail(ENODEV);
    if (!readable)
        return fail(EINVAL);
    std::vector<std::uint8_t> image(bytesPerLine * std::uint32_t(height), 0);
    paint(image);
    ++sequence_;
    const std::size_t count = std::min(length, image.size());
    std::memcpy(buffer, image.data(), count);
    return ssize_t(count);
}

}  // namespace tesk::v4l2::testing
