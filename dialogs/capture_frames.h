#pragma once
// The Capture Frames dialog: adds single frames to the capture file.

#include "shell/runtime.h"

namespace dialogs {

// Runs the dialog until it closes.
void CaptureFrames(shell::Runtime& runtime);

}  // namespace dialogs
