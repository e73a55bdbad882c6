// Program entry: builds the process-wide objects, runs the main window and
// shuts down. Takes no command line; the exit code is always 0.

#include "mainwin/main_window.h"
#include "platform/framework/window.h"
#include "shell/startup.h"
#include "shell/termination.h"
#include "tesk/tesk_capture.h"

#include <QApplication>
#include <optional>

int main() {
    std::optional<QApplication> app;
    std::optional<tesk::TeskCapture> capture;

    shell::ProgramParts parts;
    parts.initialiseRuntime = [&] {
        if (!shell::initialiseQtRuntime(app)) return false;
        shell::closeWindowsOnTermination();
        return true;
    };
    parts.captureObject = [&]() -> capture::VideoCapture& {
        // The capture window goes into the window whose handler is running.
        capture.emplace([] { return static_cast<capture::CaptureHost*>(platform::activeWindow()); });
        return *capture;
    };
    parts.runMain = [](shell::Runtime& runtime) { mainwin::Main(runtime); };
    // The capture object outlives every window; it goes before the runtime so
    // that its capture thread and widgets end while Qt is still there.
    parts.shutDownRuntime = [&] {
        capture.reset();
        app.reset();
    };
    return shell::runProgram(parts);
}
