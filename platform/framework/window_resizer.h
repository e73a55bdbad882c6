#pragma once
// The window resizer: keeps a window's controls in proportion to the window's
// size. Each control's rectangle is computed from its rectangle in the
// reference layout (recorded at prepare), not from its current one. It moves
// the window's own controls only, never a child widget another party placed.

#include "platform/framework/window.h"

#include <map>

namespace platform {

class WindowResizer {
public:
    enum class Strategy { Proportional = 0 };

    WindowResizer() = default;
    ~WindowResizer() { release(); }
    WindowResizer(const WindowResizer&) = delete;
    WindowResizer& operator=(const WindowResizer&) = delete;

    // Records the reference layout and registers for the window's size events.
    void prepare(Window& window, Strategy strategy = Strategy::Proportional);
    // Lays the controls out for the window's current size; nothing when the
    // size equals the last layout's.
    void resize();
    // Stops acting on the window.
    void release();

private:
    Window* window_ = nullptr;
    Strategy strategy_ = Strategy::Proportional;
    int referenceWidth_ = 0, referenceHeight_ = 0;
    int lastWidth_ = 0, lastHeight_ = 0;
    std::map<ControlNumber, Rect> reference_;
};

}  // namespace platform
