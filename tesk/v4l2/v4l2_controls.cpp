#include "tesk/v4l2/v4l2_controls.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace tesk::v4l2 {
namespace {

std::optional<Control::Type> controlType(std::uint32_t type) {
    switch (type) {
    case V4L2_CTRL_TYPE_INTEGER: return Control::Type::Integer;
    case V4L2_CTRL_TYPE_BOOLEAN: return Control::Type::Boolean;
    case V4L2_CTRL_TYPE_MENU: return Control::Type::Menu;
    case V4L2_CTRL_TYPE_INTEGER_MENU: return Control::Type::IntegerMenu;
    case V4L2_CTRL_TYPE_BUTTON: return Control::Type::Button;
    case V4L2_CTRL_TYPE_INTEGER64: return Control::Type::Integer64;
    case V4L2_CTRL_TYPE_STRING: return Control::Type::String;
    case V4L2_CTRL_TYPE_BITMASK: return Control::Type::Bitmask;
    default: return std::nullopt;  // control classes, arrays, areas, codec structures
    }
}

std::string fixedText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

void readMenu(DeviceIo& io, int fd, Control& control) {
    for (std::int64_t index = control.minimum; index <= control.maximum; ++index) {
        v4l2_querymenu entry{};
        entry.id = control.id;
        entry.index = std::uint32_t(index);
        if (xioctl(io, fd, VIDIOC_QUERYMENU, &entry) != 0)
            continue;  // menus may have holes
        if (control.type == Control::Type::Menu)
            control.menu.emplace_back(index, fixedText(reinterpret_cast<const char*>(entry.name), sizeof entry.name));
        else
            control.menu.emplace_back(index, std::to_string(entry.value));
    }
}

bool readable(const Control& control, std::uint32_t flags) {
    return control.type != Control::Type::Button && !(flags & V4L2_CTRL_FLAG_WRITE_ONLY);
}

// A text is read into maximum + 1 bytes, as the V4L2 documentation advises;
// a device that claims more than this is not read from at all.
constexpr std::int64_t kLongestText = 1 << 20;

bool textReadable(const Control& control) { return control.maximum >= 0 && control.maximum <= kLongestText; }

// The current (or, with V4L2_CTRL_WHICH_DEF_VAL, the default) text; nullopt
// when the device does not give it.
std::optional<std::string> readText(DeviceIo& io, int fd, const Control& control, std::uint32_t which) {
    if (!textReadable(control))
        return std::nullopt;
    std::vector<char> buffer(std::size_t(control.maximum) + 1, '\0');
    v4l2_ext_control value{};
    value.id = control.id;
    value.size = std::uint32_t(buffer.size());
    value.string = buffer.data();
    v4l2_ext_controls request{};
    request.which = which;
    request.count = 1;
    request.controls = &value;
    if (xioctl(io, fd, VIDIOC_G_EXT_CTRLS, &request) != 0)
        return std::nullopt;
    return fixedText(buffer.data(), buffer.size());
}

void readValue(DeviceIo& io, int fd, Control& control) {
    if (control.type == Control::Type::String) {
        if (auto text = readText(io, fd, control, V4L2_CTRL_WHICH_CUR_VAL))
            control.text = std::move(*text);
        return;
    }
    v4l2_ext_control value{};
    value.id = control.id;
    v4l2_ext_controls request{};
    request.which = V4L2_CTRL_WHICH_CUR_VAL;
    request.count = 1;
    request.controls = &value;
    if (xioctl(io, fd, VIDIOC_G_EXT_CTRLS, &request) != 0)
        return;  // the default stands in; a failing read must not hide the control
    if (control.type == Control::Type::Integer64)
        control.value = value.value64;
    else if (control.type == Control::Type::Bitmask)
        control.value = std::uint32_t(value.value);
    else
        control.value = value.value;
}

Control describe(DeviceIo& io, int fd, const v4l2_query_ext_ctrl& query, Control::Type type) {
    Control control;
    control.id = query.id;
    control.name = fixedText(query.name, sizeof query.name);
    control.type = type;
    control.minimum = query.minimum;
    control.maximum = query.maximum;
    control.step = std::int64_t(query.step);
    control.defaultValue = query.default_value;
    if (type == Control::Type::Bitmask) {  // 32-bit masks, unsigned
        control.minimum = 0;
        control.maximum = std::uint32_t(query.maximum);
        control.defaultValue = std::uint32_t(query.default_value);
    }
    control.value = control.defaultValue;
    control.readOnly = (query.flags & V4L2_CTRL_FLAG_READ_ONLY) != 0;
    control.inactive = (query.flags & V4L2_CTRL_FLAG_INACTIVE) != 0;
    if (type == Control::Type::Menu || type == Control::Type::IntegerMenu)
        readMenu(io, fd, control);
    if (type == Control::Type::String) {
        control.defaultValue = 0;  // a text has no numeric default
        control.value = 0;
        if (auto text = readText(io, fd, control, V4L2_CTRL_WHICH_DEF_VAL)) {
            control.defaultText = std::move(*text);
            control.hasDefaultText = true;
        }
    }
    if (readable(control, query.flags))
        readValue(io, fd, control);
    return control;
}

bool listed(const v4l2_query_ext_ctrl& query) {
    return !(query.flags & V4L2_CTRL_FLAG_DISABLED) && query.nr_of_dims == 0;
}

}  // namespace

