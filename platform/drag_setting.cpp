#include "platform/drag_setting.h"

namespace platform {
namespace {

// No Linux desktop offers a full-window-drag switch to programs: nothing to read or set.
class NoDragSetting : public DragSetting {
public:
    bool get(std::int32_t&) override { return false; }
    bool set(std::int32_t) override { return false; }
};

}  // namespace

DragSetting& systemDragSetting() {
    static NoDragSetting setting;
    return setting;
}

bool FakeDragSetting::get(std::int32_t& value) {
    value = value_;
    calls_.push_back("get");
    if (onCall) onCall(calls_.back());
    return true;
}

bool FakeDragSetting::set(std::int32_t value) {
    value_ = value;
    calls_.push_back("set " + std::to_string(value));
    if (onCall) onCall(calls_.back());
    return true;
}

}  // namespace platform
