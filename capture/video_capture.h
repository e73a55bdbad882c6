#pragma once
// The capture component's interface: one object of this class serves every
// window for the whole run. Operations keep the names of the Video for Windows
// capture interface they follow. A Flag is nonzero for success (or "on").
//
// Contract for every implementation: each operation may be called in any state
// (no driver connected, no capture window), returns a harmless result then, and
// returns before the caller handles its next event. Operations that open a
// dialog run it modally inside the call.

#include "capture/capture_host.h"
#include "capture/capture_records.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace capture {

using Flag = std::int32_t;
// A window's native handle: its top-level widget.
using NativeWindow = QWidget*;
// Status routine: capture window handle, status code, status text; returns a 32-bit value.
using StatusRoutine = std::function<std::int32_t(NativeWindow window, std::int32_t code, std::string_view text)>;

// Video for Windows status codes used with the status routine.
inline constexpr std::int32_t IDS_CAP_BEGIN = 300;
inline constexpr std::int32_t IDS_CAP_END = 301;
inline constexpr std::int32_t IDS_CAP_STAT_LIVE_MODE = 500;
inline constexpr std::int32_t IDS_CAP_STAT_OVERLAY_MODE = 501;
inline constexpr std::int32_t IDS_CAP_STAT_CAP_INIT = 502;
inline constexpr std::int32_t IDS_CAP_STAT_CAP_FINI = 503;
inline constexpr std::int32_t IDS_CAP_STAT_VIDEOCURRENT = 510;
inline constexpr std::int32_t IDS_CAP_STAT_VIDEOONLY = 511;
inline constexpr std::int32_t IDS_CAP_STAT_VIDEOAUDIO = 512;
inline constexpr std::int32_t IDS_CAP_STAT_CAPFILE = 513;
inline constexpr std::int32_t IDS_CAP_STAT_OPTPAL_BUILD = 514;
inline constexpr std::int32_t IDS_CAP_STAT_I_FRAMES = 515;
inline constexpr std::int32_t IDS_CAP_STAT_CAP_AUDIO = 516;

class VideoCapture {
public:
    virtual ~VideoCapture() = default;

    // Drivers.
    virtual std::int16_t ENUMCAPDRIVERS() = 0;
    virtual Flag GETDRIVERDESCRIPTION(std::int32_t index, char* name, std::int32_t nameSize, char* version,
                                      std::int32_t versionSize) = 0;
    virtual Flag CONNECTCAPDRIVER(std::int32_t index) = 0;
    virtual Flag DRIVERCONNECT(std::int32_t index) = 0;
    virtual Flag DRIVERDISCONNECT() = 0;
    virtual Flag DRIVERGETCAPS(CAPDRIVERCAPS& caps, std::int32_t size) = 0;

    // Capture window and preview.
    virtual Flag CREATECAPTUREWINDOW(std::optional<ControlNumber> control = std::nullopt) = 0;
    virtual Flag DESTROYCAPTUREWINDOW() = 0;
    virtual std::int32_t GETCAPTUREWINDOWHEIGHT() = 0;
    virtual Flag RESIZECAPTUREREGION(ControlNumber control) = 0;
    virtual Flag RESIZECAPTUREAREA(ControlNumber control) = 0;
    virtual Flag RESIZECAPTUREWINDOW(CaptureHost* window) = 0;
    virtual Flag SETPREVIEWRATE(std::int32_t msPerFrame) = 0;
    virtual Flag SETPREVIEW(Flag on) = 0;
    virtual Flag OVERLAY(Flag on) = 0;
    virtual Flag SETCALLBACKSTATUS(StatusRoutine routine) = 0;

    // Driver dialogs.
    virtual Flag DLGVIDEOFORMAT() = 0;
    virtual Flag DLGVIDEOSOURCE() = 0;
    virtual Flag DLGVIDEODISPLAY() = 0;
    virtual Flag DLGVIDEOCOMPRESSION() = 0;
    virtual Flag SETAUDIOFORMATDLG(NativeWindow owner) = 0;

    // Frames and stills.
    virtual Flag GRABFRAME() = 0;
    virtual Flag EDITCOPY() = 0;
    virtual Flag FILESAVEJPEG(std::string_view file, std::int32_t quality) = 0;
    virtual Flag FILESAVEDIB(std::string_view file) = 0;

    // File dialogs: each asks for a file, then acts on it.
    virtual Flag DLGLOADPALETTE() = 0;
    virtual Flag DLGSAVEPALETTE() = 0;
    virtual Flag DLGSETCAPTUREFILE() = 0;
    virtual Flag DLGSAVECAPTUREDVIDEOAS() = 0;
    virtual Flag DLGSAVESINGLEFRAME() = 0;

    // Files by name (the same actions without a dialog).
    virtual Flag SETCAPTUREFILE(std::string_view file) = 0;
    virtual std::string GETCAPTUREFILE() = 0;
    virtual Flag FILEALLOC(std::int64_t bytes) = 0;
    virtual Flag FILESAVEAS(std::string_view file) = 0;
    virtual Flag PALETTEOPEN(std::string_view file) = 0;
    virtual Flag PALETTESAVE(std::string_view file) = 0;

    // Information window: the first text up to "#" is its title, the rest its heading.
    virtual Flag SYSINFO(std::string_view first, std::string_view second) = 0;

    // Recording.
    virtual Flag CAPTURESETSETUP(const CAPTUREPARMS& parms, std::int32_t size) = 0;
    virtual Flag CAPTURESEQUENCE() = 0;
    virtual Flag CAPTURESINGLEFRAMEOPEN() = 0;
    virtual Flag CAPTURESINGLEFRAME() = 0;
    virtual Flag CAPTURESINGLEFRAMECLOSE() = 0;

    // Palettes: automatic from a number of frames, or manual (1 = sample a frame, 0 = finish).
    virtual Flag PALETTEAUTO(std::int32_t frames, std::int32_t colours) = 0;
    virtual Flag PALETTEMANUAL(Flag sample, std::int32_t colours) = 0;
};

}  // namespace capture
