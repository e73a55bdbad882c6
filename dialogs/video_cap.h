#pragma once
// The Capture Video Sequence dialog: sets up a timed video capture.

#include "shell/runtime.h"

#include <cstdint>

namespace dialogs {

// Runs the dialog until it closes; 1 when the capture parameters were set, else 0.
std::int32_t VideoCap(shell::Runtime& runtime);

}  // namespace dialogs
