// The window-procedure frame: set-up, event loop, handler and teardown in
// their order; nonzero levels; repeated teardown; nested dialogs.

#include "shell/window_procedure.h"
#include "tests/framework/frame_fixture.h"
#include "tests/framework/test_layout.h"
#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace framework_test {
namespace {

using platform::ControlNumber;

platform::WindowDecl dialogLayout(bool systemMenu) {
    platform::WindowDecl decl;
    decl.title = "Dialog";
    decl.width = 100;
    decl.height = 60;
    decl.frame = platform::Frame::Double;
    decl.systemMenu = systemMenu;
    decl.controls = {
        ControlDecl{.kind = Kind::Button, .text = "&OK", .useName = "?OKBUTTON", .at = {10, 40, 35, 14}},
        ControlDecl{.kind = Kind::Button, .text = "&Cancel", .useName = "?CANCELBUTTON", .at = {55, 40, 35, 14}},
    };
    return decl;
}

// A procedure that logs every step it is given and closes on "&Cancel" or "&Close".
class LoggingProcedure : public shell::WindowProcedure {
public:
    LoggingProcedure(shell::Runtime& runtime, std::string name, const platform::WindowDecl& layout,
                     std::vector<std::string>& log)
        : WindowProcedure(runtime, std::move(name), layout), log_(log) {}

    int setUpLevel = 0;
    std::function<void(ControlNumber)> onAccepted;

protected:
    int frameworkSetUp() override {
        log_.push_back(procedureName() + ":frameworkSetUp");
        return setUpLevel;
    }
    void afterOpen() override { log_.push_back(procedureName() + ":afterOpen open=" + std::to_string(window().isOpen())); }
    void setUpSteps() override { log_.push_back(procedureName() + ":setUpSteps"); }
    int takeAccepted(ControlNumber control) override {
        log_.push_back(procedureName() + ":accepted " + std::to_string(control));
        if (onAccepted) onAccepted(control);
        if (window().text(control) == "&Cancel" || window().text(control) == "&Close") window().postCloseWindow();
        return frameworkHandling(control);
    }
    void tearDownSteps() override { log_.push_back(procedureName() + ":tearDownSteps"); }
    int frameworkTearDown() override {
        const int level = WindowProcedure::frameworkTearDown();
        log_.push_back(procedureName() + ":frameworkTearDown " + std::to_string(level));
        return level;
    }

private:
    std::vector<std::string>& log_;
};

TEST_F(FrameTest, RunsSetUpLoopAndTeardownInOrderAndKeepsThePosition) {
    writeIni("Dialog", "Maximize", "No");
    writeIni("Dialog", "XPos", "40");
    writeIni("Dialog", "YPos", "20");
    std::vector<std::string> log;
    LoggingProcedure dialog(runtime, "Dialog", dialogLayout(false), log);
    testing_support::ScriptedUser user;
    user.then([&](platform::Window& w) {
            log.push_back("loop: current " + errors.currentProcedure());
            EXPECT_EQ(w.x(), 40);  // restored from the settings file
            EXPECT_EQ(w.y(), 20);
            w.setX(48);
        })
        .press("&OK")
        .press("&Cancel");
    user.run([&] { dialog.run(); });
    EXPECT_EQ(log, (std::vector<std::string>{"Dialog:frameworkSetUp", "Dialog:afterOpen open=1", "Dialog:setUpSteps",
                                             "loop: current Dialog", "Dialog:accepted 1", "Dialog:accepted 2",
                                             "Dialog:tearDownSteps", "Dialog:frameworkTearDown 0"}));
    EXPECT_TRUE(dialog.opened());
    EXPECT_FALSE(dialog.window().isOpen());
    EXPECT_EQ(ini("Dialog", "XPos"), "48");
    EXPECT_EQ(ini("Dialog", "Width"), "(none)");  // a fixed frame keeps no size
    EXPECT_TRUE(errors.procedures().empty());
}

TEST_F(FrameTest, WithoutASettingsFileWindowsOpenAtTheirLayoutPlaceAndTheFileFollows) {
    ASSERT_FALSE(QFileInfo::exists(QString::fromStdString(profile::resolvePath("orvane.INI"))));
    platform::WindowDecl placed = dialogLayout(true);
    placed.title = "Placed";
    placed.x = 30;
    placed.y = 20;
    std::vector<std::string> log;
    LoggingProcedure centred(runtime, "Centred", dialogLayout(true), log);
    LoggingProcedure atItsPlace(runtime, "Placed", placed, log);
    QPoint centredAt;
    testing_support::ScriptedUser user;
    user.then([&](platform::Window& w) {
            // No position in the layout: the framework centres the window on the screen.
            QRect expected(QPoint(0, 0), w.nativeHandle()->size());
            expected.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
            EXPECT_EQ(w.nativeHandle()->pos(), expected.topLeft());
            centredAt = w.nativeHandle()->pos();
        })
        .press("&Cancel");
    user.run([&] { centred.run(); });
    testing_support::ScriptedUser second;
    second.then([&](platform::Window& w) { EXPECT_EQ(std::make_pair(w.x(), w.y()), std::make_pair(30, 20)); })
        .press("&Cancel");
    second.run([&] { atItsPlace.run(); });
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(profile::resolvePath("orvane.INI"))));
    EXPECT_EQ(ini("Centred", "XPos"), std::to_string(centred.window().toDialogUnits(QRect(centredAt, QSize())).x));
    EXPECT_EQ(ini("Placed", "XPos"), "30");
    EXPECT_EQ(ini("Placed", "YPos"), "20");
}

