#include "log/console_line.h"

#include <cstdio>

void printLine(const std::string &label, const std::string &value)
{
    std::printf("%s%s\n", label.c_str(), value.c_str());
    std::fflush(stdout);
}
