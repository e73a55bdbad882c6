#include "tests/support/fake_capture.h"

#include <algorithm>
#include <cstring>

namespace testing_support {
namespace {

using capture::Flag;

std::string num(std::int64_t value) { return std::to_string(value); }
std::string text(std::string_view value) { return std::string(value); }
std::string pointer(const void* p) { return p ? "window" : "null"; }

// Copies `value` into a buffer of `size` bytes, cut to fit and NUL-terminated.
void fill(char* buffer, std::int32_t size, const std::string& value) {
    if (buffer == nullptr || size <= 0) return;
    const std::size_t n = std::min(value.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
}

}  // namespace

capture::CAPDRIVERCAPS FakeCapture::everything() {
    capture::CAPDRIVERCAPS caps{};
    caps.FHASOVERLAY = 1;
    caps.FHASDLGVIDEOSOURCE = 1;
    caps.FHASDLGVIDEOFORMAT = 1;
    caps.FHASDLGVIDEODISPLAY = 1;
    caps.FCAPTUREINITIALIZED = 1;
    return caps;
}

std::size_t FakeCapture::count(std::string_view name) const {
    const std::string prefix = std::string(name) + "(";
    return static_cast<std::size_t>(std::count_if(calls_.begin(), calls_.end(), [&](const std::string& call) {
        return call.compare(0, prefix.size(), prefix) == 0;
    }));
}

void FakeCapture::log(std::string_view name, std::initializer_list<std::string> arguments) {
    std::string call(name);
    call += '(';
    bool first = true;
    for (const std::string& argument : arguments) {
        if (!first) call += ',';
        call += argument;
        first = false;
    }
    call += ')';
    calls_.push_back(call);
    if (onCall) onCall(calls_.back());
}

Flag FakeCapture::connectResult(std::int32_t index) const {
    const auto it = connectResults.find(index);
    return it == connectResults.end() ? connectDefault : it->second;
}

std::int16_t FakeCapture::ENUMCAPDRIVERS() {
    log("ENUMCAPDRIVERS");
    return driverCount.value_or(static_cast<std::int16_t>(drivers.size()));
}

Flag FakeCapture::GETDRIVERDESCRIPTION(std::int32_t index, char* name, std::int32_t nameSize, char* version,
                                       std::int32_t versionSize) {
    log("GETDRIVERDESCRIPTION", {num(index), num(nameSize), num(versionSize)});
    // An unknown index fails and leaves both buffers alone.
    if (index < 0 || static_cast<std::size_t>(index) >= drivers.size()) return 0;
    fill(name, nameSize, drivers[static_cast<std::size_t>(index)].name);
    fill(version, versionSize, drivers[static_cast<std::size_t>(index)].version);
    return 1;
}

Flag FakeCapture::CONNECTCAPDRIVER(std::int32_t index) {
    log("CONNECTCAPDRIVER", {num(index)});
    return connectResult(index);
}

Flag FakeCapture::DRIVERCONNECT(std::int32_t index) {
    log("DRIVERCONNECT", {num(index)});
    return connectResult(index);
}

Flag FakeCapture::DRIVERDISCONNECT() {
    log("DRIVERDISCONNECT");
    return result;
}

Flag FakeCapture::DRIVERGETCAPS(capture::CAPDRIVERCAPS& out, std::int32_t size) {
    log("DRIVERGETCAPS", {num(size)});
    if (capsResult == 0) return 0;
    if (size >= static_cast<std::int32_t>(sizeof out)) out = caps;
    return capsResult;
}

Flag FakeCapture::CREATECAPTUREWINDOW(std::optional<capture::ControlNumber> control) {
    if (control) {
        log("CREATECAPTUREWINDOW", {num(*control)});
    } else {
        log("CREATECAPTUREWINDOW");
    }
    return result;
}

Flag FakeCapture::DESTROYCAPTUREWINDOW() {
    log("DESTROYCAPTUREWINDOW");
    return result;
}

std::int32_t FakeCapture::GETCAPTUREWINDOWHEIGHT() {
    log("GETCAPTUREWINDOWHEIGHT");
    return height;
}

Flag FakeCapture::RESIZECAPTUREREGION(capture::ControlNumber control) {
    log("RESIZECAPTUREREGION", {num(control)});
    return result;
}

Flag FakeCapture::RESIZECAPTUREAREA(capture::ControlNumber control) {
    log("RESIZECAPTUREAREA", {num(control)});
    return result;
}

Flag FakeCapture::RESIZECAPTUREWINDOW(capture::CaptureHost* window) {
    log("RESIZECAPTUREWINDOW", {pointer(window)});
    resizedWindow_ = window;
    return result;
}

Flag FakeCapture::SETPREVIEWRATE(std::int32_t msPerFrame) {
    log("SETPREVIEWRATE", {num(msPerFrame)});
    return result;
}

Flag FakeCapture::SETPREVIEW(Flag on) {
    log("SETPREVIEW", {num(on)});
    return result;
}

Flag FakeCapture::OVERLAY(Flag on) {
    log("OVERLAY", {num(on)});
    return result;
}

Flag FakeCapture::SETCALLBACKSTATUS(capture::StatusRoutine routine) {
    log("SETCALLBACKSTATUS", {routine ? "routine" : "null"});
    statusRoutine_ = std::move(routine);
    return result;
}

Flag FakeCapture::DLGVIDEOFORMAT() {
    log("DLGVIDEOFORMAT");
    return formatResult;
}

Flag FakeCapture::DLGVIDEOSOURCE() {
    log("DLGVIDEOSOURCE");
    return result;
}

Flag FakeCapture::DLGVIDEODISPLAY() {
    log("DLGVIDEODISPLAY");
    return result;
}

Flag FakeCapture::DLGVIDEOCOMPRESSION() {
    log("DLGVIDEOCOMPRESSION");
    return result;
}

Flag FakeCapture::SETAUDIOFORMATDLG(capture::NativeWindow owner) {
    log("SETAUDIOFORMATDLG", {pointer(owner)});
    audioOwner_ = owner;
    return result;
}

Flag FakeCapture::GRABFRAME() {
    log("GRABFRAME");
    return result;
}

Flag FakeCapture::EDITCOPY() {
    log("EDITCOPY");
    return result;
}

Flag FakeCapture::FILESAVEJPEG(std::string_view file, std::int32_t quality) {
    log("FILESAVEJPEG", {text(file), num(quality)});
    return jpegResult;
}

Flag FakeCapture::FILESAVEDIB(std::string_view file) {
    log("FILESAVEDIB", {text(file)});
    return dibResult;
}

Flag FakeCapture::DLGLOADPALETTE() {
    log("DLGLOADPALETTE");
    return result;
}

Flag FakeCapture::DLGSAVEPALETTE() {
    log("DLGSAVEPALETTE");
    return result;
}

Flag FakeCapture::DLGSETCAPTUREFILE() {
    log("DLGSETCAPTUREFILE");
    return result;
}

Flag FakeCapture::DLGSAVECAPTUREDVIDEOAS() {
    log("DLGSAVECAPTUREDVIDEOAS");
    return result;
}

Flag FakeCapture::DLGSAVESINGLEFRAME() {
    log("DLGSAVESINGLEFRAME");
    return result;
}

Flag FakeCapture::SETCAPTUREFILE(std::string_view file) {
    log("SETCAPTUREFILE", {text(file)});
    captureFile = std::string(file);
    return result;
}

std::string FakeCapture::GETCAPTUREFILE() {
    log("GETCAPTUREFILE");
    return captureFile;
}

Flag FakeCapture::FILEALLOC(std::int64_t bytes) {
    log("FILEALLOC", {num(bytes)});
    return result;
}

Flag FakeCapture::FILESAVEAS(std::string_view file) {
    log("FILESAVEAS", {text(file)});
    return result;
}

Flag FakeCapture::PALETTEOPEN(std::string_view file) {
    log("PALETTEOPEN", {text(file)});
    return result;
}

Flag FakeCapture::PALETTESAVE(std::string_view file) {
    log("PALETTESAVE", {text(file)});
    return result;
}

Flag FakeCapture::SYSINFO(std::string_view first, std::string_view second) {
    log("SYSINFO", {text(first), text(second)});
    return result;
}

Flag FakeCapture::CAPTURESETSETUP(const capture::CAPTUREPARMS& parms, std::int32_t size) {
    log("CAPTURESETSETUP", {num(size)});
    setup_ = parms;
    return result;
}

Flag FakeCapture::CAPTURESEQUENCE() {
    log("CAPTURESEQUENCE");
    return result;
}

Flag FakeCapture::CAPTURESINGLEFRAMEOPEN() {
    log("CAPTURESINGLEFRAMEOPEN");
    return result;
}

Flag FakeCapture::CAPTURESINGLEFRAME() {
    log("CAPTURESINGLEFRAME");
    return singleFrameResult;
}

Flag FakeCapture::CAPTURESINGLEFRAMECLOSE() {
    log("CAPTURESINGLEFRAMECLOSE");
    return result;
}

Flag FakeCapture::PALETTEAUTO(std::int32_t frames, std::int32_t colours) {
    log("PALETTEAUTO", {num(frames), num(colours)});
    return result;
}

Flag FakeCapture::PALETTEMANUAL(Flag sample, std::int32_t colours) {
    log("PALETTEMANUAL", {num(sample), num(colours)});
    return result;
}

}  // namespace testing_support
