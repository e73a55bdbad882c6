#include "tesk/v4l2/v4l2_driver.h"

#include "tesk/v4l2/v4l2_controls.h"
#include "tesk/v4l2/v4l2_formats.h"
#include "tesk/v4l2/v4l2_frame_converter.h"
#include "tesk/v4l2/v4l2_status.h"

#include <linux/videodev2.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace tesk {
namespace {

constexpr std::uint32_t kBufferCount = 4;

v4l2_format captureFormatRequest() {
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    return format;
}

}  // namespace

V4l2Driver::V4l2Driver(DriverInfo info, std::uint32_t deviceCaps, std::shared_ptr<v4l2::DeviceIo> io)
    : info_(std::move(info)), deviceCaps_(deviceCaps), io_(std::move(io)) {}

V4l2Driver::~V4l2Driver() { close(); }

Status V4l2Driver::failure(const char* what, int error) const {
    if (v4l2::isDeviceGone(error))
        gone_ = true;
    return v4l2::ioFailure(info_, what, error);
}

Status V4l2Driver::notOpen() const {
    if (gone_)
        return v4l2::ioFailure(info_, "device", ENODEV);
    return v4l2::deviceFailure(info_, "the camera is not connected");
}

Status V4l2Driver::open() {
    if (isOpen())
        return Status::success();
    const int fd = io_->open(info_.device, O_RDWR | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        return Status::failure("Cannot open the camera " + info_.name + " (" + info_.device + "): " +
                               std::strerror(error));
    }
    fd_ = fd;
    gone_ = false;
    v4l2_capability capability{};
    if (v4l2::xioctl(*io_, fd_, VIDIOC_QUERYCAP, &capability) != 0) {
        const Status status = failure("VIDIOC_QUERYCAP", errno);
        close();
        return status;
    }
    deviceCaps_ = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps : capability.capabilities;
    if (!(deviceCaps_ & V4L2_CAP_VIDEO_CAPTURE) || !(deviceCaps_ & (V4L2_CAP_STREAMING | V4L2_CAP_READWRITE))) {
        close();
        return v4l2::deviceFailure(info_, "the device is not a video capture device");
    }
    std::string converterError;
    converter_ = v4l2::FrameConverter::create(*io_, fd_, converterError);
    if (!converter_) {
        close();
        return v4l2::deviceFailure(info_, converterError);
    }
    if (Status status = ensureDeliverableFormat(); !status) {
        close();
        return status;
    }
    if (Status status = refreshFormat(); !status) {
        close();
        return status;
    }
    hasFormatDialog_ = !formats().empty();
    hasSourceDialog_ = !inputs().empty() || !controls().empty();
    return Status::success();
}

void V4l2Driver::close() {
    {
        std::lock_guard lock(streamMutex_);
        stopStreamingLocked();
        converter_.reset();  // before the descriptor it was made for goes
    }
    if (fd_ < 0)
        return;
    if (overlay_) {
        int off = 0;
        v4l2::xioctl(*io_, fd_, VIDIOC_OVERLAY, &off);  // best effort: the device may be gone
        overlay_ = false;
    }
    io_->close(fd_);
    fd_ = -1;
}

DriverCaps V4l2Driver::caps() const {
    DriverCaps caps;
    caps.overlay = (deviceCaps_ & V4L2_CAP_VIDEO_OVERLAY) != 0;
    caps.sourceDialog = isOpen() && hasSourceDialog_;
    caps.formatDialog = isOpen() && hasFormatDialog_;
    return caps;
}

// ---------------------------------------------------------------- format

std::vector<std::uint32_t> V4l2Driver::deliverableFourccs() const {
    std::vector<std::uint32_t> fourccs = v4l2::nativeFourccs(*io_, fd_);
    std::erase_if(fourccs, [](std::uint32_t fourcc) { return !v4l2::canConvertToRgb24(fourcc); });
    return fourccs;
}

Status V4l2Driver::requestFormat(std::uint32_t fourcc, int width, int height) {
    v4l2_format request = captureFormatRequest();
    request.fmt.pix.width = std::uint32_t(std::max(width, 1));
    request.fmt.pix.height = std::uint32_t(std::max(height, 1));
    request.fmt.pix.pixelformat = fourcc;
    request.fmt.pix.field = V4L2_FIELD_ANY;
    if (v4l2::xioctl(*io_, fd_, VIDIOC_S_FMT, &request) != 0) {
        const int error = errno;
        if (error == EINVAL)
            return v4l2::deviceFailure(info_, "the device refused the pixel format " + v4l2::fourccText(fourcc));
        if (error == EBUSY)
            return v4l2::deviceFailure(info_, "the camera is in use by another program (VIDIOC_S_FMT: " +
                                                  std::string(std::strerror(error)) + ")");
        return failure("VIDIOC_S_FMT", error);
    }
    if (!v4l2::canConvertToRgb24(request.fmt.pix.pixelformat))
        return v4l2::deviceFailure(info_, "the device chose " + v4l2::fourccText(request.fmt.pix.pixelformat) +
                                              " frames, which cannot be converted to RGB24");
    return Status::success();
}

