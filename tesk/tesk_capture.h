#pragma once
// libtesk's capture object: the VideoCapture interface over the component's
// drivers. Live preview runs a capture thread (FrameStream) that keeps the
// newest whole frame; the UI thread only paints it in the capture window.
//
// Every operation may be called in any state. Where a user asked for
// something that cannot be done (no driver connected, no frame yet, a file
// that cannot be written) the message function shows why; faults are also
// reported to the status routine.

#include "capture/video_capture.h"
#include "tesk/component_settings.h"
#include "tesk/default_drivers.h"
#include "tesk/frame_stream.h"

#include <QPointer>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class QObject;

namespace tesk {

class CaptureWindow;

// Error codes given to the status routine (the Video for Windows error ids).
inline constexpr std::int32_t IDS_CAP_INFO = 401;
inline constexpr std::int32_t IDS_CAP_ERRORPALOPEN = 404;
inline constexpr std::int32_t IDS_CAP_ERRORPALSAVE = 405;
inline constexpr std::int32_t IDS_CAP_ERRORDIBSAVE = 406;
inline constexpr std::int32_t IDS_CAP_CANTOPEN = 409;
inline constexpr std::int32_t IDS_CAP_WRITEERROR = 414;
inline constexpr std::int32_t IDS_CAP_DRIVER_ERROR = 418;
// Status id 0 clears the status, as in Video for Windows; sent when preview stops.
inline constexpr std::int32_t IDS_CAP_STAT_CLEAR = 0;

// What a file dialog asks.
struct FileRequest {
    enum class Mode { Open, Save } mode = Mode::Save;
    std::string title;
    std::string filter;     // Qt name filter, e.g. "Bitmaps (*.bmp)"
    std::string suggested;  // proposed file name
    std::string defaultSuffix;      // added to a name typed without one
    bool confirmOverwrite = true;   // Save only: ask before choosing an existing file
};
// Returns the chosen file, or nothing when the user cancelled.
using FileAsker = std::function<std::optional<std::string>(QWidget* parent, const FileRequest&)>;
using MessageFunction = std::function<void(QWidget* parent, const std::string& text)>;

class TeskCapture final : public capture::VideoCapture {
public:
    using HostLookup = std::function<capture::CaptureHost*()>;

    explicit TeskCapture(HostLookup host, DriverFactory drivers = {});
    ~TeskCapture() override;
    TeskCapture(const TeskCapture&) = delete;
    TeskCapture& operator=(const TeskCapture&) = delete;

    // Tests record messages and answer file dialogs through these.
    void setMessageFunction(MessageFunction message);
    void setFileAsker(FileAsker asker);
    void setComponentSettings(ComponentSettings settings);
    // How long the preview waits for a frame before it calls the device lost.
    void setFrameLossTimeout(std::chrono::milliseconds timeout) { lossTimeout_ = timeout; }

    // State for tests and the display.
    CaptureWindow* captureWindow() const;
    Driver* connectedDriver() const;
    bool previewing() const { return stream_.running(); }
    std::optional<Frame> currentFrame() const;
    const std::vector<Rgb>& palette() const { return palette_; }
    const std::optional<capture::CAPTUREPARMS>& captureSetup() const { return setup_; }

    // Drivers.
    std::int16_t ENUMCAPDRIVERS() override;
    capture::Flag GETDRIVERDESCRIPTION(std::int32_t index, char* name, std::int32_t nameSize, char* version,
                                       std::int32_t versionSize) override;
    capture::Flag CONNECTCAPDRIVER(std::int32_t index) override;
    capture::Flag DRIVERCONNECT(std::int32_t index) override;
    capture::Flag DRIVERDISCONNECT() override;
    capture::Flag DRIVERGETCAPS(capture::CAPDRIVERCAPS& caps, std::int32_t size) override;

    // Capture window and preview.
    capture::Flag CREATECAPTUREWINDOW(std::optional<capture::ControlNumber> control = std::nullopt) override;
    capture::Flag DESTROYCAPTUREWINDOW() override;
    std::int32_t GETCAPTUREWINDOWHEIGHT() override;
    capture::Flag RESIZECAPTUREREGION(capture::ControlNumber control) override;
    capture::Flag RESIZECAPTUREAREA(capture::ControlNumber control) override;
    capture::Flag RESIZECAPTUREWINDOW(capture::CaptureHost* window) override;
    capture::Flag SETPREVIEWRATE(std::int32_t msPerFrame) override;
    capture::Flag SETPREVIEW(capture::Flag on) override;
    capture::Flag OVERLAY(capture::Flag on) override;
    capture::Flag SETCALLBACKSTATUS(capture::StatusRoutine routine) override;

