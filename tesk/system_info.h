#pragma once
// The system-information window: operating system, kernel, processor,
// memory, Qt and the libraries the component uses, and the drivers found.

#include "tesk/driver.h"

#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace tesk {

// One "label: value" line per fact, then the drivers, one a line.
std::string systemInfoText(const std::vector<DriverInfo>& drivers);

// Title is `first` up to its first "#", the heading the rest of it (and
// `second` on a line of its own when not empty). Runs modally.
void showSystemInfo(QWidget* parent, std::string_view first, std::string_view second,
                    const std::vector<DriverInfo>& drivers);

}  // namespace tesk
