#pragma once
// A window reduced to what the window-settings manager sees of it, logging
// every change the manager makes.

#include "platform/placed_window.h"

#include <string>
#include <vector>

namespace settings_test {

class FakePlacedWindow : public platform::PlacedWindow {
public:
    // The layout's position and size.
    FakePlacedWindow(bool resizable, int x, int y, int width, int height)
        : resizable_(resizable), x_(x), y_(y), width_(width), height_(height) {}

    bool maximized = false;
    bool minimized = false;
    std::vector<std::string> changes;

    bool isMaximized() const override { return maximized; }
    bool isMinimized() const override { return minimized; }
    bool isResizable() const override { return resizable_; }
    int x() const override { return x_; }
    int y() const override { return y_; }
    int width() const override { return width_; }
    int height() const override { return height_; }

    void setX(int x) override { x_ = x, log("x " + std::to_string(x)); }
    void setY(int y) override { y_ = y, log("y " + std::to_string(y)); }
    void setWidth(int w) override { width_ = w, log("width " + std::to_string(w)); }
    void setHeight(int h) override { height_ = h, log("height " + std::to_string(h)); }
    void showMaximized() override { maximized = true, log("maximize"); }
    void showNormal() override { maximized = false, log("normal"); }
    void setMinimized(bool on) override { minimized = on, log(on ? "minimize" : "not minimized"); }

private:
    void log(std::string change) { changes.push_back(std::move(change)); }
    bool resizable_;
    int x_, y_, width_, height_;
};

}  // namespace settings_test
