#pragma once
// The capture thread: reads frames from a streaming driver and hands every
// whole frame to a sink. A broken frame is reported and skipped; no frame for
// `lossTimeout` (or a run of broken ones) ends the thread with one error
// report, as when a camera is unplugged. Both sinks run on the capture thread.
//
// The driver's streaming is started and stopped by the owner on the UI
// thread: start() after startStreaming(), stop() before stopStreaming().

#include "tesk/driver.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace tesk {

class FrameStream {
public:
    struct Sinks {
        std::function<void(Frame&&)> frame;
        std::function<void(const std::string&)> broken;  // a frame was dropped, and why
        std::function<void(const std::string&)> lost;    // the stream has ended, and why
    };

    FrameStream() = default;
    ~FrameStream() { stop(); }
    FrameStream(const FrameStream&) = delete;
    FrameStream& operator=(const FrameStream&) = delete;

    void start(Driver& driver, std::chrono::milliseconds lossTimeout, Sinks sinks);
    // Ends the thread and waits for it (at most one read slice). Idempotent.
    void stop();
    bool running() const { return thread_.joinable(); }

    static constexpr std::chrono::milliseconds kReadSlice{200};
    static constexpr int kMaxBrokenInARow = 30;

private:
    void run(Driver& driver, std::chrono::milliseconds lossTimeout, Sinks sinks);

    std::thread thread_;
    std::atomic<bool> stop_{false};
};

}  // namespace tesk
