#include "platform/framework/list_format.h"

#include <cctype>
#include <charconv>

namespace platform::detail {
namespace {

int readNumber(std::string_view text, std::size_t& pos) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    if (error != std::errc()) return 0;
    pos = static_cast<std::size_t>(end - text.data());
    return value;
}

}  // namespace

ListFormat ListFormat::parse(std::string_view text) {
    ListFormat format;
    std::size_t pos = 0;
    format.widthDu = readNumber(text, pos);
    while (pos < text.size()) {
        const char c = text[pos];
        switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'L': format.align = Align::Left; ++pos; break;
        case 'R': format.align = Align::Right; ++pos; break;
        case 'C': format.align = Align::Centre; ++pos; break;
        case '(': {
            ++pos;
            format.indentDu = readNumber(text, pos);
            if (pos < text.size() && text[pos] == ')') ++pos;
            break;
        }
        case '|': format.rightBorder = true; ++pos; break;
        case 'M': format.resizable = true; ++pos; break;
        case '~': {
            const std::size_t end = text.find('~', pos + 1);
            format.heading = std::string(text.substr(pos + 1, end == std::string_view::npos ? std::string_view::npos : end - pos - 1));
            pos = end == std::string_view::npos ? text.size() : end + 1;
            break;
        }
        case '@': {
            const std::size_t end = text.find('@', pos + 1);
            format.picture = Picture::parse(text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
            pos = end == std::string_view::npos ? text.size() : end + 1;
            break;
        }
        default: ++pos; break;  // modifiers this framework does not draw
        }
    }
    return format;
}

std::string ListFormat::cell(std::string_view text) const {
    return picture.type == Picture::Type::Text ? picture.formatText(text) : std::string(text);
}

}  // namespace platform::detail
