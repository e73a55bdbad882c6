// The window-settings manager: restoring and saving window places, and its
// bookkeeping list in "__Dont_Touch_Me__".

#include "fake_placed_window.h"
#include "platform/profile.h"
#include "settings_fixture.h"
#include "shell/window_settings.h"

namespace settings_test {
namespace {

using Changes = std::vector<std::string>;

class WindowSettingsTest : public SettingsFolderTest {
protected:
    void SetUp() override {
        SettingsFolderTest::SetUp();
        manager.start("orvane.INI");
    }
    shell::WindowSettings manager;
};

// ---------------------------------------------------------------- restore

struct RestoreCase {
    const char* what;
    std::string section;  // the lines of [Main]; empty: no file at all
    bool resizable;
    bool maximizedBefore;
    Changes changes;
};

void PrintTo(const RestoreCase& c, std::ostream* os) { *os << c.what; }

const RestoreCase restoreCases[] = {
    {"no file: layout position", "", true, false, {}},
    {"normal window", "Maximize=No\nMinimize=No\nXPos=10\nYPos=20\nWidth=300\nHeight=200\n", true, false,
     {"x 10", "y 20", "width 300", "height 200", "not minimized"}},
    {"fixed frame ignores a size", "Maximize=No\nMinimize=No\nXPos=10\nYPos=20\nWidth=300\nHeight=200\n", false, false,
     {"x 10", "y 20", "not minimized"}},
    {"saved maximized", "Maximize=Yes\nMinimize=No\n", true, false, {"maximize", "not minimized"}},
    {"saved maximized, already maximized", "Maximize=Yes\nMinimize=No\n", true, true, {"not minimized"}},
    {"maximized now, saved normal", "Maximize=No\nMinimize=No\nXPos=1\nYPos=2\n", true, true,
     {"normal", "x 1", "y 2", "not minimized"}},
    {"\"yes\" is not \"Yes\": skipped", "Maximize=yes\nXPos=1\n", true, false, {}},
    {"no Maximize: skipped", "XPos=1\nYPos=2\n", true, false, {}},
    {"empty Maximize: skipped", "Maximize=\nXPos=1\n", true, false, {}},
    {"written \"Yes\" minimized reads as 0", "Maximize=No\nMinimize=Yes\n", true, false, {"not minimized"}},
    {"hand-edited Minimize=1", "Maximize=No\nMinimize=1\n", true, false, {"minimize"}},
    {"Minimize keeps 8 bits: 256", "Maximize=No\nMinimize=256\n", true, false, {"not minimized"}},
    {"Minimize keeps 8 bits: 257", "Maximize=No\nMinimize=257\n", true, false, {"minimize"}},
    {"no number reads as 0", "Maximize=No\nXPos=\nYPos=left\nWidth=-7\n", true, false,
     {"x 0", "y 0", "width -7", "not minimized"}},
    {"the none value leaves an edge", "Maximize=No\nXPos=-2147483648\nYPos=5\nHeight=-2147483648\n", true, false,
     {"y 5", "not minimized"}},
    {"quoted and blank-padded values", "Maximize = \"No\" \nXPos=\" 12 \"\n", true, false, {"x 12", "not minimized"}},
};

class RestorePosition : public WindowSettingsTest, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(RestorePosition, AppliesWhatTheSectionHolds) {
    const RestoreCase& c = GetParam();
    if (!c.section.empty()) put("orvane.INI", "[Other]\nMaximize=Yes\n[Main]\n" + c.section);
    manager.start("orvane.INI");
    FakePlacedWindow window(c.resizable, 50, 60, 399, 242);
    window.maximized = c.maximizedBefore;
    manager.restorePosition("Main", window);
    EXPECT_EQ(window.changes, c.changes) << c.what;
    if (c.section.empty()) {
        EXPECT_FALSE(fs::exists(folder()));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RestorePosition, ::testing::ValuesIn(restoreCases));

// ---------------------------------------------------------------- save

TEST_F(WindowSettingsTest, SavesANormalWindowInKeyOrder) {
    FakePlacedWindow window(true, -4, 30, 400, 250);
    manager.savePosition("Main", window);
    EXPECT_EQ(contents("orvane.INI"), "[Main]\nMaximize=No\nMinimize=No\nXPos=-4\nYPos=30\nWidth=400\nHeight=250\n");
}

TEST_F(WindowSettingsTest, MaximizedOrMinimizedWindowLosesItsPositionKeys) {
    const struct {
        bool maximized, minimized;
        const char* expected;
    } cases[] = {
        {true, false, "; mine\n[Main]\nMaximize=Yes\nMinimize=No\nOther=1\n"},
        {false, true, "; mine\n[Main]\nMaximize=No\nMinimize=Yes\nOther=1\n"},
        {true, true, "; mine\n[Main]\nMaximize=Yes\nMinimize=Yes\nOther=1\n"},
    };
    for (const auto& c : cases) {
        put("orvane.INI", "; mine\n[Main]\nMaximize=No\nMinimize=No\nXPos=1\nYPos=2\nWidth=3\nHeight=4\nOther=1\n");
        FakePlacedWindow window(true, 1, 2, 3, 4);
        window.maximized = c.maximized;
        window.minimized = c.minimized;
        manager.savePosition("Main", window);
        EXPECT_EQ(contents("orvane.INI"), c.expected) << c.maximized << c.minimized;
    }
}

TEST_F(WindowSettingsTest, DialogSectionLosesHandEditedSize) {
    put("orvane.INI", "[VideoCap]\nWidth=500\nXPos=1\nHeight=300\n");
    FakePlacedWindow window(false, 7, 8, 200, 100);
    manager.savePosition("VideoCap", window);
    EXPECT_EQ(contents("orvane.INI"), "[VideoCap]\nXPos=7\nMaximize=No\nMinimize=No\nYPos=8\n");
}

TEST_F(WindowSettingsTest, SavedPlacesComeBackOnTheNextOpening) {
    FakePlacedWindow maximized(true, 10, 10, 399, 242);
    maximized.maximized = true;
    manager.savePosition("Main", maximized);
    FakePlacedWindow minimizedDialog(false, 30, 40, 100, 50);
    minimizedDialog.minimized = true;
    manager.savePosition("CapPalette", minimizedDialog);
    FakePlacedWindow movedDialog(false, 30, 40, 100, 50);
    manager.savePosition("CaptureFrames", movedDialog);

    // Maximized again, at the layout position; the minimized dialog reopens
    // normal at its layout position; the moved dialog where it was.
    FakePlacedWindow main(true, 0, 0, 399, 242), palette(false, 5, 5, 100, 50), frames(false, 5, 5, 100, 50);
    manager.restorePosition("Main", main);
    manager.restorePosition("CapPalette", palette);
    manager.restorePosition("CaptureFrames", frames);
    EXPECT_EQ(main.changes, (Changes{"maximize", "not minimized"}));
    EXPECT_EQ(palette.changes, (Changes{"not minimized"}));
    EXPECT_EQ(frames.changes, (Changes{"x 30", "y 40", "not minimized"}));
}

TEST_F(WindowSettingsTest, FailedWritesChangeNothingElse) {
    std::ofstream(root_ / "videocapture") << "a file where the folder should be";
    FakePlacedWindow window(true, 1, 2, 3, 4);
    manager.savePosition("Main", window);  // cannot be written; the program runs on
    manager.stop();
    FakePlacedWindow fresh(true, 9, 9, 9, 9);
    manager.restorePosition("Main", fresh);
    EXPECT_TRUE(fresh.changes.empty());
}

TEST(WindowSettingsUnstarted, TouchesNoFile) {
    shell::WindowSettings manager;
    FakePlacedWindow window(true, 1, 2, 3, 4);
    manager.savePosition("Main", window);
    manager.restorePosition("Main", window);
    manager.stop();
    EXPECT_TRUE(window.changes.empty());
    EXPECT_TRUE(manager.file().empty());
}

// ---------------------------------------------------------------- bookkeeping

TEST_F(WindowSettingsTest, FreshFileGetsSectorsZero) {
    EXPECT_TRUE(manager.entries().empty());
    manager.stop();
    EXPECT_EQ(contents("orvane.INI"), "[__Dont_Touch_Me__]\nSectors=0\n");
}

TEST_F(WindowSettingsTest, EntriesAreReadAndWrittenBackUnchanged) {
    const std::string file =
        "[Main]\nMaximize=No\n"
        "[__Dont_Touch_Me__]\n"
        "Sectors=4\n"
        "Sectors_1=alpha,beta,gamma\n"
        "sectors_2=one,,three\n"
        "Sectors_3=only one field\n"
        "Sectors_4=a,b,c,d\n";
    put("orvane.INI", file);
    manager.start("orvane.INI");
    using E = shell::WindowSettings::Entry;
    EXPECT_EQ(manager.entries(), (std::vector<E>{{"alpha", "beta", "gamma"},
                                                 {"one", "", "three"},
                                                 {"only one field", "", ""},
                                                 {"a", "b", "c"}}));
    manager.stop();
    EXPECT_EQ(contents("orvane.INI"), file);
}

TEST_F(WindowSettingsTest, MissingEntriesReadAsUnknown) {
    put("orvane.INI", "[__Dont_Touch_Me__]\nSectors=2\nSectors_2=x,y,z\n");
    manager.start("orvane.INI");
    using E = shell::WindowSettings::Entry;
    EXPECT_EQ(manager.entries(), (std::vector<E>{{"---Unknown---", "", ""}, {"x", "y", "z"}}));
    manager.stop();
    EXPECT_EQ(contents("orvane.INI"), "[__Dont_Touch_Me__]\nSectors=2\nSectors_2=x,y,z\nSectors_1=---Unknown---,,\n");
}

TEST_F(WindowSettingsTest, EntryFieldsKeepAtMost99Characters) {
    put("orvane.INI", "[__Dont_Touch_Me__]\nSectors=1\nSectors_1=" + std::string(120, 'a') + ",b,c\n");
    manager.start("orvane.INI");
    ASSERT_EQ(manager.entries().size(), 1u);
    EXPECT_EQ(manager.entries()[0][0], std::string(99, 'a'));
}

TEST_F(WindowSettingsTest, BrokenCountsAreBounded) {
    const struct {
        const char* sectors;
        std::size_t entries;
    } cases[] = {{"", 0}, {"none", 0}, {"-3", 0}, {"2.9", 2}, {"99999999999", 1024}};
    for (const auto& c : cases) {
        put("orvane.INI", std::string("[__Dont_Touch_Me__]\nSectors=") + c.sectors + "\n");
        manager.start("orvane.INI");
        EXPECT_EQ(manager.entries().size(), c.entries) << c.sectors;
    }
}

}  // namespace
}  // namespace settings_test
