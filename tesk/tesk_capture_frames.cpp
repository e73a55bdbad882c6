// The capture object: single frames, stills, the capture file, palettes,
// the information window, and what recording offers so far.
#include "tesk/tesk_capture.h"

#include "tesk/capture_window.h"
#include "tesk/frame_image.h"
#include "tesk/palette_file.h"
#include "tesk/still_files.h"
#include "tesk/system_info.h"

#include <QClipboard>
#include <QGuiApplication>

#include <filesystem>
#include <thread>

namespace tesk {

bool TeskCapture::requireFrame(Frame& frame) {
    if (auto current = currentFrame()) {
        frame = std::move(*current);
        return true;
    }
    message("There is no picture yet: start the preview or grab a frame first.");
    return false;
}

capture::Flag TeskCapture::GRABFRAME() {
    if (!requireDriver()) return 0;
    Driver& driver = *connectedDriver();
    stopPreview(true);
    stopOverlay();
    Status s = driver.startStreaming();
    Frame frame;
    if (s) {
        // The first whole frame within the loss timeout; broken ones are skipped.
        const auto deadline = std::chrono::steady_clock::now() + lossTimeout_;
        s = Status::failure("no frame arrived");
        while (std::chrono::steady_clock::now() < deadline) {
            Status read = driver.readFrame(frame, FrameStream::kReadSlice);
            std::string why;
            if (read && frameIsWhole(frame, &why)) {
                s = Status::success();
                break;
            }
            s = Status::failure(read ? why : read.error);
            // A device that fails at once must not spin the UI thread until the deadline.
            if (!read) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        driver.stopStreaming();
    }
    if (!s) {
        status(IDS_CAP_DRIVER_ERROR, "Could not grab a frame: " + s.error);
        message("Could not grab a frame: " + s.error);
        return 0;
    }
    QImage image = frameToImage(frame);
    const std::uint64_t sequence = frame.sequence;
    {
        std::lock_guard lock(frameMutex_);
        frame_ = std::make_shared<const Frame>(std::move(frame));
        // A preview picture still waiting to be painted is older than this one.
        pendingImage_ = QImage();
    }
    if (window_) window_->setImage(std::move(image), sequence);
    return 1;
}

capture::Flag TeskCapture::EDITCOPY() {
    Frame frame;
    if (!requireFrame(frame)) return 0;
    QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::clipboard()
                                : nullptr;
    if (!clipboard) return 0;
    clipboard->setImage(frameToImage(frame));
    return 1;
}

capture::Flag TeskCapture::FILESAVEJPEG(std::string_view file, std::int32_t quality) {
    Frame frame;
    if (file.empty() || !requireFrame(frame)) return 0;
    const std::string path = resolvePath(file);
    std::vector<std::uint8_t> bytes;
    Status s = encodeJpeg(frame, quality, bytes);
    if (s) s = writeFileWhole(path, bytes);
    if (!s) {
        status(IDS_CAP_WRITEERROR, "Could not save " + path + ": " + s.error);
        message("Could not save the picture as " + path + ": " + s.error);
        return 0;
    }
    return 1;
}

capture::Flag TeskCapture::FILESAVEDIB(std::string_view file) {
    Frame frame;
    if (file.empty() || !requireFrame(frame)) return 0;
    const std::string path = resolvePath(file);
    std::vector<std::uint8_t> bytes;
    Status s = encodeBmp(frame, bytes);
    if (s) s = writeFileWhole(path, bytes);
    if (!s) {
        status(IDS_CAP_ERRORDIBSAVE, "Could not save " + path + ": " + s.error);
        message("Could not save the picture as " + path + ": " + s.error);
        return 0;
    }
    return 1;
}

// ---- File dialogs ----

capture::Flag TeskCapture::DLGLOADPALETTE() {
    FileRequest request{FileRequest::Mode::Open, "Load Palette", "Palette files (*.pal);;All files (*)", {}, {}, true};
    const auto file = askFile(request);
    return file ? PALETTEOPEN(*file) : 0;
}

capture::Flag TeskCapture::DLGSAVEPALETTE() {
    if (palette_.empty()) {
        auto frame = currentFrame();
        if (!frame || frame->palette.empty()) {
            message("There is no palette to save yet.");
            return 0;
        }
    }
    FileRequest request{FileRequest::Mode::Save, "Save Palette", "Palette files (*.pal)", "palette.pal", "pal", true};
    const auto file = askFile(request);
    return file ? PALETTESAVE(*file) : 0;
}

capture::Flag TeskCapture::DLGSETCAPTUREFILE() {
    FileRequest request{FileRequest::Mode::Save, "Set Capture File", "AVI files (*.avi)", resolvePath(captureFile_),
                        "avi", false};
    const auto file = askFile(request);
    return file ? SETCAPTUREFILE(*file) : 0;
}

capture::Flag TeskCapture::DLGSAVECAPTUREDVIDEOAS() {
    const std::string source = resolvePath(captureFile_);
    std::error_code error;
    if (!std::filesystem::is_regular_file(source, error)) {
        message("There is no captured video to save: the capture file " + source + " does not exist yet.");
        return 0;
    }
    FileRequest request{FileRequest::Mode::Save, "Save Captured Video As", "AVI files (*.avi)", {}, "avi", true};
    const auto file = askFile(request);
    return file ? FILESAVEAS(*file) : 0;
}

capture::Flag TeskCapture::DLGSAVESINGLEFRAME() {
    if (!currentFrame()) {
        message("There is no picture yet: start the preview or grab a frame first.");
        return 0;
    }
    FileRequest request{FileRequest::Mode::Save, "Save Single Frame", "Bitmaps (*.bmp)", "frame.bmp", "bmp", true};
    const auto file = askFile(request);
    return file ? FILESAVEDIB(*file) : 0;
}

// ---- Files by name ----

capture::Flag TeskCapture::SETCAPTUREFILE(std::string_view file) {
    if (file.empty()) return 0;
    captureFile_ = std::string(file);
    return 1;
}

std::string TeskCapture::GETCAPTUREFILE() { return captureFile_; }

capture::Flag TeskCapture::FILESAVEAS(std::string_view file) {
    if (file.empty()) return 0;
    const std::string source = resolvePath(captureFile_);
    std::error_code error;
    if (!std::filesystem::is_regular_file(source, error)) {
        message("There is no captured video to save: the capture file " + source + " does not exist yet.");
        return 0;
    }
    const std::string target = resolvePath(file);
    if (Status s = copyFileWhole(source, target); !s) {
        status(IDS_CAP_WRITEERROR, "Could not save the captured video: " + s.error);
        message("Could not save the captured video as " + target + ": " + s.error);
        return 0;
    }
    return 1;
}

capture::Flag TeskCapture::PALETTEOPEN(std::string_view file) {
    if (file.empty()) return 0;
    const std::string path = resolvePath(file);
    std::vector<Rgb> colours = palette_;
    if (Status s = loadPalette(path, colours); !s) {
        status(IDS_CAP_ERRORPALOPEN, "Could not load the palette " + path + ": " + s.error);
        message("Could not load the palette " + path + ": " + s.error + ". The current palette is kept.");
        return 0;
    }
    palette_ = std::move(colours);
    if (Driver* driver = connectedDriver()) driver->setPalette(palette_);  // from the next frame on
    return 1;
}

capture::Flag TeskCapture::PALETTESAVE(std::string_view file) {
    if (file.empty()) return 0;
    std::vector<Rgb> colours = palette_;
    if (colours.empty())
        if (auto frame = currentFrame()) colours = frame->palette;  // the driver's own palette
    if (colours.empty()) {
        message("There is no palette to save yet.");
        return 0;
    }
    const std::string path = resolvePath(file);
    if (Status s = savePalette(path, colours); !s) {
        status(IDS_CAP_ERRORPALSAVE, "Could not save the palette " + path + ": " + s.error);
        message("Could not save the palette as " + path + ": " + s.error);
        return 0;
    }
    return 1;
}

capture::Flag TeskCapture::SYSINFO(std::string_view first, std::string_view second) {
    enumerateIfNeeded();
    std::vector<DriverInfo> infos;
    for (const auto& driver : drivers_) infos.push_back(driver->info());
    showSystemInfo(dialogParent(), first, second, infos);
    return 1;
}

// ---- Recording ----

capture::Flag TeskCapture::CAPTURESETSETUP(const capture::CAPTUREPARMS& parms, std::int32_t size) {
    if (size != std::int32_t(sizeof(capture::CAPTUREPARMS))) {
        status(IDS_CAP_DRIVER_ERROR, "The capture parameters have the wrong size " + std::to_string(size) + ".");
        return 0;
    }
    if (parms.DWREQUESTMICROSECPERFRAME == 0 || parms.AVSTREAMMASTER > capture::AVSTREAMMASTER_NONE ||
        parms.WPERCENTDROPFORERROR > 100) {
        status(IDS_CAP_DRIVER_ERROR, "The capture parameters are not valid.");
        return 0;
    }
    setup_ = parms;
    return 1;
}

capture::Flag TeskCapture::notAvailableYet(const char* operation) {
    status(IDS_CAP_DRIVER_ERROR, std::string(operation) + " is not available yet.");
    return 0;
}

capture::Flag TeskCapture::CAPTURESEQUENCE() {
    message("Capturing a video sequence is not available yet.");
    return notAvailableYet("Sequence capture");
}
capture::Flag TeskCapture::CAPTURESINGLEFRAMEOPEN() { return notAvailableYet("Single-frame capture"); }
capture::Flag TeskCapture::CAPTURESINGLEFRAME() {
    message("Adding single frames to the capture file is not available yet.");
    return notAvailableYet("Single-frame capture");
}
capture::Flag TeskCapture::CAPTURESINGLEFRAMECLOSE() { return notAvailableYet("Single-frame capture"); }
capture::Flag TeskCapture::FILEALLOC(std::int64_t) { return notAvailableYet("Capture file allocation"); }
capture::Flag TeskCapture::PALETTEAUTO(std::int32_t, std::int32_t) {
    message("Building a palette from the picture is not available yet.");
    return notAvailableYet("Palette building");
}
capture::Flag TeskCapture::PALETTEMANUAL(capture::Flag sample, std::int32_t) {
    if (sample) message("Building a palette from the picture is not available yet.");
    return notAvailableYet("Palette building");
}

}  // namespace tesk
