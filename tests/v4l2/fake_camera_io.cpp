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

bool FakeCameraIo::settable(std::uint32_t fourcc) const {
    return std::any_of(formats.begin(), formats.end(), [&](const Format& format) {
        return format.fourcc == fourcc && !(format.flags & V4L2_FMT_FLAG_EMULATED);
    });
}

std::uint32_t FakeCameraIo::lineBytes() const {
    if (bytesPerLine != 0)
        return bytesPerLine;
    switch (pixelFormat) {
    case V4L2_PIX_FMT_RGB24: return std::uint32_t(width) * 3;
    case V4L2_PIX_FMT_YUYV: return std::uint32_t(width) * 2;
    default: return 0;  // compressed
    }
}

std::uint32_t FakeCameraIo::imageBytes() const {
    const std::uint32_t line = lineBytes();
    return line != 0 ? line * std::uint32_t(height) : std::uint32_t(width * height * 3 + 4096);  // room for headers
}

// RGB24 frames are painted red(x), green(y), blue(sequence); other formats
// carry the payload (or zeros).
std::size_t FakeCameraIo::fill(std::vector<std::uint8_t>& image) const {
    image.assign(imageBytes(), 0);
    if (!payload.empty()) {
        const std::size_t count = std::min(payload.size(), image.size());
        std::copy_n(payload.begin(), count, image.begin());
        return count;
    }
    if (pixelFormat == V4L2_PIX_FMT_RGB24)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t* pixel = image.data() + std::size_t(y) * lineBytes() + std::size_t(x) * 3;
                pixel[0] = red(x);
                pixel[1] = green(y);
                pixel[2] = blue(sequence_);
            }
    return image.size();
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
        const std::uint32_t wanted = format->fmt.pix.pixelformat;
        const std::uint32_t before = pixelFormat;
        if (request != VIDIOC_G_FMT && settable(wanted))
            pixelFormat = wanted;
        format->fmt.pix.width = std::uint32_t(width);
        format->fmt.pix.height = std::uint32_t(height);
        format->fmt.pix.pixelformat = pixelFormat;
        format->fmt.pix.field = V4L2_FIELD_NONE;
        format->fmt.pix.bytesperline = lineBytes();
        format->fmt.pix.sizeimage = imageBytes();
        if (request == VIDIOC_TRY_FMT)
            pixelFormat = before;
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
        if (description->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || description->index >= formats.size())
            return fail(EINVAL);
        const Format& format = formats[description->index];
        description->pixelformat = format.fourcc;
        description->flags = format.flags;
        std::strncpy(reinterpret_cast<char*>(description->description), format.description.c_str(),
                     sizeof description->description - 1);
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
        *input = {};  // no status flags (libv4lconvert flips frames of a flipped input)
        std::strcpy(reinterpret_cast<char*>(input->name), "Camera 1");
        return 0;
    }
    case VIDIOC_REQBUFS: {
        auto* request_ = static_cast<v4l2_requestbuffers*>(argument);
        if (streaming_)
            return fail(EBUSY);
        buffers_.assign(std::min<std::uint32_t>(request_->count, 3), std::vector<std::uint8_t>(imageBytes(), 0));
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
        buffer->index = std::uint32_t(index);
        buffer->bytesused = std::uint32_t(fill(buffers_[std::size_t(index)]));
        buffer->sequence = sequence_++;
        buffer->flags = 0;
        return 0;
    }
    case VIDIOC_STREAMON: streaming_ = true; return 0;
    case VIDIOC_STREAMOFF: streaming_ = false; queued_.clear(); return 0;
    case VIDIOC_G_INPUT: *static_cast<int*>(argument) = 0; return 0;
    case VIDIOC_QUERY_EXT_CTRL:
    case VIDIOC_G_EXT_CTRLS:
    case VIDIOC_S_EXT_CTRLS:
        if (controls.empty())
            return fail(ENOTTY);
        return controlIoctl(request, argument);
    default: return fail(ENOTTY);  // no overlay, ...
    }
}

FakeCameraIo::Control* FakeCameraIo::findControl(std::uint32_t id) {
    for (Control& control : controls)
        if (control.query.id == id)
            return &control;
    return nullptr;
}

// The kernel's control framework, for one control per call: strings are
// copied within the caller's size, and a text outside the length limits is
// refused with ERANGE.
int FakeCameraIo::controlIoctl(unsigned long request, void* argument) {
    if (request == VIDIOC_QUERY_EXT_CTRL) {
        auto* query = static_cast<v4l2_query_ext_ctrl*>(argument);
        const std::uint32_t mask = V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
        const Control* found = nullptr;
        if (query->id & mask) {  // the next control by id
            const std::uint32_t after = query->id & ~mask;
            for (const Control& control : controls)
                if (control.query.id > after && (!found || control.query.id < found->query.id))
                    found = &control;
        } else {
            found = findControl(query->id);
        }
        if (!found)
            return fail(EINVAL);
        *query = found->query;
        return 0;
    }
    auto* request_ = static_cast<v4l2_ext_controls*>(argument);
    if (request_->count != 1)
        return fail(EINVAL);
    v4l2_ext_control& entry = request_->controls[0];
    Control* control = findControl(entry.id);
    if (!control)
        return fail(EINVAL);
    const v4l2_query_ext_ctrl& query = control->query;
    const bool isString = query.type == V4L2_CTRL_TYPE_STRING;
    if (request == VIDIOC_G_EXT_CTRLS) {
        if (request_->which == V4L2_CTRL_WHICH_DEF_VAL && !defaultValues)
            return fail(EINVAL);
        const bool wantDefault = request_->which == V4L2_CTRL_WHICH_DEF_VAL;
        if (!isString) {
            entry.value64 = wantDefault ? query.default_value : control->value;
            return 0;
        }
        const std::string& text = wantDefault ? control->defaultText : control->text;
        if (entry.size < text.size() + 1) {
            entry.size = std::uint32_t(query.maximum + 1);
            return fail(ENOSPC);
        }
        std::memcpy(entry.string, text.c_str(), text.size() + 1);
        return 0;
    }
    ++controlWrites;
    if (query.flags & V4L2_CTRL_FLAG_READ_ONLY)
        return fail(EACCES);
    if (!isString) {
        control->value = query.type == V4L2_CTRL_TYPE_INTEGER64 ? entry.value64 : entry.value;
        return 0;
    }
    if (entry.size == 0)
        return fail(ERANGE);
    const std::size_t size = std::min<std::size_t>(entry.size, std::size_t(query.maximum) + 1);
    const std::string text(entry.string, strnlen(entry.string, size));
    const auto length = std::int64_t(text.size());
    if (length < query.minimum || length > query.maximum ||
        (length - query.minimum) % std::int64_t(std::max<std::uint64_t>(1, query.step)) != 0)
        return fail(ERANGE);
    control->text = text;
    return 0;
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
    std::vector<std::uint8_t> image;
    const std::size_t used = fill(image);
    ++sequence_;
    const std::size_t count = std::min(length, used);
    std::memcpy(buffer, image.data(), count);
    return ssize_t(count);
}

}  // namespace tesk::v4l2::testing
