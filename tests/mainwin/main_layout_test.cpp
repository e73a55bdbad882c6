// The main window as it opens: every control's number, kind, text and use
// name, the positions, the states at open, the menus and the frame.

#include "tests/mainwin/main_fixture.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace mainwin_test {
namespace {

using platform::Kind;
using testing::ElementsAre;
using testing::ElementsAreArray;
using namespace mainwin;

struct Row {
    ControlNumber number;
    Kind kind;
    const char* text;
    const char* useName;
};

const Row controls[] = {
    {mainwin::FILE, Kind::Menu, "&File", "?FILE"},
    {FILEITEM20, Kind::Item, "&Load Palette...", "?FILEITEM20"},
    {FILEITEM11, Kind::Item, "&Set Capture File...", "?FILEITEM11"},
    {FILEITEM13, Kind::Item, "Save &Captured Video As...", "?FILEITEM13"},
    {FILESAVEPALETTE, Kind::Item, "Save &Palette...", "?FILESAVEPALETTE"},
    {FILESAVESINGLEFRAME, Kind::Item, "Save Single &Frame...", "?FILESAVESINGLEFRAME"},
    {FILEEXIT, Kind::Item, "&Exit", "?FILEEXIT"},
    {EDIT, Kind::Menu, "&Edit", "?EDIT"},
    {mainwin::EDITCOPY, Kind::Item, "&Copy Frame to Clipboard", "?EDITCOPY"},
    {OPTIONS, Kind::Menu, "&Options", "?OPTIONS"},
    {OPTIONSITEM7, Kind::Item, "&Audio Format...", "?OPTIONSITEM7"},
    {OPTIONSFORMAT, Kind::Item, "&Format", "?OPTIONSFORMAT"},
    {OPTIONSSOURCE, Kind::Item, "&Source", "?OPTIONSSOURCE"},
    {OPTIONSDISPLAY, Kind::Item, "&Display...", "?OPTIONSDISPLAY"},
    {OPTIONSCOMPRESSION, Kind::Item, "&Compression...", "?OPTIONSCOMPRESSION"},
    {PREVIEWFLAG, Kind::CheckItem, "&Preview", "?PREVIEWFLAG"},
    {OVERLAYFLAG, Kind::CheckItem, "&Overlay", "?OVERLAYFLAG"},
    {OPTIONSDESTROY, Kind::Item, "?Destroy", "?OPTIONSDESTROY"},
    {CAPTURE, Kind::Menu, "&Capture", "?CAPTURE"},
    {mainwin::CAPTURESINGLEFRAME, Kind::Item, "&Single Frame", "?CAPTURESINGLEFRAME"},
    {CAPTUREFRAMES, Kind::Item, "&Frames...", "?CAPTUREFRAMES"},
    {CAPTUREVIDEO, Kind::Item, "&Video...", "?CAPTUREVIDEO"},
    {CAPTUREPALETTE, Kind::Item, "&Palette...", "?CAPTUREPALETTE"},
    {HELP, Kind::Menu, "&Help", "?HELP"},
    {HELPSYSTEMINFO, Kind::Item, "&System Info...", "?HELPSYSTEMINFO"},
    {REGION1, Kind::Region, "", "?REGION1"},
    {CAPREG, Kind::Box, "", "?CAPREG"},
    {NEWREGION, Kind::Button, "New Region", "?NEWREGION"},
    {ENUMERATEDRIVERS, Kind::Button, "Enumerate Drivers", "?ENUMERATEDRIVERS"},
    {STARTCAPTURE, Kind::Button, "Start Capture", "?STARTCAPTURE"},
    {STRING1, Kind::String, "Capture Region", "?STRING1"},
    {PROMPT1, Kind::Prompt, "Select Driver", "?PROMPT1"},
    {LOC_DRIVER, Kind::DropList, "", "?LOC:DRIVER"},
    {CAPTUREJPEG, Kind::Button, "Capture Frame JPEG", "?CAPTUREJPEG"},
    {PROMPT2, Kind::Prompt, "New region", "?PROMPT2"},
    {CAPTUREBMP, Kind::Button, "Capture Frame BMP", "?CAPTUREBMP"},
    {RESIZE, Kind::Button, "Resize", "?RESIZE"},
    {CANCELBUTTON, Kind::Button, "&Close", "?CANCELBUTTON"},
};

struct Placed {
    ControlNumber number;
    platform::Rect at;
};

// The controls with a size of their own, in dialog units at the layout's size.
const Placed placed[] = {
    {REGION1, {297, 9, 55, 44}},      {CAPREG, {10, 16, 161, 127}},      {NEWREGION, {283, 167, 93, 14}},
    {ENUMERATEDRIVERS, {282, 64, 93, 14}}, {STARTCAPTURE, {282, 115, 93, 14}}, {LOC_DRIVER, {282, 98, 114, 14}},
    {CAPTUREJPEG, {282, 132, 93, 14}}, {CAPTUREBMP, {282, 149, 93, 14}},  {RESIZE, {322, 197, 59, 14}},
    {CANCELBUTTON, {294, 219, 93, 14}},
};

TEST_F(MainWindowTest, EveryControlHasItsNumberKindTextAndUseName) {
    user.then([](Window& w) {
        std::vector<ControlNumber> expected;
        for (const Row& row : controls) {
            SCOPED_TRACE(row.useName);
            expected.push_back(row.number);
            EXPECT_EQ(w.numberOf(row.useName), row.number);
            EXPECT_EQ(w.kind(row.number), row.kind);
            EXPECT_EQ(w.text(row.number), row.text);
            EXPECT_EQ(w.useName(row.number), row.useName);
        }
        EXPECT_THAT(w.controls(), ElementsAreArray(expected));
        EXPECT_EQ(w.widget(STARTCAPTURE)->objectName(), "STARTCAPTURE");
        EXPECT_EQ(w.widget(LOC_DRIVER)->objectName(), "LOC:DRIVER");
    });
    user.press(CANCELBUTTON);
    runMain();
}

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
    user.then([](Window& w) {
        EXPECT_EQ(w.hostWidget()->windowTitle(), "Video Capture");
        EXPECT_EQ(w.width(), 399);
        EXPECT_EQ(w.height(), 242);
        EXPECT_TRUE(w.isResizable());
        for (const Placed& p : placed) {
            SCOPED_TRACE(w.useName(p.number));
            const platform::Rect at = w.controlRectDu(p.number);
            EXPECT_EQ(at.x, p.at.x);
            EXPECT_EQ(at.y, p.at.y);
            EXPECT_EQ(at.width, p.at.width);
            EXPECT_EQ(at.height, p.at.height);
        }
        // Sized to their texts: only the position is laid down.
        for (const Placed& p : {Placed{STRING1, {48, 72}}, Placed{PROMPT1, {281, 87}}, Placed{PROMPT2, {307, 25}}}) {
            SCOPED_TRACE(w.useName(p.number));
            EXPECT_EQ(w.controlRectDu(p.number).x, p.at.x);
            EXPECT_EQ(w.controlRectDu(p.number).y, p.at.y);
        }
    });
    user.press(CANCELBUTTON);
    runMain();
}

