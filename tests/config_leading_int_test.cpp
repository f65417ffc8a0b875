#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "config/leading_int.h"

namespace {

// strtol's reading, limited to the range of int.
TEST(LeadingInt, ReadsAsStrtolDoes)
{
    const std::pair<std::string, int> cases[] = {
        {"", 0},
        {" ", 0},
        {"+", 0},
        {"-", 0},
        {"+-5", 0},
        {"- 5", 0},
        {"abc", 0},
        {"0x1A", 0},
        {"7", 7},
        {"+12abc", 12},
        {"-3", -3},
        {" \t\n\v\f\r5", 5},
        {"1e3", 1},
        {"007", 7},
        {std::string("4\0"
                     "2",
                     3),
         4},  // stops at NUL
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999999", INT_MIN},
    };
    for (const auto &[text, number] : cases)
        EXPECT_EQ(leadingInt(text), number) << text;
}

}  // namespace
