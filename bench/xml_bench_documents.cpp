#include "xml_bench_documents.h"

namespace {

const char *const WORDS[] = {"optical",   "uplink",  "vlan",  "queue", "port",    "storm",  "rate",  "limit",
                             "multicast", "profile", "laser", "bias",  "voltage", "serial", "vendor"};

std::string word(size_t i) { return WORDS[i % (sizeof WORDS / sizeof *WORDS)]; }

}  // namespace

std::string configDocument(size_t size)
{
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!-- ONU web configuration -->\n"
                      "<config version=\"2\">\n"
                      "  <ipInfo>\n"
                      "    <ip_address>192.168.1.1</ip_address>\n"
                      "    <netmask>255.255.255.0</netmask>\n"
                      "    <onu_mac>00:11:22:33:44:55</onu_mac>\n"
                      "  </ipInfo>\n";
    for (size_t i = 0; doc.size() < size; ++i) {
        std::string n = std::to_string(i);
        doc += "  <!-- port " + n +
               " -->\n"
               "  <port id=\"" +
               n +
               "\" enabled=\"1\" mode=\"auto\">\n"
               "    <name>LAN &amp; " +
               word(i) + " " + n +
               "</name>\n"
               "    <vlan pvid=\"" +
               std::to_string(100 + i % 4000) + "\" tagged=\"no\">trunk &lt;" + n +
               "&gt;</vlan>\n"
               "    <rate ingress=\"1000\" egress=\"" +
               std::to_string(i * 7 % 1000) +
               "\"/>\n"
               "    <queue weight=\"" +
               std::to_string(i % 8) +
               "\" priority=\"high\"/>\n"
               "    <description>Port " +
               n + " of the unit: &quot;" + word(i + 3) +
               "&quot; mode</description>\n"
               "  </port>\n";
    }
    return doc + "</config>\n";
}

std::string attributeDocument(size_t size)
{
    std::string doc = "<?xml version=\"1.0\"?>\n<table>\n";
    for (size_t i = 0; doc.size() < size; ++i) {
        doc += "  <row";
        for (size_t a = 0; a < 10; ++a)
            doc += " " + word(a) + "=\"" + word(i + a) + "-" + std::to_string(i * a) + "\"";
        doc += "/>\n";
    }
    return doc + "</table>\n";
}

std::string textDocument(size_t size)
{
    std::string doc = "<?xml version=\"1.0\"?>\n<log>\n";
    for (size_t i = 0; doc.size() < size; ++i) {
        doc += "  <entry>";
        for (size_t w = 0; w < 80; ++w)
            doc += word(i * 7 + w) + (w % 13 == 12 ? ".\n    " : " ");
        doc += "</entry>\n";
    }
    return doc + "</log>\n";
}

std::string wideDocument(size_t count)
{
    std::string doc = "<list>\n";
    for (size_t i = 0; i < count; ++i)
        doc += "  <item>" + std::to_string(i) + "</item> after " + std::to_string(i) + "\n";
    return doc + "</list>\n";
}