// Appearance at open: colours are Windows values (0x00BBGGRR); a font of its
// own only where the table gives one.
struct Look {
    ControlNumber number;
    std::optional<std::uint32_t> fill;
    std::optional<std::uint32_t> border;
    std::optional<std::uint32_t> textColour;  // the control's own text colour, or its font's
    std::optional<int> points;
    std::optional<int> weight;
    bool transparent;
};

const Look looks[] = {
    {REGION1, 0x800000, std::nullopt, std::nullopt, std::nullopt, std::nullopt, false},
    {CAPREG, 0x800000, 0x800000, std::nullopt, std::nullopt, std::nullopt, false},
    {STRING1, std::nullopt, std::nullopt, 0x00FFFF, 12, 700, true},
    {PROMPT1, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, false},
    {PROMPT2, std::nullopt, std::nullopt, 0xFFFFFF, std::nullopt, std::nullopt, true},
};

// A control's row in the layout, by use name.
const platform::ControlDecl& declOf(const std::string& useName) {
    const auto& decls = mainLayout().controls;
    const auto it = std::find_if(decls.begin(), decls.end(),
                                 [&](const platform::ControlDecl& c) { return c.useName == useName; });
    if (it == decls.end()) throw std::out_of_range(useName);
    return *it;
}

std::optional<std::uint32_t> bgr(const std::optional<platform::Colour>& c) {
    return c ? std::optional(c->bgr) : std::nullopt;
}
QColor fromBgr(std::uint32_t v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

TEST_F(MainWindowTest, WindowFrameAndFontAreTheLayouts) {
    const platform::WindowDecl& decl = mainLayout();
    EXPECT_EQ(decl.title, "Video Capture");
    EXPECT_FALSE(decl.x.has_value());
    EXPECT_FALSE(decl.y.has_value());
    EXPECT_EQ(decl.font.face, "MS Sans Serif");
    EXPECT_EQ(decl.font.points, 8);
    EXPECT_EQ(decl.font.weight, 400);
    EXPECT_EQ(decl.font.colour.bgr, 0x000000u);
    EXPECT_EQ(decl.font.charset, 204);
    EXPECT_EQ(decl.frame, platform::Frame::Sizing);
    EXPECT_TRUE(decl.immediate);
    user.then([](Window& w) {
        const Qt::WindowFlags flags = w.hostWidget()->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
        EXPECT_TRUE(flags & Qt::WindowTitleHint);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(w.hostWidget()->font().pointSize(), 8);
        // No minimum and no maximum size.
        EXPECT_EQ(w.hostWidget()->minimumSize(), QSize(0, 0));
        EXPECT_EQ(w.hostWidget()->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    });
    user.press(CANCELBUTTON);
    runMain();
}

TEST_F(MainWindowTest, RegionBoxAndTextsHaveTheirColoursAndFonts) {
    for (const Look& look : looks) {
        const platform::ControlDecl& d = declOf(controls[look.number - 1].useName);
        SCOPED_TRACE(d.useName);
        EXPECT_EQ(bgr(d.fill), look.fill);
        EXPECT_EQ(bgr(d.border), look.border);
        EXPECT_EQ(d.transparent, look.transparent);
        EXPECT_EQ(d.font.has_value(), look.points.has_value());
        if (d.font) {
            EXPECT_EQ(d.font->face, "MS Sans Serif");
            EXPECT_EQ(d.font->points, *look.points);
            EXPECT_EQ(d.font->weight, *look.weight);
            EXPECT_EQ(d.font->charset, 204);
        }
        const std::optional<std::uint32_t> text = d.textColour ? bgr(d.textColour) : d.font ? bgr(d.font->colour)
                                                                                           : std::nullopt;
        EXPECT_EQ(text, look.textColour);
    }
    user.then([](Window& w) {
        // As drawn: the yellow bold title of the capture region and the white prompt.
        const auto* title = qobject_cast<const QLabel*>(w.widget(STRING1));
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->font().pointSize(), 12);
        EXPECT_EQ(title->font().weight(), QFont::Bold);
        EXPECT_EQ(title->palette().color(QPalette::Active, QPalette::WindowText), fromBgr(0x00FFFF));
        EXPECT_FALSE(title->autoFillBackground());
        const auto* prompt = qobject_cast<const QLabel*>(w.widget(PROMPT2));
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->palette().color(QPalette::Active, QPalette::WindowText), fromBgr(0xFFFFFF));
        EXPECT_EQ(w.widget(PROMPT1)->font().pointSize(), 8);
        // The driver list: ten rows when dropped, one column headed "Description".
        const auto* list = qobject_cast<const QComboBox*>(w.widget(LOC_DRIVER));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->maxVisibleItems(), 10);
        EXPECT_EQ(list->model()->columnCount(), 1);
        EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), "Description");
        EXPECT_EQ(list->count(), 0);
    });
    user.press(CANCELBUTTON);
    runMain();
    EXPECT_EQ(declOf("?LOC:DRIVER").format, "316L(2)|M~Description~@s79@");
    EXPECT_EQ(declOf("?LOC:DRIVER").dropRows, 10);
}

