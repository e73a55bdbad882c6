#pragma once
// The drivers of this machine in enumeration order: the V4L2 capture nodes in
// /dev/videoN order, then the test pattern, which is always there; at most
// kMaxDrivers in all (the test pattern keeps its place).

#include "tesk/driver.h"

#include <functional>
#include <memory>
#include <vector>

namespace tesk {

inline constexpr std::size_t kMaxDrivers = 10;

using DriverList = std::vector<std::unique_ptr<Driver>>;
using DriverFactory = std::function<DriverList()>;

DriverList defaultDrivers();

}  // namespace tesk