// The device's current format where it can be delivered as RGB24 (another
// program or input may have left anything set); else the first that can.
Status V4l2Driver::ensureDeliverableFormat() {
    v4l2_format current = captureFormatRequest();
    if (v4l2::xioctl(*io_, fd_, VIDIOC_G_FMT, &current) != 0)
        return failure("VIDIOC_G_FMT", errno);
    if (v4l2::canConvertToRgb24(current.fmt.pix.pixelformat))
        return Status::success();
    const std::vector<std::uint32_t> deliverable = deliverableFourccs();
    if (deliverable.empty())
        return v4l2::deviceFailure(info_, "the device offers no pixel format that can be converted to RGB24");
    return requestFormat(deliverable.front(), int(current.fmt.pix.width), int(current.fmt.pix.height));
}

Status V4l2Driver::setFrameInterval(int numerator, int denominator) {
    v4l2_streamparm parameters{};
    parameters.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (v4l2::xioctl(*io_, fd_, VIDIOC_G_PARM, &parameters) != 0 ||
        !(parameters.parm.capture.capability & V4L2_CAP_TIMEPERFRAME))
        return Status::success();  // a fixed rate: format() reports it
    parameters.parm.capture.timeperframe.numerator = std::uint32_t(numerator);
    parameters.parm.capture.timeperframe.denominator = std::uint32_t(denominator);
    if (v4l2::xioctl(*io_, fd_, VIDIOC_S_PARM, &parameters) != 0)
        return failure("VIDIOC_S_PARM", errno);
    return Status::success();
}

Status V4l2Driver::refreshFormat() {
    v4l2_format current = captureFormatRequest();
    if (v4l2::xioctl(*io_, fd_, VIDIOC_G_FMT, &current) != 0)
        return failure("VIDIOC_G_FMT", errno);
    const v4l2_pix_format& pix = current.fmt.pix;
    source_ = pix;
    format_.fourcc = pix.pixelformat;
    format_.width = int(pix.width);
    format_.height = int(pix.height);
    if (pix.pixelformat == V4L2_PIX_FMT_RGB24) {
        bytesPerLine_ = std::max(pix.bytesperline, pix.width * 3);
        imageSize_ = std::max(pix.sizeimage, bytesPerLine_ * pix.height);
    } else {
        // Compressed formats have no line length; sizeimage is their most.
        bytesPerLine_ = pix.bytesperline;
        imageSize_ = pix.sizeimage > 0 ? pix.sizeimage : pix.width * pix.height * 4;
    }
    v4l2_streamparm parameters{};
    parameters.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    // A device without a rate setting keeps the VideoFormat default interval.
    if (v4l2::xioctl(*io_, fd_, VIDIOC_G_PARM, &parameters) == 0 &&
        parameters.parm.capture.timeperframe.numerator > 0 && parameters.parm.capture.timeperframe.denominator > 0) {
        format_.intervalNumerator = int(parameters.parm.capture.timeperframe.numerator);
        format_.intervalDenominator = int(parameters.parm.capture.timeperframe.denominator);
    }
    return Status::success();
}

std::vector<PixelFormatOption> V4l2Driver::formats() const {
    if (!isOpen())
        return {};
    return v4l2::enumerateFormats(*io_, fd_, v4l2::canConvertToRgb24);
}

VideoFormat V4l2Driver::format() const { return isOpen() ? format_ : VideoFormat{}; }

