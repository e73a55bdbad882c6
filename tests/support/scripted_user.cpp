#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace testing_support {
namespace {

using platform::ControlNumber;
using platform::Window;

std::string bare(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '&') out += c;
    return out;
}

std::string describe(const ControlRef& ref) {
    if (const auto* number = std::get_if<ControlNumber>(&ref)) return "control " + std::to_string(*number);
    return "\"" + std::get<std::string>(ref) + "\"";
}

std::string title(const Window& window) { return "\"" + window.decl().title + "\""; }

// A control by number, by use name ("?NAME") or by visible text (with or
// without its ampersands); among equal texts an enabled, visible one wins.
ControlNumber resolve(const Window& window, const ControlRef& ref) {
    if (const auto* number = std::get_if<ControlNumber>(&ref)) return window.exists(*number) ? *number : 0;
    const std::string& name = std::get<std::string>(ref);
    if (!name.empty() && name.front() == '?') return window.numberOf(name);
    ControlNumber found = 0;
    for (ControlNumber control : window.controls()) {
        const std::string text = window.text(control);
        if (text != name && bare(text) != bare(name)) continue;
        if (window.isEnabled(control) && !window.isHidden(control)) return control;
        if (found == 0) found = control;
    }
    return found != 0 ? found : window.numberOf(name);
}

// Why a user could not reach the control, or empty when it can be used.
std::string unusable(const Window& window, ControlNumber control) {
    for (ControlNumber c = control; c != 0;) {
        if (window.isHidden(c)) return c == control ? "it is hidden" : "its menu is hidden";
        if (!window.isEnabled(c)) return c == control ? "it is disabled" : "its menu is disabled";
        // Walk up to the menu that holds a menu item.
        ControlNumber parent = 0;
        if (window.action(c) && window.kind(c) != platform::Kind::Menu)
            for (ControlNumber m : window.controls())
                if (window.kind(m) == platform::Kind::Menu)
                    for (ControlNumber child : window.menuChildren(m))
                        if (child == c) parent = m;
        c = parent;
    }
    return {};
}

}  // namespace

ScriptedUser::ScriptedUser() = default;
ScriptedUser::~ScriptedUser() = default;

// Every step acts on the active window; a step that cannot act as a user
// would fails the test with `error` and ends the script.
ScriptedUser& ScriptedUser::add(std::string description, std::function<bool(std::string&)> step) {
    steps_.push_back([this, description = std::move(description), step = std::move(step)] {
        std::string error;
        if (step(error)) return true;
        fail("step " + std::to_string(next_) + " (" + description + "): " + error);
        return false;
    });
    return *this;
}

namespace {

// The active framework window, unless a modal box stands in front of it.
Window* target(std::string& error) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        error = "a modal box is open in front of the windows (\"" + modal->windowTitle().toStdString() +
                "\"); dismiss it first";
        return nullptr;
    }
    Window* window = platform::activeWindow();
    if (!window) error = "no window is open";
    return window;
}

}  // namespace

ScriptedUser& ScriptedUser::choose(ControlRef ref) {
    return add("choose " + describe(ref), [ref](std::string& error) {
        Window* window = target(error);
        if (!window) return false;
        const ControlNumber control = resolve(*window, ref);
        if (control == 0) {
            error = title(*window) + " has no such control";
            return false;
        }
        if (const std::string why = unusable(*window, control); !why.empty()) {
            error = "cannot choose it in " + title(*window) + ": " + why;
            return false;
        }
        if (QAction* action = window->action(control)) {
            if (window->kind(control) == platform::Kind::Menu) {
                error = "it is a menu, not a menu item";
                return false;
            }
            action->trigger();
            return true;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(window->widget(control))) {
            button->click();
            return true;
        }
        error = "it is neither a button nor a menu item";
        return false;
    });
}

ScriptedUser& ScriptedUser::selectRow(ControlRef ref, int position) {
    return add("select row " + std::to_string(position) + " of " + describe(ref), [ref, position](std::string& error) {
        Window* window = target(error);
        if (!window) return false;
        const ControlNumber control = resolve(*window, ref);
        auto* combo = control ? qobject_cast<QComboBox*>(window->widget(control)) : nullptr;
        if (!combo) {
            error = title(*window) + " has no such list";
            return false;
        }
        if (const std::string why = unusable(*window, control); !why.empty()) {
            error = "cannot use the list: " + why;
            return false;
        }
        if (position < 1 || position > combo->count()) {
            error = "the list has " + std::to_string(combo->count()) + " rows";
            return false;
        }
        combo->setCurrentIndex(position - 1);
        emit combo->activated(position - 1);
        return true;
    });
}

