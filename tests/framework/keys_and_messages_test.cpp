// Enter and the default button; the message box; the message recorder.

#include "platform/framework/message.h"
#include "platform/framework/window.h"
#include "tests/framework/test_layout.h"
#include "tests/support/message_recorder.h"
#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace framework_test {
namespace {

using platform::ControlNumber;
using platform::Window;

// Which buttons Enter presses in a window whose buttons 8 and 9 are marked default as given.
std::vector<ControlNumber> pressEnterWith(bool okDefault, bool closeDefault, bool focusEntry) {
    platform::WindowDecl decl = testLayout();
    decl.controls[8].defaultButton = okDefault;
    decl.controls[9].defaultButton = closeDefault;
    Window window(decl);
    std::vector<ControlNumber> pressed;
    window.setAcceptedHandler([&](ControlNumber c) {
        if (c == OK_BUTTON || c == CLOSE_BUTTON) pressed.push_back(c);
    });
    window.setFirstFocus(focusEntry ? FPS_ENTRY : OK_BUTTON);
    testing_support::ScriptedUser user;
    user.pressEnter().then([](Window& w) { w.postCloseWindow(); });
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    return pressed;
}

TEST(DefaultButton, EnterPressesIt) {
    EXPECT_EQ(pressEnterWith(true, false, true), std::vector<ControlNumber>{OK_BUTTON});
    EXPECT_EQ(pressEnterWith(true, false, false), std::vector<ControlNumber>{OK_BUTTON});
}

TEST(DefaultButton, TheLastOneMarkedIsTheDefault) {
    EXPECT_EQ(pressEnterWith(true, true, true), std::vector<ControlNumber>{CLOSE_BUTTON});
}

TEST(DefaultButton, WithoutOneEnterDoesNothing) {
    EXPECT_TRUE(pressEnterWith(false, false, true).empty());
    EXPECT_TRUE(pressEnterWith(false, false, false).empty());
}

TEST(DefaultButton, EnterInAnEditedEntryAcceptsTheEntryFirst) {
    platform::WindowDecl decl = testLayout();
    decl.controls[8].defaultButton = true;
    Window window(decl);
    std::int32_t fps = 15;
    window.bind(FPS_ENTRY, &fps);
    std::vector<std::pair<ControlNumber, std::int32_t>> seen;
    window.setAcceptedHandler([&](ControlNumber c) { seen.emplace_back(c, fps); });
    window.setFirstFocus(FPS_ENTRY);
    testing_support::ScriptedUser user;
    user.then([](Window& w) {
            // Typed, still in the field: Enter both finishes the edit and presses the default button.
            auto* edit = static_cast<QLineEdit*>(w.widget(FPS_ENTRY));
            edit->setFocus();
            edit->selectAll();
            edit->insert("30");
        })
        .pressEnter()
        .then([](Window& w) { w.postCloseWindow(); });
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    EXPECT_EQ(seen, (std::vector<std::pair<ControlNumber, std::int32_t>>{{FPS_ENTRY, 30}, {OK_BUTTON, 30}}));
}

TEST(DefaultButton, ADisabledDefaultButtonIsNotPressed) {
    platform::WindowDecl decl = testLayout();
    decl.controls[8].defaultButton = true;
    decl.controls[8].disabled = true;
    Window window(decl);
    int pressed = 0;
    window.setAcceptedHandler([&](ControlNumber) { ++pressed; });
    testing_support::ScriptedUser user;
    user.pressEnter().then([](Window& w) { w.postCloseWindow(); });
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    EXPECT_EQ(pressed, 0);
}

TEST(MessageBox, TheTextAloneNoTitleNoIconOneOk) {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QStringList buttons;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        modal = box->isModal();
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        for (QAbstractButton* button : box->buttons()) buttons << button->text();
        box->button(QMessageBox::Ok)->click();
    });
    platform::message("File capture.jpg was created");
    EXPECT_TRUE(modal);
    EXPECT_EQ(text, "File capture.jpg was created");
    EXPECT_TRUE(title.isEmpty());
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, QStringList{"OK"});
}

TEST(MessageBox, TheRecorderTakesItsPlaceWhileItLives) {
    {
        testing_support::MessageRecorder recorder;
        platform::message("Could not capture frame");
        platform::message("second");
        EXPECT_EQ(recorder.messages(), (std::vector<std::string>{"Could not capture frame", "second"}));
    }
    // Without the recorder the box is back.
    bool boxShown = false;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxShown = true;
            box->accept();
        }
    });
    platform::message("box again");
    EXPECT_TRUE(boxShown);
}

}  // namespace
}  // namespace framework_test
