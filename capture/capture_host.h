#pragma once
// What the capture component needs to know of a window that hosts its capture
// window: the top-level widget, and the rectangle of a control given by its
// control number. The window framework's windows implement it; the component
// never sees the framework itself.

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <optional>

namespace capture {

using ControlNumber = std::int16_t;

class CaptureHost {
public:
    virtual ~CaptureHost() = default;
    // The window's top-level widget; the capture window becomes its child.
    virtual QWidget* hostWidget() const = 0;
    // The control's rectangle in hostWidget()'s coordinates, in pixels;
    // nothing when the window has no such control.
    virtual std::optional<QRect> controlRect(ControlNumber control) const = 0;
};

}  // namespace capture
