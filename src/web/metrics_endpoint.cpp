// cgi-bin/metrics: the unit's readings for a Prometheus server, one scrape
// per request, behind the login gate (an admin session or the metrics
// bearer token).
#include <chrono>

#include "config/paths.h"
#include "web/cgi_host.h"
#include "web/http_reply.h"
#include "web/metrics_scrape.h"
#include "web/metrics_text.h"
#include "web/web_gate.h"

int runMetricsEndpoint()
{
    const auto start = std::chrono::steady_clock::now();
    WebGate gate;
    if (!gate.admitScrape())
        return 0;
    ConfigFacade facade;
    I2cAcess transceiver(I2C_BUS_PATH);
    HttpReply().sendText(METRICS_CONTENT_TYPE, scrapeMetrics(facade, transceiver, start));
    return 0;
}
