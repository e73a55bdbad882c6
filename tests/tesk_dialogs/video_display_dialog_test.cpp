// The Video Display dialog.

#include "modal_script.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <QCheckBox>

#include <gtest/gtest.h>

namespace {

using namespace tesk;
using namespace tesk_test;

TEST(VideoDisplayDialog, ShowsAndReturnsTheChoice) {
    for (const DisplayChoice start : {DisplayChoice{true, false}, DisplayChoice{false, true}}) {
        DisplayChoice choice = start;
        bool confirmed = false;
        ModalScript script;
        script.then([&](QWidget& d) {
            EXPECT_EQ(find<QCheckBox>(d, "keepAspect")->isChecked(), start.keepAspect);
            EXPECT_EQ(find<QCheckBox>(d, "showFrameInfo")->isChecked(), start.showFrameInfo);
            tick(d, "keepAspect", !start.keepAspect);
            tick(d, "showFrameInfo", !start.showFrameInfo);
            click(d, "ok");
        });
        script.run([&] { confirmed = showVideoDisplayDialog(nullptr, choice); });
        EXPECT_TRUE(confirmed);
        EXPECT_EQ(choice, (DisplayChoice{!start.keepAspect, !start.showFrameInfo}));
    }
}

TEST(VideoDisplayDialog, CancelKeepsTheChoice) {
    DisplayChoice choice{true, false};
    ModalScript script;
    script.then([](QWidget& d) {
        tick(d, "keepAspect", false);
        click(d, "cancel");
    });
    script.run([&] { EXPECT_FALSE(showVideoDisplayDialog(nullptr, choice)); });
    EXPECT_EQ(choice, (DisplayChoice{true, false}));
}

}  // namespace
