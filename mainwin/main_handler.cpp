// The main window's accepted-control handler: its own reaction, then the
// framework's default handling, then the after-handling of three controls.

#include "dialogs/cap_palette.h"
#include "dialogs/capture_frames.h"
#include "mainwin/main_controls.h"
#include "mainwin/main_window.h"

namespace mainwin {

int MainWindow::takeAccepted(platform::ControlNumber control) {
    ownReaction(control);
    const int level = frameworkHandling(control);
    afterHandling(control);
    return level;
}

void MainWindow::ownReaction(platform::ControlNumber control) {
    if (runCaptureCommand(control)) return;
    switch (control) {
        case CAPTUREVIDEO:
            captureVideo();
            return;
        case STARTCAPTURE:
            startCapture();
            return;
        default:
            // Everything else, driver items included, may be a driver item.
            chooseDriverItem(control);
            return;
    }
}

void MainWindow::afterHandling(platform::ControlNumber control) {
    switch (control) {
        case CAPTUREFRAMES:
            updateStep();
            dialogs::CaptureFrames(runtime());
            resetStep(false);
            return;
        case CAPTUREPALETTE:
            updateStep();
            dialogs::CapPalette(runtime());
            resetStep(false);
            return;
        case ENUMERATEDRIVERS:
            enumerateDrivers();
            return;
        default:
            return;
    }
}

}  // namespace mainwin
