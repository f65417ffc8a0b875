// Scheduling method (26), queue weights (27) and queue sizes (28) inside the simulated unit. Only the third transmit
// module and the third GMAC are used.

#include "e2e_support.h"

// The fixture's queues: transmit queue i of the third module has weight 10+i and size 200+i, receive queue i of the
// third GMAC size 100+i; the other modules and GMACs hold other values, so that a stray change shows.
static std::string txQueues(int count, const std::string &method = "0")
{
    std::string queues;
    for (int i = 0; i < count; ++i)
        queues += "<queue sched_method=\"" + method + "\" weight=\"" + std::to_string(10 + i) + "\" size=\"" +
                  std::to_string(200 + i) + "\"></queue>";
    return queues;
}

static std::string gmacQueues(int count)
{
    std::string queues;
    for (int i = 0; i < count; ++i)
        queues += "<queue size=\"" + std::to_string(100 + i) + "\"></queue>";
    return queues;
}

// {KEYi:"value"...} for i from 0 to 7; values from `first` on, empty from `count` on.
static std::string queueReply(const char *key, int first, int count = 8)
{
    std::string body;
    for (int i = 0; i < 8; ++i)
        body += std::string(i ? "," : "{") + key + std::to_string(i) + ":\"" +
                (i < count ? std::to_string(first + i) : "") + "\"";
    return jsonReply(body + "}");
}

const char *const TPM = TPM_XML_PATH;
// The traffic-processor file without its third transmit module.
const Change TWO_MODULES = {TPM, "<tx_mod><queue_map>" + txQueues(8) + "</queue_map></tx_mod>\n", ""};

using QueueTest = SimulatedUnitTest;

TEST_F(QueueTest, SchedulingQueueMapAndQueueSizes)
{
    const std::string first = "<queue sched_method=\"0\" weight=\"10\"";
    const Change tenQueues = {TPM, txQueues(8), txQueues(10)};
    expectExchanges({
        // The scheduling method is read from the first queue and written to all.
        {"cmd_id=26&action=0", jsonReply("{algo_mode:\"0\"}")},
        given({{TPM, first, "<queue sched_method=\"1\" weight=\"10\""}},
              {"cmd_id=26&action=0", jsonReply("{algo_mode:\"1\"}")}),
        given({{TPM, first, "<queue weight=\"10\""}}, {"cmd_id=26&action=0", jsonReply("error")}),
        {"cmd_id=26&action=1&algo_mode=1", jsonReply("0"), {{TPM, txQueues(8), txQueues(8, "1")}}},
        {"cmd_id=26&action=1", jsonReply("0"), {{TPM, txQueues(8), txQueues(8, "")}}},
        // The file is rewritten even when nothing changes, and the write always succeeds.
        {"cmd_id=26&action=1&algo_mode=0", jsonReply("0"), {{TPM, "", ""}}},
        // With two transmit modules there is no first queue, and nothing to write.
        given({TWO_MODULES}, {"cmd_id=26&action=0", jsonReply("error")}),
        given({TWO_MODULES}, {"cmd_id=26&action=1&algo_mode=1", jsonReply("0"), {{TPM, "", ""}}}),
        // The queue map reads up to eight weights and writes one.
        {"cmd_id=27&action=0", queueReply("queue", 10)},
        given({tenQueues}, {"cmd_id=27&action=0", queueReply("queue", 10)}),
        given({{TPM, txQueues(8), txQueues(5)}}, {"cmd_id=27&action=0", queueReply("queue", 10, 5)}),
        {"cmd_id=27&action=1&que_id=3&usr_pri=7", jsonReply("0"), {{TPM, "weight=\"13\"", "weight=\"7\""}}},
        // A missing queue number reads as 0.
        {"cmd_id=27&action=1&usr_pri=abc", jsonReply("0"), {{TPM, "weight=\"10\"", "weight=\"abc\""}}},
        given({tenQueues},
              {"cmd_id=27&action=1&que_id=9&usr_pri=5", jsonReply("0"), {{TPM, "weight=\"19\"", "weight=\"5\""}}}),
        {"cmd_id=27&action=1&que_id=8&usr_pri=5", jsonReply("1")},
        given({TWO_MODULES}, {"cmd_id=27&action=0", queueReply("queue", 0, 0)}),
        // Only voq_dir "0" exactly selects the GMAC receive queues.
        {"cmd_id=28&action=0&voq_dir=0", queueReply("size", 100)},
        {"cmd_id=28&action=0", queueReply("size", 200)},
        {"cmd_id=28&action=0&voq_dir=00", queueReply("size", 200)},
        given({{TPM, gmacQueues(8), gmacQueues(2)}}, {"cmd_id=28&action=0&voq_dir=0", queueReply("size", 100, 2)}),
        {"cmd_id=28&action=1&voq_dir=0&voq_id=2&voq_thresh=64", jsonReply("0"), {{TPM, "size=\"102\"", "size=\"64\""}}},
        {"cmd_id=28&action=1&voq_dir=1&voq_id=2&voq_thresh=64", jsonReply("0"), {{TPM, "size=\"202\"", "size=\"64\""}}},
        {"cmd_id=28&action=1&voq_id=7&voq_thresh=", jsonReply("0"), {{TPM, "size=\"207\"", "size=\"\""}}},
        {"cmd_id=28&action=1&voq_dir=0&voq_id=8&voq_thresh=64", jsonReply("1")},
    });
}
