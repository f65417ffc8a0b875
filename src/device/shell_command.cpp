#include "device/shell_command.h"

#include <cstdlib>

void runShell(const std::string &command) { [[maybe_unused]] const int status = std::system(command.c_str()); }
