#include "web/metrics_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

template <typename Number> std::string shortestNumber(Number value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : "+Inf";
    // The fewest digits that read back as the same value, written plainly
    // unless the value is very small or large; found by printf rather than
    // to_chars, which would bring 100 KiB of tables.
    const bool plain = std::fabs(value) >= 1e-4 && std::fabs(value) < 1e15;
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (static_cast<Number>(std::strtod(text, nullptr)) == value && (!plain || !std::strchr(text, 'e')))
            break;
    }
    return text;
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
