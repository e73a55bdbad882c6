// The proportional window resizer.

#include "platform/framework/window_resizer.h"

#include "platform/framework/dialog_units.h"
#include "tests/framework/test_layout.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace framework_test {
namespace {

using platform::Rect;
using platform::Window;

auto tie(const Rect& r) { return std::make_tuple(r.x, r.y, r.width, r.height); }

class ResizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.open();
        resizer.prepare(window);
    }
    void TearDown() override { window.close(); }

    Window window{testLayout()};  // 200 x 120
    platform::WindowResizer resizer;
};

TEST_F(ResizerTest, DoubleWidthDoublesXAndWidthOnly) {
    window.setWidth(400);  // the size event lays the controls out
    EXPECT_EQ(window.width(), 400);
    EXPECT_EQ(tie(window.controlRectDu(OK_BUTTON)), std::make_tuple(300, 40, 90, 14));
    EXPECT_EQ(tie(window.controlRectDu(BOX)), std::make_tuple(8, 4, 160, 60));
    EXPECT_EQ(window.widget(OK_BUTTON)->geometry(), window.toPixels({300, 40, 90, 14}));
}

TEST_F(ResizerTest, ScalesFromTheReferenceNotTheCurrentRectangle) {
    window.setWidth(400);
    window.setHeight(240);
    window.setWidth(300);
    window.setHeight(60);
    // 150 * 300 / 200, 40 * 60 / 120, 45 * 300 / 200 (rounded), 14 * 60 / 120
    EXPECT_EQ(tie(window.controlRectDu(OK_BUTTON)), std::make_tuple(225, 20, 68, 7));
    window.setWidth(200);
    window.setHeight(120);
    EXPECT_EQ(tie(window.controlRectDu(OK_BUTTON)), std::make_tuple(150, 40, 45, 14));
}

TEST_F(ResizerTest, TheSameSizeDoesNothing) {
    window.setControlRectDu(OK_BUTTON, {1, 2, 3, 4});
    resizer.resize();
    EXPECT_EQ(tie(window.controlRectDu(OK_BUTTON)), std::make_tuple(1, 2, 3, 4));
}

TEST_F(ResizerTest, LeavesChildWidgetsOfOthersAlone) {
    auto* capture = new QWidget(window.hostWidget());
    const QRect placed = *window.controlRect(BOX);
    capture->setGeometry(placed);
    window.setWidth(400);
    EXPECT_EQ(capture->geometry(), placed);
    EXPECT_NE(*window.controlRect(BOX), placed);
}

TEST_F(ResizerTest, MaximisingLaysTheControlsOutForTheNewSize) {
    window.showMaximized();
    // The window system reports the new geometry through the event queue.
    for (int i = 0; i < 100 && window.width() == 200; ++i) QCoreApplication::processEvents();
    ASSERT_NE(window.width(), 200);
    const platform::Rect ok = window.controlRectDu(OK_BUTTON);
    EXPECT_EQ(ok.x, platform::detail::mulDiv(150, window.width(), 200));
    EXPECT_EQ(ok.y, platform::detail::mulDiv(40, window.height(), 120));
    window.showNormal();
}

TEST_F(ResizerTest, ReleasedItActsNoMore) {
    resizer.release();
    window.setWidth(400);
    EXPECT_EQ(tie(window.controlRectDu(OK_BUTTON)), std::make_tuple(150, 40, 45, 14));
}

}  // namespace
}  // namespace framework_test
