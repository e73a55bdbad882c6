#include "tesk/v4l2/v4l2_device_io.h"

#include <libv4l2.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tesk::v4l2 {
namespace {

class Libv4l2DeviceIo final : public DeviceIo {
public:
    // libv4l2 without its own conversion: frames come in the format set on
    // the device, and the driver converts them itself. A node libv4l2 does
    // not take stays usable as it is (its calls pass straight through).
    int open(const std::string& path, int flags) override {
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
        if (fd >= 0)
            v4l2_fd_open(fd, V4L2_DISABLE_CONVERSION);
        return fd;
    }
    int openRaw(const std::string& path, int flags) override { return ::open(path.c_str(), flags | O_CLOEXEC); }
    int close(int fd) override { return v4l2_close(fd); }
    int ioctl(int fd, unsigned long request, void* argument) override { return v4l2_ioctl(fd, request, argument); }
    void* mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset) override {
        return v4l2_mmap(address, length, protection, flags, fd, offset);
    }
    int munmap(void* address, std::size_t length) override { return v4l2_munmap(address, length); }
    int poll(pollfd* fds, nfds_t count, int timeout_ms) override { return ::poll(fds, count, timeout_ms); }
    ssize_t read(int fd, void* buffer, std::size_t length) override { return v4l2_read(fd, buffer, length); }
};

}  // namespace

std::shared_ptr<DeviceIo> libv4l2DeviceIo() {
    static const auto io = std::make_shared<Libv4l2DeviceIo>();
    return io;
}

int xioctl(DeviceIo& io, int fd, unsigned long request, void* argument) {
    int result = 0;
    do {
        result = io.ioctl(fd, request, argument);
    } while (result == -1 && errno == EINTR);
    return result;
}

}  // namespace tesk::v4l2
