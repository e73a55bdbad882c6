#pragma once
// A recording fake of the capture component: every call is logged with its
// arguments, in order ("DRIVERCONNECT(2)", "FILESAVEJPEG(capture.jpg,100)"),
// and answered from the scripted results below. Records and routines handed
// in are kept for inspection.

#include "capture/video_capture.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class FakeCapture : public capture::VideoCapture {
public:
    struct Driver {
        std::string name;
        std::string version;
    };

    // Scripted results.
    std::vector<Driver> drivers;                   // ENUMCAPDRIVERS counts them, GETDRIVERDESCRIPTION gives them
    std::optional<std::int16_t> driverCount;       // overrides the count (e.g. -1)
    std::map<std::int32_t, capture::Flag> connectResults;  // by index, for both connect operations
    capture::Flag connectDefault = 1;              // indexes without an entry
    std::int32_t height = 240;                     // GETCAPTUREWINDOWHEIGHT
    capture::CAPDRIVERCAPS caps = everything();    // what DRIVERGETCAPS fills in
    capture::Flag capsResult = 1;
    capture::Flag formatResult = 1;                // DLGVIDEOFORMAT: 1 confirmed, 0 cancelled
    capture::Flag jpegResult = 1;
    capture::Flag dibResult = 1;
    capture::Flag singleFrameResult = 1;           // CAPTURESINGLEFRAME
    std::string captureFile = "capture.avi";       // GETCAPTUREFILE
    capture::Flag result = 1;                      // every other flag

    // Called after each call has been logged, before it returns (for checks mid-call).
    std::function<void(std::string_view call)> onCall;

    // A driver that supports overlay and every dialog; one that supports nothing.
    static capture::CAPDRIVERCAPS everything();
    static capture::CAPDRIVERCAPS nothing() { return {}; }

    // The log.
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // How many calls of the operation `name` were made.
    std::size_t count(std::string_view name) const;

    // What was handed in.
    const capture::StatusRoutine& statusRoutine() const { return statusRoutine_; }
    capture::CaptureHost* resizedWindow() const { return resizedWindow_; }
    capture::NativeWindow audioOwner() const { return audioOwner_; }
    const std::optional<capture::CAPTUREPARMS>& setup() const { return setup_; }

    // capture::VideoCapture
    std::int16_t ENUMCAPDRIVERS() override;
    capture::Flag GETDRIVERDESCRIPTION(std::int32_t index, char* name, std::int32_t nameSize, char* version,
                                       std::int32_t versionSize) override;
    capture::Flag CONNECTCAPDRIVER(std::int32_t index) override;
    capture::Flag DRIVERCONNECT(std::int32_t index) override;
    capture::Flag DRIVERDISCONNECT() override;
    capture::Flag DRIVERGETCAPS(capture::CAPDRIVERCAPS& caps, std::int32_t size) override;
    capture::Flag CREATECAPTUREWINDOW(std::optional<capture::ControlNumber> control) override;
    capture::Flag DESTROYCAPTUREWINDOW() override;
    std::int32_t GETCAPTUREWINDOWHEIGHT() override;
    capture::Flag RESIZECAPTUREREGION(capture::ControlNumber control) override;
    capture::Flag RESIZECAPTUREAREA(capture::ControlNumber control) override;
    capture::Flag RESIZECAPTUREWINDOW(capture::CaptureHost* window) override;
    capture::Flag SETPREVIEWRATE(std::int32_t msPerFrame) override;
    capture::Flag SETPREVIEW(capture::Flag on) override;
    capture::Flag OVERLAY(capture::Flag on) override;
    capture::Flag SETCALLBACKSTATUS(capture::StatusRoutine routine) override;
    capture::Flag DLGVIDEOFORMAT() override;
    capture::Flag DLGVIDEOSOURCE() override;
    capture::Flag DLGVIDEODISPLAY() override;
    capture::Flag DLGVIDEOCOMPRESSION() override;
    capture::Flag SETAUDIOFORMATDLG(capture::NativeWindow owner) override;
    capture::Flag GRABFRAME() override;
    capture::Flag EDITCOPY() override;
    capture::Flag FILESAVEJPEG(std::string_view file, std::int32_t quality) override;
    capture::Flag FILESAVEDIB(std::string_view file) override;
    capture::Flag DLGLOADPALETTE() override;
    capture::Flag DLGSAVEPALETTE() override;
    capture::Flag DLGSETCAPTUREFILE() override;
    capture::Flag DLGSAVECAPTUREDVIDEOAS() override;
    capture::Flag DLGSAVESINGLEFRAME() override;
    capture::Flag SETCAPTUREFILE(std::string_view file) override;
    std::string GETCAPTUREFILE() override;
    capture::Flag FILEALLOC(std::int64_t bytes) override;
    capture::Flag FILESAVEAS(std::string_view file) override;
    capture::Flag PALETTEOPEN(std::string_view file) override;
    capture::Flag PALETTESAVE(std::string_view file) override;
    capture::Flag SYSINFO(std::string_view first, std::string_view second) override;
    capture::Flag CAPTURESETSETUP(const capture::CAPTUREPARMS& parms, std::int32_t size) override;
    capture::Flag CAPTURESEQUENCE() override;
    capture::Flag CAPTURESINGLEFRAMEOPEN() override;
    capture::Flag CAPTURESINGLEFRAME() override;
    capture::Flag CAPTURESINGLEFRAMECLOSE() override;
    capture::Flag PALETTEAUTO(std::int32_t frames, std::int32_t colours) override;
    capture::Flag PALETTEMANUAL(capture::Flag sample, std::int32_t colours) override;

private:
    // Logs "NAME(arg,arg)" and calls onCall.
    void log(std::string_view name, std::initializer_list<std::string> arguments = {});
    capture::Flag connectResult(std::int32_t index) const;

    std::vector<std::string> calls_;
    capture::StatusRoutine statusRoutine_;
    capture::CaptureHost* resizedWindow_ = nullptr;
    capture::NativeWindow audioOwner_ = nullptr;
    std::optional<capture::CAPTUREPARMS> setup_;
};

}  // namespace testing_support