std::vector<Control> queryControls(DeviceIo& io, int fd) {
    std::vector<Control> controls;
    v4l2_query_ext_ctrl query{};
    query.id = V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
    while (xioctl(io, fd, VIDIOC_QUERY_EXT_CTRL, &query) == 0) {
        const auto type = controlType(query.type);
        if (type && listed(query))
            controls.push_back(describe(io, fd, query, *type));
        query.id |= V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
    }
    return controls;
}

std::optional<Control> queryControl(DeviceIo& io, int fd, std::uint32_t id) {
    v4l2_query_ext_ctrl query{};
    query.id = id;
    if (xioctl(io, fd, VIDIOC_QUERY_EXT_CTRL, &query) != 0)
        return std::nullopt;
    const auto type = controlType(query.type);
    if (!type || !listed(query)) {
        errno = EINVAL;
        return std::nullopt;
    }
    return describe(io, fd, query, *type);
}

int writeControl(DeviceIo& io, int fd, const Control& control, std::int64_t value) {
    v4l2_ext_control entry{};
    entry.id = control.id;
    if (control.type == Control::Type::Integer64)
        entry.value64 = value;
    else if (control.type == Control::Type::Button)
        entry.value = 0;
    else if (control.type == Control::Type::Bitmask)
        entry.value = std::int32_t(std::uint32_t(value));
    else  // out-of-range values are clamped to 32 bits, then the device clamps or refuses
        entry.value = std::int32_t(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
    v4l2_ext_controls request{};
    request.which = V4L2_CTRL_WHICH_CUR_VAL;
    request.count = 1;
    request.controls = &entry;
    return xioctl(io, fd, VIDIOC_S_EXT_CTRLS, &request) == 0 ? 0 : errno;
}

std::string textProblem(const Control& control, const std::string& text) {
    if (text.find('\0') != std::string::npos)
        return "a text for '" + control.name + "' cannot hold a NUL character";
    const auto length = std::int64_t(text.size());
    const std::int64_t step = std::max<std::int64_t>(1, control.step);
    if (length < control.minimum || length > control.maximum || (length - control.minimum) % step != 0) {
        std::string rule = control.minimum == control.maximum
                               ? std::to_string(control.minimum)
                               : std::to_string(control.minimum) + " to " + std::to_string(control.maximum);
        if (step > 1)
            rule += " in steps of " + std::to_string(step);
        return "the text for '" + control.name + "' must be " + rule + " characters (bytes) long, not " +
               std::to_string(length);
    }
    return {};
}

int writeText(DeviceIo& io, int fd, const Control& control, const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    v4l2_ext_control entry{};
    entry.id = control.id;
    entry.size = std::uint32_t(buffer.size());
    entry.string = buffer.data();
    v4l2_ext_controls request{};
    request.which = V4L2_CTRL_WHICH_CUR_VAL;
    request.count = 1;
    request.controls = &entry;
    return xioctl(io, fd, VIDIOC_S_EXT_CTRLS, &request) == 0 ? 0 : errno;
}

}  // namespace tesk::v4l2
