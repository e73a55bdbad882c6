#pragma once
// Checks and conversions of driver frames: whether a frame is whole, and the
// frame as packed RGB or as a QImage for painting and the clipboard.

#include "tesk/driver.h"

#include <QImage>
#include <string>
#include <vector>

namespace tesk {

// A frame is whole when its buffer matches its size and layout and an 8-bit
// frame carries a palette of 1..256 colours. `why` says what is wrong.
bool frameIsWhole(const Frame& frame, std::string* why = nullptr);

// Packed RGB, rows top-down; indexes beyond the palette come out black.
// Empty for a frame that is not whole.
std::vector<std::uint8_t> frameToRgb24(const Frame& frame);

// A QImage in the fastest format for painting; null for a frame that is not whole.
QImage frameToImage(const Frame& frame);

}  // namespace tesk
