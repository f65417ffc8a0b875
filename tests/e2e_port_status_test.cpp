// The user port commands inside the simulated unit: the status summary (4),
// loop detection (14) and the MAC aging time (25) with its clish script.

#include "e2e_support.h"

namespace {

using PortStatusTest = SimulatedUnitTest;

TEST_F(PortStatusTest, SummaryShowsTheFirstRecordsAndFixedValues)
{
    const std::string summary =
        jsonReply("[{VlanInfo_mode:\"4\",VlanInfo_serial:\"200,300\",admin_status:\"1\",auto_neg:\"0\","
                  "default_vid:\"100\",fast_leave:\"0\",link:\"1\",link_rate:\"2\",loop_detect:\"0\","
                  "max_igmp_group:\"32\",mc_mode:\"1\",mc_tag_oper:\"0\",pause:\"1\"}]");
    expectExchanges({{"cmd_id=4", summary}});
}

// The web pages show the stored loopdetect "1" as "0", any other as "1".
TEST_F(PortStatusTest, LoopDetectMapsTheStoredValue)
{
    const char *eoam = EOAM_XML_PATH;
    const std::string off = jsonReply("[{loop_detect:\"0\"}]"), on = jsonReply("[{loop_detect:\"1\"}]");
    const std::string fail = errorReply(405, "set port loopdetect fail");
    const char *port0 = "<port loopdetect=\"1\">", *port1 = "<port loopdetect=\"2\">";
    expectExchanges({
        {"cmd_id=14&action=0", off},
        // The read is always of port 0.
        {"cmd_id=14&action=0&port=1", off},
        {"cmd_id=14&action=0", on, {}, {}, "", {{eoam, port0, port1}}},
        {"cmd_id=14&action=1&port=1&loop_detect=0", jsonReply("0"), {{eoam, port1, port0}}},
        {"cmd_id=14&action=1&port=0&loop_detect=1", jsonReply("0"), {{eoam, port0, port1}}},
        // A port text that is no number names the first port.
        {"cmd_id=14&action=1&port=abc&loop_detect=2", jsonReply("0"), {{eoam, port0, port1}}},
        {"cmd_id=14&action=1&port=2&loop_detect=0",
         jsonReply("0"),
         {{eoam, "<port></port>", "<port loopdetect=\"1\"></port>"}}},
        {"cmd_id=14&action=1&port=0&loop_detect=0", jsonReply("0")},
        {"cmd_id=14&action=1&port=3&loop_detect=0", fail},
    });
}

TEST_F(PortStatusTest, MacAgingStoresThenSendsTheCommand)
{
    const char *web = WEB_XML_PATH;
    const std::string port0 = "<eth_port time=\"300\">0</eth_port>", untimed = "<eth_port>0</eth_port>";
    const auto command = [](const std::string &time) {
        return std::vector<std::string>{script("eoam", "port mac_aging_time 0 UNI_0 " + time)};
    };
    expectExchanges({
        {"cmd_id=25&action=0", jsonReply("{aging_time:\"300\"}")},
        {"cmd_id=25&action=1&age_time=120", jsonReply(" 0"), {{web, "time=\"300\"", "time=\"120\""}}, command("120")},
        {"cmd_id=25&action=1&age_time=300", jsonReply(" 0"), {}, command("300")},
        {"cmd_id=25&action=1&age_time=", jsonReply(" 0"), {{web, "time=\"300\"", "time=\"\""}}, command("")},
        // The time is read from the first entry of the port that has one, and
        // written to the first entry of the port.
        {"cmd_id=25&action=0", jsonReply("{aging_time:\"300\"}"), {}, {}, "", {{web, port0, untimed + port0}}},
        {"cmd_id=25&action=1&age_time=120",
         jsonReply(" 0"),
         {{web, untimed, "<eth_port time=\"120\">0</eth_port>"}},
         command("120"),
         "",
         {{web, port0, untimed + port0}}},
    });
}

}  // namespace
