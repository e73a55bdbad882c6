// Pictures and list format strings as the framework reads them.

#include "platform/framework/list_format.h"
#include "platform/framework/picture.h"

#include <gtest/gtest.h>

namespace framework_test {
namespace {

using platform::detail::ListFormat;
using platform::detail::Picture;

struct PictureCase {
    const char* text;
    Picture::Type type;
    int width;
    bool minus;
    bool blankZero;
    std::int64_t minimum;
    std::int64_t maximum;
};

class Pictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(Pictures, Parse) {
    const PictureCase& c = GetParam();
    const Picture p = Picture::parse(c.text);
    EXPECT_EQ(p.type, c.type);
    EXPECT_EQ(p.width, c.width);
    EXPECT_EQ(p.minus, c.minus);
    EXPECT_EQ(p.blankZero, c.blankZero);
    if (c.type == Picture::Type::Number) {
        EXPECT_EQ(p.minimum(), c.minimum);
        EXPECT_EQ(p.maximum(), c.maximum);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Pictures,
                         ::testing::Values(PictureCase{"@n-7b", Picture::Type::Number, 7, true, true, -999999, 9999999},
                                           PictureCase{"@n-14", Picture::Type::Number, 14, true, false,
                                                       -9999999999999, 99999999999999},
                                           PictureCase{"@n3", Picture::Type::Number, 3, false, false, 0, 999},
                                           PictureCase{"@n5", Picture::Type::Number, 5, false, false, 0, 99999},
                                           PictureCase{"@s20", Picture::Type::Text, 20, false, false, 0, 0},
                                           PictureCase{"@s64", Picture::Type::Text, 64, false, false, 0, 0},
                                           PictureCase{"", Picture::Type::None, 0, false, false, 0, 0},
                                           PictureCase{"@x9", Picture::Type::None, 0, false, false, 0, 0}));

TEST(PictureValues, NumbersAndTextsInAndOut) {
    const Picture blank = Picture::parse("@n-7b");
    EXPECT_EQ(blank.formatNumber(0), "");
    EXPECT_EQ(blank.formatNumber(-15), "-15");
    EXPECT_EQ(Picture::parse("@n-14").formatNumber(0), "0");
    EXPECT_EQ(Picture::parseNumber(""), 0);
    EXPECT_EQ(Picture::parseNumber(" -"), 0);
    EXPECT_EQ(Picture::parseNumber(" 42 "), 42);
    EXPECT_EQ(Picture::parseNumber("-7"), -7);
    EXPECT_EQ(Picture::parseNumber("4a"), std::nullopt);
    EXPECT_EQ(Picture::parseNumber("99999999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Picture::parse("@s5").formatText("ABCDEFG"), "ABCDE");
    EXPECT_EQ(Picture::parse("@s20").formatText("3 Frames   "), "3 Frames");
    EXPECT_EQ(Picture::parse("@s2").formatText("\xC3\xA9\xC3\xA9\xC3\xA9"), "\xC3\xA9\xC3\xA9");  // characters, not bytes
}

TEST(ListFormats, TheDriverListsFormat) {
    const ListFormat f = ListFormat::parse("316L(2)|M~Description~@s79@");
    EXPECT_EQ(f.widthDu, 316);
    EXPECT_EQ(f.align, ListFormat::Align::Left);
    EXPECT_EQ(f.indentDu, 2);
    EXPECT_TRUE(f.rightBorder);
    EXPECT_TRUE(f.resizable);
    EXPECT_EQ(f.heading, "Description");
    EXPECT_EQ(f.picture.type, Picture::Type::Text);
    EXPECT_EQ(f.picture.width, 79);
    EXPECT_EQ(f.cell(std::string(100, 'x')), std::string(79, 'x'));
}

TEST(ListFormats, OtherColumns) {
    const ListFormat f = ListFormat::parse("40R(1)~Count~@n5@");
    EXPECT_EQ(f.widthDu, 40);
    EXPECT_EQ(f.align, ListFormat::Align::Right);
    EXPECT_EQ(f.indentDu, 1);
    EXPECT_FALSE(f.rightBorder);
    EXPECT_FALSE(f.resizable);
    EXPECT_EQ(f.heading, "Count");
    EXPECT_EQ(f.picture.type, Picture::Type::Number);
    const ListFormat empty = ListFormat::parse("");
    EXPECT_EQ(empty.widthDu, 0);
    EXPECT_TRUE(empty.heading.empty());
    EXPECT_EQ(empty.cell("as is  "), "as is  ");
}

}  // namespace
}  // namespace framework_test
