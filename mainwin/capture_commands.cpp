// The commands of the main window's menu items and buttons that are a call to
// the capture component or close the window, keyed by control number.

#include "dialogs/video_cap.h"
#include "mainwin/main_controls.h"
#include "mainwin/main_window.h"
#include "platform/framework/message.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace mainwin {
namespace {

constexpr std::string_view JPEG_FILE = "capture.jpg";
constexpr std::int32_t JPEG_QUALITY = 100;
constexpr std::string_view BMP_FILE = "capture.bmp";
constexpr std::string_view SYSINFO_FIRST = "Video Capture App System Info Window#OS Information:";
constexpr std::string_view SYSINFO_SECOND = "";
constexpr std::string_view JPEG_MESSAGE = "File capture.jpg was created";
constexpr std::string_view BMP_MESSAGE = "File capture.bmp was created";

struct Command {
    platform::ControlNumber control;
    void (*run)(MainWindow& w, capture::VideoCapture& cap);
};

// Results are ignored except where a row says otherwise.
const std::array<Command, 20> commands{{
    {FILEITEM20, [](MainWindow&, capture::VideoCapture& cap) { cap.DLGLOADPALETTE(); }},
    {FILEITEM11, [](MainWindow&, capture::VideoCapture& cap) { cap.DLGSETCAPTUREFILE(); }},
    {FILEITEM13, [](MainWindow&, capture::VideoCapture& cap) { cap.DLGSAVECAPTUREDVIDEOAS(); }},
    {FILESAVEPALETTE, [](MainWindow&, capture::VideoCapture& cap) { cap.DLGSAVEPALETTE(); }},
    {FILESAVESINGLEFRAME, [](MainWindow&, capture::VideoCapture& cap) { cap.DLGSAVESINGLEFRAME(); }},
    {FILEEXIT, [](MainWindow& w, capture::VideoCapture&) { w.window().postCloseWindow(); }},
    {EDITCOPY, [](MainWindow&, capture::VideoCapture& cap) { cap.EDITCOPY(); }},
    {OPTIONSITEM7, [](MainWindow& w, capture::VideoCapture& cap) { cap.SETAUDIOFORMATDLG(w.window().nativeHandle()); }},
    {OPTIONSFORMAT,
     [](MainWindow&, capture::VideoCapture& cap) {
         // Refit only when the format was confirmed.
         if (cap.DLGVIDEOFORMAT() != 0) cap.RESIZECAPTUREREGION(CAPREG);
     }},
    {OPTIONSSOURCE, [](MainWindow&, capture::VideoCapture& cap) { cap.DLGVIDEOSOURCE(); }},
    {OPTIONSDISPLAY, [](MainWindow&, capture::VideoCapture& cap) { cap.DLGVIDEODISPLAY(); }},
    {OPTIONSCOMPRESSION, [](MainWindow&, capture::VideoCapture& cap) { cap.DLGVIDEOCOMPRESSION(); }},
    // The check items have already flipped their variables: the call gets the new state.
    {PREVIEWFLAG, [](MainWindow& w, capture::VideoCapture& cap) { cap.SETPREVIEW(w.previewFlag()); }},
    {OVERLAYFLAG, [](MainWindow& w, capture::VideoCapture& cap) { cap.OVERLAY(w.overlayFlag()); }},
    {CAPTURESINGLEFRAME, [](MainWindow&, capture::VideoCapture& cap) { cap.GRABFRAME(); }},
    {HELPSYSTEMINFO, [](MainWindow&, capture::VideoCapture& cap) { cap.SYSINFO(SYSINFO_FIRST, SYSINFO_SECOND); }},
    {NEWREGION, [](MainWindow&, capture::VideoCapture& cap) { cap.RESIZECAPTUREAREA(REGION1); }},
    {CAPTUREJPEG,
     [](MainWindow&, capture::VideoCapture& cap) {
         if (cap.FILESAVEJPEG(JPEG_FILE, JPEG_QUALITY) != 0) platform::message(JPEG_MESSAGE);
     }},
    {CAPTUREBMP,
     [](MainWindow&, capture::VideoCapture& cap) {
         if (cap.FILESAVEDIB(BMP_FILE) != 0) platform::message(BMP_MESSAGE);
     }},
    {CANCELBUTTON, [](MainWindow& w, capture::VideoCapture&) { w.window().postCloseWindow(); }},
}};

}  // namespace

bool MainWindow::runCaptureCommand(platform::ControlNumber control) {
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [control](const Command& c) { return c.control == control; });
    if (it == commands.end()) return false;
    it->run(*this, capture());
    return true;
}

void MainWindow::captureVideo() {
    // The sequence dialog opens before the framework's handling, with no update or reset around it.
    if (runVideoCap() != 0) capture().CAPTURESEQUENCE();
}

std::int32_t MainWindow::runVideoCap() { return dialogs::VideoCap(runtime()); }

}  // namespace mainwin
