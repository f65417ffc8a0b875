// Scheduling method (26), queue weights (27) and queue sizes (28) inside the
// simulated unit: the read replies and the traffic-processor file after a
// write. Only the third transmit module and the third GMAC are used; the
// others carry other values so that a stray change shows.
#include <iterator>
#include <string>

#include "config/paths.h"
#include "e2e_support.h"

namespace {

// Transmit queue i has weight 10+i and size 200+i; receive queue i size 100+i.
std::string txQueue(int queue, const std::string &method = "0")
{
    return "<queue sched_method=\"" + method + "\" weight=\"" + std::to_string(10 + queue) +
           "\" size=\"" + std::to_string(200 + queue) + "\"></queue>";
}

std::string gmacQueue(int queue)
{
    return "<queue size=\"" + std::to_string(100 + queue) + "\"></queue>";
}

std::string txQueues(int count, const std::string &method = "0")
{
    std::string queues;
    for (int queue = 0; queue < count; ++queue)
        queues += txQueue(queue, method);
    return queues;
}

std::string gmacQueues(int count)
{
    std::string queues;
    for (int queue = 0; queue < count; ++queue)
        queues += gmacQueue(queue);
    return queues;
}

const char OTHER_TX_QUEUE[] = "<queue sched_method=\"1\" weight=\"9\" size=\"9\"></queue>";
const char OTHER_GMAC_QUEUE[] = "<queue size=\"9\"></queue>";

std::string tpmConfig(const std::string &tx, const std::string &gmac)
{
    std::string otherTx = std::string("<queue_map>") + OTHER_TX_QUEUE + "</queue_map>";
    return "<tpm>\n\t<port_init>\n\t\t<tx_module_parameters>\n"
           "\t\t\t<tx_mod id=\"0\">" + otherTx + "</tx_mod>\n"
           "\t\t\t<tx_mod id=\"1\">" + otherTx + "</tx_mod>\n"
           "\t\t\t<tx_mod id=\"2\"><queue_map>" + tx + "</queue_map></tx_mod>\n"
           "\t\t</tx_module_parameters>\n\t\t<gmac_config><gmac_rx_queues>\n"
           "\t\t\t<gmac id=\"0\">" + OTHER_GMAC_QUEUE + "</gmac>\n"
           "\t\t\t<gmac id=\"1\">" + OTHER_GMAC_QUEUE + "</gmac>\n"
           "\t\t\t<gmac id=\"2\">" + gmac + "</gmac>\n"
           "\t\t</gmac_rx_queues></gmac_config>\n\t</port_init>\n</tpm>";
}

const std::string EIGHT_QUEUES = tpmConfig(txQueues(8), gmacQueues(8));
const std::string NO_PORT_INIT = "<tpm>\n</tpm>";

const char WEIGHTS[] = "{queue0:\"10\",queue1:\"11\",queue2:\"12\",queue3:\"13\",queue4:\"14\","
                       "queue5:\"15\",queue6:\"16\",queue7:\"17\"}";
const char TX_SIZES[] = "{size0:\"200\",size1:\"201\",size2:\"202\",size3:\"203\",size4:\"204\","
                        "size5:\"205\",size6:\"206\",size7:\"207\"}";
const char GMAC_SIZES[] = "{size0:\"100\",size1:\"101\",size2:\"102\",size3:\"103\",size4:\"104\","
                          "size5:\"105\",size6:\"106\",size7:\"107\"}";

class QueueTest : public SimulatedUnitTest {
protected:
    void SetUp() override
    {
        SimulatedUnitTest::SetUp();
        writeFile(TPM_XML_PATH, laidDown(EIGHT_QUEUES));
    }
};

// One read request on one file and the body it answers.
struct ReadCase {
    std::string config;
    const char *query;
    std::string body;
};

void expectReads(const ReadCase *cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        writeFile(TPM_XML_PATH, laidDown(cases[i].config));
        EXPECT_EQ(runCgi(cases[i].query).output, jsonReply(cases[i].body))
            << cases[i].query << " on " << cases[i].config;
    }
}

