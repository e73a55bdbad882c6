#pragma once
// The process-wide objects that every window procedure uses, built by the
// program's start-up and handed to the main window (tests build their own).

#include "capture/video_capture.h"
#include "shell/error_manager.h"
#include "shell/window_settings.h"

namespace shell {

struct Runtime {
    ErrorManager& errors;
    WindowSettings& windowSettings;
    capture::VideoCapture& capture;
};

}  // namespace shell
