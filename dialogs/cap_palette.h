#pragma once
// The Capture Palette dialog: builds a colour palette from the live video.

#include "shell/runtime.h"

namespace dialogs {

// Runs the dialog until it closes.
void CapPalette(shell::Runtime& runtime);

}  // namespace dialogs
