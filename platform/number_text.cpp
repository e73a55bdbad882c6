#include "platform/number_text.h"

#include <algorithm>
#include <limits>

namespace platform {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isLeadingBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view takeDigits(std::string_view& s) {
    std::size_t n = 0;
    while (n < s.size() && isDigit(s[n])) ++n;
    const std::string_view digits = s.substr(0, n);
    s.remove_prefix(n);
    return digits;
}

// Enough to push any digit out of or into the integer part of any text that fits in memory.
constexpr long long exponentLimit = 1'000'000'000'000LL;

// The exponent after "e"/"E", or 0 when there is none (an "e" without digits is trailing text).
long long takeExponent(std::string_view& s) {
    if (s.empty() || (s.front() != 'e' && s.front() != 'E')) return 0;
    std::string_view rest = s.substr(1);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    const std::string_view digits = takeDigits(rest);
    if (digits.empty()) return 0;
    long long e = 0;
    for (char c : digits) e = std::min(exponentLimit, e * 10 + (c - '0'));
    s = rest;
    return negative ? -e : e;
}

}  // namespace

std::int32_t textToInt32(std::string_view s) {
    while (!s.empty() && isLeadingBlank(s.front())) s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    const std::string_view whole = takeDigits(s);
    if (whole.empty()) return 0;
    std::string_view fraction;
    if (!s.empty() && (s.front() == '.' || s.front() == ',')) {
        s.remove_prefix(1);
        fraction = takeDigits(s);
    }
    const long long exponent = takeExponent(s);

    // The integer part is exactly the first (whole digits + exponent) digits of
    // whole and fraction together, padded with zeros: no rounding anywhere.
    const std::string joined = std::string(whole) + std::string(fraction);
    std::string_view digits = joined;
    long long integerDigits = static_cast<long long>(whole.size()) + exponent;
    // Leading zeros count for nothing; with them gone the loop below ends
    // within eleven digits however large the exponent.
    const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
    digits.remove_prefix(zeros);
    integerDigits -= static_cast<long long>(zeros);
    if (digits.empty() || integerDigits <= 0) return 0;

    constexpr long long limit = std::numeric_limits<std::int32_t>::max() + 1LL;  // |INT32_MIN|
    long long magnitude = 0;
    for (long long i = 0; i < integerDigits && magnitude <= limit; ++i) {
        const int digit = i < static_cast<long long>(digits.size()) ? digits[static_cast<std::size_t>(i)] - '0' : 0;
        magnitude = magnitude * 10 + digit;
    }
    if (negative) return static_cast<std::int32_t>(-std::min(magnitude, limit));
    return static_cast<std::int32_t>(std::min(magnitude, limit - 1));
}

bool textEquals(std::string_view a, std::string_view b) {
    const auto trimmed = [](std::string_view s) {
        while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
        return s;
    };
    return trimmed(a) == trimmed(b);
}

}  // namespace platform
