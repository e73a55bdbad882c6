#pragma once
// The component's own choices, kept between runs in its settings file
// "teskdrv.ini" in the program's settings folder (same profile functions as
// the program's own files). Missing or broken values read as the defaults.

#include "tesk/driver.h"

#include <string>

namespace tesk {

struct CompressionChoice {
    std::string codec = "rawvideo";  // FFmpeg encoder name; "rawvideo" = uncompressed DIB
    int quality = 90;                // 1..100, for codecs that take a quality
    bool operator==(const CompressionChoice&) const = default;
};

struct AudioChoice {
    int sampleRate = 22050;  // Hz
    int channels = 1;        // 1 or 2
    int bitsPerSample = 16;  // 8 or 16
    bool operator==(const AudioChoice&) const = default;
};

struct DisplayChoice {
    bool keepAspect = true;    // scale the picture to fit, keeping its aspect
    bool showFrameInfo = false; // frame number and rate drawn over the picture
    bool operator==(const DisplayChoice&) const = default;
};

class ComponentSettings {
public:
    static constexpr const char* fileName = "teskdrv.ini";

    explicit ComponentSettings(std::string file = fileName) : file_(std::move(file)) {}

    // The format last chosen for a driver (keyed by its name); nothing when none was saved.
    bool loadFormat(const std::string& driverName, VideoFormat& format) const;
    void saveFormat(const std::string& driverName, const VideoFormat& format) const;

    CompressionChoice loadCompression() const;
    void saveCompression(const CompressionChoice& choice) const;

    AudioChoice loadAudio() const;
    void saveAudio(const AudioChoice& choice) const;

    DisplayChoice loadDisplay() const;
    void saveDisplay(const DisplayChoice& choice) const;

    const std::string& file() const { return file_; }

private:
    std::string file_;
};

}  // namespace tesk
