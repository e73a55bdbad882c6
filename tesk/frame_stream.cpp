#include "tesk/frame_stream.h"

#include "tesk/frame_image.h"

namespace tesk {

void FrameStream::start(Driver& driver, std::chrono::milliseconds lossTimeout, Sinks sinks) {
    stop();
    stop_ = false;
    thread_ = std::thread([this, &driver, lossTimeout, sinks = std::move(sinks)]() mutable {
        run(driver, lossTimeout, std::move(sinks));
    });
}

void FrameStream::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void FrameStream::run(Driver& driver, std::chrono::milliseconds lossTimeout, Sinks sinks) {
    using Clock = std::chrono::steady_clock;
    auto lastFrame = Clock::now();
    int brokenInARow = 0;
    std::string lastError;
    while (!stop_) {
        Frame frame;
        const Status status = driver.readFrame(frame, kReadSlice);
        if (stop_) break;
        if (!status) {
            lastError = status.error;
            if (Clock::now() - lastFrame >= lossTimeout) {
                if (sinks.lost) sinks.lost(lastError);
                return;
            }
            // Slices end on their own; an error that returns at once must not spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        std::string why;
        if (!frameIsWhole(frame, &why)) {
            if (sinks.broken) sinks.broken(why);
            if (++brokenInARow >= kMaxBrokenInARow) {
                if (sinks.lost) sinks.lost("the device delivers only broken frames (" + why + ")");
                return;
            }
            continue;
        }
        brokenInARow = 0;
        lastFrame = Clock::now();
        if (sinks.frame) sinks.frame(std::move(frame));
    }
}

}  // namespace tesk
