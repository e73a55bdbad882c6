#pragma once
// A small window for the framework tests: a menu bar with a separator and a
// check item, then one control of each kind.

#include "platform/framework/layout.h"

namespace framework_test {

using platform::ControlDecl;
using platform::Kind;

// Control numbers of the test window.
enum : platform::ControlNumber {
    FILE_MENU = 1,
    OPEN_ITEM = 2,
    EXIT_ITEM = 3,  // after a separator
    VIEW_MENU = 4,
    PREVIEW_ITEM = 5,
    REGION = 6,
    BOX = 7,
    OK_BUTTON = 8,
    CLOSE_BUTTON = 9,
    TITLE_STRING = 10,
    PROMPT = 11,
    DRIVER_LIST = 12,
    FPS_ENTRY = 13,
    NAME_ENTRY = 14,
    COLORS_SPIN = 15,
    AUDIO_CHECK = 16,
};

inline platform::WindowDecl testLayout() {
    platform::WindowDecl decl;
    decl.title = "Test Window";
    decl.width = 200;
    decl.height = 120;
    decl.frame = platform::Frame::Sizing;
    decl.controls = {
        ControlDecl{.kind = Kind::Menu, .text = "&File", .useName = "?FILE"},
        ControlDecl{.kind = Kind::Item, .text = "&Open...", .useName = "?FILEOPEN"},
        ControlDecl{.kind = Kind::Separator},
        ControlDecl{.kind = Kind::Item, .text = "E&xit", .useName = "?FILEEXIT"},
        ControlDecl{.kind = Kind::Menu, .text = "&View", .useName = "?VIEW"},
        ControlDecl{.kind = Kind::CheckItem, .text = "&Preview", .useName = "?PREVIEWFLAG"},
        ControlDecl{.kind = Kind::Region, .useName = "?REGION1", .at = {150, 4, 40, 30}, .fill = platform::COLOR_NAVY},
        ControlDecl{.kind = Kind::Box, .useName = "?CAPREG", .at = {4, 4, 80, 60}, .fill = platform::COLOR_NAVY,
                    .border = platform::COLOR_NAVY},
        ControlDecl{.kind = Kind::Button, .text = "&OK", .useName = "?OKBUTTON", .at = {150, 40, 45, 14}},
        ControlDecl{.kind = Kind::Button, .text = "&Close", .useName = "?CANCELBUTTON", .at = {150, 58, 45, 14}},
        ControlDecl{.kind = Kind::String, .text = "Capture Region", .useName = "?STRING1", .at = {20, 30},
                    .font = platform::Font{.points = 12, .weight = 700, .colour = platform::COLOR_YELLOW},
                    .transparent = true},
        ControlDecl{.kind = Kind::Prompt, .text = "Select Driver", .useName = "?PROMPT1", .at = {90, 4}},
        ControlDecl{.kind = Kind::DropList, .useName = "?LOC:DRIVER", .at = {90, 14, 56, 14}, .dropRows = 10,
                    .format = "316L(2)|M~Description~@s10@"},
        ControlDecl{.kind = Kind::Entry, .useName = "?FPS", .at = {90, 34, 33, 10}, .picture = "@n-7b",
                    .rightIndent = 1},
        ControlDecl{.kind = Kind::Entry, .useName = "?NAME", .at = {90, 48, 50, 10}, .picture = "@s5"},
        ControlDecl{.kind = Kind::Spin, .useName = "?NUMCOLORS", .at = {90, 62, 33, 10}, .picture = "@n3",
                    .rightIndent = 1, .rangeLow = 16, .rangeHigh = 256},
        ControlDecl{.kind = Kind::Check, .text = "Capture Audio", .useName = "?CAPTUREAUDIO", .at = {4, 80}},
    };
    return decl;
}

}  // namespace framework_test
