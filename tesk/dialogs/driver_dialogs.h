#pragma once
// The component's driver dialogs, each modal over its parent. They only ask:
// the caller applies what was chosen (it may have to stop streaming first).

#include "tesk/component_settings.h"
#include "tesk/driver.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tesk {

// Pixel format, frame size and frame rate as the driver enumerates them.
// `format` comes in as the current format and goes out as the choice.
// Returns true when the user confirmed.
bool showVideoFormatDialog(QWidget* parent, const Driver& driver, VideoFormat& format);

// Inputs and every control, with live effect: a control change goes to the
// driver at once (`setControl`, or `setControlText` for a String control when
// its edit finishes), an input change through `setInput` (the caller restarts
// streaming around it). "Defaults" sets every control to its default (a
// String control only where the driver knows its default text). Returns true
// when closed with OK; Cancel puts the values and texts it changed back.
struct SourceAccess {
    std::function<std::vector<Input>()> inputs;
    std::function<int()> currentInput;
    std::function<Status(int)> setInput;
    std::function<std::vector<Control>()> controls;
    std::function<Status(std::uint32_t, std::int64_t)> setControl;
    std::function<Status(std::uint32_t, const std::string&)> setControlText;  // unset: texts are shown only
};
bool showVideoSourceDialog(QWidget* parent, const std::string& driverName, const SourceAccess& source);

// How the capture window shows the picture.
bool showVideoDisplayDialog(QWidget* parent, DisplayChoice& choice);

// Codec and quality for capture files: the uncompressed DIB, Motion JPEG,
// FFV1 and whatever else the installed FFmpeg can put into AVI.
struct CodecOption {
    std::string name;         // encoder name, e.g. "mjpeg"
    std::string description;  // shown to the user
    bool takesQuality = false;
};
std::vector<CodecOption> availableCodecs();
bool showVideoCompressionDialog(QWidget* parent, CompressionChoice& choice);

// Sample rate, channels and bits per sample.
bool showAudioFormatDialog(QWidget* parent, AudioChoice& choice);

}  // namespace tesk
