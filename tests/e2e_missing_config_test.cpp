// Every command inside the simulated unit with its configuration file gone:
// reads answer empty or fail, writes are refused, and no file is created.

#include "e2e_support.h"

using MissingConfigTest = SimulatedUnitTest;

TEST_F(MissingConfigTest, CommandsAnswerWithoutTheirFiles)
{
    const char *files[] = {WEB_XML_PATH, TPM_XML_PATH, EOAM_XML_PATH, OMCI_XML_PATH};
    for (const char *path : files)
        ASSERT_EQ(std::remove(path), 0) << path;
    const std::pair<const char *, std::string> cases[] = {
        {"cmd_id=1&username=admin&password=admin", jsonReply("{return_code:\"1\",username:\"admin\"}")},
        // The current password reads as empty, so an empty pwdold matches.
        {"cmd_id=20&pwdnew=n3w", jsonReply("2")},
        {"cmd_id=19&pwdold=admin&pwdnew=n3w", jsonReply("1")},
        {"cmd_id=4", jsonReply("[{VlanInfo_mode:\"\",VlanInfo_serial:\"\",admin_status:\"1\",auto_neg:\"\","
                               "default_vid:\"\",fast_leave:\"0\",link:\"1\",link_rate:\"\",loop_detect:\"1\","
                               "max_igmp_group:\"\",mc_mode:\"\",mc_tag_oper:\"0\",pause:\"\"}]")},
        {"cmd_id=6&action=0", jsonReply("{cur_ip:\"\",cur_netmask:\"\",ip:\"\",netmask:\"\"}")},
        {"cmd_id=6&action=1&ip=10.10.10.2&netmask=255.0.0.0", errorReply(405, "set ip fail")},
        {"cmd_id=14&action=0", jsonReply("[{loop_detect:\"1\"}]")},
        {"cmd_id=14&action=1&port=0&loop_detect=0", errorReply(405, "set port loopdetect fail")},
        {"cmd_id=16&action=0", jsonReply("{ipv4DsMtu:\"\",ipv4UsMtu:\"\",ipv4pppoeUsMtu:\"\"}")},
        {"cmd_id=16&action=1&ipv4DsMtu=1400", errorReply(405, "set mtu fail")},
        {"cmd_id=17&action=0", jsonReply("{mc_mode:\"\"}")},
        {"cmd_id=17&action=1&mc_mode=1", errorReply(405, "set multicast mode fail")},
        {"cmd_id=22&action=0", jsonReply("[]")},
        {"cmd_id=23&action=0", jsonReply("[]")},
        {"cmd_id=23&action=1&port=0&flow_control=1&auto=1&mode=2", jsonReply("1  ")},
        {"cmd_id=24&action=0", jsonReply("{iso:\"0\"}")},
        {"cmd_id=24&action=1&iso=1", jsonReply("1")},
        {"cmd_id=25&action=0", jsonReply("1")},
        {"cmd_id=25&action=1&age_time=120", jsonReply(" 1")},
        {"cmd_id=26&action=0", jsonReply("error")},
        {"cmd_id=26&action=1&algo_mode=1", jsonReply("0")},
        {"cmd_id=27&action=0", jsonReply("error")},
        {"cmd_id=27&action=1&que_id=0&usr_pri=5", jsonReply("1")},
        {"cmd_id=28&action=0&voq_dir=0", jsonReply("error")},
        {"cmd_id=28&action=1&voq_dir=1&voq_id=0&voq_thresh=64", jsonReply("1")},
        {"cmd_id=30&action=0", jsonReply("[]")},
        {"cmd_id=30&action=1&bs=4&bs_thresh=10", jsonReply("1")},
    };
    for (const auto &[query, reply] : cases)
        EXPECT_EQ(runCgi(query).output, reply) << query;
    for (const char *path : files)
        EXPECT_FALSE(fileExists(path)) << path;
    EXPECT_TRUE(clishScripts().empty());
}
