#include "diag/console_line.h"

#include <iostream>

void printLine(const std::string &label, const std::string &value)
{
    std::cout << label << value << std::endl;
}
