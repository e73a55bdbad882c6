#pragma once
// Still pictures and whole-file writes. A file is written to a temporary file
// in the target folder, flushed to the disk and then renamed over the name, so
// the name holds either the old file or the complete new one, never a part.

#include "tesk/driver.h"

#include <string>
#include <string_view>
#include <vector>

namespace tesk {

// A bare or relative name resolves against the working directory.
std::string resolvePath(std::string_view name);

// JPEG through TurboJPEG: 4:4:4 at quality 90 and above, 4:2:0 below.
// Quality is clamped to 1..100.
Status encodeJpeg(const Frame& frame, int quality, std::vector<std::uint8_t>& out);
// A 24-bit bottom-up BMP (BITMAPINFOHEADER), rows padded to 4 bytes.
Status encodeBmp(const Frame& frame, std::vector<std::uint8_t>& out);

// Writes `bytes` as `path` whole or not at all.
Status writeFileWhole(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Copies `from` to `to` whole or not at all; a partial copy is removed.
Status copyFileWhole(const std::string& from, const std::string& to);

}  // namespace tesk
