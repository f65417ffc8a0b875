#include "web/metrics_text.h"

#include <charconv>
#include <cmath>

namespace {

// Label values escape the back-slash, the double quote and the line feed.
std::string escapedLabel(const std::string &value)
{
    std::string escaped;
    for (char c : value) {
        if (c == '\\' || c == '"' || c == '\n')
            escaped += '\\';
        escaped += c == '\n' ? 'n' : c;
    }
    return escaped;
}

template <typename Number>
std::string shortestNumber(Number value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : "+Inf";
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

}  // namespace

void MetricsText::family(const std::string &name, const char *type, const char *help)
{
    out.append("# HELP ").append(name).append(" ").append(help).append("\n");
    out.append("# TYPE ").append(name).append(" ").append(type).append("\n");
}

void MetricsText::sample(const std::string &name, const std::string &value, const MetricLabels &labels)
{
    out += name;
    if (!labels.empty()) {
        char separator = '{';
        for (const auto &[label, text] : labels) {
            out.append(1, separator).append(label).append("=\"").append(escapedLabel(text)).append("\"");
            separator = ',';
        }
        out += '}';
    }
    out.append(" ").append(value).append("\n");
}

void MetricsText::gauge(const std::string &name, const char *help, double value)
{
    family(name, "gauge", help);
    sample(name, metricNumber(value));
}

std::string metricNumber(double value) { return shortestNumber(value); }

std::string metricNumber(float value) { return shortestNumber(value); }