Status V4l2Driver::setFormat(const VideoFormat& format) {
    if (!isOpen())
        return notOpen();
    if (streaming_)
        return v4l2::deviceFailure(info_, "the format cannot change while frames are streaming");
    if (format.width <= 0 || format.height <= 0)
        return v4l2::deviceFailure(info_, "invalid frame size " + std::to_string(format.width) + "x" +
                                              std::to_string(format.height));
    const std::vector<std::uint32_t> deliverable = deliverableFourccs();
    const auto offered = [&](std::uint32_t fourcc) {
        return std::find(deliverable.begin(), deliverable.end(), fourcc) != deliverable.end();
    };
    std::uint32_t fourcc = format.fourcc;
    if (fourcc == 0 || (fourcc == V4L2_PIX_FMT_RGB24 && !offered(fourcc)))
        fourcc = format_.fourcc;  // "RGB frames": what every format delivers
    if (!offered(fourcc))
        return v4l2::deviceFailure(info_, "the device has no pixel format " + v4l2::fourccText(fourcc) +
                                              " that can be delivered as RGB24");
    if (Status status = requestFormat(fourcc, format.width, format.height); !status) {
        // Leave the device in the format it had rather than in one we cannot deliver.
        requestFormat(format_.fourcc, format_.width, format_.height);
        refreshFormat();
        return status;
    }
    if (format.intervalNumerator > 0 && format.intervalDenominator > 0)
        if (Status status = setFrameInterval(format.intervalNumerator, format.intervalDenominator); !status) {
            refreshFormat();  // the new pixel format and size are set: format() tells
            return status;
        }
    return refreshFormat();
}

// ---------------------------------------------------------------- inputs and controls

std::vector<Input> V4l2Driver::inputs() const {
    std::vector<Input> inputs;
    if (!isOpen())
        return inputs;
    for (std::uint32_t index = 0;; ++index) {
        v4l2_input input{};
        input.index = index;
        if (v4l2::xioctl(*io_, fd_, VIDIOC_ENUMINPUT, &input) != 0)
            break;
        inputs.push_back({int(input.index), std::string(reinterpret_cast<const char*>(input.name),
                                                        strnlen(reinterpret_cast<const char*>(input.name),
                                                                sizeof input.name))});
    }
    return inputs;
}

int V4l2Driver::currentInput() const {
    int index = 0;
    if (!isOpen() || v4l2::xioctl(*io_, fd_, VIDIOC_G_INPUT, &index) != 0)
        return 0;
    return index;
}

Status V4l2Driver::setInput(int index) {
    if (!isOpen())
        return notOpen();
    if (streaming_)
        return v4l2::deviceFailure(info_, "the input cannot change while frames are streaming");
    int value = index;
    if (v4l2::xioctl(*io_, fd_, VIDIOC_S_INPUT, &value) != 0) {
        const int error = errno;
        if (error == EINVAL)
            return v4l2::deviceFailure(info_, "there is no input " + std::to_string(index));
        return failure("VIDIOC_S_INPUT", error);
    }
    // An input may come with its own format: it must still be deliverable.
    if (Status status = ensureDeliverableFormat(); !status)
        return status;
    return refreshFormat();
}

std::vector<Control> V4l2Driver::controls() const {
    if (!isOpen())
        return {};
    return v4l2::queryControls(*io_, fd_);
}

Status V4l2Driver::writableControl(std::uint32_t id, bool text, Control& control) const {
    if (!isOpen())
        return notOpen();
    const auto found = v4l2::queryControl(*io_, fd_, id);
    if (!found) {
        const int error = errno;
        if (v4l2::isDisconnection(error))
            return failure("VIDIOC_QUERY_EXT_CTRL", error);
        return v4l2::deviceFailure(info_, "there is no control " + std::to_string(id));
    }
    control = *found;
    const bool isText = control.type == Control::Type::String;
    if (text && !isText)
        return v4l2::deviceFailure(info_, "the control '" + control.name + "' takes a number, not a text");
    if (control.readOnly)
        return v4l2::deviceFailure(info_, "the control '" + control.name + "' cannot be changed");
    if (!text && isText)
        return v4l2::deviceFailure(info_, "the text control '" + control.name + "' cannot be set to a number");
    return Status::success();
}

Status V4l2Driver::setControl(std::uint32_t id, std::int64_t value) {
    Control control;
    if (Status s = writableControl(id, false, control); !s)
        return s;
    if (const int error = v4l2::writeControl(*io_, fd_, control, value); error != 0)
        return failure(("setting control '" + control.name + "'").c_str(), error);
    return Status::success();
}

Status V4l2Driver::setControlText(std::uint32_t id, const std::string& text) {
    Control found;
    if (Status s = writableControl(id, true, found); !s)
        return s;
    const Control* control = &found;
    // Checked here so the user hears the limits rather than the device's bare ERANGE.
    if (const std::string problem = v4l2::textProblem(*control, text); !problem.empty())
        return v4l2::deviceFailure(info_, problem);
    if (const int error = v4l2::writeText(*io_, fd_, *control, text); error != 0)
        return failure(("setting control '" + control->name + "'").c_str(), error);
    return Status::success();
}

