// Console routines over the metrics bearer token. The token to set comes on
// standard input, so that it shows in no process list.
#include <cstdio>
#include <string>

#include "diag/diag_routines.h"
#include "log/console_line.h"

namespace {

const char TOKEN_LABEL[] = "metrics token = ";
const char SET_TOKEN_ERROR[] = "set metrics token error ";

}  // namespace

int showMetricsToken()
{
    printLine(TOKEN_LABEL, MetricsTokenStore().get());
    return 0;
}

int newMetricsToken()
{
    std::string token;
    if (MetricsTokenStore().renew(token) != 0) {
        printLine(SET_TOKEN_ERROR);
        return -1;
    }
    printLine(TOKEN_LABEL, token);
    return 0;
}

int setMetricsToken()
{
    std::string token;
    for (int c; (c = std::getchar()) != EOF && c != '\n';)
        token += static_cast<char>(c);
    if (MetricsTokenStore().set(token) != 0) {
        printLine(SET_TOKEN_ERROR);
        return -1;
    }
    return 0;
}

int clearMetricsToken()
{
    if (MetricsTokenStore().clear() != 0) {
        printLine("clear metrics token error ");
        return -1;
    }
    return 0;
}
