// The capture object: the driver dialogs, wired to the driver and to the
// component's settings file.
#include "tesk/tesk_capture.h"

#include "tesk/capture_window.h"
#include "tesk/dialogs/driver_dialogs.h"

namespace tesk {

capture::Flag TeskCapture::DLGVIDEOFORMAT() {
    if (!requireDriver()) return 0;
    Driver& driver = *connectedDriver();
    VideoFormat format = driver.format();
    if (!showVideoFormatDialog(dialogParent(), driver, format)) return 0;
    // The dialog runs its own event loop: the device may have been lost meanwhile.
    if (connectedDriver() != &driver) {
        message("The video device is no longer connected; the video format was not changed.");
        return 0;
    }
    const bool wasPreviewing = previewing();
    stopPreview(false);
    const Status s = driver.setFormat(format);
    if (s) settings_.saveFormat(driver.info().name, driver.format());
    if (wasPreviewing)
        if (Status restart = startPreview(); !restart) status(IDS_CAP_DRIVER_ERROR, "The preview could not restart: " + restart.error);
    if (!s) {
        status(IDS_CAP_DRIVER_ERROR, "The video format could not be set: " + s.error);
        message("The video format could not be set: " + s.error);
        return 0;
    }
    return 1;
}

capture::Flag TeskCapture::DLGVIDEOSOURCE() {
    if (!requireDriver()) return 0;
    Driver* driver = connectedDriver();
    // The dialog runs its own event loop, in which the device may be lost and released:
    // from then on its changes are refused rather than sent to a driver no longer in use.
    const auto gone = [this, driver] { return connectedDriver() != driver; };
    const Status goneStatus = Status::failure("the video device is no longer connected");
    SourceAccess source;
    source.inputs = [driver, gone] { return gone() ? std::vector<Input>{} : driver->inputs(); };
    source.currentInput = [driver, gone] { return gone() ? 0 : driver->currentInput(); };
    source.setInput = [this, driver, gone, goneStatus](int index) {
        if (gone()) return goneStatus;
        // The input changes with streaming stopped, and the preview goes on after it.
        const bool wasPreviewing = previewing();
        stopPreview(false);
        Status s = driver->setInput(index);
        if (wasPreviewing)
            if (Status restart = startPreview(); !restart && s) s = restart;
        return s;
    };
    source.controls = [driver, gone] { return gone() ? std::vector<Control>{} : driver->controls(); };
    source.setControl = [driver, gone, goneStatus](std::uint32_t id, std::int64_t value) {
        return gone() ? goneStatus : driver->setControl(id, value);
    };
    source.setControlText = [driver, gone, goneStatus](std::uint32_t id, const std::string& text) {
        return gone() ? goneStatus : driver->setControlText(id, text);
    };
    return showVideoSourceDialog(dialogParent(), driver->info().name, source) ? 1 : 0;
}

capture::Flag TeskCapture::DLGVIDEODISPLAY() {
    DisplayChoice choice = settings_.loadDisplay();
    if (!showVideoDisplayDialog(dialogParent(), choice)) return 0;
    settings_.saveDisplay(choice);
    if (window_) window_->setDisplay(choice);
    return 1;
}

capture::Flag TeskCapture::DLGVIDEOCOMPRESSION() {
    CompressionChoice choice = settings_.loadCompression();
    if (!showVideoCompressionDialog(dialogParent(), choice)) return 0;
    settings_.saveCompression(choice);
    return 1;
}

capture::Flag TeskCapture::SETAUDIOFORMATDLG(capture::NativeWindow owner) {
    AudioChoice choice = settings_.loadAudio();
    if (!showAudioFormatDialog(owner ? owner : dialogParent(), choice)) return 0;
    settings_.saveAudio(choice);
    return 1;
}

}  // namespace tesk
