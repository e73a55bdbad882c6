// The window resizer: a saved size is applied at open and every control is
// laid out in proportion to it before the window is first used.

#include "tests/mainwin/main_fixture.h"

#include "platform/profile.h"

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

}  // namespace
}  // namespace mainwin_test
