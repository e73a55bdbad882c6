#pragma once
// The main window's two driver queues and the rows the driver list shows.

#include "platform/framework/queue.h"
#include "platform/framework/window.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace mainwin {

// Longest text of CAPD:DESCRIPTION and LOC:DRIVER (an 80-byte NUL-terminated buffer).
inline constexpr std::size_t DESCRIPTION_LENGTH = 79;

// Driver list queue (CAPD:): one row per enumerated driver, the rows of the driver list.
struct DriverListRow {
    std::string DESCRIPTION;  // driver name, one space, driver version; at most 79 characters
    std::int32_t ID = 0;      // driver index given by the component, from 0
};
using DriverListQueue = platform::Queue<DriverListRow>;

// Driver item queue (DRIT:): one row per Options menu item made for a driver.
struct DriverItemRow {
    std::int16_t FEQ = 0;     // control number of the menu item; the look-up key
    std::uint8_t USEVAR = 0;  // check state; every driver item is bound to the buffer's field
    std::int32_t INDX = 0;    // driver index
};
using DriverItemQueue = platform::Queue<DriverItemRow>;

// The driver list queue as the rows of a list control.
class DriverListRows : public platform::ListSource {
public:
    explicit DriverListRows(const DriverListQueue& queue) : queue_(queue) {}
    std::size_t rowCount() const override { return queue_.size(); }
    std::string rowText(std::size_t position) const override {
        return position >= 1 && position <= queue_.size() ? queue_.row(position).DESCRIPTION : std::string();
    }

private:
    const DriverListQueue& queue_;
};

}  // namespace mainwin
