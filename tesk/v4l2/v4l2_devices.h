#pragma once
// The machine's V4L2 video-capture nodes as drivers, in /dev/videoN order.
// Metadata-only and output-only nodes are left out.

#include "tesk/driver.h"

#include <memory>
#include <string>
#include <vector>

namespace tesk {

std::vector<std::unique_ptr<Driver>> findV4l2Drivers(const std::string& deviceDir = "/dev");

}  // namespace tesk
