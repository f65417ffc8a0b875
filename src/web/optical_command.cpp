// Optical module command (3). The conversions run in single precision (the
// logarithm in double), which fixes how the two shown decimals round.
#include "web/optical_command.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "web/request_process.h"

namespace {

const size_t VALUE_BUFFER_SIZE = 20;

std::string withUnit(float value, const char *unit)
{
    char text[VALUE_BUFFER_SIZE];
    snprintf(text, sizeof text, "%.2f", value);
    return text + std::string(unit);
}

// Raw power in 0.1 uW to dBm; a zero power gives negative infinity.
float powerDbm(uint32_t raw)
{
    float milliwatts = static_cast<float>(raw) / 10000.0f;
    return static_cast<float>(10.0 * std::log(static_cast<double>(milliwatts)) / std::log(10.0));
}

}  // namespace

ReplyFields opticalReplyFields(const OpticalDiagnostics &diagnostics)
{
    ReplyFields fields;
    // The temperature is a two's complement 16-bit value in 1/256 degC.
    float temperature = static_cast<float>(diagnostics.temperature);
    if (temperature > 32767.0f) {
        temperature -= 65536.0f;
    }
    temperature *= 1.0f / 256;
    fields["temp"] = withUnit(temperature, " \u2103");
    fields["voltage"] = withUnit(static_cast<float>(diagnostics.supplyVoltage) / 10000.0f, " V");
    fields["bias"] = withUnit(static_cast<float>(diagnostics.txBiasCurrent * 2u) / 1000.0f, " mA");
    fields["rx_opt_power"] = withUnit(powerDbm(diagnostics.rxReceivedPower), " dBm");
    fields["tx_opt_power"] = withUnit(powerDbm(diagnostics.txOpticalPower), " dBm");
    return fields;
}

void RequestProcess::processOpticalInfo()
{
    OpticalDiagnostics diagnostics = {};
    facade.getOpticalDiagnostics(diagnostics);
    reply.sendReply(HttpReply::toJson(opticalReplyFields(diagnostics)));
}
