#pragma once
// INI profile functions with the Windows semantics the settings files rely on:
// section and key names match without regard to case, values are trimmed and
// lose one pair of enclosing quotation marks, at most 1023 characters are
// returned, a missing file, section or key yields the default, the first match
// wins, and lines starting with ";" are comments. A write without a value
// deletes the key. Every write reaches the file at once and atomically.
//
// A bare file name resolves in the settings folder: $XDG_CONFIG_HOME/videocapture,
// else ~/.config/videocapture, created when first written.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace profile {

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view deflt,
                                    std::string_view file);

// Returns false when the file could not be written; the old file is then left whole.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, std::string_view file);

// The settings folder, and the path a file name resolves to.
std::string settingsFolder();
std::string resolvePath(std::string_view file);

// The longest value a read returns.
inline constexpr std::size_t maxValueLength = 1023;

namespace test_hooks {
// Called once the new contents sit complete in the temporary file, just before
// that file replaces the settings file. Returning false fails the write right
// there, as a crash or a full disk would. An empty function removes the hook.
void setBeforeReplace(std::function<bool(const std::string& temporaryPath)> hook);
}  // namespace test_hooks

}  // namespace profile
