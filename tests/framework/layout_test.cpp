// Numbering, names, fonts and dialog units of a window built from its layout.

#include "platform/framework/window.h"
#include "tests/framework/test_layout.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace framework_test {
namespace {

using platform::ControlNumber;
using platform::Window;

TEST(Numbering, MenusFirstInDeclarationOrderSeparatorsUnnumbered) {
    Window window(testLayout());
    const std::vector<std::pair<ControlNumber, std::string>> expected = {
        {FILE_MENU, "?FILE"},        {OPEN_ITEM, "?FILEOPEN"},       {EXIT_ITEM, "?FILEEXIT"},
        {VIEW_MENU, "?VIEW"},        {PREVIEW_ITEM, "?PREVIEWFLAG"}, {REGION, "?REGION1"},
        {BOX, "?CAPREG"},            {OK_BUTTON, "?OKBUTTON"},       {CLOSE_BUTTON, "?CANCELBUTTON"},
        {TITLE_STRING, "?STRING1"},  {PROMPT, "?PROMPT1"},           {DRIVER_LIST, "?LOC:DRIVER"},
        {FPS_ENTRY, "?FPS"},         {NAME_ENTRY, "?NAME"},          {COLORS_SPIN, "?NUMCOLORS"},
        {AUDIO_CHECK, "?CAPTUREAUDIO"},
    };
    ASSERT_EQ(window.controls().size(), expected.size());
    for (const auto& [number, useName] : expected) {
        EXPECT_EQ(window.useName(number), useName) << number;
        EXPECT_EQ(window.numberOf(useName), number) << useName;
    }
    // The separator stands between "&Open..." and "E&xit" without a number of its own.
    EXPECT_EQ(window.menuChildren(FILE_MENU), (std::vector<ControlNumber>{OPEN_ITEM, 0, EXIT_ITEM}));
    EXPECT_EQ(window.kind(PREVIEW_ITEM), Kind::CheckItem);
    EXPECT_EQ(window.numberOf("?NOSUCH"), 0);
}

TEST(Numbering, AMenuDeclaredAfterControlsStillComesFirst) {
    platform::WindowDecl decl;
    decl.width = decl.height = 50;
    decl.controls = {
        ControlDecl{.kind = Kind::Button, .text = "A", .useName = "?A", .at = {1, 1, 20, 10}},
        ControlDecl{.kind = Kind::Menu, .text = "&M", .useName = "?M"},
        ControlDecl{.kind = Kind::Separator},
        ControlDecl{.kind = Kind::Item, .text = "&I", .useName = "?I"},
        ControlDecl{.kind = Kind::Button, .text = "B", .useName = "?B", .at = {1, 20, 20, 10}},
    };
    Window window(decl);
    EXPECT_EQ(window.numberOf("?M"), 1);
    EXPECT_EQ(window.numberOf("?I"), 2);
    EXPECT_EQ(window.numberOf("?A"), 3);
    EXPECT_EQ(window.numberOf("?B"), 4);
}

TEST(Names, ObjectNameIsTheUseNameAccessibleNameTheVisibleText) {
    Window window(testLayout());
    EXPECT_EQ(window.action(EXIT_ITEM)->objectName(), "FILEEXIT");
    EXPECT_EQ(window.action(EXIT_ITEM)->text(), "E&xit");
    EXPECT_EQ(window.widget(FILE_MENU)->objectName(), "FILE");
    EXPECT_EQ(window.widget(DRIVER_LIST)->objectName(), "LOC:DRIVER");
    QWidget* ok = window.widget(OK_BUTTON);
    EXPECT_EQ(ok->objectName(), "OKBUTTON");
    EXPECT_EQ(window.nativeHandle()->findChild<QPushButton*>("OKBUTTON"), ok);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(ok);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), "OK");
}

