#include "dialogs/cap_palette.h"

#include "shell/window_procedure.h"

namespace dialogs {
namespace {

// The window only, so far: its controls are still to come.
platform::WindowDecl makeLayout() {
    platform::WindowDecl w;
    w.title = "Capture Palette";
    w.width = 178;
    w.height = 108;
    w.font.face = "MS Sans Serif";
    w.font.points = 8;
    w.frame = platform::Frame::Double;
    w.systemMenu = true;
    return w;
}

class CapPaletteWindow : public shell::WindowProcedure {
public:
    explicit CapPaletteWindow(shell::Runtime& runtime) : WindowProcedure(runtime, "CapPalette", layout()) {
        setFirstFocus(1);
    }

    static const platform::WindowDecl& layout() {
        static const platform::WindowDecl decl = makeLayout();
        return decl;
    }
};

}  // namespace

void CapPalette(shell::Runtime& runtime) {
    CapPaletteWindow dialog(runtime);
    dialog.run();
}

}  // namespace dialogs
