#include "dialogs/capture_frames.h"

#include "shell/window_procedure.h"

namespace dialogs {
namespace {

// The window only, so far: its controls are still to come. Until its "&Cancel"
// button exists, the close box is the one way out, so it keeps a system menu.
platform::WindowDecl makeLayout() {
    platform::WindowDecl w;
    w.title = "Capture Frames";
    w.width = 133;
    w.height = 77;
    w.font.face = "MS Sans Serif";
    w.font.points = 8;
    w.frame = platform::Frame::Double;
    w.systemMenu = true;
    return w;
}

class CaptureFramesWindow : public shell::WindowProcedure {
public:
    explicit CaptureFramesWindow(shell::Runtime& runtime) : WindowProcedure(runtime, "CaptureFrames", layout()) {
        setFirstFocus(1);
    }

    static const platform::WindowDecl& layout() {
        static const platform::WindowDecl decl = makeLayout();
        return decl;
    }
};

}  // namespace

void CaptureFrames(shell::Runtime& runtime) {
    CaptureFramesWindow dialog(runtime);
    dialog.run();
}

}  // namespace dialogs
