#pragma once
// A DeviceIo that emulates V4L2 capture nodes in memory: enough of the
// ioctls for listing, opening, formats and mmap streaming, with switches for
// the failure paths (a node that cannot be opened, a camera unplugged).
// Its formats are listed as given; the one set is whatever S_FMT last asked
// for among the listed, non-emulated ones (else it stays).

#include "tesk/v4l2/v4l2_device_io.h"

#include <linux/videodev2.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tesk::v4l2::testing {

class FakeCameraIo : public DeviceIo {
public:
    struct Node {
        std::uint32_t deviceCaps = 0;
        std::string card = "Fake Camera";
        std::string driver = "fakecam";
        std::uint32_t version = (6u << 16) | (1u << 8) | 7u;
        int openError = 0;  // errno for open(), 0 = opens
    };

    struct Format {
        std::uint32_t fourcc = 0;
        std::string description;
        std::uint32_t flags = 0;  // V4L2_FMT_FLAG_*
    };

    // A control as the device reports it; text holds a String control's value.
    struct Control {
        v4l2_query_ext_ctrl query{};
        std::int64_t value = 0;
        std::string text;
        std::string defaultText;
    };

    std::map<std::string, Node> nodes;
    std::vector<Control> controls;       // empty: the camera has no controls at all (ENOTTY)
    bool defaultValues = true;           // G_EXT_CTRLS takes V4L2_CTRL_WHICH_DEF_VAL (kernels from 4.5)
    int controlWrites = 0;               // S_EXT_CTRLS calls that reached the device
    std::vector<Format> formats = {{V4L2_PIX_FMT_YUYV, "YUYV 4:2:2"}, {V4L2_PIX_FMT_RGB24, "24-bit RGB 8-8-8"}};
    std::uint32_t pixelFormat = V4L2_PIX_FMT_RGB24;  // the format set on the device
    int width = 8;
    int height = 4;
    std::uint32_t bytesPerLine = 0;     // 0: tight rows of the format; more adds row padding
    std::vector<std::uint8_t> payload;  // not empty: every frame is exactly these bytes
    bool stalled = false;                // streaming, but no frame ever arrives
    bool readable = false;               // read() delivers frames (nodes without streaming)

    // Unplugged, every call on the camera fails with ENODEV; plugged in
    // again, it is a fresh device.
    void unplug() { unplugged_ = true; }
    void plugIn();

    int openCount() const { return int(open_.size()); }
    int mappedCount() const { return mapped_; }
    bool streaming() const { return streaming_; }

    // The colour the fake paints at (x, y) of frame number sequence.
    static std::uint8_t red(int x) { return std::uint8_t(10 * x); }
    static std::uint8_t green(int y) { return std::uint8_t(20 * y); }
    static std::uint8_t blue(std::uint32_t sequence) { return std::uint8_t(sequence); }

    int open(const std::string& path, int flags) override;
    int openRaw(const std::string& path, int flags) override { return open(path, flags); }
    int close(int fd) override;
    int ioctl(int fd, unsigned long request, void* argument) override;
    void* mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset) override;
    int munmap(void* address, std::size_t length) override;
    int poll(pollfd* fds, nfds_t count, int timeout_ms) override;
    ssize_t read(int fd, void* buffer, std::size_t length) override;

private:
    int fail(int error) const;
    bool settable(std::uint32_t fourcc) const;
    std::uint32_t lineBytes() const;
    std::uint32_t imageBytes() const;
    std::size_t fill(std::vector<std::uint8_t>& image) const;  // the bytes used
    int controlIoctl(unsigned long request, void* argument);
    Control* findControl(std::uint32_t id);

    std::map<int, std::string> open_;
    int nextFd_ = 100;
    std::vector<std::vector<std::uint8_t>> buffers_;
    std::vector<int> queued_;
    bool streaming_ = false;
    int mapped_ = 0;
    bool unplugged_ = false;
    std::uint32_t sequence_ = 40;  // devices need not start at 0
};

}  // namespace tesk::v4l2::testing
