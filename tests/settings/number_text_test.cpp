// Numbers and texts as the settings files hold them.

#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using platform::textToInt32;

constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();

struct NumberCase {
    const char* text;
    std::int32_t value;
};

const NumberCase numberCases[] = {
    {"0", 0},
    {"15", 15},
    {"-42", -42},
    {"007", 7},
    {" \t\n\v\f\r12", 12},  // every leading blank
    {"+1", 0},              // "+" is no sign here
    {"", 0},
    {"   ", 0},
    {"-", 0},
    {"- 5", 0},
    {"fast", 0},
    {"Yes", 0},
    {"No", 0},
    {".5", 0},
    {"12abc", 12},  // trailing text ignored
    {"12 34", 12},
    {"3.99", 3},  // fraction dropped, not rounded
    {"3,99", 3},
    {"-3.99", -3},
    {"-0.5", 0},
    {"5.", 5},
    {"1e3", 1000},
    {"1E3", 1000},
    {"2.5e1", 25},
    {"1,5E2", 150},
    {"1e+2", 100},
    {"15e-1", 1},
    {"1e-999999", 0},
    {"7e", 7},    // an "e" without digits is trailing text
    {"7e+", 7},
    {"7e-x", 7},
    {"0.000000000000000000012e22", 120},
    {"0e999999999999999", 0},
    {"2147483647", int32Max},
    {"-2147483648", int32Min},  // the 'none' value of the window settings
    {"2147483648", int32Max},   // beyond 32 bits: saturates
    {"-2147483649", int32Min},
    {"99999999999999999999999", int32Max},
    {"1e10", int32Max},
    {"-1e99999999999999", int32Min},
    {"000000000000000000000000042", 42},
    {"2147483647.9", int32Max},
};

TEST(NumberText, ReadsTheLeadingNumber) {
    for (const NumberCase& c : numberCases) EXPECT_EQ(textToInt32(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberText, SixteenBitFieldKeepsTheLowBits) {
    const struct {
        const char* text;
        std::int16_t value;
    } cases[] = {
        {"15", 15}, {"-15", -15}, {"32767", 32767}, {"32768", -32768}, {"65535", -1},
        {"65536", 0}, {"70000", 4464}, {"-32769", 32767}, {"2147483648", -1}, {"fast", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::textToInt16(c.text), c.value) << c.text;
}

TEST(NumberText, EightBitFieldKeepsTheLowBits) {
    const struct {
        const char* text;
        std::int8_t value;
    } cases[] = {{"1", 1}, {"255", -1}, {"256", 0}, {"257", 1}, {"Yes", 0}, {"-128", -128}};
    for (const auto& c : cases) EXPECT_EQ(platform::textToInt8(c.text), c.value) << c.text;
}

TEST(NumberText, WritesPlainDecimal) {
    EXPECT_EQ(platform::int32ToText(0), "0");
    EXPECT_EQ(platform::int32ToText(-7), "-7");
    EXPECT_EQ(platform::int32ToText(int32Min), "-2147483648");
    for (std::int32_t v : {0, 1, -1, 30, 27000, int32Max, int32Min}) EXPECT_EQ(textToInt32(platform::int32ToText(v)), v);
}

TEST(TextEquals, CaseCountsTrailingSpacesDoNot) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"AUDIO", "AUDIO", true}, {"AUDIO   ", "AUDIO", true}, {"AUDIO", "AUDIO ", true}, {"audio", "AUDIO", false},
        {" AUDIO", "AUDIO", false}, {"AUDIO\t", "AUDIO", false}, {"", "   ", true},       {"Yes", "Yes", true},
        {"yes", "Yes", false},      {"Ye", "Yes", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::textEquals(c.a, c.b), c.equal) << '"' << c.a << "\" vs \"" << c.b << '"';
}

}  // namespace
