#pragma once
// The program's start-up and shutdown, with every part handed in so that tests
// can run the whole order with fakes.
//
//   1. the runtime initialises (on failure: exit code 0, nothing else happens)
//   2. error manager, window-settings manager, then the capture object
//   4. the window-settings manager starts on its file (reads its bookkeeping)
//   5. the full-window-drag setting is read, once
//   6. exactly 1: switched off
//   7. Main runs until the main window closes
//   8. the value read in 5 is exactly 1: switched on again
//   9. the window-settings manager stops (writes its bookkeeping)
//  10. the runtime shuts down; exit code 0

#include "capture/video_capture.h"
#include "platform/drag_setting.h"
#include "shell/runtime.h"

#include <QApplication>
#include <functional>
#include <optional>
#include <string>

namespace shell {

struct ProgramParts {
    // Step 1; false ends the program at once.
    std::function<bool()> initialiseRuntime = [] { return true; };
    // Step 10.
    std::function<void()> shutDownRuntime = [] {};
    // The one capture object of the process, made ready after the runtime.
    // Required. It is asked for once; its owner keeps it for the whole run.
    std::function<capture::VideoCapture&()> captureObject;
    platform::DragSetting* dragSetting = &platform::systemDragSetting();
    std::string windowSettingsFile = "orvane.INI";
    // The main window procedure.
    std::function<void(Runtime&)> runMain;
};

// Runs the program from start-up to shutdown; always returns 0, the exit code.
int runProgram(ProgramParts& parts);

// The Qt runtime for step 1: builds the application object, with no command
// line (the program takes none). Returns false, with `app` left empty, when no
// display can be reached; if Qt finds that out only while it starts, the
// process ends at once with exit code 0 instead of aborting.
bool initialiseQtRuntime(std::optional<QApplication>& app);

}  // namespace shell
