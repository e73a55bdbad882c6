#include "dialogs/video_cap.h"

#include "shell/window_procedure.h"

namespace dialogs {
namespace {

// The window only, so far: its controls are still to come. Until its "&Close"
// button exists, the close box is the one way out, so it keeps a system menu.
platform::WindowDecl makeLayout() {
    platform::WindowDecl w;
    w.title = "Capture Video Sequence";
    w.width = 183;
    w.height = 130;
    w.font.face = "MS Sans Serif";
    w.font.points = 8;
    w.frame = platform::Frame::Double;
    w.systemMenu = true;
    return w;
}

class VideoCapWindow : public shell::WindowProcedure {
public:
    explicit VideoCapWindow(shell::Runtime& runtime) : WindowProcedure(runtime, "VideoCap", layout()) {
        setFirstFocus(1);
    }

    static const platform::WindowDecl& layout() {
        static const platform::WindowDecl decl = makeLayout();
        return decl;
    }

    // 1 once the capture parameters have been set during this call.
    std::int32_t confirmed() const { return CONFIRMED_; }

private:
    std::int32_t CONFIRMED_ = 0;
};

}  // namespace

std::int32_t VideoCap(shell::Runtime& runtime) {
    VideoCapWindow dialog(runtime);
    dialog.run();
    return dialog.confirmed();
}

}  // namespace dialogs
