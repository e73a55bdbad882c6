#pragma once
// Reading and writing the variable bound to a control, whatever its type.

#include "platform/framework/window.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::detail {

bool isBound(const Variable& variable);
bool isNumber(const Variable& variable);
bool isText(const Variable& variable);

std::optional<std::int64_t> readNumber(const Variable& variable);
// Stores a number, clamped to the variable's range (a 16-bit field never
// receives a wrapped value from a typed number). Text variables get its decimal text.
void storeNumber(const Variable& variable, std::int64_t value);

std::optional<std::string> readText(const Variable& variable);
// Stores a text cut to the variable's length; number variables get its value
// when the text is a whole number and are left alone otherwise.
void storeText(const Variable& variable, std::string_view text);

}  // namespace platform::detail
