#pragma once
// Pictures of entries, spin boxes and display strings:
//   @nW    whole number, at most W characters
//   @n-W   the same, a leading minus sign allowed (counted in W)
//   ...b   shown blank when the number is 0
//   @sN    text of at most N characters

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::detail {

struct Picture {
    enum class Type { None, Number, Text };
    Type type = Type::None;
    int width = 0;          // characters
    bool minus = false;     // numbers: a leading minus sign allowed
    bool blankZero = false; // numbers: 0 is shown as an empty field

    static Picture parse(std::string_view picture);

    // The number as the field shows it.
    std::string formatNumber(std::int64_t value) const;
    // A text as the field shows it: cut to the picture's width, trailing blanks dropped.
    std::string formatText(std::string_view text) const;
    // The number a field's text stands for: empty (or a lone "-") is 0; text
    // that is not a whole number gives nothing.
    static std::optional<std::int64_t> parseNumber(std::string_view text);
    // The largest and smallest values the picture can hold.
    std::int64_t maximum() const;
    std::int64_t minimum() const;
    // A regular expression that accepts exactly what may be typed.
    std::string inputPattern() const;
};

}  // namespace platform::detail
