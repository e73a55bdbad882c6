// The capture object: drivers, connection, capture window and live preview.
#include "tesk/tesk_capture.h"

#include "tesk/capture_window.h"
#include "tesk/frame_image.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>

#include <algorithm>
#include <cstring>

namespace tesk {
namespace {

void showMessageBox(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Video Capture"), QString::fromStdString(text),
                    QMessageBox::Ok, parent);
    box.exec();
}

std::optional<std::string> askWithFileDialog(QWidget* parent, const FileRequest& request) {
    QFileDialog dialog(parent, QString::fromStdString(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const bool open = request.mode == FileRequest::Mode::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!open && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.filter.empty()) dialog.setNameFilter(QString::fromStdString(request.filter));
    if (!request.defaultSuffix.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    if (!request.suggested.empty()) dialog.selectFile(QString::fromStdString(request.suggested));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

// Copies `text` into a NUL-terminated buffer, cut to fit without splitting a UTF-8 character.
void copyText(const std::string& text, char* buffer, std::int32_t size) {
    if (!buffer || size <= 0) return;
    std::size_t n = std::min(text.size(), std::size_t(size - 1));
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

std::string formatText(const VideoFormat& f) {
    const double rate = f.intervalNumerator > 0 ? double(f.intervalDenominator) / f.intervalNumerator : 0.0;
    char text[96];
    std::snprintf(text, sizeof text, "%dx%d at %.4g frames per second", f.width, f.height, rate);
    return text;
}

}  // namespace

TeskCapture::TeskCapture(HostLookup host, DriverFactory drivers)
    : hostLookup_(std::move(host)),
      driverFactory_(drivers ? std::move(drivers) : DriverFactory(defaultDrivers)),
      message_(showMessageBox),
      askFile_(askWithFileDialog),
      uiContext_(std::make_unique<QObject>()) {}

TeskCapture::~TeskCapture() {
    stream_.stop();
    uiContext_.reset();  // drops queued calls from the capture thread
    for (auto& driver : drivers_) driver->close();
    delete window_.data();
}

void TeskCapture::setMessageFunction(MessageFunction message) { message_ = message ? std::move(message) : showMessageBox; }
void TeskCapture::setFileAsker(FileAsker asker) { askFile_ = asker ? std::move(asker) : askWithFileDialog; }
void TeskCapture::setComponentSettings(ComponentSettings settings) { settings_ = std::move(settings); }

CaptureWindow* TeskCapture::captureWindow() const { return window_.data(); }

Driver* TeskCapture::connectedDriver() const {
    return connected_ >= 0 && connected_ < int(drivers_.size()) ? drivers_[connected_].get() : nullptr;
}

std::optional<Frame> TeskCapture::currentFrame() const {
    std::lock_guard lock(frameMutex_);
    if (!frame_) return std::nullopt;
    return *frame_;
}

void TeskCapture::status(std::int32_t code, const std::string& text) {
    if (statusRoutine_) statusRoutine_(window_.data(), code, text);
}

void TeskCapture::message(const std::string& text) { message_(dialogParent(), text); }

QWidget* TeskCapture::dialogParent() const {
    if (window_) return window_->window();
    capture::CaptureHost* host = hostLookup_ ? hostLookup_() : nullptr;
    return host ? host->hostWidget() : nullptr;
}

std::optional<std::string> TeskCapture::askFile(const FileRequest& request) { return askFile_(dialogParent(), request); }

bool TeskCapture::requireDriver() {
    if (connectedDriver()) return true;
    message("No capture driver is connected. Choose a driver and start capture first.");
    return false;
}

// ---- Drivers ----

void TeskCapture::enumerateIfNeeded() {
    if (!enumerated_) ENUMCAPDRIVERS();
}

std::int16_t TeskCapture::ENUMCAPDRIVERS() {
    // The connected driver's object is in use: its list stays until it is released.
    if (connected_ < 0) {
        drivers_.clear();
        drivers_ = driverFactory_();
        std::erase(drivers_, nullptr);
        if (drivers_.size() > kMaxDrivers) drivers_.resize(kMaxDrivers);
        enumerated_ = true;
    }
    return std::int16_t(drivers_.size());
}

capture::Flag TeskCapture::GETDRIVERDESCRIPTION(std::int32_t index, char* name, std::int32_t nameSize, char* version,
                                                std::int32_t versionSize) {
    enumerateIfNeeded();
    if (index < 0 || index >= std::int32_t(drivers_.size())) return 0;  // buffers left as they are
    const DriverInfo info = drivers_[index]->info();
    copyText(info.name, name, nameSize);
    copyText(info.version, version, versionSize);
    return 1;
}

capture::Flag TeskCapture::CONNECTCAPDRIVER(std::int32_t index) { return connect(index); }
capture::Flag TeskCapture::DRIVERCONNECT(std::int32_t index) { return connect(index); }

capture::Flag TeskCapture::connect(std::int32_t index) {
    enumerateIfNeeded();
    DRIVERDISCONNECT();
    if (index < 0 || index >= std::int32_t(drivers_.size())) {
        status(IDS_CAP_DRIVER_ERROR, "There is no capture driver number " + std::to_string(index) + ".");
        return 0;
    }
    Driver& driver = *drivers_[index];
    const DriverInfo info = driver.info();
    if (Status s = driver.open(); !s) {
        status(IDS_CAP_DRIVER_ERROR, "Could not connect to " + info.name + ": " + s.error);
        return 0;
    }
    connected_ = index;
    clearFrame();  // a picture kept from a lost device is not this driver's
    driver.setPalette(palette_);  // 8-bit frames show in the current palette
    VideoFormat saved;
    if (settings_.loadFormat(info.name, saved)) {
        if (Status s = driver.setFormat(saved); !s)
            status(IDS_CAP_DRIVER_ERROR, "The saved video format could not be set: " + s.error);
    }
    status(IDS_CAP_INFO, "Connected to " + info.name + " " + info.version + ", " + formatText(driver.format()));
    return 1;
}

capture::Flag TeskCapture::DRIVERDISCONNECT() {
    Driver* driver = connectedDriver();
    if (!driver) return 1;
    stopPreview(true);
    stopOverlay();
    driver->close();
    connected_ = -1;
    clearFrame();
    return 1;
}

void TeskCapture::clearFrame() {
    {
        std::lock_guard lock(frameMutex_);
        frame_.reset();
        pendingImage_ = QImage();
    }
    if (window_) window_->clearImage();
}

capture::Flag TeskCapture::DRIVERGETCAPS(capture::CAPDRIVERCAPS& caps, std::int32_t size) {
    Driver* driver = connectedDriver();
    if (!driver || size < std::int32_t(sizeof(capture::CAPDRIVERCAPS))) return 0;
    const DriverCaps c = driver->caps();
    caps = {};
    caps.WDEVICEINDEX = std::uint32_t(connected_);
    caps.FHASOVERLAY = c.overlay;
    caps.FHASDLGVIDEOSOURCE = c.sourceDialog;
    caps.FHASDLGVIDEOFORMAT = c.formatDialog;
    caps.FHASDLGVIDEODISPLAY = c.displayDialog;
    caps.FCAPTUREINITIALIZED = driver->isOpen();
    caps.FDRIVERSUPPLIESPALETTES = c.suppliesPalettes;
    return 1;
}

// ---- Capture window ----

void TeskCapture::placeWindow(capture::CaptureHost* host, std::optional<capture::ControlNumber> control) {
    QWidget* hostWidget = host->hostWidget();
    if (window_->parentWidget() != hostWidget) window_->setParent(hostWidget);
    std::optional<QRect> rect = control ? host->controlRect(*control) : std::optional<QRect>(hostWidget->rect());
    if (rect) window_->setGeometry(*rect);
    window_->show();
    window_->raise();
}

capture::Flag TeskCapture::CREATECAPTUREWINDOW(std::optional<capture::ControlNumber> control) {
    capture::CaptureHost* host = hostLookup_ ? hostLookup_() : nullptr;
    if (!host || !host->hostWidget()) {
        status(IDS_CAP_CANTOPEN, "There is no window to hold the capture window.");
        return 0;
    }
    if (control && !host->controlRect(*control)) {
        status(IDS_CAP_CANTOPEN, "The window has no control " + std::to_string(*control) + " for the capture window.");
        return 0;
    }
    if (!window_) {
        window_ = new CaptureWindow(host->hostWidget());
        window_->setDisplay(settings_.loadDisplay());
        if (auto frame = currentFrame()) window_->setImage(frameToImage(*frame), frame->sequence);
    }
    windowControl_ = control;
    placeWindow(host, control);
    return 1;
}

capture::Flag TeskCapture::DESTROYCAPTUREWINDOW() {
    delete window_.data();  // QPointer: null already when its host took it along
    windowControl_.reset();
    return 1;
}

std::int32_t TeskCapture::GETCAPTUREWINDOWHEIGHT() {
    Driver* driver = connectedDriver();
    return driver ? driver->format().height : 0;
}

capture::Flag TeskCapture::RESIZECAPTUREREGION(capture::ControlNumber control) {
    capture::CaptureHost* host = hostLookup_ ? hostLookup_() : nullptr;
    if (!window_ || !host || !host->hostWidget() || !host->controlRect(control)) return 0;
    windowControl_ = control;
    placeWindow(host, control);
    return 1;
}

capture::Flag TeskCapture::RESIZECAPTUREAREA(capture::ControlNumber control) {
    // Moving onto another control's area is the same fit; that control is the window's place from now on.
    return RESIZECAPTUREREGION(control);
}

capture::Flag TeskCapture::RESIZECAPTUREWINDOW(capture::CaptureHost* host) {
    if (!window_ || !host || !host->hostWidget()) return 0;
    const bool hasControl = windowControl_ && host->controlRect(*windowControl_);
    placeWindow(host, hasControl ? windowControl_ : std::nullopt);
    return 1;
}

// ---- Preview ----

capture::Flag TeskCapture::SETPREVIEWRATE(std::int32_t msPerFrame) {
    if (msPerFrame <= 0) return 0;
    previewRateMs_ = msPerFrame;
    return 1;
}

capture::Flag TeskCapture::SETPREVIEW(capture::Flag on) {
    if (!on) {
        stopPreview(true);
        return 1;
    }
    if (!requireDriver()) return 0;
    if (Status s = startPreview(); !s) {
        status(IDS_CAP_DRIVER_ERROR, "The preview could not start: " + s.error);
        message("The preview could not start: " + s.error);
        return 0;
    }
    return 1;
}

Status TeskCapture::startPreview() {
    Driver* driver = connectedDriver();
    if (!driver) return Status::failure("no capture driver is connected");
    if (stream_.running()) return Status::success();
    stopOverlay();
    if (!driver->isStreaming())
        if (Status s = driver->startStreaming(); !s) return s;
    const std::uint64_t generation = ++streamGeneration_;
    lastPublished_ = {};
    const VideoFormat format = driver->format();
    const auto interval = std::chrono::milliseconds(
        format.intervalDenominator > 0 ? 1000LL * format.intervalNumerator / format.intervalDenominator : 1000);
    QObject* context = uiContext_.get();
    FrameStream::Sinks sinks;
    sinks.frame = [this](Frame&& frame) { publishFrame(std::move(frame)); };
    sinks.broken = [this, context](const std::string& why) {
        QMetaObject::invokeMethod(
            context, [this, why] { status(IDS_CAP_DRIVER_ERROR, "A broken frame was dropped: " + why); },
            Qt::QueuedConnection);
    };
    sinks.lost = [this, context, generation](const std::string& why) {
        QMetaObject::invokeMethod(context, [this, generation, why] { onStreamLost(generation, why); },
                                  Qt::QueuedConnection);
    };
    stream_.start(*driver, std::max(lossTimeout_, 4 * interval), std::move(sinks));
    status(capture::IDS_CAP_STAT_LIVE_MODE, "Live preview, " + formatText(format) + ", shown every " +
                                                std::to_string(previewRateMs_.load()) + " ms");
    return Status::success();
}

void TeskCapture::stopPreview(bool report) {
    if (!stream_.running()) return;
    stream_.stop();
    ++streamGeneration_;  // a loss report already queued is stale now
    if (Driver* driver = connectedDriver()) driver->stopStreaming();
    if (report) status(IDS_CAP_STAT_CLEAR, "Preview stopped");
}

void TeskCapture::onStreamLost(std::uint64_t generation, const std::string& why) {
    if (generation != streamGeneration_ || !stream_.running()) return;
    stopPreview(false);
    // Let the device go, so a camera that comes back can be opened again; the
    // last good frame stays in the frame buffer and can still be saved.
    stopOverlay();
    if (Driver* driver = connectedDriver()) driver->close();
    connected_ = -1;
    const std::string text = "The video device stopped delivering pictures (" + why +
                             "). The preview has been stopped; connect the driver again to go on.";
    status(IDS_CAP_DRIVER_ERROR, text);
    message(text);
}

// Capture thread: every whole frame becomes the frame buffer; at the preview
// rate one is converted for painting and the UI thread is asked to show it.
void TeskCapture::publishFrame(Frame&& frame) {
    auto shared = std::make_shared<const Frame>(std::move(frame));
    const auto now = std::chrono::steady_clock::now();
    const auto rate = std::chrono::milliseconds(previewRateMs_.load());
    const bool show = now - lastPublished_ >= rate * 3 / 4;
    QImage image;
    if (show) {
        image = frameToImage(*shared);
        lastPublished_ = now;
    }
    {
        std::lock_guard lock(frameMutex_);
        frame_ = shared;
        if (show) {
            pendingImage_ = std::move(image);
            pendingSequence_ = shared->sequence;
        }
    }
    if (show && !paintQueued_.exchange(true))
        QMetaObject::invokeMethod(uiContext_.get(), [this] { showNewestFrame(); }, Qt::QueuedConnection);
}

void TeskCapture::showNewestFrame() {
    paintQueued_ = false;
    QImage image;
    std::uint64_t sequence = 0;
    {
        std::lock_guard lock(frameMutex_);
        image = std::move(pendingImage_);
        pendingImage_ = QImage();
        sequence = pendingSequence_;
    }
    if (window_ && !image.isNull()) window_->setImage(std::move(image), sequence);
}

capture::Flag TeskCapture::OVERLAY(capture::Flag on) {
    if (!on) {
        stopOverlay();
        return 1;
    }
    if (!requireDriver()) return 0;
    Driver* driver = connectedDriver();
    if (!driver->caps().overlay) {
        status(IDS_CAP_DRIVER_ERROR, driver->info().name + " has no overlay.");
        return 0;
    }
    stopPreview(true);
    if (Status s = driver->setOverlay(true); !s) {
        status(IDS_CAP_DRIVER_ERROR, "The overlay could not start: " + s.error);
        message("The overlay could not start: " + s.error);
        return 0;
    }
    overlay_ = true;
    status(capture::IDS_CAP_STAT_OVERLAY_MODE, "Overlay on");
    return 1;
}

void TeskCapture::stopOverlay() {
    if (!overlay_) return;
    overlay_ = false;
    if (Driver* driver = connectedDriver()) driver->setOverlay(false);
    status(IDS_CAP_STAT_CLEAR, "Overlay stopped");
}

capture::Flag TeskCapture::SETCALLBACKSTATUS(capture::StatusRoutine routine) {
    statusRoutine_ = std::move(routine);
    return 1;
}

}  // namespace tesk
