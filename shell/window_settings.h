#pragma once
// The window-settings manager: keeps each window's place in the window
// settings file under the window's procedure name, and the manager's own
// bookkeeping list in the section "__Dont_Touch_Me__".

#include "platform/placed_window.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

class WindowSettings {
public:
    // Bookkeeping entry: three text fields of at most 99 characters.
    using Entry = std::array<std::string, 3>;

    // Binds the manager to a settings file (a bare name resolves in the
    // settings folder) and reads the bookkeeping list.
    void start(std::string_view file);
    // Writes "Sectors" and the entries back. Nothing before a start.
    void stop();

    // Both do nothing before a start.
    void restorePosition(std::string_view procedure, platform::PlacedWindow& window) const;
    void savePosition(std::string_view procedure, const platform::PlacedWindow& window) const;

    const std::string& file() const { return file_; }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::string file_;
    std::vector<Entry> entries_;
    // Each entry's text as start read it, so stop writes it back unchanged.
    std::vector<std::string> storedEntries_;
};

}  // namespace shell
