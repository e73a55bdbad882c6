#pragma once
// The steps of finding the machine's capture nodes, open for tests with a
// fake DeviceIo.

#include "tesk/driver.h"
#include "tesk/v4l2/v4l2_device_io.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tesk::v4l2 {

// The paths of deviceDir's videoN entries, N in numeric order.
std::vector<std::string> videoNodes(const std::string& deviceDir);

// "uvcvideo 6.1.0" from the driver name and VIDIOC_QUERYCAP's version.
std::string versionText(const char* driver, std::uint32_t version);

struct ProbedNode {
    DriverInfo info;
    std::uint32_t deviceCaps = 0;
};

// A video-capture node's name, version and capabilities; nullopt for
// nodes that cannot be opened or do not capture video. The node is
// closed again before this returns.
std::optional<ProbedNode> probeNode(DeviceIo& io, const std::string& path);

std::vector<std::unique_ptr<Driver>> findDrivers(const std::string& deviceDir, const std::shared_ptr<DeviceIo>& io);

}  // namespace tesk::v4l2
