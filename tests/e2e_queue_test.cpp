// Scheduling method (26), queue weights (27) and queue sizes (28) inside the
// simulated unit. Only the third transmit module and the third GMAC are used.

#include "e2e_support.h"

namespace {

// The fixture's queues: transmit queue i of the third module has weight 10+i
// and size 200+i, receive queue i of the third GMAC size 100+i; the other
// modules and GMACs hold other values, so that a stray change shows.
std::string txQueues(int count, const std::string &method = "0")
{
    std::string queues;
    for (int i = 0; i < count; ++i)
        queues += "<queue sched_method=\"" + method + "\" weight=\"" + std::to_string(10 + i) + "\" size=\"" +
                  std::to_string(200 + i) + "\"></queue>";
    return queues;
}

std::string gmacQueues(int count)
{
    std::string queues;
    for (int i = 0; i < count; ++i)
        queues += "<queue size=\"" + std::to_string(100 + i) + "\"></queue>";
    return queues;
}

// {KEYi:"value"...} for i from 0 to 7; values from `first` on, empty from `count` on.
std::string queueReply(const char *key, int first, int count = 8)
{
    std::string body;
    for (int i = 0; i < 8; ++i)
        body += std::string(i ? "," : "{") + key + std::to_string(i) + ":\"" +
                (i < count ? std::to_string(first + i) : "") + "\"";
    return jsonReply(body + "}");
}

// The traffic-processor file without its third transmit module.
const Change TWO_MODULES = {TPM_XML_PATH, "<tx_mod><queue_map>" + txQueues(8) + "</queue_map></tx_mod>\n", ""};

using QueueTest = SimulatedUnitTest;

TEST_F(QueueTest, SchedulingMethodIsReadFromTheFirstQueueAndWrittenToAll)
{
    const char *tpm = TPM_XML_PATH;
    const std::string first = "<queue sched_method=\"0\" weight=\"10\"";
    expectExchanges({
        {"cmd_id=26&action=0", jsonReply("{algo_mode:\"0\"}")},
        {"cmd_id=26&action=0",
         jsonReply("{algo_mode:\"1\"}"),
         {},
         {},
         "",
         {{tpm, first, "<queue sched_method=\"1\" weight=\"10\""}}},
        {"cmd_id=26&action=0", jsonReply("error"), {}, {}, "", {{tpm, first, "<queue weight=\"10\""}}},
        {"cmd_id=26&action=1&algo_mode=1", jsonReply("0"), {{tpm, txQueues(8), txQueues(8, "1")}}},
        {"cmd_id=26&action=1", jsonReply("0"), {{tpm, txQueues(8), txQueues(8, "")}}},
        // The file is rewritten even when nothing changes, and the write always succeeds.
        {"cmd_id=26&action=1&algo_mode=0", jsonReply("0"), {{tpm, "", ""}}},
        // With two transmit modules there is no first queue, and nothing to write.
        {"cmd_id=26&action=0", jsonReply("error"), {}, {}, "", {TWO_MODULES}},
        {"cmd_id=26&action=1&algo_mode=1", jsonReply("0"), {{tpm, "", ""}}, {}, "", {TWO_MODULES}},
    });
}

TEST_F(QueueTest, QueueMapReadsUpToEightWeightsAndWritesOne)
{
    const char *tpm = TPM_XML_PATH;
    const Change tenQueues = {tpm, txQueues(8), txQueues(10)};
    expectExchanges({
        {"cmd_id=27&action=0", queueReply("queue", 10)},
        {"cmd_id=27&action=0", queueReply("queue", 10), {}, {}, "", {tenQueues}},
        {"cmd_id=27&action=0", queueReply("queue", 10, 5), {}, {}, "", {{tpm, txQueues(8), txQueues(5)}}},
        {"cmd_id=27&action=1&que_id=3&usr_pri=7", jsonReply("0"), {{tpm, "weight=\"13\"", "weight=\"7\""}}},
        // A missing queue number reads as 0.
        {"cmd_id=27&action=1&usr_pri=abc", jsonReply("0"), {{tpm, "weight=\"10\"", "weight=\"abc\""}}},
        {"cmd_id=27&action=1&que_id=9&usr_pri=5",
         jsonReply("0"),
         {{tpm, "weight=\"19\"", "weight=\"5\""}},
         {},
         "",
         {tenQueues}},
        {"cmd_id=27&action=1&que_id=8&usr_pri=5", jsonReply("1")},
        {"cmd_id=27&action=0", queueReply("queue", 0, 0), {}, {}, "", {TWO_MODULES}},
    });
}

// Only voq_dir "0" exactly selects the GMAC receive queues.
TEST_F(QueueTest, QueueSizesFollowTheDirection)
{
    const char *tpm = TPM_XML_PATH;
    expectExchanges({
        {"cmd_id=28&action=0&voq_dir=0", queueReply("size", 100)},
        {"cmd_id=28&action=0", queueReply("size", 200)},
        {"cmd_id=28&action=0&voq_dir=00", queueReply("size", 200)},
        {"cmd_id=28&action=0&voq_dir=0", queueReply("size", 100, 2), {}, {}, "", {{tpm, gmacQueues(8), gmacQueues(2)}}},
        {"cmd_id=28&action=1&voq_dir=0&voq_id=2&voq_thresh=64", jsonReply("0"), {{tpm, "size=\"102\"", "size=\"64\""}}},
        {"cmd_id=28&action=1&voq_dir=1&voq_id=2&voq_thresh=64", jsonReply("0"), {{tpm, "size=\"202\"", "size=\"64\""}}},
        {"cmd_id=28&action=1&voq_id=7&voq_thresh=", jsonReply("0"), {{tpm, "size=\"207\"", "size=\"\""}}},
        {"cmd_id=28&action=1&voq_dir=0&voq_id=8&voq_thresh=64", jsonReply("1")},
    });
}

}  // namespace
