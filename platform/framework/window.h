#pragma once
// A window built from its layout on Qt, and every operation a window
// procedure applies to it by control number. Numbers are assigned in
// declaration order (menus and items first, separators unnumbered); each
// control's widget (or menu action) carries its use name without the "?" as
// object name and keeps its visible text as its accessible name.

#include "capture/capture_host.h"
#include "platform/framework/layout.h"
#include "platform/placed_window.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class QAction;
class QWidget;

namespace platform {

// A text variable: at most maxLength characters are kept (a NUL-terminated
// buffer of maxLength + 1 bytes in the original layouts).
struct TextVar {
    std::string* text = nullptr;
    std::size_t maxLength = 0;
};
// What a control can be bound to.
using Variable = std::variant<std::monostate, std::int32_t*, std::int16_t*, std::uint8_t*, TextVar>;

// Rows of a list control; the list shows each row's text (formatted by the
// list's format string, e.g. cut to 79 characters by "@s79").
class ListSource {
public:
    virtual ~ListSource() = default;
    virtual std::size_t rowCount() const = 0;
    virtual std::string rowText(std::size_t position) const = 0;  // 1-based
};

// A part of the window manager's component list (update and reset steps).
class WindowComponent {
public:
    virtual ~WindowComponent() = default;
    virtual void update() = 0;
    virtual void reset(bool force) = 0;
};

class Window : public capture::CaptureHost, public PlacedWindow {
public:
    explicit Window(const WindowDecl& decl);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const WindowDecl& decl() const;

    // Binding, normally right after construction, in declaration order.
    void bind(ControlNumber control, Variable variable);
    void bindRows(ControlNumber list, const ListSource& rows);

    // Opening: shows the window (after disabling the window that opened it)
    // and puts the focus on the first-focus control, or on the next control
    // in tab order that can take it.
    void setFirstFocus(ControlNumber control);
    void open();
    bool isOpen() const;
    // Closes the window and enables the window beneath it again.
    void close();

    // Operations by control number; an unknown number does nothing.
    void enable(ControlNumber control);
    void disable(ControlNumber control);
    void hide(ControlNumber control);
    void unhide(ControlNumber control);
    // Redisplay from the bound variables: every control, or one.
    void display();
    void display(ControlNumber control);
    // Copy the controls' contents into their variables: every control, or one.
    void update();
    void update(ControlNumber control);
    // Appends a menu item to a menu; returns its new number (unused in the window).
    ControlNumber createMenuItem(ControlNumber parentMenu);
    void makeCheckItem(ControlNumber control);
    void setText(ControlNumber control, const std::string& text);
    // The current row of a list (1-based), 0 when none.
    std::size_t listChoice(ControlNumber list) const;
    void selectListRow(ControlNumber list, std::size_t position);
    // The window's native handle: its top-level widget.
    QWidget* nativeHandle() const;
    // Ends the window's event loop once the current handler has returned.
    void postCloseWindow();
    // The close-window event has been posted and the window is not closed yet.
    bool closePending() const;

    // The accepted-control handler, called for every menu choice, button
    // press, list selection, check box change and finished entry edit. A check
    // item or check box flips its variable before the handler runs.
    void setAcceptedHandler(std::function<void(ControlNumber)> handler);
    // Runs the window's event loop until the close-window event.
    void runEventLoop();
    // Called when the window is sized, maximised, restored or gains the focus.
    void setSizeEventHandler(std::function<void()> handler);

    // Queries, for the resizer and for tests.
    std::vector<ControlNumber> controls() const;  // every numbered control, menus included
    bool exists(ControlNumber control) const;
    Kind kind(ControlNumber control) const;
    ControlNumber numberOf(const std::string& useName) const;  // 0 when none
    std::string text(ControlNumber control) const;
    std::string useName(ControlNumber control) const;
    bool isEnabled(ControlNumber control) const;
    bool isHidden(ControlNumber control) const;
    bool isChecked(ControlNumber control) const;
    QWidget* widget(ControlNumber control) const;   // nullptr for menu items
    QAction* action(ControlNumber control) const;   // menu items and menus
    // The children of a menu in display order (0 for separators).
    std::vector<ControlNumber> menuChildren(ControlNumber menu) const;
    Rect controlRectDu(ControlNumber control) const;
    void setControlRectDu(ControlNumber control, const Rect& rect);

    // Dialog units of the window's font to pixels and back.
    QRect toPixels(const Rect& du) const;
    Rect toDialogUnits(const QRect& px) const;

    // capture::CaptureHost
    QWidget* hostWidget() const override;
    std::optional<QRect> controlRect(capture::ControlNumber control) const override;

    // PlacedWindow (dialog units)
    bool isMaximized() const override;
    bool isMinimized() const override;
    bool isResizable() const override;
    int x() const override;
    int y() const override;
    int width() const override;
    int height() const override;
    void setX(int x) override;
    void setY(int y) override;
    void setWidth(int width) override;
    void setHeight(int height) override;
    void showMaximized() override;
    void showNormal() override;
    void setMinimized(bool minimized) override;
    // Brings a window placed out of every screen's reach (a stale or hand-edited
    // position) back onto the primary screen; its size is kept.
    void keepOnScreen();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The innermost open window of this thread (the one whose handler runs), or nullptr.
Window* activeWindow();
// Every open window of this thread, the first opened first.
std::vector<Window*> openWindows();

}  // namespace platform
