#pragma once
// A V4L2 video-capture node as a tesk::Driver. The user picks one of the
// camera's own pixel formats (MJPEG, YUYV, NV12, RGB, ...); the device is set
// to exactly that format and each frame is converted with libv4lconvert, so
// frames always arrive as Frame::Layout::Rgb24. A frame that does not
// convert (a corrupt MJPEG frame) is an error for that frame only.
//
// Streaming uses mmap buffers (read() where the device offers no
// streaming). A vanished device (ENODEV, EIO) turns into an error that says
// the camera was disconnected; close() is always safe afterwards and open()
// works again once the device is back.

#include "tesk/driver.h"
#include "tesk/v4l2/v4l2_device_io.h"
#include "tesk/v4l2/v4l2_frame_converter.h"

#include <linux/videodev2.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace tesk {

class V4l2Driver final : public Driver {
public:
    // deviceCaps: the node's capabilities as found when it was listed.
    V4l2Driver(DriverInfo info, std::uint32_t deviceCaps,
               std::shared_ptr<v4l2::DeviceIo> io = v4l2::libv4l2DeviceIo());
    ~V4l2Driver() override;
    V4l2Driver(const V4l2Driver&) = delete;
    V4l2Driver& operator=(const V4l2Driver&) = delete;

    DriverInfo info() const override { return info_; }

    Status open() override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }

    DriverCaps caps() const override;

    // The device's own pixel formats in its order, those that can be
    // delivered as RGB24; format() has the one that is set. After open()
    // the device keeps its current format (or the first deliverable one).
    std::vector<PixelFormatOption> formats() const override;
    VideoFormat format() const override;
    // Sets that pixel format on the device. fourcc 0 keeps the current one,
    // as does RGB24 on a device without it (frames are RGB24 either way).
    Status setFormat(const VideoFormat& format) override;

    std::vector<Input> inputs() const override;
    int currentInput() const override;
    Status setInput(int index) override;

    std::vector<Control> controls() const override;
    Status setControl(std::uint32_t id, std::int64_t value) override;
    // A String control's text, within its length limits (checked first).
    Status setControlText(std::uint32_t id, const std::string& text) override;

    Status startStreaming() override;
    void stopStreaming() override;
    bool isStreaming() const override { return streaming_; }
    Status readFrame(Frame& out, std::chrono::milliseconds timeout) override;

    // VIDIOC_OVERLAY into the framebuffer the device is set up with; where
    // none is set up yet, the first /dev/fbN the device accepts is used.
    Status setOverlay(bool on) override;
    bool isOverlayOn() const { return overlay_; }

private:
    struct Buffer {
        void* start = nullptr;
        std::size_t length = 0;
    };

    Status failure(const char* what, int error) const;
    Status notOpen() const;
    // The control `id` if it exists and can be written with a number (or, with `text`, a text).
    Status writableControl(std::uint32_t id, bool text, Control& control) const;
    Status refreshFormat();
    std::vector<std::uint32_t> deliverableFourccs() const;
    Status requestFormat(std::uint32_t fourcc, int width, int height);
    Status ensureDeliverableFormat();
    Status setFrameInterval(int numerator, int denominator);
    Status startMmapStreaming();
    void releaseBuffers();
    void stopStreamingLocked();
    Status waitReadable(std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds timeout,
                        bool& pollError);
    Status readMmapFrame(Frame& out, std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds timeout);
    Status readWithRead(Frame& out, std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds timeout);
    Status deliverFrame(const std::uint8_t* data, std::size_t bytesUsed, Frame& out);
    Status copyRgb24(const std::uint8_t* data, std::size_t bytesUsed, Frame& out) const;
    Status configureFramebuffer();

    DriverInfo info_;
    std::uint32_t deviceCaps_ = 0;
    std::shared_ptr<v4l2::DeviceIo> io_;

    int fd_ = -1;
    VideoFormat format_;
    v4l2_pix_format source_{};  // the device's format, as the converter needs it
    std::unique_ptr<v4l2::FrameConverter> converter_;
    std::uint32_t bytesPerLine_ = 0;
    std::uint32_t imageSize_ = 0;
    bool hasSourceDialog_ = false;
    bool hasFormatDialog_ = false;

    // Streaming state; the capture thread's readFrame holds streamMutex_.
    std::mutex streamMutex_;
    std::atomic<bool> streaming_{false};
    bool readMode_ = false;
    std::vector<Buffer> buffers_;
    std::vector<std::uint8_t> readBuffer_;
    std::uint64_t framesRead_ = 0;
    std::uint32_t firstSequence_ = 0;  // the device's sequence number of the first frame

    std::atomic<bool> overlay_{false};
    mutable std::atomic<bool> gone_{false};  // ENODEV seen: every call fails until reopened
};

}  // namespace tesk
