#pragma once
// A scripted user: a list of steps that run one by one inside the real event
// loops of the windows, each against the window that is active when it runs
// (so steps reach into nested dialogs too). Controls are named by number,
// by use name ("?STARTCAPTURE") or by visible text ("Start Capture",
// "&Preview": ampersands may be left out).

#include "platform/framework/window.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class QTimer;
class QWidget;

namespace testing_support {

using ControlRef = std::variant<platform::ControlNumber, std::string>;

class ScriptedUser {
public:
    ScriptedUser();
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    // Choose a menu item (through its menu) or press a button, as a mouse would.
    ScriptedUser& choose(ControlRef control);
    ScriptedUser& press(ControlRef button) { return choose(std::move(button)); }
    // Select a row (1-based) of a list.
    ScriptedUser& selectRow(ControlRef list, int position);
    // Replace an entry's text, as typed, then leave the field.
    ScriptedUser& type(ControlRef entry, const std::string& text);
    // Tick or clear a check box.
    ScriptedUser& tick(ControlRef checkBox, bool on);
    // Press Enter in the active window (presses its default button, if any).
    ScriptedUser& pressEnter();
    // Close the active window from its system menu (title-bar close).
    ScriptedUser& closeFromSystemMenu();
    // Any check or action against the active window.
    ScriptedUser& then(std::function<void(platform::Window&)> step);
    // Dismiss a modal box or dialog that is not a framework window (OK).
    ScriptedUser& acceptModal();

    // Runs `body` (which opens a window and returns when it closes) while the
    // steps play. Fails the current test when steps are left over or a step
    // finds no active window.
    void run(const std::function<void()>& body);

    std::size_t pending() const;

private:
    // Where a step started: a step that opens a window or a modal box lets
    // the next step run inside it.
    struct Running {
        std::size_t windows = 0;
        QWidget* modal = nullptr;
    };
    void pump();
    void startPump();
    void fail(const std::string& why);
    void closeEverything();
    ScriptedUser& add(std::string description, std::function<bool(std::string&)> step);

    std::vector<std::function<bool()>> steps_;
    std::size_t next_ = 0;
    std::vector<Running> running_;
    std::vector<std::unique_ptr<QTimer>> pumps_;
    bool failed_ = false;
};

}  // namespace testing_support
