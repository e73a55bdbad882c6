#pragma once
// The host window reference: the main window that hosts the capture window.
// Driver enumeration records it; the Capture Video Sequence dialog hands it to
// RESIZECAPTUREWINDOW. It is empty until the first enumeration, and empty
// again once the window it names has gone, so nobody is handed a dead window.

#include "capture/capture_host.h"

namespace shell {

// The recorded host window, or nullptr.
capture::CaptureHost* hostWindow();
void setHostWindow(capture::CaptureHost* window);
// Empties the reference when it names `window` (called as that window goes).
void forgetHostWindow(const capture::CaptureHost* window);

}  // namespace shell
