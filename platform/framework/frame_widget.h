#pragma once
// The top-level widget of a framework window: a menu bar (when the layout has
// menus) above the client area that holds the controls at their dialog-unit
// positions. It turns the window manager's events into framework calls:
// close requests, Enter, and the size events.

#include <QWidget>
#include <QColor>
#include <functional>
#include <optional>

class QMenuBar;

namespace platform::detail {

class FrameWidget : public QWidget {
public:
    FrameWidget();

    QWidget* client() const { return client_; }
    QMenuBar* menuBar() const { return menuBar_; }
    // Creates the menu bar on first use.
    QMenuBar* ensureMenuBar();
    int menuBarHeight() const;

    std::function<void()> onCloseRequest;  // title-bar close, Alt+F4
    std::function<bool()> onEnter;         // true when it pressed a button
    std::function<void()> onSizeEvent;     // sized, maximised, restored, activated

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void placeChildren();

    QWidget* client_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
};

// A filled rectangle with an optional border: regions and boxes.
class ColourRect : public QWidget {
public:
    ColourRect(QWidget* parent, std::optional<QColor> fill, std::optional<QColor> border);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> fill_;
    std::optional<QColor> border_;
};

}  // namespace platform::detail
