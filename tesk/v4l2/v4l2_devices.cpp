#include "tesk/v4l2/v4l2_devices.h"

#include "tesk/v4l2/v4l2_driver.h"
#include "tesk/v4l2/v4l2_enumeration.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>

namespace tesk {
namespace v4l2 {
namespace {

// N of "videoN", or -1 for any other name.
long videoNodeNumber(const std::string& name) {
    constexpr std::string_view prefix = "video";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    long number = -1;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    return (error == std::errc() && end == last) ? number : -1;
}

std::string fixedText(const std::uint8_t* text, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(text), strnlen(reinterpret_cast<const char*>(text), size));
}

}  // namespace

std::vector<std::string> videoNodes(const std::string& deviceDir) {
    std::vector<std::pair<long, std::string>> numbered;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(deviceDir, error)) {
        const std::string name = entry.path().filename().string();
        if (const long number = videoNodeNumber(name); number >= 0)
            numbered.emplace_back(number, entry.path().string());
    }
    std::sort(numbered.begin(), numbered.end());
    std::vector<std::string> nodes;
    for (auto& [number, path] : numbered)
        nodes.push_back(std::move(path));
    return nodes;
}

std::string versionText(const char* driver, std::uint32_t version) {
    return std::string(driver) + " " + std::to_string((version >> 16) & 0xff) + "." +
           std::to_string((version >> 8) & 0xff) + "." + std::to_string(version & 0xff);
}

std::optional<ProbedNode> probeNode(DeviceIo& io, const std::string& path) {
    const int fd = io.openRaw(path, O_RDWR | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;  // unreadable or busy: not listed
    v4l2_capability capability{};
    const bool queried = xioctl(io, fd, VIDIOC_QUERYCAP, &capability) == 0;
    io.close(fd);
    if (!queried)
        return std::nullopt;
    const std::uint32_t caps =
        (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps : capability.capabilities;
    if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & (V4L2_CAP_STREAMING | V4L2_CAP_READWRITE)))
        return std::nullopt;  // output, metadata, radio, multi-planar-only ... nodes
    ProbedNode node;
    node.info.name = fixedText(capability.card, sizeof capability.card);
    const std::string driver = fixedText(capability.driver, sizeof capability.driver);
    node.info.version = versionText(driver.c_str(), capability.version);
    node.info.device = path;
    node.deviceCaps = caps;
    return node;
}

std::vector<std::unique_ptr<Driver>> findDrivers(const std::string& deviceDir, const std::shared_ptr<DeviceIo>& io) {
    std::vector<std::unique_ptr<Driver>> drivers;
    for (const std::string& path : videoNodes(deviceDir))
        if (auto node = probeNode(*io, path))
            drivers.push_back(std::make_unique<V4l2Driver>(std::move(node->info), node->deviceCaps, io));
    return drivers;
}

}  // namespace v4l2

std::vector<std::unique_ptr<Driver>> findV4l2Drivers(const std::string& deviceDir) {
    return v4l2::findDrivers(deviceDir, v4l2::libv4l2DeviceIo());
}

}  // namespace tesk