// ---------------------------------------------------------------- streaming

Status V4l2Driver::startStreaming() {
    if (!isOpen())
        return notOpen();
    std::lock_guard lock(streamMutex_);
    if (streaming_)
        return Status::success();
    framesRead_ = 0;
    firstSequence_ = 0;
    if (deviceCaps_ & V4L2_CAP_STREAMING) {
        readMode_ = false;
        if (Status status = startMmapStreaming(); !status) {
            releaseBuffers();
            return status;
        }
    } else {
        readMode_ = true;
        readBuffer_.assign(imageSize_, 0);
    }
    streaming_ = true;
    return Status::success();
}

Status V4l2Driver::startMmapStreaming() {
    v4l2_requestbuffers request{};
    request.count = kBufferCount;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (v4l2::xioctl(*io_, fd_, VIDIOC_REQBUFS, &request) != 0)
        return failure("VIDIOC_REQBUFS", errno);
    if (request.count == 0)
        return v4l2::deviceFailure(info_, "the device gave no capture buffers");
    for (std::uint32_t index = 0; index < request.count; ++index) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = index;
        if (v4l2::xioctl(*io_, fd_, VIDIOC_QUERYBUF, &buffer) != 0)
            return failure("VIDIOC_QUERYBUF", errno);
        void* start = io_->mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, buffer.m.offset);
        if (start == MAP_FAILED)
            return failure("mmap", errno);
        buffers_.push_back({start, buffer.length});
    }
    for (std::uint32_t index = 0; index < buffers_.size(); ++index) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = index;
        if (v4l2::xioctl(*io_, fd_, VIDIOC_QBUF, &buffer) != 0)
            return failure("VIDIOC_QBUF", errno);
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (v4l2::xioctl(*io_, fd_, VIDIOC_STREAMON, &type) != 0)
        return failure("VIDIOC_STREAMON", errno);
    return Status::success();
}

void V4l2Driver::releaseBuffers() {
    for (const Buffer& buffer : buffers_)
        io_->munmap(buffer.start, buffer.length);
    const bool hadBuffers = !buffers_.empty();
    buffers_.clear();
    readBuffer_.clear();
    if (hadBuffers && fd_ >= 0 && !gone_) {
        v4l2_requestbuffers release{};
        release.count = 0;
        release.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        release.memory = V4L2_MEMORY_MMAP;
        v4l2::xioctl(*io_, fd_, VIDIOC_REQBUFS, &release);  // frees the queue so the format may change
    }
}

void V4l2Driver::stopStreaming() {
    std::lock_guard lock(streamMutex_);
    stopStreamingLocked();
}

void V4l2Driver::stopStreamingLocked() {
    if (streaming_ && !readMode_ && fd_ >= 0) {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        v4l2::xioctl(*io_, fd_, VIDIOC_STREAMOFF, &type);  // best effort: the device may be gone
    }
    streaming_ = false;
    releaseBuffers();
}

Status V4l2Driver::readFrame(Frame& out, std::chrono::milliseconds timeout) {
    std::lock_guard lock(streamMutex_);
    if (gone_)
        return notOpen();
    if (!isOpen())
        return notOpen();
    if (!streaming_)
        return v4l2::deviceFailure(info_, "frames are not streaming");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    return readMode_ ? readWithRead(out, deadline, timeout) : readMmapFrame(out, deadline, timeout);
}

Status V4l2Driver::waitReadable(std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds timeout,
                                bool& pollError) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd entry{fd_, POLLIN, 0};
        const int ready = io_->poll(&entry, 1, int(std::max<std::int64_t>(left.count(), 0)));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return failure("poll", errno);
        }
        if (ready == 0)
            return v4l2::deviceFailure(info_, "no frame arrived within " + std::to_string(timeout.count()) + " ms");
        // POLLERR/POLLHUP: the dequeue that follows tells what happened.
        pollError = (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
        return Status::success();
    }
}

