#include "tesk/component_settings.h"

#include "platform/profile.h"
#include "tesk/dialogs/driver_dialogs.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace tesk {

namespace {

constexpr const char* kCompression = "compression";
constexpr const char* kAudio = "audio";
constexpr const char* kDisplay = "display";

// Limits for a remembered format; the driver adjusts what it cannot do.
constexpr int kMaxDimension = 16384;
constexpr int kMaxIntervalTerm = 1000000;

std::string read(const std::string& file, const std::string& section, const char* key) {
    return profile::GetPrivateProfileString(section, key, "", file);
}

void write(const std::string& file, const std::string& section, const char* key, const std::string& value) {
    profile::WritePrivateProfileString(section, key, value, file);
}

// A whole decimal number, or nothing (empty, junk, overflow).
std::optional<long long> parseNumber(const std::string& text) {
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

int readClamped(const std::string& file, const std::string& section, const char* key, int fallback, int low, int high) {
    const auto value = parseNumber(read(file, section, key));
    if (!value) return fallback;
    return int(std::clamp<long long>(*value, low, high));
}

bool readFlag(const std::string& file, const std::string& section, const char* key, bool fallback) {
    const auto value = parseNumber(read(file, section, key));
    if (!value || (*value != 0 && *value != 1)) return fallback;
    return *value == 1;
}

// Driver names become part of a section name: the characters that would end
// or break an INI section header are replaced.
std::string formatSection(const std::string& driverName) {
    std::string clean;
    for (char c : driverName) {
        const bool unsafe = c == '[' || c == ']' || c == ';' || c == '=' || static_cast<unsigned char>(c) < 0x20;
        clean += unsafe ? '_' : c;
    }
    return "format " + clean;
}

bool printable(unsigned char c) { return c >= 0x20 && c <= 0x7e; }

// A fourcc is kept as its four characters, quoted so that a trailing space
// survives the trimming of values; one with other bytes (the big-endian flag)
// as 0x and eight hex digits.
std::string fourccText(std::uint32_t code) {
    std::string text = "\"";
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = (code >> (8 * i)) & 0xff;
        if (!printable(c)) {
            char hex[11];
            std::snprintf(hex, sizeof hex, "0x%08x", unsigned(code));
            return hex;
        }
        text += char(c);
    }
    return text + "\"";
}

std::optional<std::uint32_t> parseFourcc(const std::string& text) {
    if (text.size() == 10 && text.starts_with("0x")) {
        std::uint32_t code = 0;
        auto [end, error] = std::from_chars(text.data() + 2, text.data() + 10, code, 16);
        if (error != std::errc() || end != text.data() + 10) return std::nullopt;
        return code;
    }
    if (text.size() != 4) return std::nullopt;
    std::uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[std::size_t(i)]);
        if (!printable(c)) return std::nullopt;
        code |= std::uint32_t(c) << (8 * i);
    }
    return code;
}

constexpr int kSampleRates[] = {8000, 11025, 22050, 44100, 48000};

int nearestSampleRate(long long rate) {
    rate = std::clamp<long long>(rate, 0, 1000000);
    int best = kSampleRates[0];
    for (int candidate : kSampleRates)
        if (std::llabs(candidate - rate) < std::llabs(best - rate)) best = candidate;
    return best;
}

}  // namespace

bool ComponentSettings::loadFormat(const std::string& driverName, VideoFormat& format) const {
    const std::string section = formatSection(driverName);
    const auto code = parseFourcc(read(file_, section, "fourcc"));
    const auto width = parseNumber(read(file_, section, "width"));
    const auto height = parseNumber(read(file_, section, "height"));
    const auto numerator = parseNumber(read(file_, section, "interval numerator"));
    const auto denominator = parseNumber(read(file_, section, "interval denominator"));
    // Without a pixel format and a size there is nothing sensible to restore.
    if (!code || !width || !height) return false;
    VideoFormat loaded;
    loaded.fourcc = *code;
    loaded.width = int(std::clamp<long long>(*width, 1, kMaxDimension));
    loaded.height = int(std::clamp<long long>(*height, 1, kMaxDimension));
    if (numerator && denominator) {
        loaded.intervalNumerator = int(std::clamp<long long>(*numerator, 1, kMaxIntervalTerm));
        loaded.intervalDenominator = int(std::clamp<long long>(*denominator, 1, kMaxIntervalTerm));
    }
    format = loaded;
    return true;
}

void ComponentSettings::saveFormat(const std::string& driverName, const VideoFormat& format) const {
    const std::string section = formatSection(driverName);
    write(file_, section, "fourcc", fourccText(format.fourcc));
    write(file_, section, "width", std::to_string(format.width));
    write(file_, section, "height", std::to_string(format.height));
    write(file_, section, "interval numerator", std::to_string(format.intervalNumerator));
    write(file_, section, "interval denominator", std::to_string(format.intervalDenominator));
}

CompressionChoice ComponentSettings::loadCompression() const {
    CompressionChoice choice;
    const std::string codec = read(file_, kCompression, "codec");
    const auto codecs = availableCodecs();
    // A codec the installed FFmpeg no longer offers falls back to the default.
    if (std::any_of(codecs.begin(), codecs.end(), [&](const CodecOption& o) { return o.name == codec; }))
        choice.codec = codec;
    choice.quality = readClamped(file_, kCompression, "quality", choice.quality, 1, 100);
    return choice;
}

void ComponentSettings::saveCompression(const CompressionChoice& choice) const {
    write(file_, kCompression, "codec", choice.codec);
    write(file_, kCompression, "quality", std::to_string(choice.quality));
}

AudioChoice ComponentSettings::loadAudio() const {
    AudioChoice choice;
    if (const auto rate = parseNumber(read(file_, kAudio, "sample rate"))) choice.sampleRate = nearestSampleRate(*rate);
    choice.channels = readClamped(file_, kAudio, "channels", choice.channels, 1, 2);
    if (const auto bits = parseNumber(read(file_, kAudio, "bits"))) choice.bitsPerSample = *bits < 12 ? 8 : 16;
    return choice;
}

void ComponentSettings::saveAudio(const AudioChoice& choice) const {
    write(file_, kAudio, "sample rate", std::to_string(choice.sampleRate));
    write(file_, kAudio, "channels", std::to_string(choice.channels));
    write(file_, kAudio, "bits", std::to_string(choice.bitsPerSample));
}

DisplayChoice ComponentSettings::loadDisplay() const {
    DisplayChoice choice;
    choice.keepAspect = readFlag(file_, kDisplay, "keep aspect", choice.keepAspect);
    choice.showFrameInfo = readFlag(file_, kDisplay, "frame info", choice.showFrameInfo);
    return choice;
}

void ComponentSettings::saveDisplay(const DisplayChoice& choice) const {
    write(file_, kDisplay, "keep aspect", choice.keepAspect ? "1" : "0");
    write(file_, kDisplay, "frame info", choice.showFrameInfo ? "1" : "0");
}

}  // namespace tesk
