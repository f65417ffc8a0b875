// The VLAN command (22) inside the simulated unit: the read reply, and for a
// write the eoam script sent and the web configuration stored after it.

#include "e2e_support.h"

const char *const WEB = WEB_XML_PATH;
const std::string PORT0 = "<port mode=\"4\" default_vid=\"100\" vid_sum=\"2\" vid_serial=\"200,300\">0";
const std::string PORT1 = "<port mode=\"1\" default_vid=\"1\" vid_sum=\"0\" vid_serial=\"\">1";

static std::vector<std::string> eoam(const std::string &command) { return {script("eoam", command)}; }

// An acknowledged write of `values` that sends `command` and then stores the
// port's element `from` as `to`.
static Exchange stored(const std::string &values, const std::string &from, const char *mode, const char *vid,
                       const char *sum, const char *serial, const std::string &command)
{
    const std::string to = std::string("<port mode=\"") + mode + "\" default_vid=\"" + vid + "\" vid_sum=\"" + sum +
                           "\" vid_serial=\"" + serial + "\">" + from.back();
    return {"cmd_id=22&action=1&" + values, jsonReply("0"), {{WEB, from, to}}, eoam(command)};
}

using VlanTest = SimulatedUnitTest;

TEST_F(VlanTest, ReadShowsTheFirstPortAndWriteSendsTheModeCommandThenStores)
{
    expectExchanges({
        {"cmd_id=22&action=0", jsonReply("[{def_vid:\"100\",mode:\"4\",portId:\"0\",vidSerial:\"200,300\"}]")},
        stored("portId=1&mode=1&def_vid=5&vid_sum=0&vid_serial=", PORT1, "1", "5", "0", "", "port vlan transparent 1"),
        stored("portId=1&mode=2&def_vid=100&vid_sum=0&vid_serial=", PORT1, "2", "100", "0", "", "port vlan tag 1  100"),
        stored("portId=0&mode=3&def_vid=100&vid_sum=2&vid_serial=200,300", PORT0, "3", "100", "2", "200,300",
               "port vlan translation  0  100 2  200,300"),
        stored("portId=1&mode=4&def_vid=100&vid_sum=2&vid_serial=200,300", PORT1, "4", "100", "2", "200,300",
               "port vlan trunk  1  100   2  200,300"),
        // The mode is read as a leading decimal number and stored as sent.
        stored("portId=0&mode=+1x&def_vid=9&vid_sum=0&vid_serial=", PORT0, "+1x", "9", "0", "",
               "port vlan transparent 0"),
        // An empty default VLAN keeps the stored one; the other values are written as sent.
        stored("portId=0&mode=2", PORT0, "2", "100", "", "", "port vlan tag 0  "),
        // No port of that name: the command still goes out, the file stays.
        {"cmd_id=22&action=1&portId=7&mode=1", jsonReply("0"), {}, eoam("port vlan transparent 7")},
        {"cmd_id=22&action=1&portId=0&mode=5&def_vid=5", jsonReply("1")},
        // The device is configured before the store refuses.
        given(without(WEB, "vlan"),
              {"cmd_id=22&action=1&portId=0&mode=2&def_vid=100", jsonReply("1"), {}, eoam("port vlan tag 0  100")}),
    });
}