TEST_F(MainWindowTest, FirstFocusOnTheRegionGoesOnToEnumerateDrivers) {
    // 26 and 27 cannot take the focus and 28 is disabled: the next in tab order is 29.
    user.then([](Window& w) { EXPECT_EQ(w.hostWidget()->focusWidget(), w.widget(ENUMERATEDRIVERS)); });
    user.press(CANCELBUTTON);
    runMain();
}

TEST_F(MainWindowTest, OpensWithOnlyEnumerateCloseAndTheMenusUsable) {
    user.then([this](Window& w) {
        for (ControlNumber c : {NEWREGION, STARTCAPTURE, CAPTUREJPEG, CAPTUREBMP}) {
            EXPECT_FALSE(w.isEnabled(c)) << w.useName(c);
        }
        for (ControlNumber c : {ENUMERATEDRIVERS, CANCELBUTTON, OPTIONSFORMAT, OPTIONSSOURCE, OPTIONSDISPLAY,
                                OVERLAYFLAG, PREVIEWFLAG}) {
            EXPECT_TRUE(w.isEnabled(c)) << w.useName(c);
        }
        EXPECT_TRUE(w.isHidden(RESIZE));
        EXPECT_FALSE(w.isHidden(OPTIONSDESTROY));
        EXPECT_TRUE(w.isChecked(PREVIEWFLAG));
        EXPECT_FALSE(w.isChecked(OVERLAYFLAG));
        EXPECT_EQ(w.text(LOC_DRIVER), "");
        EXPECT_EQ(w.listChoice(LOC_DRIVER), 0u);
        EXPECT_EQ(main().previewFlag(), 1);
        EXPECT_EQ(main().overlayFlag(), 0);
        // No button is the default one.
        for (const Row& row : controls) {
            if (row.kind != Kind::Button) continue;
            const auto* button = qobject_cast<const QPushButton*>(w.widget(row.number));
            ASSERT_NE(button, nullptr) << row.useName;
            EXPECT_FALSE(button->isDefault()) << row.useName;
        }
        // Opening asks nothing of the capture component.
        EXPECT_THAT(capture.calls(), testing::IsEmpty());
        EXPECT_EQ(errors.currentProcedure(), "Main");
    });
    user.press(CANCELBUTTON);
    runMain();
}

