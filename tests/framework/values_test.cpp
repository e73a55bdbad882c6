// Variables bound to controls: display copies variables into the controls,
// update copies the controls back; pictures, check items and check boxes, lists.

#include "platform/framework/window.h"
#include "tests/framework/test_layout.h"
#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTreeView>

namespace framework_test {
namespace {

using platform::ControlNumber;
using platform::Window;

// An entry with a picture and a variable of each type: what display shows and
// what typing stores.
struct EntryCase {
    const char* picture;
    std::int64_t shownValue;
    const char* shownText;
    const char* typed;
    std::int64_t stored;
};

class EntryPictures : public ::testing::TestWithParam<EntryCase> {};

template <typename T>
void roundTrip(const EntryCase& c) {
    platform::WindowDecl decl;
    decl.width = 100;
    decl.height = 40;
    decl.controls = {ControlDecl{.kind = Kind::Entry, .useName = "?N", .at = {2, 2, 60, 10}, .picture = c.picture}};
    Window window(decl);
    T value = static_cast<T>(c.shownValue);
    window.bind(1, &value);
    EXPECT_EQ(window.text(1), c.shownText) << c.picture;
    auto* edit = static_cast<QLineEdit*>(window.widget(1));
    // Typing goes through the picture: characters it refuses do not appear.
    edit->selectAll();
    edit->del();
    for (QChar ch : QString(c.typed)) edit->insert(QString(ch));
    window.update(1);
    EXPECT_EQ(static_cast<std::int64_t>(value), c.stored) << c.picture << " typed " << c.typed;
}

TEST_P(EntryPictures, Int32) { roundTrip<std::int32_t>(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Pictures, EntryPictures,
                         ::testing::Values(EntryCase{"@n-7b", 0, "", "15", 15},            // blank when 0
                                           EntryCase{"@n-7b", -42, "-42", "-123456", -123456},
                                           EntryCase{"@n-7b", 7, "7", "12345678", 1234567},  // 7 wide
                                           EntryCase{"@n-14", 0, "0", "-30", -30},
                                           EntryCase{"@n3", 256, "256", "-12", 12},          // no minus sign
                                           EntryCase{"@n5", 100, "100", "12a3", 123},
                                           EntryCase{"@n-14", 30, "30", "", 0}));

TEST(EntryVariables, SixteenAndEightBitFieldsAreClampedNotWrapped) {
    platform::WindowDecl decl;
    decl.width = 100;
    decl.height = 40;
    decl.controls = {
        ControlDecl{.kind = Kind::Entry, .useName = "?FPS", .at = {2, 2, 60, 10}, .picture = "@n-7b"},
        ControlDecl{.kind = Kind::Entry, .useName = "?U8", .at = {2, 14, 60, 10}, .picture = "@n5"},
    };
    Window window(decl);
    std::int16_t fps = 4464;
    std::uint8_t small = 3;
    window.bind(1, &fps);
    window.bind(2, &small);
    EXPECT_EQ(window.text(1), "4464");
    EXPECT_EQ(window.text(2), "3");
    static_cast<QLineEdit*>(window.widget(1))->setText("70000");
    static_cast<QLineEdit*>(window.widget(2))->setText("300");
    window.update();
    EXPECT_EQ(fps, 32767);
    EXPECT_EQ(small, 255);
    fps = -5;
    window.display(1);
    EXPECT_EQ(window.text(1), "-5");
}

TEST(TextVariables, EntryAndStringCutToPictureAndLength) {
    Window window(testLayout());
    std::string name = "ABCDEFGH";
    window.bind(NAME_ENTRY, platform::TextVar{&name, 64});
    EXPECT_EQ(window.text(NAME_ENTRY), "ABCDE");  // @s5
    static_cast<QLineEdit*>(window.widget(NAME_ENTRY))->setText("xyz");
    window.update(NAME_ENTRY);
    EXPECT_EQ(name, "xyz");

    std::string frames = "3 Frames            ";  // space-padded
    window.bind(TITLE_STRING, platform::TextVar{&frames, 20});
    EXPECT_EQ(window.text(TITLE_STRING), "3 Frames");
    frames = "4 Frames";
    EXPECT_EQ(window.text(TITLE_STRING), "3 Frames");  // until redisplayed
    window.display();
    EXPECT_EQ(window.text(TITLE_STRING), "4 Frames");
    window.update();
    EXPECT_EQ(frames, "4 Frames");  // a display string never writes back

    std::string shortVar;
    platform::WindowDecl decl;
    decl.width = 100;
    decl.height = 40;
    decl.controls = {ControlDecl{.kind = Kind::Entry, .useName = "?T", .at = {2, 2, 60, 10}, .picture = "@s20"}};
    Window other(decl);
    other.bind(1, platform::TextVar{&shortVar, 4});
    static_cast<QLineEdit*>(other.widget(1))->setText("abcdefgh");
    other.update();
    EXPECT_EQ(shortVar, "abcd");
}

TEST(SpinBoxes, RangeStepAndRoundTrip) {
    Window window(testLayout());
    std::int32_t colours = 256;
    window.bind(COLORS_SPIN, &colours);
    auto* spin = static_cast<QSpinBox*>(window.widget(COLORS_SPIN));
    EXPECT_EQ(spin->minimum(), 16);
    EXPECT_EQ(spin->maximum(), 256);
    EXPECT_EQ(spin->singleStep(), 1);
    EXPECT_EQ(window.text(COLORS_SPIN), "256");
    spin->stepDown();
    window.update(COLORS_SPIN);
    EXPECT_EQ(colours, 255);
    colours = 5;  // below the range: shown and stored as the lowest value
    window.display(COLORS_SPIN);
    window.update(COLORS_SPIN);
    EXPECT_EQ(colours, 16);
}

TEST(SpinBoxes, NoRangeTakesThePicturesRange) {
    platform::WindowDecl decl;
    decl.width = 100;
    decl.height = 40;
    decl.controls = {ControlDecl{.kind = Kind::Spin, .useName = "?S", .at = {2, 2, 40, 10}, .picture = "@n5"}};
    Window window(decl);
    auto* spin = static_cast<QSpinBox*>(window.widget(1));
    EXPECT_EQ(spin->minimum(), 0);
    EXPECT_EQ(spin->maximum(), 99999);
}

TEST(CheckItems, MarkFollowsTheVariableAndFlipsBeforeTheHandler) {
    Window window(testLayout());
    std::int32_t preview = 5;  // any nonzero value shows the mark
    window.bind(PREVIEW_ITEM, &preview);
    EXPECT_TRUE(window.isChecked(PREVIEW_ITEM));
    std::vector<std::pair<std::int32_t, bool>> seen;
    window.setAcceptedHandler([&](ControlNumber c) {
        if (c == PREVIEW_ITEM) seen.emplace_back(preview, window.isChecked(PREVIEW_ITEM));
        if (c == CLOSE_BUTTON) window.postCloseWindow();
    });
    testing_support::ScriptedUser user;
    user.choose("&Preview").choose("?PREVIEWFLAG").press("&Close");
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    EXPECT_EQ(seen, (std::vector<std::pair<std::int32_t, bool>>{{0, false}, {1, true}}));
    preview = 0;
    window.display();
    EXPECT_FALSE(window.isChecked(PREVIEW_ITEM));
}

TEST(CheckBoxes, TickedIsOneClearIsZeroBeforeTheHandler) {
    Window window(testLayout());
    std::int32_t audio = 1;
    window.bind(AUDIO_CHECK, &audio);
    EXPECT_TRUE(window.isChecked(AUDIO_CHECK));
    std::vector<std::int32_t> seen;
    window.setAcceptedHandler([&](ControlNumber c) {
        if (c == AUDIO_CHECK) seen.push_back(audio);
        if (c == CLOSE_BUTTON) window.postCloseWindow();
    });
    testing_support::ScriptedUser user;
    user.tick("Capture Audio", false).tick("Capture Audio", true).press("&Close");
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    EXPECT_EQ(seen, (std::vector<std::int32_t>{0, 1}));
    audio = 7;  // a stored value other than 1 and 0 shows ticked and updates to 1
    window.display(AUDIO_CHECK);
    window.update(AUDIO_CHECK);
    EXPECT_EQ(audio, 1);
}

class Rows : public platform::ListSource {
public:
    std::vector<std::string> rows;
    std::size_t rowCount() const override { return rows.size(); }
    std::string rowText(std::size_t position) const override { return rows.at(position - 1); }
};

TEST(Lists, FormatHeadingCutRowsAndValue) {
    Window window(testLayout());
    Rows rows;
    std::string driver;
    window.bind(DRIVER_LIST, platform::TextVar{&driver, 79});
    window.bindRows(DRIVER_LIST, rows);
    EXPECT_EQ(window.listChoice(DRIVER_LIST), 0u);

    rows.rows = {"Test Pattern Generator 1.0", "Camera", "Vivid"};
    driver = "Camera";
    window.display();
    auto* combo = static_cast<QComboBox*>(window.widget(DRIVER_LIST));
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Test Patte");  // "@s10" cuts each row to 10 characters
    EXPECT_EQ(combo->model()->headerData(0, Qt::Horizontal).toString(), "Description");
    auto* view = qobject_cast<QTreeView*>(combo->view());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->columnWidth(0), window.toPixels({0, 0, 316, 0}).width());
    EXPECT_EQ(window.listChoice(DRIVER_LIST), 2u);  // the row matching the value

    window.selectListRow(DRIVER_LIST, 3);
    EXPECT_EQ(driver, "Vivid");
    EXPECT_EQ(window.listChoice(DRIVER_LIST), 3u);

    std::vector<std::string> seen;
    window.setAcceptedHandler([&](ControlNumber c) {
        if (c == DRIVER_LIST) seen.push_back(driver);
        if (c == CLOSE_BUTTON) window.postCloseWindow();
    });
    testing_support::ScriptedUser user;
    user.selectRow("?LOC:DRIVER", 1).press("&Close");
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"Test Patte"}));
    EXPECT_EQ(window.listChoice(DRIVER_LIST), 1u);
}

TEST(Entries, AFinishedEditUpdatesItsVariableBeforeTheHandler) {
    Window window(testLayout());
    std::int32_t fps = 15;
    window.bind(FPS_ENTRY, &fps);
    std::vector<std::int32_t> seen;
    window.setAcceptedHandler([&](ControlNumber c) {
        if (c == FPS_ENTRY) seen.push_back(fps);
        if (c == CLOSE_BUTTON) window.postCloseWindow();
    });
    testing_support::ScriptedUser user;
    user.type("?FPS", "30").type("?FPS", "x-2").press("&Close");
    user.run([&] {
        window.open();
        window.runEventLoop();
        window.close();
    });
    EXPECT_EQ(seen, (std::vector<std::int32_t>{30, -2}));
}

}  // namespace
}  // namespace framework_test
