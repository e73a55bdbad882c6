#include "shell/host_window.h"

namespace shell {
namespace {

capture::CaptureHost* host = nullptr;

}  // namespace

capture::CaptureHost* hostWindow() { return host; }

void setHostWindow(capture::CaptureHost* window) { host = window; }

void forgetHostWindow(const capture::CaptureHost* window) {
    if (host == window) host = nullptr;
}

}  // namespace shell
