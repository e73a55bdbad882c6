#include "tesk/default_drivers.h"

#include "tesk/test_pattern_driver.h"
#include "tesk/v4l2/v4l2_devices.h"

namespace tesk {

DriverList defaultDrivers() {
    DriverList drivers = findV4l2Drivers();
    if (drivers.size() > kMaxDrivers - 1) drivers.resize(kMaxDrivers - 1);
    drivers.push_back(std::make_unique<TestPatternDriver>());
    return drivers;
}

}  // namespace tesk
