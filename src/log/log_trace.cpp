#include "log/log.h"

void logTrace(const char *, ...) {}

int logSelfTest()
{
    logTrace("the first log");
    logTrace("the second  log %d %x 中文能行吗？", 20, 20);
    for (int i = 0; i < 4; ++i)
        logTrace("test log ");
    return 1;
}