TEST_F(QueueTest, SchedulingMethodReadsTheFirstTransmitQueue)
{
    const ReadCase cases[] = {
        {EIGHT_QUEUES, "cmd_id=26&action=0", "{algo_mode:\"0\"}"},
        {tpmConfig(txQueue(0, "1") + txQueue(1), ""), "cmd_id=26&action=0", "{algo_mode:\"1\"}"},
        {tpmConfig("<queue weight=\"1\"></queue>" + txQueue(1), ""), "cmd_id=26&action=0", "error"},
        {tpmConfig("", gmacQueues(8)), "cmd_id=26&action=0", "error"},
        {NO_PORT_INIT, "cmd_id=26&action=0", "error"},
    };
    expectReads(cases, std::size(cases));
    runProgram(std::string("rm -f ") + TPM_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=26&action=0").output, jsonReply("error"));
}

TEST_F(QueueTest, SchedulingMethodWriteSetsEveryTransmitQueueAndAlwaysSucceeds)
{
    struct Case {
        const char *query;
        std::string config;
        std::string stored;
    } cases[] = {
        {"cmd_id=26&action=1&algo_mode=1", EIGHT_QUEUES, tpmConfig(txQueues(8, "1"), gmacQueues(8))},
        {"cmd_id=26&action=1&algo_mode=wrr", EIGHT_QUEUES,
         tpmConfig(txQueues(8, "wrr"), gmacQueues(8))},
        {"cmd_id=26&action=1", EIGHT_QUEUES, tpmConfig(txQueues(8, ""), gmacQueues(8))},
        // The file is rewritten even when nothing changes.
        {"cmd_id=26&action=1&algo_mode=0", EIGHT_QUEUES, EIGHT_QUEUES},
        {"cmd_id=26&action=1&algo_mode=1", NO_PORT_INIT, laidDown(NO_PORT_INIT)},
    };
    for (const Case &c : cases) {
        writeFile(TPM_XML_PATH, laidDown(c.config));
        EXPECT_EQ(runCgi(c.query).output, jsonReply("0")) << c.query;
        EXPECT_EQ(readFile(TPM_XML_PATH), c.stored) << c.query;
    }
}

TEST_F(QueueTest, QueueMapReadsUpToEightWeights)
{
    const ReadCase cases[] = {
        {EIGHT_QUEUES, "cmd_id=27&action=0", WEIGHTS},
        {tpmConfig(txQueues(10), ""), "cmd_id=27&action=0", WEIGHTS},
        {tpmConfig(txQueues(5), ""), "cmd_id=27&action=0",
         "{queue0:\"10\",queue1:\"11\",queue2:\"12\",queue3:\"13\",queue4:\"14\","
         "queue5:\"\",queue6:\"\",queue7:\"\"}"},
        {tpmConfig("<queue></queue>" + txQueue(1), ""), "cmd_id=27&action=0",
         "{queue0:\"\",queue1:\"11\",queue2:\"\",queue3:\"\",queue4:\"\","
         "queue5:\"\",queue6:\"\",queue7:\"\"}"},
        {NO_PORT_INIT, "cmd_id=27&action=0", "error"},
    };
    expectReads(cases, std::size(cases));
}

TEST_F(QueueTest, QueueMapWriteSetsOneWeight)
{
    const std::string tenQueues = tpmConfig(txQueues(10), gmacQueues(8));
    struct Case {
        const char *query;
        std::string config;
        const char *body;
        std::string stored;
    } cases[] = {
        {"cmd_id=27&action=1&que_id=3&usr_pri=7", EIGHT_QUEUES, "0",
         replaced(EIGHT_QUEUES, "weight=\"13\"", "weight=\"7\"")},
        // A missing queue number reads as 0.
        {"cmd_id=27&action=1&usr_pri=abc", EIGHT_QUEUES, "0",
         replaced(EIGHT_QUEUES, "weight=\"10\"", "weight=\"abc\"")},
        {"cmd_id=27&action=1&que_id=9&usr_pri=5", tenQueues, "0",
         replaced(tenQueues, "weight=\"19\"", "weight=\"5\"")},
        {"cmd_id=27&action=1&que_id=9&usr_pri=5", EIGHT_QUEUES, "1", laidDown(EIGHT_QUEUES)},
        {"cmd_id=27&action=1&que_id=8&usr_pri=5", EIGHT_QUEUES, "1", laidDown(EIGHT_QUEUES)},
        {"cmd_id=27&action=1&que_id=0&usr_pri=5", NO_PORT_INIT, "1", laidDown(NO_PORT_INIT)},
    };
    for (const Case &c : cases) {
        writeFile(TPM_XML_PATH, laidDown(c.config));
        EXPECT_EQ(runCgi(c.query).output, jsonReply(c.body)) << c.query;
        EXPECT_EQ(readFile(TPM_XML_PATH), c.stored) << c.query;
    }
}

TEST_F(QueueTest, QueueSizeReadFollowsTheDirection)
{
    const ReadCase cases[] = {
        {EIGHT_QUEUES, "cmd_id=28&action=0&voq_dir=0", GMAC_SIZES},
        {EIGHT_QUEUES, "cmd_id=28&action=0&voq_dir=1", TX_SIZES},
        {EIGHT_QUEUES, "cmd_id=28&action=0", TX_SIZES},
        {EIGHT_QUEUES, "cmd_id=28&action=0&voq_dir=00", TX_SIZES},
        {tpmConfig(txQueues(8), gmacQueues(2)), "cmd_id=28&action=0&voq_dir=0",
         "{size0:\"100\",size1:\"101\",size2:\"\",size3:\"\",size4:\"\","
         "size5:\"\",size6:\"\",size7:\"\"}"},
        {NO_PORT_INIT, "cmd_id=28&action=0&voq_dir=0", "error"},
        {NO_PORT_INIT, "cmd_id=28&action=0&voq_dir=1", "error"},
    };
    expectReads(cases, std::size(cases));
}

TEST_F(QueueTest, QueueSizeWriteSetsOneQueueOfTheDirection)
{
    struct Case {
        const char *query;
        const char *body;
        std::string stored;
    } cases[] = {
        {"cmd_id=28&action=1&voq_dir=0&voq_id=2&voq_thresh=64", "0",
         replaced(EIGHT_QUEUES, gmacQueue(2), "<queue size=\"64\"></queue>")},
        {"cmd_id=28&action=1&voq_dir=1&voq_id=2&voq_thresh=64", "0",
         replaced(EIGHT_QUEUES, "size=\"202\"", "size=\"64\"")},
        {"cmd_id=28&action=1&voq_id=7&voq_thresh=", "0",
         replaced(EIGHT_QUEUES, "size=\"207\"", "size=\"\"")},
        {"cmd_id=28&action=1&voq_dir=0&voq_id=8&voq_thresh=64", "1", laidDown(EIGHT_QUEUES)},
        {"cmd_id=28&action=1&voq_dir=1&voq_id=8&voq_thresh=64", "1", laidDown(EIGHT_QUEUES)},
    };
    for (const Case &c : cases) {
        writeFile(TPM_XML_PATH, laidDown(EIGHT_QUEUES));
        EXPECT_EQ(runCgi(c.query).output, jsonReply(c.body)) << c.query;
        EXPECT_EQ(readFile(TPM_XML_PATH), c.stored) << c.query;
    }
}

TEST_F(QueueTest, UnknownActionGetsNoReply)
{
    for (const char *query :
         {"cmd_id=26&action=2&algo_mode=1", "cmd_id=27&action=2&que_id=0&usr_pri=5",
          "cmd_id=28&action=2&voq_dir=0&voq_id=0&voq_thresh=64", "cmd_id=28&action=-1"}) {
        RunResult result = runCgi(query);
        EXPECT_EQ(result.output, "") << query;
        EXPECT_EQ(result.status, 0) << query;
    }
    EXPECT_EQ(readFile(TPM_XML_PATH), laidDown(EIGHT_QUEUES));
}

}  // namespace
