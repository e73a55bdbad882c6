#pragma once
// Error messages of the V4L2 driver: every one names the camera and its
// device node, and a vanished device reads as a disconnection.

#include "tesk/driver.h"

#include <string>

namespace tesk::v4l2 {

// ENODEV and ENXIO: the device node is gone (unplugged, driver unbound).
bool isDeviceGone(int error);
// Device gone, or a fatal I/O error the device reported (EIO).
bool isDisconnection(int error);

// "The camera NAME (PATH) was disconnected ..." for a disconnection,
// otherwise "NAME (PATH): WHAT failed: strerror".
Status ioFailure(const DriverInfo& info, const std::string& what, int error);

// "NAME (PATH): MESSAGE" for failures that are not system errors.
Status deviceFailure(const DriverInfo& info, const std::string& message);

}  // namespace tesk::v4l2
