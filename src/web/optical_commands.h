// The optical module page (command 3): the transceiver's raw diagnostics in
// display units.
#ifndef ONU_WEB_OPTICAL_COMMANDS_H
#define ONU_WEB_OPTICAL_COMMANDS_H

#include "device/i2c_acess.h"
#include "web/http_reply.h"

// "temp", "voltage", "bias", "tx_opt_power" and "rx_opt_power", each a number
// with two decimals, a blank and its unit. A zero power reads "-inf dBm".
ReplyFields opticalReplyFields(const OpticalDiagnostics &diagnostics);
// Raw power in 0.1 uW to dBm, as the page shows it; a zero power gives
// negative infinity.
float powerDbm(uint32_t raw);

#endif
