#pragma once
// Device controls through the extended control API: VIDIOC_QUERY_EXT_CTRL
// walks every control, VIDIOC_QUERYMENU names menu entries, G/S_EXT_CTRLS
// read and write values. Control classes and compound (array) controls
// have no tesk::Control form and are left out.

#include "tesk/driver.h"
#include "tesk/v4l2/v4l2_device_io.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesk::v4l2 {

// Every control with its current value (left at 0 for buttons and
// write-only controls). String controls carry their text and, where the
// device gives it (V4L2_CTRL_WHICH_DEF_VAL), their default text.
std::vector<Control> queryControls(DeviceIo& io, int fd);

// One control by id; nullopt with errno set when the device does not have it.
std::optional<Control> queryControl(DeviceIo& io, int fd, std::uint32_t id);

// Writes value (ignored for buttons); 0 or the errno of the failure.
int writeControl(DeviceIo& io, int fd, const Control& control, std::int64_t value);

// Why text does not fit a String control's length limits (empty: it fits).
std::string textProblem(const Control& control, const std::string& text);

// Writes the text of a String control; 0 or the errno of the failure.
int writeText(DeviceIo& io, int fd, const Control& control, const std::string& text);

}  // namespace tesk::v4l2
