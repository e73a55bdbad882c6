#pragma once
// Shared helpers of the component's tests: a host window with named control
// rectangles, recorders for messages and status reports, and an independent
// decoder (the ffmpeg command) for written pictures.

#include "capture/capture_host.h"
#include "tesk/driver.h"

#include <QCoreApplication>
#include <QWidget>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tesk::testing {

class FakeHost final : public capture::CaptureHost {
public:
    FakeHost() : widget_(std::make_unique<QWidget>()) {
        widget_->resize(640, 480);
        widget_->show();
    }
    QWidget* hostWidget() const override { return widget_.get(); }
    std::optional<QRect> controlRect(capture::ControlNumber control) const override {
        auto it = rects.find(control);
        return it == rects.end() ? std::nullopt : std::optional<QRect>(it->second);
    }
    std::map<capture::ControlNumber, QRect> rects{{27, QRect(10, 20, 320, 240)}, {26, QRect(340, 20, 160, 120)}};

private:
    std::unique_ptr<QWidget> widget_;
};

// Runs the event loop until `done` holds; false if it never did (a guard, not a timing check).
inline bool processUntil(const std::function<bool()>& done, std::chrono::milliseconds guard = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + guard;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

struct DecodedImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};
// Decodes a picture file with the ffmpeg command line tool; nothing when it cannot.
std::optional<DecodedImage> decodeWithFfmpeg(const std::string& path);
bool ffmpegAvailable();

// Peak signal-to-noise ratio of two RGB buffers of the same size, in dB.
double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

// Reads the counter "#NNNNNN" burned into a test-pattern frame with the driver's glyph table.
std::optional<std::uint64_t> readCounter(const Frame& rgbFrame);

}  // namespace tesk::testing
