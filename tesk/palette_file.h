#pragma once
// Palette files: RIFF "PAL " files with one "data" chunk holding a LOGPALETTE
// (version 0x0300, entry count, then red, green, blue, flags per entry).

#include "tesk/driver.h"

#include <string>
#include <vector>

namespace tesk {

// Reads a palette; on any fault (missing, short, wrong tags, bad counts) the
// result says why and `colours` is left as it was.
Status loadPalette(const std::string& path, std::vector<Rgb>& colours);
// Writes a palette of 1..256 colours whole or not at all (temporary file, then rename).
Status savePalette(const std::string& path, const std::vector<Rgb>& colours);

}  // namespace tesk