TEST_F(FrameTest, NonzeroSetUpLevelSkipsOpenAndRestoreButStillTearsDown) {
    writeIni("Dialog", "Maximize", "No");
    writeIni("Dialog", "XPos", "40");
    std::vector<std::string> log;
    LoggingProcedure dialog(runtime, "Dialog", dialogLayout(false), log);
    dialog.setUpLevel = 3;
    dialog.run();
    EXPECT_EQ(log, (std::vector<std::string>{"Dialog:frameworkSetUp", "Dialog:tearDownSteps",
                                             "Dialog:frameworkTearDown 0"}));
    EXPECT_FALSE(dialog.opened());
    EXPECT_NE(dialog.window().x(), 40);
    EXPECT_EQ(ini("Dialog", "Maximize"), "No");    // untouched
    EXPECT_EQ(ini("Dialog", "YPos"), "(none)");    // nothing saved
    EXPECT_TRUE(errors.procedures().empty());      // registered and unregistered
    EXPECT_EQ(dialog.setUp(), 3);                  // the level is what set-up returns
    errors.unregisterProcedure();
}

TEST_F(FrameTest, RepeatedTeardownRepeatsWindowStepsOnly) {
    std::vector<std::string> log;
    errors.registerProcedure("Outer");
    LoggingProcedure dialog(runtime, "Dialog", dialogLayout(false), log);
    ASSERT_EQ(dialog.setUp(), 0);
    EXPECT_EQ(dialog.tearDown(), 0);
    EXPECT_EQ(errors.procedures(), std::vector<std::string>{"Outer"});
    profile::WritePrivateProfileString("Dialog", "XPos", std::nullopt, "orvane.INI");
    log.clear();
    EXPECT_NE(dialog.tearDown(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"Dialog:tearDownSteps", "Dialog:frameworkTearDown 1"}));
    EXPECT_EQ(ini("Dialog", "XPos"), "(none)");                            // no second save
    EXPECT_EQ(errors.procedures(), std::vector<std::string>{"Outer"});    // no second unregister
}

TEST_F(FrameTest, ADialogNestsInTheCallersHandlerWhileTheCallerIsDisabled) {
    std::vector<std::string> log;
    LoggingProcedure main(runtime, "Main", testLayout(), log);
    std::vector<std::string> during;
    main.onAccepted = [&](ControlNumber control) {
        if (control != OK_BUTTON) return;
        LoggingProcedure dialog(runtime, "Dialog", dialogLayout(true), log);
        dialog.run();
        log.push_back("Main: dialog returned");
    };
    testing_support::ScriptedUser user;
    user.press("&OK")
        .then([&](platform::Window& active) {
            EXPECT_EQ(active.decl().title, "Dialog");
            EXPECT_EQ(errors.procedures(), (std::vector<std::string>{"Main", "Dialog"}));
            EXPECT_FALSE(main.window().nativeHandle()->isEnabled());
            EXPECT_TRUE(main.window().isEnabled(OK_BUTTON));  // its own state is kept
            EXPECT_EQ(platform::openWindows().size(), 2u);
        })
        .press("&Cancel")
        .then([&](platform::Window& active) {
            EXPECT_EQ(&active, &main.window());
            EXPECT_EQ(errors.procedures(), std::vector<std::string>{"Main"});
            EXPECT_TRUE(main.window().nativeHandle()->isEnabled());
        })
        .press("&Close");
    user.run([&] { main.run(); });
    EXPECT_EQ(log, (std::vector<std::string>{
                       "Main:frameworkSetUp", "Main:afterOpen open=1", "Main:setUpSteps", "Main:accepted 8",
                       "Dialog:frameworkSetUp", "Dialog:afterOpen open=1", "Dialog:setUpSteps", "Dialog:accepted 2",
                       "Dialog:tearDownSteps", "Dialog:frameworkTearDown 0", "Main: dialog returned",
                       "Main:accepted 9", "Main:tearDownSteps", "Main:frameworkTearDown 0"}));
    EXPECT_EQ(ini("Dialog", "Maximize"), "No");
    EXPECT_EQ(ini("Main", "Maximize"), "No");
    EXPECT_EQ(ini("Main", "Width"), "200");  // a sizing frame keeps its size
    EXPECT_TRUE(errors.procedures().empty());
    EXPECT_EQ(platform::activeWindow(), nullptr);
}

