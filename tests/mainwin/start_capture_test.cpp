// "Start Capture": the eight steps in their order, the height check, the
// buttons enabled after a connection and the capability check.

#include "tests/mainwin/main_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>

namespace mainwin_test {
namespace {

using namespace mainwin;
using testing::ElementsAreArray;
using testing::IsEmpty;

const char* const tooHigh = "Please select video format with the vertical image size not greater than 288.";

capture::CAPDRIVERCAPS noOverlay() {
    capture::CAPDRIVERCAPS caps = testing_support::FakeCapture::everything();
    caps.FHASOVERLAY = 0;
    return caps;
}

struct StartCase {
    const char* name;
    std::int32_t height = 240;
    capture::Flag connect = 1;
    capture::Flag format = 1;
    capture::CAPDRIVERCAPS caps = testing_support::FakeCapture::everything();
    capture::Flag capsResult = 1;
    Calls calls{};
    std::vector<std::string> messages{};
    std::vector<ControlNumber> disabled{};  // of 12, 13, 14, 17
};

const Calls started{"CREATECAPTUREWINDOW(27)", "DRIVERCONNECT(0)",  "GETCAPTUREWINDOWHEIGHT()", "SETPREVIEWRATE(66)",
                    "SETPREVIEW(1)",           "DRIVERGETCAPS(44)", "RESIZECAPTUREREGION(27)",  "SETCALLBACKSTATUS(routine)"};
const Calls refused{"CREATECAPTUREWINDOW(27)", "DRIVERCONNECT(0)", "DRIVERGETCAPS(44)", "RESIZECAPTUREREGION(27)",
                    "SETCALLBACKSTATUS(routine)"};
const Calls formatConfirmed{"CREATECAPTUREWINDOW(27)", "DRIVERCONNECT(0)",        "GETCAPTUREWINDOWHEIGHT()",
                            "DLGVIDEOFORMAT()",        "RESIZECAPTUREREGION(27)", "SETPREVIEWRATE(66)",
                            "SETPREVIEW(1)",           "DRIVERGETCAPS(44)",       "RESIZECAPTUREREGION(27)",
                            "SETCALLBACKSTATUS(routine)"};
const Calls formatCancelled{"CREATECAPTUREWINDOW(27)", "DRIVERCONNECT(0)",  "GETCAPTUREWINDOWHEIGHT()",
                            "DLGVIDEOFORMAT()",        "SETPREVIEWRATE(66)", "SETPREVIEW(1)",
                            "DRIVERGETCAPS(44)",       "RESIZECAPTUREREGION(27)", "SETCALLBACKSTATUS(routine)"};

std::vector<StartCase> startCases() {
    std::vector<StartCase> cases;
    cases.push_back({.name = "Height288", .height = 288, .calls = started});
    // Signed: a negative height is not greater than 288.
    cases.push_back({.name = "HeightNegative", .height = -1, .calls = started});
    cases.push_back({.name = "Height289Confirmed", .height = 289, .format = 1, .calls = formatConfirmed,
                     .messages = {tooHigh}});
    cases.push_back({.name = "Height289Cancelled", .height = 289, .format = 0, .calls = formatCancelled,
                     .messages = {tooHigh}});
    cases.push_back({.name = "Refused", .connect = 0, .calls = refused,
                     .messages = {"Could not connect to capture driver"}});
    cases.push_back({.name = "SupportsNothing", .caps = testing_support::FakeCapture::nothing(), .calls = started,
                     .disabled = {OPTIONSFORMAT, OPTIONSSOURCE, OPTIONSDISPLAY, OVERLAYFLAG}});
    cases.push_back({.name = "NoOverlay", .caps = noOverlay(), .calls = started, .disabled = {OVERLAYFLAG}});
    cases.push_back({.name = "CapsNotReturned", .caps = testing_support::FakeCapture::nothing(), .capsResult = 0,
                     .calls = started});
    // The capability check runs after a refused connection too.
    cases.push_back({.name = "RefusedSupportsNothing", .connect = 0, .caps = testing_support::FakeCapture::nothing(),
                     .calls = refused, .messages = {"Could not connect to capture driver"},
                     .disabled = {OPTIONSFORMAT, OPTIONSSOURCE, OPTIONSDISPLAY, OVERLAYFLAG}});
    return cases;
}

class StartCaptureTest : public MainWindowTest, public testing::WithParamInterface<StartCase> {};

TEST_P(StartCaptureTest, RunsItsStepsInOrder) {
    const StartCase& c = GetParam();
    giveDrivers(1);
    capture.height = c.height;
    capture.connectResults[0] = c.connect;
    capture.formatResult = c.format;
    capture.caps = c.caps;
    capture.capsResult = c.capsResult;
    // The message is closed before the format dialog opens.
    std::size_t messagesAtFormat = 0;
    capture.onCall = [&](std::string_view call) {
        if (call == "DLGVIDEOFORMAT()") messagesAtFormat = messages.messages().size();
    };
    user.press(ENUMERATEDRIVERS);
    forget().press("Start Capture").then([&](Window& w) {
        EXPECT_THAT(capture.calls(), ElementsAreArray(c.calls));
        EXPECT_THAT(messages.messages(), ElementsAreArray(c.messages));
        for (ControlNumber b : {NEWREGION, CAPTUREJPEG, CAPTUREBMP}) {
            EXPECT_EQ(w.isEnabled(b), c.connect != 0) << w.useName(b);
        }
        for (ControlNumber item : {OPTIONSFORMAT, OPTIONSSOURCE, OPTIONSDISPLAY, OVERLAYFLAG}) {
            const bool disabled = std::find(c.disabled.begin(), c.disabled.end(), item) != c.disabled.end();
            EXPECT_EQ(w.isEnabled(item), !disabled) << w.useName(item);
        }
        EXPECT_TRUE(w.isEnabled(STARTCAPTURE));
        // The preview is switched on without touching "&Preview".
        EXPECT_TRUE(w.isChecked(PREVIEWFLAG));
        EXPECT_EQ(main().previewFlag(), 1);
    });
    user.press(CANCELBUTTON);
    runMain();
    if (c.height > 288 && c.connect != 0) {
        EXPECT_EQ(messagesAtFormat, 1u);
    }
    // The status routine accepts every report.
    ASSERT_TRUE(capture.statusRoutine());
    EXPECT_EQ(capture.statusRoutine()(nullptr, capture::IDS_CAP_STAT_LIVE_MODE, "live"), 1);
    EXPECT_EQ(capture.statusRoutine()(nullptr, 0, ""), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartCaptureTest, testing::ValuesIn(startCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, StartCaptureConnectsTheCurrentRowsDriver) {
    giveDrivers(3);
    user.press(ENUMERATEDRIVERS).selectRow(LOC_DRIVER, 3);
    forget().press(STARTCAPTURE).then([this](Window&) {
        EXPECT_EQ(capture.count("DRIVERCONNECT"), 1u);
        ASSERT_GE(capture.calls().size(), 2u);
        EXPECT_EQ(capture.calls()[1], "DRIVERCONNECT(2)");
    });
    user.press(CANCELBUTTON);
    runMain();
}

TEST_F(MainWindowTest, RefusedThenSuccessfulStartEnablesButtonsAndNeverReenablesItems) {
    giveDrivers(2);
    capture.connectResults[0] = 0;
    capture.caps = noOverlay();
    user.press(ENUMERATEDRIVERS).press(STARTCAPTURE).then([this](Window& w) {
        EXPECT_THAT(messages.messages(), ElementsAreArray({"Could not connect to capture driver"}));
        EXPECT_FALSE(w.isEnabled(CAPTUREJPEG));
        EXPECT_FALSE(w.isEnabled(OVERLAYFLAG));
        // The next driver can do everything but has no source dialog.
        capture.caps = testing_support::FakeCapture::everything();
        capture.caps.FHASDLGVIDEOSOURCE = 0;
    });
    user.selectRow(LOC_DRIVER, 2);
    forget().press(STARTCAPTURE).then([this](Window& w) {
        EXPECT_THAT(messages.messages(), IsEmpty());
        EXPECT_EQ(capture.calls().at(0), "CREATECAPTUREWINDOW(27)");
        EXPECT_EQ(capture.calls().at(1), "DRIVERCONNECT(1)");
        for (ControlNumber b : {NEWREGION, CAPTUREJPEG, CAPTUREBMP}) EXPECT_TRUE(w.isEnabled(b)) << w.useName(b);
        EXPECT_FALSE(w.isEnabled(OVERLAYFLAG));
        EXPECT_FALSE(w.isEnabled(OPTIONSSOURCE));
        EXPECT_TRUE(w.isEnabled(OPTIONSFORMAT));
        EXPECT_TRUE(w.isEnabled(OPTIONSDISPLAY));
    });
    user.press(CANCELBUTTON);
    runMain();
}

// Writes "enable N" / "disable N" as the buttons and items change state.
class EnableJournal : public QObject {
public:
    EnableJournal(Window& w, std::initializer_list<ControlNumber> buttons, std::initializer_list<ControlNumber> items) {
        for (ControlNumber b : buttons) {
            w.widget(b)->installEventFilter(this);
            numbers_[w.widget(b)] = b;
        }
        for (ControlNumber i : items) {
            QObject::connect(w.action(i), &QAction::enabledChanged, this,
                             [this, i](bool on) { entries.push_back((on ? "enable " : "disable ") + std::to_string(i)); });
        }
    }
    Calls entries;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            auto* widget = static_cast<QWidget*>(watched);
            entries.push_back((widget->isEnabled() ? "enable " : "disable ") + std::to_string(numbers_[widget]));
        }
        return false;
    }

private:
    std::map<QObject*, ControlNumber> numbers_;
};

TEST_F(MainWindowTest, StartCaptureEnablesAndDisablesInItsOrder) {
    giveDrivers(1);
    capture.caps = testing_support::FakeCapture::nothing();
    std::unique_ptr<EnableJournal> journal;
    user.press(ENUMERATEDRIVERS).then([&](Window& w) {
        journal = std::make_unique<EnableJournal>(w, std::initializer_list<ControlNumber>{NEWREGION, CAPTUREJPEG, CAPTUREBMP},
                                                  std::initializer_list<ControlNumber>{OPTIONSFORMAT, OPTIONSSOURCE,
                                                                                       OPTIONSDISPLAY, OVERLAYFLAG});
    });
    user.press(STARTCAPTURE).then([&](Window&) {
        EXPECT_THAT(journal->entries, ElementsAreArray({"enable 34", "enable 36", "enable 28", "disable 13",
                                                        "disable 12", "disable 14", "disable 17"}));
        journal.reset();
    });
    user.press(CANCELBUTTON);
    runMain();
}

TEST_F(MainWindowTest, WithoutACurrentRowStartCaptureKeepsTheRowLastFetched) {
    giveDrivers(3);
    const auto noRow = [](Window& w) {
        qobject_cast<QComboBox*>(w.widget(LOC_DRIVER))->setCurrentIndex(-1);
        ASSERT_EQ(w.listChoice(LOC_DRIVER), 0u);
    };
    user.press(ENUMERATEDRIVERS).selectRow(LOC_DRIVER, 3).press(STARTCAPTURE);
    user.then(noRow).press(STARTCAPTURE);
    user.press(ENUMERATEDRIVERS).then(noRow).press(STARTCAPTURE);
    user.press(CANCELBUTTON);
    runMain();
    Calls connects;
    for (const std::string& call : capture.calls())
        if (call.rfind("DRIVERCONNECT(", 0) == 0) connects.push_back(call);
    // Row 3, then row 3 again (the failed fetch keeps it), then row 1 fetched by the enumeration.
    EXPECT_THAT(connects, ElementsAreArray({"DRIVERCONNECT(2)", "DRIVERCONNECT(2)", "DRIVERCONNECT(0)"}));
}

TEST_F(MainWindowTest, WithNoDriversStartCaptureUsesTheClearedBuffersIndex) {
    giveDrivers(0);
    user.press(ENUMERATEDRIVERS);
    forget().press(STARTCAPTURE).then([this](Window& w) {
        EXPECT_EQ(w.listChoice(LOC_DRIVER), 0u);
        ASSERT_GE(capture.calls().size(), 2u);
        EXPECT_EQ(capture.calls()[1], "DRIVERCONNECT(0)");
    });
    user.press(CANCELBUTTON);
    runMain();
}

}  // namespace
}  // namespace mainwin_test
