// The optical module's powers in display units, shared by the optical module
// page and the metrics.
#ifndef ONU_WEB_OPTICAL_COMMANDS_H
#define ONU_WEB_OPTICAL_COMMANDS_H

#include <cstdint>

// Raw power in 0.1 uW to dBm, as the page shows it; a zero power gives
// negative infinity.
float powerDbm(uint32_t raw);

#endif
