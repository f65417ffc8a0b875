// Request values that would inject into a shell command, a clish script or a
// later reply are refused with the command's failure reply; nothing runs,
// nothing is stored, nothing reaches clish or a driver node.

#include <tuple>

#include "e2e_support.h"

using HostileValuesTest = SimulatedUnitTest;

TEST_F(HostileValuesTest, AreRefusedBeforeAnythingRuns)
{
    expectExchanges({
        // Shell text (the storm threshold reaches a shell command): one row per
        // rule, as the characters are one list, compared with the pages' own.
        {"cmd_id=30&action=1&bs=0&bs_thresh=1;id>/tmp/x;echo", jsonReply("1")},
        {"cmd_id=30&action=1&bs=2&bs_thresh=$(id)", jsonReply("1")},
        {"cmd_id=30&action=1&bs=0&bs_thresh=1 2", jsonReply("1")},
        {"cmd_id=30&action=1&bs=3\"&bs_thresh=1", jsonReply("1")},
        // Control bytes would add lines to a clish script.
        {"cmd_id=25&action=1&age_time=300\ntpm\nconfig", jsonReply(" 1")},
        {"cmd_id=22&action=1&portId=0&mode=4&def_vid=100&vid_sum=2&vid_serial=200\r300", jsonReply("1")},
        {"cmd_id=23&action=1&port=0&flow_control=1&auto=1&mode=2\nquit", jsonReply("1  ")},
        {"cmd_id=5&action=1&sn=1&loid=L1\neoam&password=P1&fec_mode=1", jsonReply("1")},
        {"cmd_id=5&action=1&sn=1&loid=L1&password=P1&soft_ver=V\x7f", jsonReply("1")},
        // Quotes and backslashes stored would break a later reply.
        {"cmd_id=6&action=1&ip=192.168.1.2\"&netmask=255.255.255.0", errorReply(405, "set ip fail")},
        {"cmd_id=16&action=1&ipv4DsMtu=1500\\&ipv4UsMtu=1500", errorReply(405, "set mtu fail")},
        {"cmd_id=17&action=1&mc_mode=1\"", errorReply(405, "set multicast mode fail")},
        {"cmd_id=19&pwdold=Adm1n&pwdnew=x\"y", jsonReply("2")},
        {"cmd_id=20&pwdold=guest&pwdnew=a\\b", jsonReply("2")},
        {"cmd_id=26&action=1&algo_mode=1\"", jsonReply("1")},
        {"cmd_id=27&action=1&que_id=0&usr_pri=5\t", jsonReply("1")},
        {"cmd_id=28&action=1&voq_dir=1&voq_id=0&voq_thresh=\"", jsonReply("1")},
    });
    // A body is refused by its announced length or its command, before any of it is read or kept.
    writeFile(UPLOAD_SAVE_PATH, "earlier upload");
    const std::string upload = "multipart/form-data; boundary=b";
    for (const auto &[type, length, command, reply] :
         {std::tuple{std::string("application/x-www-form-urlencoded"), "65537", "21", errorReply(413, "request too large")},
          {upload, "999999999", "21", errorReply(413, "request too large")},
          {upload, "16777217", "21", errorReply(413, "request too large")},
          {upload, "100", "2", errorReply(400, "upload not expected")}})
        EXPECT_EQ(runProgram(programPath("onu-cgi") + " </dev/null",
                             {"ONU_WEB_AUTH=off", "REQUEST_METHOD=POST",
                              "QUERY_STRING=cmd_id=" + std::string(command) + "&update_type=1",
                              "CONTENT_TYPE=" + type, std::string("CONTENT_LENGTH=") + length})
                      .output,
                  reply)
            << type << " " << length;
    EXPECT_EQ(readFile(UPLOAD_SAVE_PATH), "earlier upload");
    EXPECT_EQ(standInLog("system") + standInLog("flash"), "");
}
