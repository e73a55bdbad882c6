#include "platform/framework/variables.h"

#include "platform/framework/picture.h"
#include "platform/framework/text_util.h"

#include <algorithm>
#include <limits>

namespace platform::detail {
namespace {

template <typename T>
void storeClamped(T* target, std::int64_t value) {
    if (!target) return;
    value = std::clamp<std::int64_t>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    *target = static_cast<T>(value);
}

}  // namespace

bool isBound(const Variable& variable) { return !std::holds_alternative<std::monostate>(variable); }

bool isNumber(const Variable& variable) {
    return std::holds_alternative<std::int32_t*>(variable) || std::holds_alternative<std::int16_t*>(variable) ||
           std::holds_alternative<std::uint8_t*>(variable);
}

bool isText(const Variable& variable) { return std::holds_alternative<TextVar>(variable); }

std::optional<std::int64_t> readNumber(const Variable& variable) {
    if (auto p = std::get_if<std::int32_t*>(&variable); p && *p) return **p;
    if (auto p = std::get_if<std::int16_t*>(&variable); p && *p) return **p;
    if (auto p = std::get_if<std::uint8_t*>(&variable); p && *p) return **p;
    if (auto t = std::get_if<TextVar>(&variable); t && t->text) return Picture::parseNumber(*t->text);
    return std::nullopt;
}

void storeNumber(const Variable& variable, std::int64_t value) {
    if (auto p = std::get_if<std::int32_t*>(&variable)) storeClamped(*p, value);
    else if (auto p = std::get_if<std::int16_t*>(&variable)) storeClamped(*p, value);
    else if (auto p = std::get_if<std::uint8_t*>(&variable)) storeClamped(*p, value);
    else if (auto t = std::get_if<TextVar>(&variable)) storeText(*t, std::to_string(value));
}

std::optional<std::string> readText(const Variable& variable) {
    if (auto t = std::get_if<TextVar>(&variable); t && t->text) return *t->text;
    if (auto n = readNumber(variable)) return std::to_string(*n);
    return std::nullopt;
}

void storeText(const Variable& variable, std::string_view text) {
    if (auto t = std::get_if<TextVar>(&variable)) {
        // A length of 0 sets no limit.
        if (t->text) *t->text = t->maxLength > 0 ? cutChars(text, t->maxLength) : std::string(text);
        return;
    }
    if (auto n = Picture::parseNumber(text)) storeNumber(variable, *n);
}

}  // namespace platform::detail
