#pragma once
// What the window-settings manager needs of a window to restore and save its
// place: state, position and size, all in the dialog units of its layout.

namespace platform {

class PlacedWindow {
public:
    virtual ~PlacedWindow() = default;

    virtual bool isMaximized() const = 0;
    virtual bool isMinimized() const = 0;
    // Only a window with a sizing frame keeps its width and height.
    virtual bool isResizable() const = 0;

    virtual int x() const = 0;
    virtual int y() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;

    virtual void setX(int x) = 0;
    virtual void setY(int y) = 0;
    virtual void setWidth(int width) = 0;
    virtual void setHeight(int height) = 0;

    virtual void showMaximized() = 0;
    // Back to normal size from maximized.
    virtual void showNormal() = 0;
    virtual void setMinimized(bool minimized) = 0;
};

}  // namespace platform
