#include "mainwin/main_window.h"

#include "mainwin/main_controls.h"
#include "shell/host_window.h"


namespace mainwin {

using platform::COLOR_NAVY;
using platform::COLOR_WHITE;
using platform::COLOR_YELLOW;
using platform::ControlDecl;
using platform::Font;
using platform::Kind;
using platform::Rect;
using platform::WindowDecl;

namespace {

constexpr int A = Rect::automatic;  // sized to its text

// One row of the layout table; the modifiers give appearance and state at open.
struct Row {
    ControlDecl decl;
    Row fill(platform::Colour c) const { return with([&](ControlDecl& d) { d.fill = c; }); }
    Row border(platform::Colour c) const { return with([&](ControlDecl& d) { d.border = c; }); }
    Row font(const Font& f) const { return with([&](ControlDecl& d) { d.font = f; }); }
    Row textColour(platform::Colour c) const { return with([&](ControlDecl& d) { d.textColour = c; }); }
    Row transparent() const { return with([](ControlDecl& d) { d.transparent = true; }); }
    Row disabled() const { return with([](ControlDecl& d) { d.disabled = true; }); }
    Row hidden() const { return with([](ControlDecl& d) { d.hidden = true; }); }
    Row dropRows(int rows) const { return with([&](ControlDecl& d) { d.dropRows = rows; }); }
    Row format(const char* f) const { return with([&](ControlDecl& d) { d.format = f; }); }
    operator ControlDecl() const { return decl; }

