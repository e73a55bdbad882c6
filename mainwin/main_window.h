#pragma once
// The main window "Video Capture" and its procedure Main: the capture region
// on the left, the buttons and the driver list on the right, the menu bar
// across the top. Its variables live as long as the window; its handler, the
// driver catalogue, starting capture and the capture commands each have a
// file of their own.

#include "capture/capture_records.h"
#include "mainwin/driver_queues.h"
#include "platform/framework/window_resizer.h"
#include "shell/runtime.h"
#include "shell/window_procedure.h"

#include <array>
#include <cstdint>
#include <string>

namespace mainwin {

// The layout of the main window, in declaration order.
const platform::WindowDecl& mainLayout();

// Holds the window resizer. A base before the frame, so the resizer outlives
// the frame, which releases an attached resizer on teardown and destruction.
struct MainResizer {
    platform::WindowResizer resizer;
};

class MainWindow : private MainResizer, public shell::WindowProcedure {
public:
    explicit MainWindow(shell::Runtime& runtime);
    ~MainWindow() override;

    // The window's variables, read by tests.
    std::int32_t previewFlag() const { return PREVIEWFLAG_; }
    std::int32_t overlayFlag() const { return OVERLAYFLAG_; }
    const std::string& locDriver() const { return LOC_DRIVER_; }
    const DriverListQueue& driverList() const { return driverList_; }
    const DriverItemQueue& driverItems() const { return driverItems_; }

    // Empties both driver queues, the driver list queue first (as Main ends).
    void freeQueues();

protected:
    void afterOpen() override;
    void setUpSteps() override;
    int takeAccepted(platform::ControlNumber control) override;
    void tearDownSteps() override;
    // The Capture Video Sequence dialog; its result says whether the capture
    // parameters were set. Overridden by tests that script that result.
    virtual std::int32_t runVideoCap();

private:
    capture::VideoCapture& capture() { return runtime().capture; }

    // Handler phases (main_handler.cpp).
    void ownReaction(platform::ControlNumber control);
    void afterHandling(platform::ControlNumber control);
    // Capture commands (capture_commands.cpp); false when the control has none.
    bool runCaptureCommand(platform::ControlNumber control);
    void captureVideo();
    // Driver catalogue (driver_catalogue.cpp).
    void enumerateDrivers();
    void chooseDriverItem(platform::ControlNumber control);
    // Starting capture (start_capture.cpp).
    void startCapture();
    void checkCapabilities();

    // Variables of Main, cleared on every call.
    std::int32_t driverCount_ = 0;
    capture::CAPDRIVERCAPS caps_{};
    std::int32_t PREVIEWFLAG_ = 1;
    std::int32_t OVERLAYFLAG_ = 0;
    DriverItemQueue driverItems_;
    std::array<char, 128> name_{};
    std::array<char, 128> version_{};
    DriverListQueue driverList_;
    std::string LOC_DRIVER_;

    DriverListRows listRows_{driverList_};
};

// The procedure Main: runs the main window until it closes.
void Main(shell::Runtime& runtime);

}  // namespace mainwin
