#pragma once
// A window's layout as data: the window's frame and a table of controls in
// declaration order. Control numbers are given from 1 in that order, menus
// and menu items first; separators take no number. Positions and sizes are in
// dialog units of the window's font.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using ControlNumber = std::int16_t;

// Windows colour values are 0x00BBGGRR.
struct Colour {
    std::uint32_t bgr = 0;
    static constexpr Colour fromBgr(std::uint32_t value) { return Colour{value}; }
};
inline constexpr Colour COLOR_BLACK{0x000000};
inline constexpr Colour COLOR_WHITE{0xFFFFFF};
inline constexpr Colour COLOR_YELLOW{0x00FFFF};
inline constexpr Colour COLOR_NAVY{0x800000};

struct Font {
    std::string face = "MS Sans Serif";
    int points = 8;
    int weight = 400;  // 400 regular, 700 bold
    Colour colour = COLOR_BLACK;
    int charset = 0;
};

// Sized to its text where width or height is `automatic`.
struct Rect {
    static constexpr int automatic = -1;
    int x = 0;
    int y = 0;
    int width = automatic;
    int height = automatic;
};

enum class Kind {
    Menu,         // a menu of the menu bar
    Item,         // a menu item of the most recent menu
    CheckItem,    // a menu item with a check mark, bound to a number variable
    Separator,    // a separator line in the most recent menu; takes no number
    Region,       // a filled rectangle without text (may take the focus: no)
    Box,          // a rectangle with border and fill
    Button,
    String,       // display string
    Prompt,       // a label
    DropList,     // drop-down list fed by a queue
    Entry,        // text entry with a picture
    Spin,         // spin box with a picture and a range
    Check,        // check box bound to a number variable (ticked = 1, clear = 0)
};

struct ControlDecl {
    Kind kind = Kind::Prompt;
    std::string text;     // visible text (with "&" mnemonics), or the picture of an entry
    std::string useName;  // "?STARTCAPTURE"; becomes the widget's object name without the "?"
    Rect at{};
    // Appearance and state at open.
    std::optional<Colour> fill;
    std::optional<Colour> border;
    std::optional<Font> font;   // else the window's font
    std::optional<Colour> textColour;
    bool transparent = false;
    bool disabled = false;
    bool hidden = false;
    bool defaultButton = false;  // Enter presses it
    std::string picture;         // entries, spins: "@n-7b", "@n-14", "@n3", "@n5", "@s20", "@s64"
    int rightIndent = -1;        // right-aligned entry text with this indent; -1 = left
    int dropRows = 0;            // drop-down lists: rows shown when dropped
    std::string format;          // drop-down lists: "316L(2)|M~Description~@s79@"
    int rangeLow = 0, rangeHigh = 0, step = 1;  // spins; both 0: the picture's range
    bool centred = false;        // strings and entries: text centred in the control
};

enum class Frame {
    Sizing,  // sizing border, title bar; size kept in the settings file
    Double,  // fixed dialog frame
};

struct WindowDecl {
    std::string title;
    int width = 0;   // dialog units
    int height = 0;
    std::optional<int> x;  // no position: the framework centres the window
    std::optional<int> y;
    Font font{};
    Frame frame = Frame::Double;
    bool systemMenu = true;   // without it there is no close box
    bool minimizeBox = false;
    bool maximizeBox = false;
    bool immediate = false;   // sizing events delivered as they happen
    std::vector<ControlDecl> controls;
};

}  // namespace platform
