#include "tesk/still_files.h"

#include "tesk/frame_image.h"

#include <turbojpeg.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tesk {
namespace {

std::string systemError(int error) {
    if (error == ENOSPC || error == EFBIG || error == EDQUOT) return "the disk is full";
    return std::strerror(error);
}

// A temporary file beside the target; removed unless committed.
class PendingFile {
public:
    explicit PendingFile(std::string target) : target_(std::move(target)) {}
    ~PendingFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!temporary_.empty()) ::unlink(temporary_.c_str());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    Status create() {
        const std::filesystem::path target(target_);
        if (target.filename().empty()) return Status::failure(target_ + " is a folder, not a file name");
        const std::string folder = target.parent_path().empty() ? "." : target.parent_path().string();
        static std::atomic<unsigned> counter{0};
        // The temporary name must stay within the file-name limit even for a target name near it.
        const std::string stem = target.filename().string().substr(0, 64);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = folder + "/." + stem + "." + std::to_string(::getpid()) + "." +
                               std::to_string(counter++) + ".tmp";
            // 0666 less the umask, as for any new file of the user's.
            fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                temporary_ = std::move(name);
                return Status::success();
            }
            if (errno != EEXIST) return Status::failure("cannot write in " + folder + ": " + systemError(errno));
        }
        return Status::failure("cannot create a temporary file in " + folder);
    }

    Status write(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                return Status::failure("cannot write " + target_ + ": " + systemError(errno));
            }
            if (n == 0) return Status::failure("cannot write " + target_ + ": the disk is full");
            data += n;
            size -= std::size_t(n);
        }
        return Status::success();
    }

    Status commit() {
        if (::fsync(fd_) != 0) return Status::failure("cannot write " + target_ + ": " + systemError(errno));
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) return Status::failure("cannot write " + target_ + ": " + systemError(errno));
        if (::rename(temporary_.c_str(), target_.c_str()) != 0)
            return Status::failure("cannot replace " + target_ + ": " + systemError(errno));
        temporary_.clear();
        // Make the rename itself durable; a failure here leaves a complete file all the same.
        const std::filesystem::path parent = std::filesystem::path(target_).parent_path();
        const int dir = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return Status::success();
    }

private:
    std::string target_;
    std::string temporary_;
    int fd_ = -1;
};

void put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint16_t x) {
    v[at] = std::uint8_t(x);
    v[at + 1] = std::uint8_t(x >> 8);
}
void put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = std::uint8_t(x >> (8 * i));
}

}  // namespace

std::string resolvePath(std::string_view name) {
    std::filesystem::path path{std::string(name)};
    if (path.is_absolute()) return path.string();
    std::error_code error;
    const auto cwd = std::filesystem::current_path(error);
    return error ? path.string() : (cwd / path).string();
}

Status encodeJpeg(const Frame& frame, int quality, std::vector<std::uint8_t>& out) {
    std::string why;
    if (!frameIsWhole(frame, &why)) return Status::failure(why);
    const std::vector<std::uint8_t> rgb = frameToRgb24(frame);
    quality = std::clamp(quality, 1, 100);
    tjhandle handle = tjInitCompress();
    if (!handle) return Status::failure("the JPEG encoder could not start");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(handle, rgb.data(), frame.width, frame.width * 3, frame.height, TJPF_RGB, &buffer,
                                   &size, quality >= 90 ? TJSAMP_444 : TJSAMP_420, quality, 0);
    Status status;
    if (result != 0)
        status = Status::failure(std::string("the JPEG encoder failed: ") + tjGetErrorStr2(handle));
    else
        out.assign(buffer, buffer + size);
    tjFree(buffer);
    tjDestroy(handle);
    return status;
}

Status encodeBmp(const Frame& frame, std::vector<std::uint8_t>& out) {
    std::string why;
    if (!frameIsWhole(frame, &why)) return Status::failure(why);
    const std::vector<std::uint8_t> rgb = frameToRgb24(frame);
    const std::size_t stride = (std::size_t(frame.width) * 3 + 3) & ~std::size_t(3);
    const std::size_t imageSize = stride * frame.height;
    constexpr std::size_t headers = 14 + 40;
    out.assign(headers + imageSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, std::uint32_t(out.size()));
    put32(out, 10, headers);
    put32(out, 14, 40);
    put32(out, 18, std::uint32_t(frame.width));
    put32(out, 22, std::uint32_t(frame.height));  // positive height: bottom-up rows
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 30, 0);  // BI_RGB
    put32(out, 34, std::uint32_t(imageSize));
    put32(out, 38, 2835);  // 72 dpi
    put32(out, 42, 2835);
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* in = rgb.data() + std::size_t(frame.height - 1 - y) * frame.width * 3;
        std::uint8_t* row = out.data() + headers + std::size_t(y) * stride;
        for (int x = 0; x < frame.width; ++x) {
            row[3 * x] = in[3 * x + 2];
            row[3 * x + 1] = in[3 * x + 1];
            row[3 * x + 2] = in[3 * x];
        }
    }
    return Status::success();
}

Status writeFileWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    PendingFile file(path);
    if (Status s = file.create(); !s) return s;
    if (Status s = file.write(bytes.data(), bytes.size()); !s) return s;
    return file.commit();
}

Status copyFileWhole(const std::string& from, const std::string& to) {
    std::error_code error;
    if (std::filesystem::equivalent(from, to, error)) return Status::failure(to + " is the file itself");
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Status::failure("cannot read " + from + ": " + systemError(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{in};
    PendingFile file(to);
    if (Status s = file.create(); !s) return s;
    std::vector<std::uint8_t> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::failure("cannot read " + from + ": " + systemError(errno));
        }
        if (n == 0) break;
        if (Status s = file.write(buffer.data(), std::size_t(n)); !s) return s;
    }
    return file.commit();
}

}  // namespace tesk
