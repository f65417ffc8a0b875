// Optical module command (3). The conversions run in single precision (the
// logarithm in double), which fixes how the two shown decimals round.
#include "web/optical_commands.h"

#include <cmath>
#include <limits>
#include <string>

#include "web/request_process.h"

namespace {

// `value` with two decimals as "%.2f" writes it: the exact binary value
// rounded half to even, a "-" before every negative value (also one that
// rounds to zero), "-inf" for the logarithm of zero. Written out here because
// printf's floating-point code is a large part of the C library to load into
// a request; the readings stay far below 2^53 / 100, where this is exact.
std::string twoDecimals(float value)
{
    std::string text = std::signbit(value) ? "-" : "";
    if (std::isinf(value))
        return text + "inf";
    if (std::isnan(value))
        return text + "nan";
    // A float times 100 is exact in double precision (24 + 7 bits).
    const double hundredths = std::fabs(static_cast<double>(value)) * 100.0;
    auto whole = static_cast<unsigned long long>(hundredths);
    const double rest = hundredths - static_cast<double>(whole);
    if (rest > 0.5 || (rest == 0.5 && whole % 2 == 1))
        ++whole;
    const unsigned long long cents = whole % 100;
    return text + std::to_string(whole / 100) + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

std::string withUnit(float value, const char *unit) { return twoDecimals(value) + unit; }

const double LN_2 = 0.6931471805599453;
const double LN_10 = 2.302585092994046;
const double SQRT_2 = 1.4142135623730951;

// The natural logarithm, computed here so that the program does not load the
// math library for this one call: mapping it costs every request about 300 KiB
// of resident memory. Within 3 units in the last place of std::log, which gives
// the same single-precision power as std::log for every 16-bit raw reading.
// x = 2^k * m with m in [sqrt(1/2), sqrt(2)]; ln m = 2 atanh(s), s = (m-1)/(m+1).
double naturalLog(double x)
{
    if (x <= 0.0)
        return -std::numeric_limits<double>::infinity();
    int exponent = 0;
    while (x >= 2.0) {
        x /= 2.0;
        ++exponent;
    }
    while (x < 1.0) {
        x *= 2.0;
        --exponent;
    }
    if (x > SQRT_2) {
        x /= 2.0;
        ++exponent;
    }
    double s = (x - 1.0) / (x + 1.0);
    double sSquared = s * s;
    double power = s;
    double series = s;
    for (int n = 3;; n += 2) {
        power *= sSquared;
        double next = series + power / n;
        if (next == series)
            break;
        series = next;
    }
    return 2.0 * series + exponent * LN_2;
}

// "temp", "voltage", "bias", "tx_opt_power" and "rx_opt_power", each a number
// with two decimals, a blank and its unit. A zero power reads "-inf dBm".
ReplyFields opticalReplyFields(const OpticalDiagnostics &diagnostics)
{
    ReplyFields fields;
    // The temperature is a two's complement 16-bit value in 1/256 degC.
    float temperature = static_cast<float>(diagnostics.temperature);
    if (temperature > 32767.0f)
        temperature -= 65536.0f;
    temperature *= 1.0f / 256;
    fields["temp"] = withUnit(temperature, " \u2103");
    fields["voltage"] = withUnit(static_cast<float>(diagnostics.supplyVoltage) / 10000.0f, " V");
    fields["bias"] = withUnit(static_cast<float>(diagnostics.txBiasCurrent * 2u) / 1000.0f, " mA");
    fields["rx_opt_power"] = withUnit(powerDbm(diagnostics.rxReceivedPower), " dBm");
    fields["tx_opt_power"] = withUnit(powerDbm(diagnostics.txOpticalPower), " dBm");
    return fields;
}

}  // namespace

float powerDbm(uint32_t raw)
{
    float milliwatts = static_cast<float>(raw) / 10000.0f;
    return static_cast<float>(10.0 * naturalLog(static_cast<double>(milliwatts)) / LN_10);
}

void RequestProcess::processOpticalInfo()
{
    OpticalDiagnostics diagnostics = {};
    facade.getOpticalDiagnostics(diagnostics);
    reply.sendReply(HttpReply::toJson(opticalReplyFields(diagnostics)));
}
