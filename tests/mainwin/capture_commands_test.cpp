// The commands of the menu items and buttons: one call each (the two file
// messages only on success), the check items passing their new state.

#include "tests/mainwin/main_fixture.h"

namespace mainwin_test {
namespace {

using namespace mainwin;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

struct CommandCase {
    const char* name;
    ControlNumber control;
    int presses = 1;
    bool afterStart = false;  // the buttons a running capture enables
    capture::Flag scripted = 1;  // the result of the one call whose result counts
    Calls calls{};
    std::vector<std::string> messages{};
};

const char* const jpegMessage = "File capture.jpg was created";
const char* const bmpMessage = "File capture.bmp was created";

std::vector<CommandCase> commandCases() {
    return {
        {.name = "LoadPalette", .control = FILEITEM20, .calls = {"DLGLOADPALETTE()"}},
        {.name = "SetCaptureFile", .control = FILEITEM11, .calls = {"DLGSETCAPTUREFILE()"}},
        {.name = "SaveCapturedVideoAs", .control = FILEITEM13, .calls = {"DLGSAVECAPTUREDVIDEOAS()"}},
        {.name = "SavePalette", .control = FILESAVEPALETTE, .calls = {"DLGSAVEPALETTE()"}},
        {.name = "SaveSingleFrame", .control = FILESAVESINGLEFRAME, .calls = {"DLGSAVESINGLEFRAME()"}},
        {.name = "CopyFrame", .control = mainwin::EDITCOPY, .calls = {"EDITCOPY()"}},
        {.name = "AudioFormat", .control = OPTIONSITEM7, .calls = {"SETAUDIOFORMATDLG(window)"}},
        {.name = "FormatConfirmed", .control = OPTIONSFORMAT, .scripted = 1,
         .calls = {"DLGVIDEOFORMAT()", "RESIZECAPTUREREGION(27)"}},
        {.name = "FormatCancelled", .control = OPTIONSFORMAT, .scripted = 0, .calls = {"DLGVIDEOFORMAT()"}},
        {.name = "Source", .control = OPTIONSSOURCE, .calls = {"DLGVIDEOSOURCE()"}},
        {.name = "Display", .control = OPTIONSDISPLAY, .calls = {"DLGVIDEODISPLAY()"}},
        {.name = "Compression", .control = OPTIONSCOMPRESSION, .calls = {"DLGVIDEOCOMPRESSION()"}},
        {.name = "SingleFrame", .control = mainwin::CAPTURESINGLEFRAME, .calls = {"GRABFRAME()"}},
        {.name = "SystemInfo", .control = HELPSYSTEMINFO,
         .calls = {"SYSINFO(Video Capture App System Info Window#OS Information:,)"}},
        {.name = "NewRegion", .control = NEWREGION, .afterStart = true, .calls = {"RESIZECAPTUREAREA(26)"}},
        {.name = "JpegEveryTime", .control = CAPTUREJPEG, .presses = 3, .afterStart = true, .scripted = 1,
         .calls = {"FILESAVEJPEG(capture.jpg,100)", "FILESAVEJPEG(capture.jpg,100)", "FILESAVEJPEG(capture.jpg,100)"},
         .messages = {jpegMessage, jpegMessage, jpegMessage}},
        {.name = "JpegFailureSilent", .control = CAPTUREJPEG, .afterStart = true, .scripted = 0,
         .calls = {"FILESAVEJPEG(capture.jpg,100)"}},
        {.name = "BmpSuccess", .control = CAPTUREBMP, .afterStart = true, .scripted = 1,
         .calls = {"FILESAVEDIB(capture.bmp)"}, .messages = {bmpMessage}},
        {.name = "BmpFailureSilent", .control = CAPTUREBMP, .presses = 2, .afterStart = true, .scripted = 0,
         .calls = {"FILESAVEDIB(capture.bmp)", "FILESAVEDIB(capture.bmp)"}},
    };
}

class CaptureCommandTest : public MainWindowTest, public testing::WithParamInterface<CommandCase> {};

TEST_P(CaptureCommandTest, CallsTheComponentAndShowsOnlyItsOwnMessages) {
    const CommandCase& c = GetParam();
    capture.formatResult = capture.jpegResult = capture.dibResult = c.scripted;
    if (c.afterStart) {
        giveDrivers(1);
        user.press(ENUMERATEDRIVERS).press(STARTCAPTURE);
    }
    forget();
    for (int i = 0; i < c.presses; ++i) user.choose(c.control);
    user.then([&](Window& w) {
        EXPECT_THAT(capture.calls(), ElementsAreArray(c.calls));
        EXPECT_THAT(messages.messages(), ElementsAreArray(c.messages));
        if (c.control == OPTIONSITEM7) {
            EXPECT_EQ(capture.audioOwner(), w.nativeHandle());
        }
    });
    user.press(CANCELBUTTON);
    runMain();
}

INSTANTIATE_TEST_SUITE_P(Commands, CaptureCommandTest, testing::ValuesIn(commandCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, PreviewPassesTheFlippedFlagEachTime) {
    user.choose("&Preview").then([this](Window& w) {
        EXPECT_FALSE(w.isChecked(PREVIEWFLAG));
        EXPECT_EQ(main().previewFlag(), 0);
    });
    user.choose("&Preview").then([this](Window& w) {
        EXPECT_TRUE(w.isChecked(PREVIEWFLAG));
        EXPECT_EQ(main().previewFlag(), 1);
    });
    user.press(CANCELBUTTON);
    runMain();
    EXPECT_THAT(callsBeforeTeardown(), ElementsAre("SETPREVIEW(0)", "SETPREVIEW(1)"));
}

TEST_F(MainWindowTest, OverlayPassesOneFirst) {
    user.choose("&Overlay").then([this](Window& w) {
        EXPECT_TRUE(w.isChecked(OVERLAYFLAG));
        EXPECT_EQ(main().overlayFlag(), 1);
    });
    user.press(CANCELBUTTON);
    runMain();
    EXPECT_THAT(callsBeforeTeardown(), ElementsAre("OVERLAY(1)"));
}

}  // namespace
}  // namespace mainwin_test
