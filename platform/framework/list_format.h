#pragma once
// The format string of a list, one column: "316L(2)|M~Description~@s79@" is a
// column 316 dialog units wide, left-aligned with an indent of 2, a right
// border line, resizable, headed "Description", showing at most 79
// characters of each row.

#include "platform/framework/picture.h"

#include <string>
#include <string_view>

namespace platform::detail {

struct ListFormat {
    enum class Align { Left, Right, Centre };
    int widthDu = 0;  // 0: as wide as the list
    Align align = Align::Left;
    int indentDu = 0;
    bool rightBorder = false;
    bool resizable = false;
    std::string heading;
    Picture picture;

    static ListFormat parse(std::string_view format);
    // A row's text as the column shows it.
    std::string cell(std::string_view text) const;
};

}  // namespace platform::detail
