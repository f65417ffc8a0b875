// The user port commands inside the simulated unit: the status summary (4),
// loop detection (14) and the MAC aging time (25) with its clish script.

#include "e2e_support.h"

static std::vector<std::string> agingCommand(const std::string &time)
{
    return {script("eoam", "port mac_aging_time 0 UNI_0 " + time)};
}

using PortStatusTest = SimulatedUnitTest;

TEST_F(PortStatusTest, SummaryLoopDetectionAndMacAging)
{
    const char *eoam = EOAM_XML_PATH, *web = WEB_XML_PATH;
    const std::string off = jsonReply("[{loop_detect:\"0\"}]"), on = jsonReply("[{loop_detect:\"1\"}]");
    const char *detect1 = "<port loopdetect=\"1\">", *detect2 = "<port loopdetect=\"2\">";
    const std::string timed = "<eth_port time=\"300\">0</eth_port>", untimed = "<eth_port>0</eth_port>";
    expectExchanges({
        // The summary shows the first records and fixed values.
        {"cmd_id=4", jsonReply("[{VlanInfo_mode:\"4\",VlanInfo_serial:\"200,300\",admin_status:\"1\",auto_neg:\"0\","
                               "default_vid:\"100\",fast_leave:\"0\",link:\"1\",link_rate:\"2\",loop_detect:\"0\","
                               "max_igmp_group:\"32\",mc_mode:\"1\",mc_tag_oper:\"0\",pause:\"1\"}]")},
        // The pages show the stored loopdetect "1" as "0", any other as "1"; the read is always of port 0.
        {"cmd_id=14&action=0", off},
        {"cmd_id=14&action=0&port=1", off},
        given({{eoam, detect1, detect2}}, {"cmd_id=14&action=0", on}),
        {"cmd_id=14&action=1&port=1&loop_detect=0", jsonReply("0"), {{eoam, detect2, detect1}}},
        {"cmd_id=14&action=1&port=0&loop_detect=1", jsonReply("0"), {{eoam, detect1, detect2}}},
        // A port text that is no number names the first port.
        {"cmd_id=14&action=1&port=abc&loop_detect=2", jsonReply("0"), {{eoam, detect1, detect2}}},
        {"cmd_id=14&action=1&port=2&loop_detect=0",
         jsonReply("0"),
         {{eoam, "<port></port>", "<port loopdetect=\"1\"></port>"}}},
        {"cmd_id=14&action=1&port=0&loop_detect=0", jsonReply("0")},
        {"cmd_id=14&action=1&port=3&loop_detect=0", errorReply(405, "set port loopdetect fail")},
        // MAC aging stores, then sends the command.
        {"cmd_id=25&action=0", jsonReply("{aging_time:\"300\"}")},
        {"cmd_id=25&action=1&age_time=120",
         jsonReply(" 0"),
         {{web, "time=\"300\"", "time=\"120\""}},
         agingCommand("120")},
        {"cmd_id=25&action=1&age_time=300", jsonReply(" 0"), {}, agingCommand("300")},
        {"cmd_id=25&action=1&age_time=", jsonReply(" 0"), {{web, "time=\"300\"", "time=\"\""}}, agingCommand("")},
        // The time is read from the first entry of the port that has one, and
        // written to the first entry of the port.
        given({{web, timed, untimed + timed}}, {"cmd_id=25&action=0", jsonReply("{aging_time:\"300\"}")}),
        given({{web, timed, untimed + timed}}, {"cmd_id=25&action=1&age_time=120",
                                                jsonReply(" 0"),
                                                {{web, untimed, "<eth_port time=\"120\">0</eth_port>"}},
                                                agingCommand("120")}),
    });
}
