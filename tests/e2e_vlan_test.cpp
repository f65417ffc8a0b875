// The VLAN command (22) inside the simulated unit: the read reply, and for a
// write the eoam script sent and the web configuration stored after it.

#include "e2e_support.h"

namespace {

std::vector<std::string> eoam(const std::string &command) { return {script("eoam", command)}; }

using VlanTest = SimulatedUnitTest;

TEST_F(VlanTest, ReadShowsTheFirstPortAndWriteSendsTheModeCommandThenStores)
{
    const char *web = WEB_XML_PATH;
    const std::string port0 = "<port mode=\"4\" default_vid=\"100\" vid_sum=\"2\" vid_serial=\"200,300\">0";
    const std::string port1 = "<port mode=\"1\" default_vid=\"1\" vid_sum=\"0\" vid_serial=\"\">1";
    const auto port = [](const char *mode, const char *vid, const char *sum, const char *serial, const char *id) {
        return std::string("<port mode=\"") + mode + "\" default_vid=\"" + vid + "\" vid_sum=\"" + sum +
               "\" vid_serial=\"" + serial + "\">" + id;
    };
    expectExchanges({
        {"cmd_id=22&action=0", jsonReply("[{def_vid:\"100\",mode:\"4\",portId:\"0\",vidSerial:\"200,300\"}]")},
        {"cmd_id=22&action=1&portId=1&mode=1&def_vid=5&vid_sum=0&vid_serial=",
         jsonReply("0"),
         {{web, port1, port("1", "5", "0", "", "1")}},
         eoam("port vlan transparent 1")},
        {"cmd_id=22&action=1&portId=1&mode=2&def_vid=100&vid_sum=0&vid_serial=",
         jsonReply("0"),
         {{web, port1, port("2", "100", "0", "", "1")}},
         eoam("port vlan tag 1  100")},
        {"cmd_id=22&action=1&portId=0&mode=3&def_vid=100&vid_sum=2&vid_serial=200,300",
         jsonReply("0"),
         {{web, port0, port("3", "100", "2", "200,300", "0")}},
         eoam("port vlan translation  0  100 2  200,300")},
        {"cmd_id=22&action=1&portId=1&mode=4&def_vid=100&vid_sum=2&vid_serial=200,300",
         jsonReply("0"),
         {{web, port1, port("4", "100", "2", "200,300", "1")}},
         eoam("port vlan trunk  1  100   2  200,300")},
        // The mode is read as a leading decimal number and stored as sent.
        {"cmd_id=22&action=1&portId=0&mode=+1x&def_vid=9&vid_sum=0&vid_serial=",
         jsonReply("0"),
         {{web, port0, port("+1x", "9", "0", "", "0")}},
         eoam("port vlan transparent 0")},
        // An empty default VLAN keeps the stored one; the other values are written as sent.
        {"cmd_id=22&action=1&portId=0&mode=2",
         jsonReply("0"),
         {{web, port0, port("2", "100", "", "", "0")}},
         eoam("port vlan tag 0  ")},
        // No port of that name: the command still goes out, the file stays.
        {"cmd_id=22&action=1&portId=7&mode=1", jsonReply("0"), {}, eoam("port vlan transparent 7")},
        {"cmd_id=22&action=1&portId=0&mode=5&def_vid=5", jsonReply("1")},
        // The device is configured before the store refuses.
        {"cmd_id=22&action=1&portId=0&mode=2&def_vid=100",
         jsonReply("1"),
         {},
         eoam("port vlan tag 0  100"),
         "",
         without(web, "vlan")},
    });
}

}  // namespace
