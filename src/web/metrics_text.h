// A reply in the Prometheus text exposition format, version 0.0.4: each
// metric family's HELP and TYPE lines, then its samples.
#ifndef ONU_WEB_METRICS_TEXT_H
#define ONU_WEB_METRICS_TEXT_H

#include <string>
#include <utility>
#include <vector>

inline constexpr char METRICS_CONTENT_TYPE[] = "text/plain; version=0.0.4";

// Label names and values of one sample, in the order written.
using MetricLabels = std::vector<std::pair<const char *, std::string>>;

class MetricsText {
public:
    // A scrape's text is some 9 KiB: room for it at once.
    MetricsText() { out.reserve(16 * 1024); }

    // Starts a family; `type` is "gauge" or "counter".
    void family(const std::string &name, const char *type, const char *help);
    // A sample of the family begun last; `value` is already in the format's
    // number syntax (see metricNumber).
    void sample(const std::string &name, const std::string &value, const MetricLabels &labels = {});
    // A family with its one unlabelled sample.
    void gauge(const std::string &name, const char *help, double value);

    const std::string &text() const { return out; }

private:
    std::string out;
};

// The shortest text that reads back as the same number; "+Inf", "-Inf", "NaN".
std::string metricNumber(double value);
std::string metricNumber(float value);

#endif