TEST(Names, TitleFontsAndColours) {
    Window window(testLayout());
    EXPECT_EQ(window.nativeHandle()->windowTitle(), "Test Window");
    // The dialog font "MS Sans Serif" is served by its metric twin.
    EXPECT_EQ(QFontInfo(window.nativeHandle()->font()).family(), "Liberation Sans");
    EXPECT_EQ(window.nativeHandle()->font().pointSize(), 8);
    const QWidget* title = window.widget(TITLE_STRING);
    EXPECT_EQ(title->font().pointSize(), 12);
    EXPECT_EQ(title->font().weight(), QFont::Bold);
    EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(255, 255, 0));  // 00FFFFH
    EXPECT_FALSE(title->autoFillBackground());                                        // transparent
    EXPECT_TRUE(window.widget(PROMPT)->autoFillBackground());
    // Regions and boxes paint their Windows colours (0x00BBGGRR): navy is RGB 0, 0, 128.
    const QImage region = window.widget(REGION)->grab().toImage();
    EXPECT_EQ(region.pixelColor(region.width() / 2, region.height() / 2), QColor(0, 0, 128));
    const QImage box = window.widget(BOX)->grab().toImage();
    EXPECT_EQ(box.pixelColor(0, 0), QColor(0, 0, 128));
}

TEST(Placement, MaximisedStaysMaximisedWhenTheMinimisedStateIsRestored) {
    Window window(testLayout());
    window.open();
    window.showMaximized();
    EXPECT_TRUE(window.isMaximized());
    window.setMinimized(false);
    EXPECT_TRUE(window.isMaximized());
    window.setMinimized(true);
    EXPECT_TRUE(window.isMinimized());
    window.setMinimized(false);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isMaximized());
    window.showNormal();
    EXPECT_FALSE(window.isMaximized());
    window.close();
}

TEST(Placement, PositionAndSizeInDialogUnits) {
    Window window(testLayout());
    window.open();
    window.setX(40);
    window.setY(24);
    window.setWidth(300);
    window.setHeight(150);
    EXPECT_EQ(std::make_tuple(window.x(), window.y(), window.width(), window.height()), std::make_tuple(40, 24, 300, 150));
    window.close();
}

