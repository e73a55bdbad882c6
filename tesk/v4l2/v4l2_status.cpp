#include "tesk/v4l2/v4l2_status.h"

#include <cerrno>
#include <cstring>

namespace tesk::v4l2 {
namespace {

std::string cameraName(const DriverInfo& info) {
    return (info.name.empty() ? std::string("camera") : info.name) + " (" + info.device + ")";
}

}  // namespace

bool isDeviceGone(int error) { return error == ENODEV || error == ENXIO; }

bool isDisconnection(int error) { return isDeviceGone(error) || error == EIO; }

Status ioFailure(const DriverInfo& info, const std::string& what, int error) {
    const std::string reason = what + ": " + std::strerror(error);
    if (isDeviceGone(error))
        return Status::failure("The camera " + cameraName(info) + " was disconnected (" + reason + ").");
    if (error == EIO)
        return Status::failure("The camera " + cameraName(info) + " was disconnected or stopped working (" + reason +
                               ").");
    return Status::failure(cameraName(info) + ": " + what + " failed: " + std::strerror(error));
}

Status deviceFailure(const DriverInfo& info, const std::string& message) {
    return Status::failure(cameraName(info) + ": " + message);
}

}  // namespace tesk::v4l2
