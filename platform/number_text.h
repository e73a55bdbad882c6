#pragma once
// Numbers and texts as the settings files hold them.
//
// A text read as a number: leading blanks (space, tab, line feed, vertical tab,
// form feed, carriage return) are skipped; an optional "-"; decimal digits,
// optionally a fraction after "." or "," and an exponent after "e" or "E"
// (with an optional sign); the rest of the text is ignored. A text that does
// not start so reads as 0, also one with a leading "+". The value goes into a
// 32-bit integer with its fraction dropped (towards zero); a value beyond the
// 32-bit range saturates at the nearest limit (so "9999999999" reads as
// 2147483647). Narrower fields keep the low bits of that integer.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

std::int32_t textToInt32(std::string_view text);

// The low 16 (8) bits of a 32-bit integer, as a signed field keeps them.
constexpr std::int16_t low16(std::int32_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}
constexpr std::int8_t low8(std::int32_t value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu));
}

inline std::int16_t textToInt16(std::string_view text) { return low16(textToInt32(text)); }
inline std::int8_t textToInt8(std::string_view text) { return low8(textToInt32(text)); }

// Plain decimal: an optional "-", then digits, no leading zeros or blanks.
inline std::string int32ToText(std::int32_t value) { return std::to_string(value); }

// Equal character for character, upper and lower case distinct, trailing
// spaces ignored (fixed-length texts are padded with them).
bool textEquals(std::string_view a, std::string_view b);

}  // namespace platform
