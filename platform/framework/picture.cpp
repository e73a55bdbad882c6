#include "platform/framework/picture.h"

#include "platform/framework/text_util.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace platform::detail {

Picture Picture::parse(std::string_view text) {
    Picture picture;
    if (text.size() < 3 || text[0] != '@') return picture;
    const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(text[1])));
    std::size_t pos = 2;
    if (type == 'n' && pos < text.size() && text[pos] == '-') {
        picture.minus = true;
        ++pos;
    }
    int width = 0;
    const auto [end, error] = std::from_chars(text.data() + pos, text.data() + text.size(), width);
    if (error != std::errc() || width <= 0) return picture;
    pos = static_cast<std::size_t>(end - text.data());
    if (type == 'n') {
        picture.type = Type::Number;
        for (; pos < text.size(); ++pos)
            if (std::tolower(static_cast<unsigned char>(text[pos])) == 'b') picture.blankZero = true;
        // More than 18 digits would not fit the arithmetic below.
        picture.width = width > 18 ? 18 : width;
    } else if (type == 's') {
        picture.type = Type::Text;
        picture.width = width;
    }
    return picture;
}

std::string Picture::formatNumber(std::int64_t value) const {
    if (blankZero && value == 0) return {};
    return std::to_string(value);
}

std::string Picture::formatText(std::string_view text) const {
    const std::string cut = type == Type::Text ? cutChars(text, static_cast<std::size_t>(width)) : std::string(text);
    return trimRight(cut);
}

std::optional<std::int64_t> Picture::parseNumber(std::string_view text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return 0;
    const std::size_t last = text.find_last_not_of(' ');
    text = text.substr(begin, last - begin + 1);
    if (text == "-") return 0;
    const bool negative = text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty()) return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9') return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range) value = std::numeric_limits<std::int64_t>::max();
    else if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return negative ? -value : value;
}

std::int64_t Picture::maximum() const {
    if (type != Type::Number) return std::numeric_limits<std::int64_t>::max();
    std::int64_t out = 1;
    for (int i = 0; i < width; ++i) out *= 10;
    return out - 1;
}

std::int64_t Picture::minimum() const {
    if (type != Type::Number) return std::numeric_limits<std::int64_t>::min();
    if (!minus) return 0;
    std::int64_t out = 1;
    for (int i = 0; i < width - 1; ++i) out *= 10;
    return -(out - 1);
}

std::string Picture::inputPattern() const {
    if (type == Type::Number) {
        const std::string w = std::to_string(width);
        if (!minus) return "\\d{0," + w + "}";
        const std::string w1 = std::to_string(width - 1);
        return "-?\\d{0," + w1 + "}|\\d{0," + w + "}";
    }
    if (type == Type::Text) return ".{0," + std::to_string(width) + "}";
    return ".*";
}

}  // namespace platform::detail
