// The window resizer: a saved size is applied at open and every control is
// laid out in proportion to it before the window is first used.

#include "tests/mainwin/main_fixture.h"

#include "platform/profile.h"

#include <QCoreApplication>
#include <QWidget>

#include <map>

namespace mainwin_test {
namespace {

using namespace mainwin;

std::map<ControlNumber, platform::Rect> windowControls(const Window& w) {
    std::map<ControlNumber, platform::Rect> rects;
    for (ControlNumber c = REGION1; c <= CANCELBUTTON; ++c) rects[c] = w.controlRectDu(c);
    return rects;
}

TEST_F(MainWindowTest, SavedDoubleWidthDoublesEveryControlsXAndWidthOnly) {
    std::map<ControlNumber, platform::Rect> reference;
    user.then([&](Window& w) { reference = windowControls(w); }).press(CANCELBUTTON);
    runMain();
    ASSERT_EQ(reference.size(), 13u);
    ASSERT_TRUE(profile::WritePrivateProfileString("Main", "Width", "798", "orvane.INI"));

    std::map<ControlNumber, platform::Rect> doubled;
    user.then([&](Window& w) {
            EXPECT_EQ(w.width(), 798);
            EXPECT_EQ(w.height(), 242);
            doubled = windowControls(w);
        })
        .press(CANCELBUTTON);
    runMain();

    ASSERT_EQ(doubled.size(), reference.size());
    for (const auto& [control, before] : reference) {
        SCOPED_TRACE(control);
        const platform::Rect after = doubled[control];
        // One dialog unit of rounding either way.
        EXPECT_NEAR(after.x, 2 * before.x, 1);
        EXPECT_NEAR(after.width, 2 * before.width, 1);
        EXPECT_NEAR(after.y, before.y, 1);
        EXPECT_NEAR(after.height, before.height, 1);
    }
    // The texts inside the box and the region stay inside them.
    const auto inside = [&](ControlNumber inner, ControlNumber outer) {
        const platform::Rect i = doubled[inner], o = doubled[outer];
        EXPECT_GE(i.x, o.x);
        EXPECT_LE(i.x, o.x + o.width);
        EXPECT_GE(i.y, o.y);
        EXPECT_LE(i.y, o.y + o.height);
    };
    inside(STRING1, CAPREG);
    inside(PROMPT2, REGION1);
    EXPECT_EQ(profile::GetPrivateProfileString("Main", "Width", "", "orvane.INI"), "798");
}

void expectRect(const platform::Rect& actual, const platform::Rect& expected) {
    // One dialog unit of rounding either way.
    EXPECT_NEAR(actual.x, expected.x, 1);
    EXPECT_NEAR(actual.y, expected.y, 1);
    EXPECT_NEAR(actual.width, expected.width, 1);
    EXPECT_NEAR(actual.height, expected.height, 1);
}

TEST_F(MainWindowTest, SizingTheOpenWindowKeepsTheLayoutInProportionToTheReference) {
    std::map<ControlNumber, platform::Rect> reference;
    QWidget* stranger = nullptr;  // stands for the capture window the component places in the box
    QRect strangerAt;
    const auto sizeTo = [](Window& w, int width, int height) {
        w.setWidth(width);
        w.setHeight(height);
        QCoreApplication::processEvents();
        ASSERT_EQ(w.width(), width);
        ASSERT_EQ(w.height(), height);
    };
    user.then([&](Window& w) {
        reference = windowControls(w);
        const QRect box = *w.controlRect(CAPREG);
        stranger = new QWidget(w.widget(CAPREG)->parentWidget());
        stranger->setGeometry(box.adjusted(2, 2, -2, -2));
        stranger->show();
        strangerAt = stranger->geometry();
    });
    user.then([&](Window& w) {
        sizeTo(w, 798, 484);
        for (const auto& [control, before] : reference) {
            SCOPED_TRACE(control);
            expectRect(w.controlRectDu(control), {2 * before.x, 2 * before.y, 2 * before.width, 2 * before.height});
        }
        EXPECT_EQ(stranger->geometry(), strangerAt);
    });
    user.then([&](Window& w) {
        // From the reference layout, not from the current one: back at 399 x 242 every rectangle is as opened.
        sizeTo(w, 600, 300);
        sizeTo(w, 399, 242);
        for (const auto& [control, before] : reference) {
            SCOPED_TRACE(control);
            const platform::Rect after = w.controlRectDu(control);
            EXPECT_EQ(after.x, before.x);
            EXPECT_EQ(after.y, before.y);
            EXPECT_EQ(after.width, before.width);
            EXPECT_EQ(after.height, before.height);
        }
        EXPECT_EQ(stranger->geometry(), strangerAt);
    });
    user.then([&](Window& w) {
        // Maximised: laid out for the maximised size.
        w.showMaximized();
        QCoreApplication::processEvents();
        ASSERT_TRUE(w.isMaximized());
        const double sx = double(w.width()) / 399, sy = double(w.height()) / 242;
        ASSERT_GT(w.width(), 399);
        const platform::Rect box = reference[CAPREG];
        expectRect(w.controlRectDu(CAPREG), {int(box.x * sx), int(box.y * sy), int(box.width * sx), int(box.height * sy)});
        EXPECT_EQ(stranger->geometry(), strangerAt);
    });
    user.press(CANCELBUTTON);
    runMain();
    EXPECT_EQ(reference.size(), 13u);
}

}  // namespace
}  // namespace mainwin_test
