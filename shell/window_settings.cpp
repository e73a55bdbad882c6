#include "shell/window_settings.h"

#include "platform/number_text.h"
#include "platform/profile.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace shell {
namespace {

constexpr std::string_view bookkeepingSection = "__Dont_Touch_Me__";
constexpr std::string_view sectorsKey = "Sectors";
constexpr std::string_view unknownEntry = "---Unknown---";
constexpr std::size_t entryFieldLength = 99;
// A hand-edited count of millions would hang the start-up and fill the memory;
// no real list comes near this.
constexpr std::int32_t maxEntries = 1024;

// The value that means "no position saved".
constexpr std::int32_t none = std::numeric_limits<std::int32_t>::min();
constexpr std::string_view noneText = "-2147483648";

std::string entryKey(std::size_t n) { return std::string(sectorsKey) + "_" + std::to_string(n); }

// Field k (0-based): the text after the k-th comma up to the next comma or the end.
std::string entryField(std::string_view text, int k) {
    std::size_t start = 0;
    for (int i = 0; i < k; ++i) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) return {};
        start = comma + 1;
    }
    const std::size_t end = text.find(',', start);
    return std::string(text.substr(start, end == std::string_view::npos ? end : end - start)
                           .substr(0, entryFieldLength));
}

std::string joined(const WindowSettings::Entry& e) { return e[0] + "," + e[1] + "," + e[2]; }

}  // namespace

void WindowSettings::start(std::string_view file) {
    file_ = std::string(file);
    entries_.clear();
    storedEntries_.clear();
    const std::int32_t count =
        platform::textToInt32(profile::GetPrivateProfileString(bookkeepingSection, sectorsKey, "", file_));
    for (std::int32_t n = 1; n <= std::min(count, maxEntries); ++n) {
        Entry entry;
        std::string text;
        for (int k = 0; k < 3; ++k) {
            text = profile::GetPrivateProfileString(bookkeepingSection, entryKey(static_cast<std::size_t>(n)),
                                                    unknownEntry, file_);
            entry[static_cast<std::size_t>(k)] = entryField(text, k);
        }
        entries_.push_back(std::move(entry));
        storedEntries_.push_back(std::move(text));
    }
}

void WindowSettings::stop() {
    if (file_.empty()) return;
    profile::WritePrivateProfileString(bookkeepingSection, sectorsKey, std::to_string(entries_.size()), file_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        // An entry found in the file goes back exactly as it was, also one that
        // does not split into three fields; a missing one is written from its fields.
        const bool found = i < storedEntries_.size() && storedEntries_[i] != unknownEntry;
        profile::WritePrivateProfileString(bookkeepingSection, entryKey(i + 1),
                                           found ? storedEntries_[i] : joined(entries_[i]), file_);
    }
}

void WindowSettings::restorePosition(std::string_view procedure, platform::PlacedWindow& window) const {
    if (file_.empty()) return;
    const auto read = [&](std::string_view key, std::string_view deflt) {
        return profile::GetPrivateProfileString(procedure, key, deflt, file_);
    };
    const std::string maximize = read("Maximize", "");
    if (!platform::textEquals(maximize, "Yes") && !platform::textEquals(maximize, "No")) return;
    const bool savedMaximized = platform::textEquals(maximize, "Yes");
    const std::int8_t savedMinimized = platform::textToInt8(read("Minimize", "0"));
    const std::int32_t x = platform::textToInt32(read("XPos", noneText));
    const std::int32_t y = platform::textToInt32(read("YPos", noneText));
    const std::int32_t width = platform::textToInt32(read("Width", noneText));
    const std::int32_t height = platform::textToInt32(read("Height", noneText));

    const bool maximizedNow = window.isMaximized();
    if (maximizedNow && !savedMaximized) window.showNormal();
    if (x != none) window.setX(x);
    if (y != none) window.setY(y);
    if (window.isResizable()) {
        if (width != none) window.setWidth(width);
        if (height != none) window.setHeight(height);
    }
    if (savedMaximized && !maximizedNow) window.showMaximized();
    window.setMinimized(savedMinimized != 0);
}

void WindowSettings::savePosition(std::string_view procedure, const platform::PlacedWindow& window) const {
    if (file_.empty()) return;
    const bool maximized = window.isMaximized();
    const bool minimized = window.isMinimized();
    std::optional<std::int32_t> x, y, width, height;
    if (!maximized && !minimized) {
        x = window.x();
        y = window.y();
        if (window.isResizable()) {
            width = window.width();
            height = window.height();
        }
    }
    const auto write = [&](std::string_view key, std::optional<std::string> value) {
        profile::WritePrivateProfileString(procedure, key, value ? std::optional<std::string_view>(*value) : std::nullopt,
                                           file_);
    };
    const auto number = [](std::optional<std::int32_t> v) {
        return v ? std::optional<std::string>(platform::int32ToText(*v)) : std::nullopt;
    };
    write("Maximize", maximized ? "Yes" : "No");
    write("Minimize", minimized ? "Yes" : "No");
    write("XPos", number(x));
    write("YPos", number(y));
    write("Width", number(width));
    write("Height", number(height));
}

}  // namespace shell
