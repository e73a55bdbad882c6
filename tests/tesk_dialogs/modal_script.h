#pragma once
// A scripted user for modal dialogs: each step runs inside the event loop of
// the modal widget that is active when it comes up (the dialog, or a message
// box the dialog opens), so a step sees the dialog exactly as a user would.

#include <gtest/gtest.h>

#include <QObject>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace tesk_test {

class ModalScript {
public:
    using Step = std::function<void(QWidget&)>;

    ModalScript& then(Step step);

    // Runs `body`, which opens the dialog and returns when it closes. Fails
    // the test when steps are left over, or when a dialog is still open after
    // the last step (it is then closed so the test goes on).
    void run(const std::function<void()>& body);

private:
    void poll();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int idlePolls_ = 0;
    bool running_ = false;
    QObject context_;
};

// Widget lookups by object name; a missing widget fails the test.
template <class T>
T* find(QWidget& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromLatin1(name));
    if (!found) ADD_FAILURE_AT(__FILE__, __LINE__) << "no widget named " << name;
    return found;
}

// What a user does with the mouse and keyboard, by object name.
void click(QWidget& dialog, const char* name);
void choose(QWidget& dialog, const char* comboName, const QString& entryText);
void setSpin(QWidget& dialog, const char* name, int value);
void setSlider(QWidget& dialog, const char* name, int value);
void tick(QWidget& dialog, const char* name, bool on);
// Replaces the text of a line edit as typing would (within its maximum
// length), then leaves the box, which finishes the edit.
void typeText(QWidget& dialog, const char* name, const QString& text);
QString comboText(QWidget& dialog, const char* name);
QStringList comboEntries(QWidget& dialog, const char* name);

}  // namespace tesk_test
