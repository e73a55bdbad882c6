#include "platform/framework/window_resizer.h"

#include "platform/framework/dialog_units.h"

namespace platform {

void WindowResizer::prepare(Window& window, Strategy strategy) {
    release();
    window_ = &window;
    strategy_ = strategy;
    referenceWidth_ = lastWidth_ = window.width();
    referenceHeight_ = lastHeight_ = window.height();
    reference_.clear();
    for (ControlNumber control : window.controls())
        if (window.action(control) == nullptr) reference_[control] = window.controlRectDu(control);
    window.setSizeEventHandler([this] { resize(); });
}

void WindowResizer::resize() {
    if (!window_ || referenceWidth_ <= 0 || referenceHeight_ <= 0) return;
    // A minimised window keeps its layout for when it comes back.
    if (window_->isMinimized()) return;
    const int width = window_->width();
    const int height = window_->height();
    if (width == lastWidth_ && height == lastHeight_) return;
    for (const auto& [control, ref] : reference_) {
        const Rect scaled{detail::mulDiv(ref.x, width, referenceWidth_), detail::mulDiv(ref.y, height, referenceHeight_),
                          detail::mulDiv(ref.width, width, referenceWidth_),
                          detail::mulDiv(ref.height, height, referenceHeight_)};
        window_->setControlRectDu(control, scaled);
    }
    lastWidth_ = width;
    lastHeight_ = height;
}

void WindowResizer::release() {
    if (window_) window_->setSizeEventHandler({});
    window_ = nullptr;
}

}  // namespace platform