Status V4l2Driver::readMmapFrame(Frame& out, std::chrono::steady_clock::time_point deadline,
                                 std::chrono::milliseconds timeout) {
    for (;;) {
        bool pollError = false;
        if (Status status = waitReadable(deadline, timeout, pollError); !status)
            return status;
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        if (v4l2::xioctl(*io_, fd_, VIDIOC_DQBUF, &buffer) != 0) {
            const int error = errno;
            if (error == EAGAIN && pollError)
                return v4l2::deviceFailure(info_, "the device reported an error while streaming");
            if (error == EAGAIN && std::chrono::steady_clock::now() < deadline)
                continue;  // woken without a frame
            if (error == EAGAIN)
                return v4l2::deviceFailure(info_, "no frame arrived within " + std::to_string(timeout.count()) + " ms");
            return failure("VIDIOC_DQBUF", error);
        }
        Status status;
        if (buffer.index >= buffers_.size())
            status = v4l2::deviceFailure(info_, "the device returned an unknown buffer");
        else if (buffer.flags & V4L2_BUF_FLAG_ERROR)
            status = v4l2::deviceFailure(info_, "the device delivered a damaged frame");
        else
            status = deliverFrame(static_cast<const std::uint8_t*>(buffers_[buffer.index].start),
                                  std::min<std::size_t>(buffer.bytesused, buffers_[buffer.index].length), out);
        if (status) {
            if (framesRead_ == 0)
                firstSequence_ = buffer.sequence;
            out.sequence = std::uint32_t(buffer.sequence - firstSequence_);
            out.timestamp = std::chrono::seconds(buffer.timestamp.tv_sec) +
                            std::chrono::microseconds(buffer.timestamp.tv_usec);
            ++framesRead_;
        }
        if (buffer.index < buffers_.size() && v4l2::xioctl(*io_, fd_, VIDIOC_QBUF, &buffer) != 0)
            return failure("VIDIOC_QBUF", errno);
        return status;
    }
}

Status V4l2Driver::readWithRead(Frame& out, std::chrono::steady_clock::time_point deadline,
                                std::chrono::milliseconds timeout) {
    for (;;) {
        bool pollError = false;
        if (Status status = waitReadable(deadline, timeout, pollError); !status)
            return status;
        const ssize_t count = io_->read(fd_, readBuffer_.data(), readBuffer_.size());
        if (count < 0) {
            const int error = errno;
            if (error == EAGAIN && pollError)
                return v4l2::deviceFailure(info_, "the device reported an error while streaming");
            if (error == EAGAIN && std::chrono::steady_clock::now() < deadline)
                continue;
            if (error == EAGAIN)
                return v4l2::deviceFailure(info_, "no frame arrived within " + std::to_string(timeout.count()) + " ms");
            return failure("read", error);
        }
        if (Status status = deliverFrame(readBuffer_.data(), std::size_t(count), out); !status)
            return status;
        out.sequence = framesRead_++;
        out.timestamp = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return Status::success();
    }
}

Status V4l2Driver::deliverFrame(const std::uint8_t* data, std::size_t bytesUsed, Frame& out) {
    if (source_.pixelformat == V4L2_PIX_FMT_RGB24)
        return copyRgb24(data, bytesUsed, out);  // already what frames are: rows only need packing
    if (!converter_)
        return v4l2::deviceFailure(info_, "the camera is not connected");
    std::vector<std::uint8_t> rgb = std::move(out.pixels);
    if (Status status = converter_->toRgb24(source_, data, bytesUsed, rgb); !status)
        return v4l2::deviceFailure(info_, "broken frame (" + v4l2::fourccText(source_.pixelformat) + ", " +
                                              std::to_string(bytesUsed) + " bytes): " + status.error);
    out.width = format_.width;
    out.height = format_.height;
    out.layout = Frame::Layout::Rgb24;
    out.palette.clear();
    out.pixels = std::move(rgb);
    return Status::success();
}

Status V4l2Driver::copyRgb24(const std::uint8_t* data, std::size_t bytesUsed, Frame& out) const {
    const std::size_t rowBytes = std::size_t(format_.width) * 3;
    const std::size_t needed = std::size_t(bytesPerLine_) * std::size_t(format_.height - 1) + rowBytes;
    if (format_.width <= 0 || format_.height <= 0 || bytesUsed < needed)
        return v4l2::deviceFailure(info_, "the device delivered a short frame (" + std::to_string(bytesUsed) + " of " +
                                              std::to_string(needed) + " bytes)");
    out.width = format_.width;
    out.height = format_.height;
    out.layout = Frame::Layout::Rgb24;
    out.palette.clear();
    out.pixels.resize(rowBytes * std::size_t(format_.height));
    if (bytesPerLine_ == rowBytes) {
        std::memcpy(out.pixels.data(), data, rowBytes * std::size_t(format_.height));
    } else {
        for (int row = 0; row < format_.height; ++row)
            std::memcpy(out.pixels.data() + rowBytes * std::size_t(row), data + std::size_t(bytesPerLine_) * std::size_t(row),
                        rowBytes);
    }
    return Status::success();
}

}  // namespace tesk
