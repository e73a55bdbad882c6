// "Start Capture": the capture window in the capture region, the driver of the
// current list row connected, the height checked, the preview started, the
// buttons that need a running capture enabled, and the Options items the
// driver cannot serve disabled.

#include "mainwin/main_controls.h"
#include "mainwin/main_window.h"
#include "platform/framework/message.h"

#include <string_view>

namespace mainwin {
namespace {

constexpr std::int32_t GREATEST_HEIGHT = 288;  // pixels
constexpr std::int32_t PREVIEW_RATE_MS = 66;
constexpr capture::Flag PREVIEW_ON = 1;
constexpr std::string_view HEIGHT_TOO_GREAT =
    "Please select video format with the vertical image size not greater than 288.";
constexpr std::string_view CONNECT_REFUSED = "Could not connect to capture driver";

// The status routine: accepts every report.
std::int32_t statusRoutine(capture::NativeWindow, std::int32_t, std::string_view) { return 1; }

}  // namespace

void MainWindow::startCapture() {
    // A failed fetch (no current row) keeps the row last fetched.
    driverList_.fetch(window().listChoice(LOC_DRIVER));
    capture().CREATECAPTUREWINDOW(CAPREG);
    if (capture().DRIVERCONNECT(driverList_.buffer.ID) != 0) {
        if (capture().GETCAPTUREWINDOWHEIGHT() > GREATEST_HEIGHT) {
            platform::message(HEIGHT_TOO_GREAT);
            if (capture().DLGVIDEOFORMAT() != 0) capture().RESIZECAPTUREREGION(CAPREG);
        }
        capture().SETPREVIEWRATE(PREVIEW_RATE_MS);
        capture().SETPREVIEW(PREVIEW_ON);
        window().enable(CAPTUREJPEG);
        window().enable(CAPTUREBMP);
        window().enable(NEWREGION);
    } else {
        platform::message(CONNECT_REFUSED);
    }
    checkCapabilities();
    capture().RESIZECAPTUREREGION(CAPREG);
    capture().SETCALLBACKSTATUS(statusRoutine);
}

void MainWindow::checkCapabilities() {
    if (capture().DRIVERGETCAPS(caps_, static_cast<std::int32_t>(sizeof caps_)) == 0) return;
    // Disabled items stay disabled: nothing here enables one again.
    if (caps_.FHASDLGVIDEOSOURCE == 0) window().disable(OPTIONSSOURCE);
    if (caps_.FHASDLGVIDEOFORMAT == 0) window().disable(OPTIONSFORMAT);
    if (caps_.FHASDLGVIDEODISPLAY == 0) window().disable(OPTIONSDISPLAY);
    if (caps_.FHASOVERLAY == 0) window().disable(OVERLAYFLAG);
}

}  // namespace mainwin
