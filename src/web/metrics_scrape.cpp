#include "web/metrics_scrape.h"

#include <cctype>
#include <utility>

#include "device/transceiver_status.h"
#include "web/metrics_text.h"
#include "web/optical_commands.h"

namespace {

// The transceiver's values in OPTICAL_FIELDS order: the metric's quantity
// name, base unit and the conversion from the module's raw units.
struct OpticalMetric {
    const char *quantity;
    const char *unit;
    const char *help;
    double (*toBase)(uint32_t raw);
};

const OpticalMetric OPTICAL_METRICS[OPTICAL_FIELD_COUNT] = {
    {"temperature", "celsius", "Transceiver temperature.",
     [](uint32_t raw) { return static_cast<int16_t>(raw) / 256.0; }},  // 1/256 degC, two's complement
    {"supply_voltage", "volts", "Transceiver supply voltage.", [](uint32_t raw) { return raw / 1e4; }},  // 100 uV
    {"tx_bias_current", "amperes", "Laser bias current.", [](uint32_t raw) { return raw * 2 / 1e6; }},   // 2 uA
    {"tx_power", "watts", "Transmitted optical power.", [](uint32_t raw) { return raw / 1e7; }},         // 0.1 uW
    {"rx_power", "watts", "Received optical power.", [](uint32_t raw) { return raw / 1e7; }},
};

struct LimitLabels {
    const char *level;
    const char *direction;
};
const LimitLabels LIMIT_LABELS[OPTICAL_LIMIT_COUNT] = {
    {"alarm", "high"}, {"alarm", "low"}, {"warning", "high"}, {"warning", "low"}};

MetricLabels limitLabels(OpticalLimit limit)
{
    return {{"level", LIMIT_LABELS[limit].level}, {"direction", LIMIT_LABELS[limit].direction}};
}

bool isCount(const std::string &text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// "rxFcsFrames" -> "rx_fcs_frames".
std::string snakeCase(const char *name)
{
    std::string snake;
    for (; *name; ++name) {
        const unsigned char c = static_cast<unsigned char>(*name);
        if (std::isupper(c)) {
            snake += '_';
            snake += static_cast<char>(std::tolower(c));
        } else {
            snake += *name;
        }
    }
    return snake;
}

void addOptics(MetricsText &text, I2cAcess &transceiver)
{
    TransceiverStatus status;
    const bool present = readTransceiverStatus(transceiver, status) == 0;
    text.gauge("onu_optics_present", "1 when the optical transceiver answers on its bus, else 0.", present);
    if (!present)
        return;
    for (size_t field = 0; field < OPTICAL_FIELD_COUNT; ++field) {
        const OpticalMetric &metric = OPTICAL_METRICS[field];
        const std::string prefix = std::string("onu_optics_") + metric.quantity;
        text.gauge(prefix + "_" + metric.unit, metric.help, metric.toBase(status.live.*OPTICAL_FIELDS[field].value));
    }
    for (const auto &[name, raw] : {std::make_pair("onu_optics_tx_power_dbm", status.live.txOpticalPower),
                                    std::make_pair("onu_optics_rx_power_dbm", status.live.rxReceivedPower)}) {
        text.family(name, "gauge", "Optical power in dBm; -Inf without light.");
        text.sample(name, metricNumber(powerDbm(raw)));
    }
    for (size_t field = 0; field < OPTICAL_FIELD_COUNT; ++field) {
        const OpticalMetric &metric = OPTICAL_METRICS[field];
        const std::string name = std::string("onu_optics_") + metric.quantity + "_threshold_" + metric.unit;
        text.family(name, "gauge", "The transceiver's own alarm and warning threshold.");
        for (size_t limit = 0; limit < OPTICAL_LIMIT_COUNT; ++limit) {
            const uint32_t raw = status.thresholds[limit].*OPTICAL_FIELDS[field].value;
            text.sample(name, metricNumber(metric.toBase(raw)), limitLabels(static_cast<OpticalLimit>(limit)));
        }
    }
    text.family("onu_optics_flag", "gauge", "1 while the transceiver raises its alarm or warning flag, else 0.");
    for (size_t field = 0; field < OPTICAL_FIELD_COUNT; ++field) {
        for (size_t limit = 0; limit < OPTICAL_LIMIT_COUNT; ++limit) {
            MetricLabels labels = limitLabels(static_cast<OpticalLimit>(limit));
            labels.insert(labels.begin(), {"quantity", OPTICAL_METRICS[field].quantity});
            text.sample("onu_optics_flag", status.flags[limit].*OPTICAL_FIELDS[field].value ? "1" : "0", labels);
        }
    }
}

void addEpon(MetricsText &text, ConfigFacade &facade)
{
    EponInfo info;
    facade.getEponInfo(info);
    text.gauge("onu_epon_registered", "1 while the PON link is registered (state Active), else 0.",
               info.state == "Active");
    if (isCount(info.txLLId1)) {
        text.family("onu_epon_llid", "gauge", "Logical link identifier of the PON link.");
        text.sample("onu_epon_llid", info.txLLId1);
    }
    EponCounters counters;
    facade.getEponCounters(counters);
    for (const EponCounterField &counter : EPON_COUNTER_FIELDS) {
        const std::string &value = counters.*counter.value;
        if (!isCount(value))
            continue;
        const std::string name = "onu_epon_" + snakeCase(counter.name) + "_total";
        text.family(name, "counter", "EPON driver counter of the PON link.");
        text.sample(name, value);
    }
}

void addUnit(MetricsText &text, ConfigFacade &facade)
{
    // The switch driver offers no link reading; the port page shows the
    // user port's link as up too.
    text.gauge("onu_uni_link_up", "Link state of the user port as the unit reports it.", 1);
    CommInfo comm;
    IpInfo ip;
    std::string serial;
    facade.getCommInfo(comm);
    facade.getIpInfo(ip);
    facade.getOnuSn(serial);
    text.family("onu_info", "gauge", "The unit's identity, in the labels; always 1.");
    text.sample(
        "onu_info", "1",
        {{"software_version", comm.softwareVersion}, {"model", comm.model}, {"mac", ip.onuMac}, {"serial", serial}});
}

}  // namespace

std::string scrapeMetrics(ConfigFacade &facade, I2cAcess &transceiver, std::chrono::steady_clock::time_point start)
{
    MetricsText text;
    addOptics(text, transceiver);
    addEpon(text, facade);
    addUnit(text, facade);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    text.gauge("onu_scrape_duration_seconds", "Time this scrape took on the unit.", elapsed.count());
    return text.text();
}
