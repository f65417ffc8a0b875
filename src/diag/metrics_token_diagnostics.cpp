// Console routines over the metrics bearer token. The token to set comes on
// standard input, so that it shows in no process list.
#include <cstdio>
#include <string>

#include "diag/console_line.h"
#include "diag/diag_routines.h"

namespace {

const char TOKEN_LABEL[] = "metrics token = ";
const char SET_TOKEN_ERROR[] = "set metrics token error ";

}  // namespace

int showMetricsToken()
{
    const std::string tokenPath = METRICS_TOKEN_PATH;
    printLine(TOKEN_LABEL, MetricsTokenStore(tokenPath).get());
    return 0;
}

int newMetricsToken()
{
    const std::string tokenPath = METRICS_TOKEN_PATH;
    std::string token;
    if (MetricsTokenStore(tokenPath).renew(token) != 0) {
        printLine(SET_TOKEN_ERROR);
        return -1;
    }
    printLine(TOKEN_LABEL, token);
    return 0;
}

int setMetricsToken()
{
    const std::string tokenPath = METRICS_TOKEN_PATH;
    std::string token;
    for (int c; (c = std::getchar()) != EOF && c != '\n';)
        token += static_cast<char>(c);
    if (MetricsTokenStore(tokenPath).set(token) != 0) {
        printLine(SET_TOKEN_ERROR);
        return -1;
    }
    return 0;
}

int clearMetricsToken()
{
    const std::string tokenPath = METRICS_TOKEN_PATH;
    if (MetricsTokenStore(tokenPath).clear() != 0) {
        printLine("clear metrics token error ");
        return -1;
    }
    return 0;
}
