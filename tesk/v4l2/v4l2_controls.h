#pragma once
// Device controls through the extended control API: VIDIOC_QUERY_EXT_CTRL
// walks every control, VIDIOC_QUERYMENU names menu entries, G/S_EXT_CTRLS
// read and write values. Control classes and compound (array) controls
// have no tesk::Control form and are left out.

#include "tesk/driver.h"
#include "tesk/v4l2/v4l2_device_io.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tesk::v4l2 {

// Every control with its current value (left at 0 for buttons, write-only
// and string controls, whose values cannot be read as a number).
std::vector<Control> queryControls(DeviceIo& io, int fd);

// One control by id; nullopt with errno set when the device does not have it.
std::optional<Control> queryControl(DeviceIo& io, int fd, std::uint32_t id);

// Writes value (ignored for buttons); 0 or the errno of the failure.
int writeControl(DeviceIo& io, int fd, const Control& control, std::int64_t value);

}  // namespace tesk::v4l2
