// One line of console output: a label, its value, a line feed, flushed so
// the lines keep their order with anything else the process writes.
#ifndef ONU_LOG_CONSOLE_LINE_H
#define ONU_LOG_CONSOLE_LINE_H

#include <string>

void printLine(const std::string &label, const std::string &value = "");

#endif
