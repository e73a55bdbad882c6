// The driver catalogue: enumeration into Options menu items and the driver
// list, and the choice of a driver item.

#include "tests/mainwin/main_fixture.h"

#include <algorithm>
#include <set>

namespace mainwin_test {
namespace {

using namespace mainwin;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

// The Options menu's own children, in display order, before any driver item.
const std::vector<ControlNumber> optionsAtOpen{OPTIONSITEM7,       0, OPTIONSFORMAT, OPTIONSSOURCE, OPTIONSDISPLAY, 0,
                                               OPTIONSCOMPRESSION, 0, PREVIEWFLAG,   OVERLAYFLAG,   0,              OPTIONSDESTROY};

// The driver items: what Options holds after its own children.
std::vector<ControlNumber> driverItems(const Window& w) {
    const std::vector<ControlNumber> children = w.menuChildren(OPTIONS);
    if (children.size() < optionsAtOpen.size()) return {};
    return {children.begin() + static_cast<std::ptrdiff_t>(optionsAtOpen.size()), children.end()};
}

struct EnumerationCase {
    const char* name;
    std::vector<testing_support::FakeCapture::Driver> drivers;
    std::optional<std::int16_t> count;
    std::vector<std::string> itemTexts;     // whole
    std::vector<std::string> descriptions;  // cut to 79
    std::size_t choice;                      // the list's current row; a blank value selects none
};

const std::string longName(60, 'N');
const std::string longVersion = "version " + std::string(32, 'V');

class EnumerationTest : public MainWindowTest, public testing::WithParamInterface<EnumerationCase> {};

TEST_P(EnumerationTest, PublishesEveryDriverAsItemAndRow) {
    const EnumerationCase& c = GetParam();
    capture.drivers = c.drivers;
    capture.driverCount = c.count;
    user.press("Enumerate Drivers").then([&](Window& w) {
        Calls expected{"ENUMCAPDRIVERS()"};
        for (std::size_t i = 0; i < c.itemTexts.size(); ++i) {
            expected.push_back("GETDRIVERDESCRIPTION(" + std::to_string(i) + ",128,128)");
        }
        EXPECT_THAT(capture.calls(), ElementsAreArray(expected));

        // Items: appended to Options in index order, check items with the whole text.
        const std::vector<ControlNumber> items = driverItems(w);
        ASSERT_EQ(items.size(), c.itemTexts.size());
        std::set<ControlNumber> numbers(items.begin(), items.end());
        EXPECT_EQ(numbers.size(), items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_GT(items[i], CANCELBUTTON);
            EXPECT_EQ(w.kind(items[i]), platform::Kind::CheckItem);
            EXPECT_EQ(w.text(items[i]), c.itemTexts[i]);
            EXPECT_FALSE(w.isHidden(items[i]));
            EXPECT_EQ(main().driverItems().row(i + 1).FEQ, items[i]);
            EXPECT_EQ(main().driverItems().row(i + 1).INDX, static_cast<std::int32_t>(i));
        }
        // Rows: the description cut to 79 characters and the index.
        ASSERT_EQ(main().driverList().size(), c.descriptions.size());
        for (std::size_t i = 0; i < c.descriptions.size(); ++i) {
            EXPECT_EQ(main().driverList().row(i + 1).DESCRIPTION, c.descriptions[i]);
            EXPECT_EQ(main().driverList().row(i + 1).ID, static_cast<std::int32_t>(i));
        }
        // The list's value is the first description; with no driver it stays empty.
        const std::string first = c.descriptions.empty() ? "" : c.descriptions.front();
        EXPECT_EQ(main().locDriver(), first);
        EXPECT_EQ(w.listChoice(LOC_DRIVER), c.choice);
        EXPECT_EQ(w.text(LOC_DRIVER), c.choice == 0 ? "" : first);

        EXPECT_TRUE(w.isHidden(OPTIONSDESTROY));
        EXPECT_TRUE(w.isEnabled(STARTCAPTURE));
        EXPECT_FALSE(w.isEnabled(CAPTUREJPEG));
    });
    user.press(CANCELBUTTON);
    runMain();
    EXPECT_THAT(messages.messages(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, EnumerationTest,
    testing::Values(
        EnumerationCase{"ThreeDrivers",
                        {{"Cam A", "1.0"}, {"Cam B", "2.0"}, {"Test pattern", "6.1.0"}},
                        std::nullopt,
                        {"Cam A 1.0", "Cam B 2.0", "Test pattern 6.1.0"},
                        {"Cam A 1.0", "Cam B 2.0", "Test pattern 6.1.0"},
                        1},
        EnumerationCase{"LongerThan79",
                        {{longName, longVersion}},
                        std::nullopt,
                        {longName + " " + longVersion},
                        {(longName + " " + longVersion).substr(0, 79)},
                        1},
        EnumerationCase{"BothTextsEmpty", {{"", ""}}, std::nullopt, {" "}, {" "}, 0},
        EnumerationCase{"NoDrivers", {}, std::nullopt, {}, {}, 0},
        EnumerationCase{"NegativeCount", {{"Cam A", "1.0"}}, std::int16_t{-1}, {}, {}, 0},
        // A failed description leaves the previous driver's texts in the buffers.
        EnumerationCase{"FailedDescription", {{"Cam A", "1.0"}}, std::int16_t{2}, {"Cam A 1.0", "Cam A 1.0"},
                        {"Cam A 1.0", "Cam A 1.0"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, EnumeratingTwiceAppendsASecondFullSet) {
    capture.drivers = {{"Cam A", "1.0"}, {"Cam B", "2.0"}};
    user.press(ENUMERATEDRIVERS).selectRow(LOC_DRIVER, 2).press(ENUMERATEDRIVERS).then([this](Window& w) {
        const std::vector<ControlNumber> items = driverItems(w);
        ASSERT_EQ(items.size(), 4u);
        EXPECT_EQ(std::set<ControlNumber>(items.begin(), items.end()).size(), 4u);
        std::vector<std::string> texts, rows;
        std::vector<std::int32_t> ids, indexes;
        for (ControlNumber item : items) texts.push_back(w.text(item));
        for (const auto& row : main().driverItems().rows()) indexes.push_back(row.INDX);
        for (const auto& row : main().driverList().rows()) {
            rows.push_back(row.DESCRIPTION);
            ids.push_back(row.ID);
        }
        EXPECT_THAT(texts, ElementsAre("Cam A 1.0", "Cam B 2.0", "Cam A 1.0", "Cam B 2.0"));
        EXPECT_THAT(rows, ElementsAre("Cam A 1.0", "Cam B 2.0", "Cam A 1.0", "Cam B 2.0"));
        EXPECT_THAT(ids, ElementsAre(0, 1, 0, 1));
        EXPECT_THAT(indexes, ElementsAre(0, 1, 0, 1));
        // The value is row 1 again.
        EXPECT_EQ(w.listChoice(LOC_DRIVER), 1u);
        EXPECT_EQ(main().locDriver(), "Cam A 1.0");
        // Enumerate Drivers passes the fallback branch too, and matches no driver item.
        EXPECT_EQ(capture.count("CONNECTCAPDRIVER"), 0u);
    });
    user.press(CANCELBUTTON);
    runMain();
}

struct ItemCase {
    const char* name;
    const char* item;  // its visible text
    std::int32_t index;
    capture::Flag connect;
    Calls calls{};
    std::vector<std::string> messages{};
};

class DriverItemTest : public MainWindowTest, public testing::WithParamInterface<ItemCase> {};

TEST_P(DriverItemTest, ConnectsTheItemsDriverOrSaysItCouldNot) {
    const ItemCase& c = GetParam();
    capture.drivers = {{"Cam A", "1.0"}, {"Cam B", "2.0"}, {"Cam C", "3.0"}};
    capture.connectResults[c.index] = c.connect;
    user.press(ENUMERATEDRIVERS);
    forget().choose(c.item).then([&](Window& w) {
        EXPECT_THAT(capture.calls(), ElementsAreArray(c.calls));
        EXPECT_THAT(messages.messages(), ElementsAreArray(c.messages));
        // Menus, list and buttons stay as they were.
        EXPECT_EQ(driverItems(w).size(), 3u);
        EXPECT_EQ(main().driverList().size(), 3u);
        EXPECT_EQ(w.listChoice(LOC_DRIVER), 1u);
        EXPECT_TRUE(w.isEnabled(STARTCAPTURE));
        for (ControlNumber b : {NEWREGION, CAPTUREJPEG, CAPTUREBMP}) EXPECT_FALSE(w.isEnabled(b));
    });
    user.press(CANCELBUTTON);
    runMain();
}

INSTANTIATE_TEST_SUITE_P(
    Choices, DriverItemTest,
    testing::Values(ItemCase{"SecondConnects", "Cam B 2.0", 1, 1, {"CONNECTCAPDRIVER(1)", "RESIZECAPTUREREGION(27)"}, {}},
                    ItemCase{"ThirdConnects", "Cam C 3.0", 2, 1, {"CONNECTCAPDRIVER(2)", "RESIZECAPTUREREGION(27)"}, {}},
                    ItemCase{"SecondRefused", "Cam B 2.0", 1, 0, {"CONNECTCAPDRIVER(1)"},
                             {"could not connect to capture driver"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mainwin_test