ScriptedUser& ScriptedUser::type(ControlRef ref, const std::string& text) {
    return add("type \"" + text + "\" into " + describe(ref), [ref, text](std::string& error) {
        Window* window = target(error);
        if (!window) return false;
        const ControlNumber control = resolve(*window, ref);
        QWidget* widget = control ? window->widget(control) : nullptr;
        auto* spin = qobject_cast<QAbstractSpinBox*>(widget);
        auto* edit = spin ? spin->findChild<QLineEdit*>() : qobject_cast<QLineEdit*>(widget);
        if (!edit) {
            error = title(*window) + " has no such entry";
            return false;
        }
        if (const std::string why = unusable(*window, control); !why.empty()) {
            error = "cannot type into it: " + why;
            return false;
        }
        widget->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        edit->del();
        // Character by character, so that the field's picture refuses what it does not take.
        for (const QChar c : QString::fromStdString(text)) edit->insert(QString(c));
        edit->setModified(true);
        // Leaving the field finishes the edit.
        if (spin) {
            spin->interpretText();
            emit spin->editingFinished();
        } else {
            emit edit->editingFinished();
        }
        return true;
    });
}

ScriptedUser& ScriptedUser::tick(ControlRef ref, bool on) {
    return add(std::string(on ? "tick " : "clear ") + describe(ref), [ref, on](std::string& error) {
        Window* window = target(error);
        if (!window) return false;
        const ControlNumber control = resolve(*window, ref);
        auto* box = control ? qobject_cast<QCheckBox*>(window->widget(control)) : nullptr;
        if (!box) {
            error = title(*window) + " has no such check box";
            return false;
        }
        if (const std::string why = unusable(*window, control); !why.empty()) {
            error = "cannot tick it: " + why;
            return false;
        }
        if (box->isChecked() != on) box->click();
        return true;
    });
}

ScriptedUser& ScriptedUser::pressEnter() {
    return add("press Enter", [](std::string& error) {
        Window* window = target(error);
        if (!window) return false;
        QWidget* top = window->nativeHandle();
        QWidget* focus = QApplication::focusWidget();
        if (!focus || focus->window() != top) focus = top->focusWidget();
        if (!focus) focus = top;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(focus, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(focus, &release);
        return true;
    });
}

ScriptedUser& ScriptedUser::closeFromSystemMenu() {
    return add("close from the system menu", [](std::string& error) {
        Window* window = target(error);
        if (!window) return false;
        if (!window->decl().systemMenu) {
            error = title(*window) + " has no system menu and no close box";
            return false;
        }
        window->nativeHandle()->close();
        return true;
    });
}

ScriptedUser& ScriptedUser::then(std::function<void(platform::Window&)> step) {
    return add("check", [step = std::move(step)](std::string& error) {
        Window* window = target(error);
        if (!window) return false;
        step(*window);
        return true;
    });
}

ScriptedUser& ScriptedUser::acceptModal() {
    return add("dismiss the modal box", [](std::string& error) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            error = "no modal box is open";
            return false;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            if (!ok) ok = box->defaultButton();
            if (ok) ok->click();
            else box->done(0);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->accept();
        } else {
            modal->close();
        }
        return true;
    });
}

void ScriptedUser::run(const std::function<void()>& body) {
    failed_ = false;
    running_.clear();
    startPump();
    body();
    for (auto& pump : pumps_) pump->stop();
    pumps_.clear();
    if (!failed_ && next_ < steps_.size())
        ADD_FAILURE() << "the windows closed with " << steps_.size() - next_ << " scripted step(s) left over";
}

std::size_t ScriptedUser::pending() const { return steps_.size() - next_; }

// A fresh timer for every step: a timer does not fire again inside its own
// handler, and the next step may have to run in a loop the current one opens.
void ScriptedUser::startPump() {
    for (auto& pump : pumps_) pump->stop();
    auto pump = std::make_unique<QTimer>();
    // 1 ms rather than 0: a zero timer would spin while a step waits inside someone else's loop.
    pump->setInterval(1);
    pump->setTimerType(Qt::PreciseTimer);
    QObject::connect(pump.get(), &QTimer::timeout, pump.get(), [this] { this->pump(); });
    pump->start();
    pumps_.push_back(std::move(pump));
}

void ScriptedUser::pump() {
    if (failed_) {
        closeEverything();
        return;
    }
    Window* active = platform::activeWindow();
    QWidget* modal = QApplication::activeModalWidget();
    // A window whose close is posted is on its way out: its next step is not for it.
    if (active && active->closePending()) return;
    if (!running_.empty()) {
        const Running& outer = running_.back();
        const bool nested = platform::openWindows().size() > outer.windows || (modal && modal != outer.modal);
        if (!nested) return;
    }
    if (next_ >= steps_.size()) {
        if (running_.empty() && active && !modal)
            fail("the script ended while " + title(*active) + " is still open");
        return;
    }
    const std::size_t index = next_++;
    running_.push_back(Running{platform::openWindows().size(), modal});
    startPump();
    steps_[index]();
    running_.pop_back();
}

void ScriptedUser::fail(const std::string& why) {
    if (failed_) return;
    failed_ = true;
    ADD_FAILURE() << "scripted user: " << why;
    closeEverything();
}

// After a failure: dismiss boxes and close every window, so the test ends
// instead of waiting for a user.
void ScriptedUser::closeEverything() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        else modal->close();
        return;
    }
    for (Window* window : platform::openWindows())
        if (!window->closePending()) window->postCloseWindow();
}

}  // namespace testing_support
