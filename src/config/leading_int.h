// Decimal numbers in request values and configuration texts.
#ifndef ONU_CONFIG_LEADING_INT_H
#define ONU_CONFIG_LEADING_INT_H

#include <string>

// The leading decimal integer of `text` as strtol reads it: C-locale blanks
// and one sign allowed, digits up to the first other character (or NUL), 0
// without digits. Numbers beyond the range of int saturate instead of
// wrapping. (strtol itself would bring the C library's locale tables into
// every request that reads a number.)
int leadingInt(const std::string &text);

#endif
