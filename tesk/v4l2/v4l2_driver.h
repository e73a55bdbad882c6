#pragma once
// A V4L2 video-capture node as a tesk::Driver. The device is opened through
// libv4l2 and asked for RGB24, which libv4l2 converts from the camera's own
// format where needed, so frames always arrive as Frame::Layout::Rgb24.
//
// Streaming uses mmap buffers (read() where the device offers no
// streaming). A vanished device (ENODEV, EIO) turns into an error that says
// the camera was disconnected; close() is always safe afterwards and open()
// works again once the device is back.

#include "tesk/driver.h"
#include "tesk/v4l2/v4l2_device_io.h"

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

    // Only RGB24 is offered: it is what every frame arrives as.
    std::vector<PixelFormatOption> formats() const override;
    VideoFormat format() const override;
    Status setFormat(const VideoFormat& format) override;

    std::vector<Input> inputs() const override;
    int currentInput() const override;
    Status setInput(int index) override;

    std::vector<Control> controls() const override;
    Status setControl(std::uint32_t id, std::int64_t value) override;

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
    Status refreshFormat();
    Status requestRgb24(int width, int height);
    Status setFrameInterval(int numerator, int denominator);
    Status startMmapStreaming();
    void releaseBuffers();
    void stopStreamingLocked();
    Status waitReadable(std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds timeout,
                        bool& pollError);
    Status readMmapFrame(Frame& out, std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds timeout);
    Status readWithRead(Frame& out, std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds timeout);
    Status copyFrame(const std::uint8_t* data, std::size_t bytesUsed, Frame& out) const;
    Status configureFramebuffer();

    DriverInfo info_;
    std::uint32_t deviceCaps_ = 0;
    std::shared_ptr<v4l2::DeviceIo> io_;

    int fd_ = -1;
    VideoFormat format_;
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