TEST_F(MainWindowTest, MenusHoldTheirItemsAndSeparatorsInOrder) {
    user.then([](Window& w) {
        EXPECT_THAT(w.menuChildren(mainwin::FILE),
                    ElementsAre(FILEITEM20, FILEITEM11, 0, FILEITEM13, FILESAVEPALETTE, FILESAVESINGLEFRAME, 0, 0,
                                FILEEXIT));
        EXPECT_THAT(w.menuChildren(EDIT), ElementsAre(mainwin::EDITCOPY));
        EXPECT_THAT(w.menuChildren(OPTIONS),
                    ElementsAre(OPTIONSITEM7, 0, OPTIONSFORMAT, OPTIONSSOURCE, OPTIONSDISPLAY, 0, OPTIONSCOMPRESSION,
                                0, PREVIEWFLAG, OVERLAYFLAG, 0, OPTIONSDESTROY));
        EXPECT_THAT(w.menuChildren(CAPTURE),
                    ElementsAre(mainwin::CAPTURESINGLEFRAME, CAPTUREFRAMES, CAPTUREVIDEO, CAPTUREPALETTE));
        EXPECT_THAT(w.menuChildren(HELP), ElementsAre(HELPSYSTEMINFO));
    });
    user.press(CANCELBUTTON);
    runMain();
}

TEST_F(MainWindowTest, TwoSeparatorsInARowAreBothDrawn) {
    user.then([](Window& w) {
        auto* file = qobject_cast<QMenu*>(w.widget(mainwin::FILE));
        ASSERT_NE(file, nullptr);
        std::vector<QAction*> separators;
        for (QAction* action : file->actions())
            if (action->isSeparator()) separators.push_back(action);
        ASSERT_EQ(separators.size(), 3u);
        for (QAction* separator : separators) EXPECT_FALSE(file->actionGeometry(separator).isEmpty());
        EXPECT_LT(file->actionGeometry(separators[1]).top(), file->actionGeometry(separators[2]).top());
    });
    user.press(CANCELBUTTON);
    runMain();
}

TEST_F(MainWindowTest, PlaceholderAndListReachTheFallbackAndChangeNothing) {
    giveDrivers(2);
    user.choose(OPTIONSDESTROY).then([this](Window&) { EXPECT_THAT(capture.calls(), testing::IsEmpty()); });
    user.press(ENUMERATEDRIVERS);
    forget().selectRow(LOC_DRIVER, 2).then([this](Window& w) {
        EXPECT_THAT(capture.calls(), testing::IsEmpty());
        EXPECT_EQ(w.listChoice(LOC_DRIVER), 2u);
        EXPECT_FALSE(w.isEnabled(CAPTUREJPEG));
    });
    user.press(CANCELBUTTON);
    runMain();
    EXPECT_THAT(messages.messages(), testing::IsEmpty());
}

}  // namespace
}  // namespace mainwin_test