    // Driver dialogs.
    capture::Flag DLGVIDEOFORMAT() override;
    capture::Flag DLGVIDEOSOURCE() override;
    capture::Flag DLGVIDEODISPLAY() override;
    capture::Flag DLGVIDEOCOMPRESSION() override;
    capture::Flag SETAUDIOFORMATDLG(capture::NativeWindow owner) override;

    // Frames and stills.
    capture::Flag GRABFRAME() override;
    capture::Flag EDITCOPY() override;
    capture::Flag FILESAVEJPEG(std::string_view file, std::int32_t quality) override;
    capture::Flag FILESAVEDIB(std::string_view file) override;

    // File dialogs.
    capture::Flag DLGLOADPALETTE() override;
    capture::Flag DLGSAVEPALETTE() override;
    capture::Flag DLGSETCAPTUREFILE() override;
    capture::Flag DLGSAVECAPTUREDVIDEOAS() override;
    capture::Flag DLGSAVESINGLEFRAME() override;

    // Files by name.
    capture::Flag SETCAPTUREFILE(std::string_view file) override;
    std::string GETCAPTUREFILE() override;
    capture::Flag FILEALLOC(std::int64_t bytes) override;
    capture::Flag FILESAVEAS(std::string_view file) override;
    capture::Flag PALETTEOPEN(std::string_view file) override;
    capture::Flag PALETTESAVE(std::string_view file) override;

    capture::Flag SYSINFO(std::string_view first, std::string_view second) override;

    // Recording.
    capture::Flag CAPTURESETSETUP(const capture::CAPTUREPARMS& parms, std::int32_t size) override;
    capture::Flag CAPTURESEQUENCE() override;
    capture::Flag CAPTURESINGLEFRAMEOPEN() override;
    capture::Flag CAPTURESINGLEFRAME() override;
    capture::Flag CAPTURESINGLEFRAMECLOSE() override;
    capture::Flag PALETTEAUTO(std::int32_t frames, std::int32_t colours) override;
    capture::Flag PALETTEMANUAL(capture::Flag sample, std::int32_t colours) override;

private:
    void enumerateIfNeeded();
    capture::Flag connect(std::int32_t index);
    bool requireDriver();  // message when none is connected
    Status startPreview();
    void clearFrame();
    void stopPreview(bool report);
    void stopOverlay();
    void onStreamLost(std::uint64_t generation, const std::string& why);
    void publishFrame(Frame&& frame);
    void showNewestFrame();
    void placeWindow(capture::CaptureHost* host, std::optional<capture::ControlNumber> control);
    void status(std::int32_t code, const std::string& text);
    void message(const std::string& text);
    QWidget* dialogParent() const;
    std::optional<std::string> askFile(const FileRequest& request);
    bool requireFrame(Frame& frame);  // message when there is none
    capture::Flag notAvailableYet(const char* operation);

    HostLookup hostLookup_;
    DriverFactory driverFactory_;
    MessageFunction message_;
    FileAsker askFile_;
    ComponentSettings settings_;
    capture::StatusRoutine statusRoutine_;

    DriverList drivers_;
    bool enumerated_ = false;
    int connected_ = -1;

    QPointer<CaptureWindow> window_;
    std::optional<capture::ControlNumber> windowControl_;
    std::unique_ptr<QObject> uiContext_;  // queued calls from the capture thread die with it

    FrameStream stream_;
    std::uint64_t streamGeneration_ = 0;
    std::atomic<int> previewRateMs_{66};
    std::chrono::milliseconds lossTimeout_{2000};
    bool overlay_ = false;

    // The frame buffer: the newest whole frame, written by the capture thread.
    mutable std::mutex frameMutex_;
    std::shared_ptr<const Frame> frame_;
    QImage pendingImage_;
    std::uint64_t pendingSequence_ = 0;
    std::chrono::steady_clock::time_point lastPublished_{};
    std::atomic<bool> paintQueued_{false};

    std::vector<Rgb> palette_;  // the current palette (loaded); the connected driver maps 8-bit frames onto it
    std::string captureFile_ = "capture.avi";
    std::optional<capture::CAPTUREPARMS> setup_;
};

}  // namespace tesk