TEST_F(FrameTest, TheSystemMenuClosesAWindowThatHasOne) {
    std::vector<std::string> log;
    LoggingProcedure dialog(runtime, "Dialog", dialogLayout(true), log);
    EXPECT_TRUE(dialog.window().nativeHandle()->windowFlags() & Qt::WindowCloseButtonHint);
    testing_support::ScriptedUser user;
    user.closeFromSystemMenu();
    user.run([&] { dialog.run(); });
    EXPECT_EQ(log.back(), "Dialog:frameworkTearDown 0");
    EXPECT_EQ(std::count(log.begin(), log.end(), "Dialog:accepted 2"), 0);  // not the "&Cancel" reaction
}

TEST_F(FrameTest, ACallerDisabledBeneathADialogIgnoresItsCloseBox) {
    std::vector<std::string> log;
    LoggingProcedure main(runtime, "Main", testLayout(), log);
    main.onAccepted = [&](ControlNumber control) {
        if (control != OK_BUTTON) return;
        LoggingProcedure dialog(runtime, "Dialog", dialogLayout(true), log);
        dialog.run();
    };
    testing_support::ScriptedUser user;
    user.press("&OK")
        .then([&](platform::Window& active) {
            ASSERT_EQ(active.decl().title, "Dialog");
            main.window().nativeHandle()->close();  // the window manager asks on the user's behalf
            EXPECT_FALSE(main.window().closePending());
        })
        .press("&Cancel")
        .then([&](platform::Window& active) {
            EXPECT_EQ(&active, &main.window());  // still open once the dialog has gone
            log.push_back("main still open");
        })
        .closeFromSystemMenu();  // enabled again, its close box works
    user.run([&] { main.run(); });
    EXPECT_EQ(std::count(log.begin(), log.end(), "main still open"), 1);
    EXPECT_EQ(log.back(), "Main:frameworkTearDown 0");
}

TEST_F(FrameTest, AWindowWithoutSystemMenuIgnoresCloseRequests) {
    std::vector<std::string> log;
    LoggingProcedure dialog(runtime, "Dialog", dialogLayout(false), log);
    EXPECT_FALSE(dialog.window().nativeHandle()->windowFlags() & Qt::WindowCloseButtonHint);
    testing_support::ScriptedUser user;
    user.then([](platform::Window& w) { w.nativeHandle()->close(); })  // the window manager asks
        .then([&](platform::Window& w) {
            EXPECT_TRUE(w.isOpen());
            EXPECT_FALSE(w.closePending());
            log.push_back("still open");
        })
        .press("&Cancel");
    user.run([&] { dialog.run(); });
    EXPECT_EQ(std::count(log.begin(), log.end(), "still open"), 1);
}

class CountingComponent : public platform::WindowComponent {
public:
    int updates = 0;
    std::vector<bool> resets;
    void update() override { ++updates; }
    void reset(bool force) override { resets.push_back(force); }
};

TEST_F(FrameTest, UpdateAndResetSteps) {
    std::vector<std::string> log;
    LoggingProcedure main(runtime, "Main", testLayout(), log);
    CountingComponent component;
    main.addComponent(component);
    std::int32_t preview = 0;
    main.window().bind(PREVIEW_ITEM, &preview);
    main.updateStep();
    EXPECT_EQ(component.updates, 1);
    preview = 1;
    main.requestForcedReset();
    main.resetStep(false);  // the pending request makes it a forced reset, once
    main.resetStep(false);
    EXPECT_EQ(component.resets, (std::vector<bool>{true, false}));
    EXPECT_TRUE(main.window().isChecked(PREVIEW_ITEM));  // redisplayed from the variable
    main.setAcceptAll(true);
    preview = 0;
    main.resetStep(true);
    EXPECT_EQ(component.resets.size(), 2u);
    EXPECT_TRUE(main.window().isChecked(PREVIEW_ITEM));
}

TEST_F(FrameTest, ABrokenSavedPlaceNeverPutsTheWindowOutOfReach) {
    struct Case {
        const char *xpos, *ypos, *width, *height;
    };
    for (const Case c : {Case{"100000", "100000", "0", "-7"}, Case{"-5000", "-300", "garbage", "0"}}) {
        SCOPED_TRACE(std::string(c.xpos) + "," + c.ypos + " " + c.width + "x" + c.height);
        writeIni("Main", "Maximize", "No");
        writeIni("Main", "XPos", c.xpos);
        writeIni("Main", "YPos", c.ypos);
        writeIni("Main", "Width", c.width);
        writeIni("Main", "Height", c.height);
        std::vector<std::string> log;
        LoggingProcedure main(runtime, "Main", testLayout(), log);
        testing_support::ScriptedUser user;
        user.then([&](platform::Window& w) {
                EXPECT_EQ(w.width(), testLayout().width);  // a size of 0 or less is no size
                EXPECT_EQ(w.height(), testLayout().height);
                const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
                EXPECT_TRUE(screen.contains(w.nativeHandle()->frameGeometry().topLeft()))
                    << "placed at " << w.nativeHandle()->x() << "," << w.nativeHandle()->y();
            })
            .press("&Close");
        user.run([&] { main.run(); });
    }
}

}  // namespace
}  // namespace framework_test
