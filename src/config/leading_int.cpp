#include "config/leading_int.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <string_view>

int leadingInt(const std::string &text)
{
    std::string_view digits(text.c_str());
    const std::size_t start = digits.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string_view::npos)
        return 0;
    digits.remove_prefix(start);
    const bool negative = digits.front() == '-';
    if (negative || digits.front() == '+')
        digits.remove_prefix(1);
    unsigned long long magnitude = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), magnitude).ec == std::errc::result_out_of_range)
        magnitude = ULLONG_MAX;
    const unsigned long long limit = negative ? INT_MAX + 1ULL : INT_MAX;
    const long long number = static_cast<long long>(std::min(magnitude, limit));
    return static_cast<int>(negative ? -number : number);
}
