#pragma once
// The desktop's full-window-drag setting (Windows: SystemParametersInfoA with
// SPI_GETDRAGFULLWINDOWS / SPI_SETDRAGFULLWINDOWS, stored in the user's
// profile and broadcast). This platform has no such setting: the system one
// reports that it has none and changes nothing. Tests use the fake.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

class DragSetting {
public:
    virtual ~DragSetting() = default;
    // Reads the setting into `value`; false (and `value` untouched) when there is none.
    virtual bool get(std::int32_t& value) = 0;
    // Sets it (0 off, 1 on), stored for the user and announced; false when it cannot be set.
    virtual bool set(std::int32_t value) = 0;
};

// The desktop's own setting.
DragSetting& systemDragSetting();

// A setting held in memory that logs every call ("get", "set 0", "set 1").
class FakeDragSetting : public DragSetting {
public:
    explicit FakeDragSetting(std::int32_t value = 1) : value_(value) {}

    bool get(std::int32_t& value) override;
    bool set(std::int32_t value) override;

    std::int32_t value() const { return value_; }
    const std::vector<std::string>& calls() const { return calls_; }
    // Called with each entry as it is logged, to interleave it with other events.
    std::function<void(const std::string&)> onCall;

private:
    std::int32_t value_;
    std::vector<std::string> calls_;
};

}  // namespace platform
