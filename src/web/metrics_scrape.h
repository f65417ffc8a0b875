// What /cgi-bin/metrics answers: the transceiver's live values in base units
// with its thresholds and flags, the EPON registration and counters, the
// user port's link, the unit's identity and the scrape's own duration.
#ifndef ONU_WEB_METRICS_SCRAPE_H
#define ONU_WEB_METRICS_SCRAPE_H

#include <chrono>
#include <string>

#include "config/config_facade.h"
#include "device/i2c_acess.h"

// The exposition text of one scrape that began at `start`. The transceiver
// is read once; a module or bus that does not answer gives
// onu_optics_present 0 and no other optics metric.
std::string scrapeMetrics(ConfigFacade &facade, I2cAcess &transceiver, std::chrono::steady_clock::time_point start);

#endif
