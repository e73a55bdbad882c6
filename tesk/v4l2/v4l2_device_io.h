#pragma once
// The system calls the V4L2 driver makes, behind one small interface so that
// a fake can stand in for a device in tests. Every call reports failure the
// way the system call does: -1 (or MAP_FAILED) with errno set.

#include <poll.h>
#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

namespace tesk::v4l2 {

class DeviceIo {
public:
    virtual ~DeviceIo() = default;

    // A capture node, through libv4l2 (conversion off) where the real
    // devices are used: every call sees the device's own formats.
    virtual int open(const std::string& path, int flags) = 0;
    // Any device node as it is (framebuffers; probing a node's capabilities).
    virtual int openRaw(const std::string& path, int flags) = 0;
    // Closes descriptors from either open.
    virtual int close(int fd) = 0;
    virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual void* mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset) = 0;
    virtual int munmap(void* address, std::size_t length) = 0;
    virtual int poll(pollfd* fds, nfds_t count, int timeout_ms) = 0;
    virtual ssize_t read(int fd, void* buffer, std::size_t length) = 0;
};

// The real devices, opened through libv4l2 with its conversion off: the
// driver sets the camera's own format (MJPEG, YUYV, Bayer, ...) and turns
// its frames into RGB24 with libv4lconvert.
std::shared_ptr<DeviceIo> libv4l2DeviceIo();

// ioctl that retries when a signal interrupts it.
int xioctl(DeviceIo& io, int fd, unsigned long request, void* argument);

}  // namespace tesk::v4l2