    template <typename F>
    Row with(F change) const {
        Row r = *this;
        change(r.decl);
        return r;
    }
};

Row row(Kind kind, const char* text, const char* useName, Rect at = {}) {
    Row r;
    r.decl.kind = kind;
    r.decl.text = text;
    r.decl.useName = useName;
    r.decl.at = at;
    return r;
}
Row menu(const char* text, const char* useName) { return row(Kind::Menu, text, useName); }
Row item(const char* text, const char* useName) { return row(Kind::Item, text, useName); }
Row checkItem(const char* text, const char* useName) { return row(Kind::CheckItem, text, useName); }
Row separator() { return row(Kind::Separator, "", ""); }
Row region(const char* useName, Rect at) { return row(Kind::Region, "", useName, at); }
Row box(const char* useName, Rect at) { return row(Kind::Box, "", useName, at); }
Row button(const char* text, const char* useName, Rect at) { return row(Kind::Button, text, useName, at); }
Row string(const char* text, const char* useName, Rect at) { return row(Kind::String, text, useName, at); }
Row prompt(const char* text, const char* useName, Rect at) { return row(Kind::Prompt, text, useName, at); }
Row dropList(const char* useName, Rect at) { return row(Kind::DropList, "", useName, at); }

Font font(int points, int weight, platform::Colour colour) {
    Font f;
    f.face = "MS Sans Serif";
    f.points = points;
    f.weight = weight;
    f.colour = colour;
    f.charset = 204;
    return f;
}

WindowDecl makeLayout() {
    WindowDecl w;
    w.title = "Video Capture";
    w.width = 399;
    w.height = 242;
    w.font = font(8, 400, platform::COLOR_BLACK);
    w.frame = platform::Frame::Sizing;
    w.systemMenu = true;
    w.minimizeBox = false;
    w.maximizeBox = false;
    w.immediate = true;
    w.controls = {
        //    Text                            Use name                     No.
        menu("&File",                         "?FILE"),                 //  1
        item("&Load Palette...",              "?FILEITEM20"),           //  2
        item("&Set Capture File...",          "?FILEITEM11"),           //  3
        separator(),
        item("Save &Captured Video As...",    "?FILEITEM13"),           //  4
        item("Save &Palette...",              "?FILESAVEPALETTE"),      //  5
        item("Save Single &Frame...",         "?FILESAVESINGLEFRAME"),  //  6
        separator(),
        separator(),
        item("&Exit",                         "?FILEEXIT"),             //  7
        menu("&Edit",                         "?EDIT"),                 //  8
        item("&Copy Frame to Clipboard",      "?EDITCOPY"),             //  9
        menu("&Options",                      "?OPTIONS"),              // 10: driver items are appended here
        item("&Audio Format...",              "?OPTIONSITEM7"),         // 11
        separator(),
        item("&Format",                       "?OPTIONSFORMAT"),        // 12
        item("&Source",                       "?OPTIONSSOURCE"),        // 13
        item("&Display...",                   "?OPTIONSDISPLAY"),       // 14
        separator(),
        item("&Compression...",               "?OPTIONSCOMPRESSION"),   // 15
        separator(),
        checkItem("&Preview",                 "?PREVIEWFLAG"),          // 16: bound to PREVIEWFLAG
        checkItem("&Overlay",                 "?OVERLAYFLAG"),          // 17: bound to OVERLAYFLAG
        separator(),
        item("?Destroy",                      "?OPTIONSDESTROY"),       // 18: placeholder until the first enumeration
        menu("&Capture",                      "?CAPTURE"),              // 19
        item("&Single Frame",                 "?CAPTURESINGLEFRAME"),   // 20
        item("&Frames...",                    "?CAPTUREFRAMES"),        // 21
        item("&Video...",                     "?CAPTUREVIDEO"),         // 22
        item("&Palette...",                   "?CAPTUREPALETTE"),       // 23
        menu("&Help",                         "?HELP"),                 // 24
        item("&System Info...",               "?HELPSYSTEMINFO"),       // 25

        //      Text                  Use name               x    y    w    h       No.
        region(                       "?REGION1",          {297,   9,  55,  44})    // 26: the area of "New Region"
            .fill(COLOR_NAVY),
        box(                          "?CAPREG",           { 10,  16, 161, 127})    // 27: the capture region
            .fill(COLOR_NAVY).border(COLOR_NAVY),
        button("New Region",          "?NEWREGION",        {283, 167,  93,  14})    // 28
            .disabled(),
        button("Enumerate Drivers",   "?ENUMERATEDRIVERS", {282,  64,  93,  14}),   // 29
        button("Start Capture",       "?STARTCAPTURE",     {282, 115,  93,  14})    // 30
            .disabled(),
        string("Capture Region",      "?STRING1",          { 48,  72,   A,   A})    // 31: inside the capture region
            .font(font(12, 700, COLOR_YELLOW)).transparent(),
        prompt("Select Driver",       "?PROMPT1",          {281,  87,   A,   A}),   // 32
        dropList(                     "?LOC:DRIVER",       {282,  98, 114,  14})    // 33: value LOC:DRIVER
            .dropRows(10).format("316L(2)|M~Description~@s79@"),
        button("Capture Frame JPEG",  "?CAPTUREJPEG",      {282, 132,  93,  14})    // 34
            .disabled(),
        prompt("New region",          "?PROMPT2",          {307,  25,   A,   A})    // 35: inside region 26
            .textColour(COLOR_WHITE)
            .transparent(),  // white on the region's blue; on dialog grey it could not be read
        button("Capture Frame BMP",   "?CAPTUREBMP",       {282, 149,  93,  14})    // 36
            .disabled(),
        button("Resize",              "?RESIZE",           {322, 197,  59,  14})    // 37: nothing shows it
            .hidden(),
        button("&Close",              "?CANCELBUTTON",     {294, 219,  93,  14}),   // 38
    };
    return w;
}

}  // namespace

const WindowDecl& mainLayout() {
    static const WindowDecl layout = makeLayout();
    return layout;
}

MainWindow::MainWindow(shell::Runtime& runtime) : WindowProcedure(runtime, "Main", mainLayout()) {
    platform::Window& w = window();
    w.bind(PREVIEWFLAG, &PREVIEWFLAG_);
    w.bind(OVERLAYFLAG, &OVERLAYFLAG_);
    w.bind(LOC_DRIVER, platform::TextVar{&LOC_DRIVER_, DESCRIPTION_LENGTH});
    w.bindRows(LOC_DRIVER, listRows_);
    setFirstFocus(REGION1);
}

MainWindow::~MainWindow() {
    // The host window reference must not outlive the window it names.
    shell::forgetHostWindow(&window());
}

void MainWindow::freeQueues() {
    driverList_.free();
    driverItems_.free();
}

void MainWindow::afterOpen() {
    // The reference layout is the layout as opened, before the saved size is restored.
    resizer.prepare(window(), platform::WindowResizer::Strategy::Proportional);
    attachResizer(resizer);
}

void MainWindow::setUpSteps() {
    // Lay the controls out for the restored size before the window is first used.
    resizer.resize();
}

void MainWindow::tearDownSteps() {
    // Every teardown call releases the driver and the capture window, connected or not.
    capture().DRIVERDISCONNECT();
    capture().DESTROYCAPTUREWINDOW();
}

void Main(shell::Runtime& runtime) {
    MainWindow main(runtime);
    main.run();
    main.freeQueues();
}

}  // namespace mainwin