TEST(DialogUnits, ConvertWithTheFontsBaseUnits) {
    Window window(testLayout());
    const QFontMetrics metrics(window.nativeHandle()->font());
    const int baseX = (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    const int baseY = metrics.height();
    const auto round = [](double v) { return static_cast<int>(v + 0.5); };
    const platform::Rect du{150, 40, 45, 14};
    const QRect px = window.toPixels(du);
    EXPECT_EQ(px, QRect(round(150.0 * baseX / 4), round(40.0 * baseY / 8), round(45.0 * baseX / 4), round(14.0 * baseY / 8)));
    EXPECT_EQ(window.widget(OK_BUTTON)->geometry(), px);
    const platform::Rect back = window.toDialogUnits(px);
    EXPECT_EQ(std::tie(back.x, back.y, back.width, back.height), std::tie(du.x, du.y, du.width, du.height));
    // The capture component places its window on a control's rectangle in the top-level widget.
    EXPECT_EQ(window.controlRect(BOX)->topLeft(), window.widget(BOX)->mapTo(window.hostWidget(), QPoint(0, 0)));
    EXPECT_EQ(window.controlRect(BOX)->size(), window.widget(BOX)->size());
    EXPECT_FALSE(window.controlRect(EXIT_ITEM).has_value());
    // The window's client area is its layout size.
    EXPECT_EQ(window.width(), 200);
    EXPECT_EQ(window.height(), 120);
}

TEST(DialogUnits, ADoubleFrameHasAFixedSizeASizingFrameNot) {
    platform::WindowDecl decl = testLayout();
    decl.frame = platform::Frame::Double;
    Window fixed(decl);
    EXPECT_EQ(fixed.nativeHandle()->minimumSize(), fixed.nativeHandle()->maximumSize());
    EXPECT_FALSE(fixed.isResizable());
    Window sizing(testLayout());
    EXPECT_NE(sizing.nativeHandle()->minimumSize(), sizing.nativeHandle()->maximumSize());
    EXPECT_TRUE(sizing.isResizable());
}

TEST(DialogUnits, AutomaticSizesFollowTheSizeHint) {
    Window window(testLayout());
    const QWidget* prompt = window.widget(PROMPT);
    EXPECT_GE(prompt->width(), prompt->sizeHint().width());
    EXPECT_GE(prompt->height(), prompt->sizeHint().height());
    const platform::Rect du = window.controlRectDu(PROMPT);
    EXPECT_EQ(du.x, 90);
    EXPECT_GT(du.width, 0);
}

TEST(State, DisabledAndHiddenAtOpen) {
    platform::WindowDecl decl = testLayout();
    decl.controls[8].disabled = true;   // "&OK"
    decl.controls[9].hidden = true;     // "&Close"
    decl.controls[3].disabled = true;   // "E&xit"
    Window window(decl);
    EXPECT_FALSE(window.isEnabled(OK_BUTTON));
    EXPECT_TRUE(window.isHidden(CLOSE_BUTTON));
    EXPECT_FALSE(window.isEnabled(EXIT_ITEM));
    window.enable(OK_BUTTON);
    window.unhide(CLOSE_BUTTON);
    window.hide(OPEN_ITEM);
    window.disable(AUDIO_CHECK);
    EXPECT_TRUE(window.isEnabled(OK_BUTTON));
    EXPECT_FALSE(window.isHidden(CLOSE_BUTTON));
    EXPECT_TRUE(window.isHidden(OPEN_ITEM));
    EXPECT_FALSE(window.action(OPEN_ITEM)->isVisible());
    EXPECT_FALSE(window.isEnabled(AUDIO_CHECK));
    // Unknown numbers do nothing.
    window.enable(999);
    EXPECT_FALSE(window.exists(999));
}

TEST(State, CreatedMenuItemTakesTheNextNumber) {
    Window window(testLayout());
    std::uint8_t used = 1;
    const ControlNumber item = window.createMenuItem(VIEW_MENU);
    EXPECT_EQ(item, AUDIO_CHECK + 1);
    window.bind(item, &used);
    window.makeCheckItem(item);
    window.setText(item, "Test Driver");
    EXPECT_EQ(window.menuChildren(VIEW_MENU), (std::vector<ControlNumber>{PREVIEW_ITEM, item}));
    EXPECT_EQ(window.text(item), "Test Driver");
    EXPECT_TRUE(window.isChecked(item));
    EXPECT_EQ(window.kind(item), Kind::CheckItem);
    EXPECT_EQ(window.createMenuItem(OK_BUTTON), 0);  // not a menu
}

TEST(State, APromptWithAMnemonicLeadsToTheNextControl) {
    platform::WindowDecl decl = testLayout();
    decl.controls[11].text = "Select &Driver";
    Window window(decl);
    EXPECT_EQ(static_cast<QLabel*>(window.widget(PROMPT))->buddy(), window.widget(DRIVER_LIST));
    EXPECT_EQ(static_cast<QLabel*>(Window(testLayout()).widget(PROMPT))->buddy(), nullptr);
}

TEST(State, FirstFocusGoesToTheNextControlThatCanTakeIt) {
    Window window(testLayout());
    window.setFirstFocus(REGION);  // a region cannot take the focus; the box neither
    window.open();
    EXPECT_EQ(window.nativeHandle()->focusWidget(), window.widget(OK_BUTTON));
    window.close();
}

TEST(Appearance, ADisabledControlKeepsGreyedTextUnderAFontColour) {
    platform::WindowDecl decl;
    decl.width = decl.height = 60;
    decl.font.colour = platform::COLOR_BLACK;
    decl.controls = {
        ControlDecl{.kind = Kind::Button, .text = "Go", .useName = "?GO", .at = {1, 1, 30, 12},
                    .textColour = platform::COLOR_BLACK, .disabled = true},
    };
    Window window(decl);
    const QPalette palette = window.widget(1)->palette();
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::ButtonText), QColor(Qt::black));
    EXPECT_NE(palette.color(QPalette::Disabled, QPalette::ButtonText), QColor(Qt::black));
}

}  // namespace
}  // namespace framework_test
