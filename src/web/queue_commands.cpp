// Queue settings of the traffic processor: scheduling method (26), queue
// weights (27) and queue sizes (28). They change the traffic-processor file
// only; nothing is sent to the device.
#include <string>

#include "log/log.h"
#include "web/request_process.h"

namespace {

// The eight queue values under the keys prefix0 to prefix7.
ReplyFields queueFields(const std::string &prefix, const QueueValues &values)
{
    ReplyFields fields;
    for (int queue = 0; queue < 8; ++queue)
        fields[prefix + std::to_string(queue)] = values.queue[queue];
    return fields;
}

}  // namespace

void RequestProcess::processSchedAlgorithm()
{
    if (action == 0) {
        std::string method;
        if (facade.getSchedMethod(method) != 0) {
            reply.sendReply("error");
            return;
        }
        ReplyFields fields;
        fields["algo_mode"] = method;
        reply.sendReply(HttpReply::toJson(fields));
    } else if (action == 1) {
        // A missing file or queue still answers "0"; a change that cannot be
        // saved does not.
        const int unsavedBefore = facade.unsavedWrites();
        facade.setSchedMethod(params.getValue("algo_mode"));
        reply.sendReply(facade.unsavedWrites() == unsavedBefore ? "0" : "1");
    } else {
        logTrace("processSchedAlgorithm: unknown action %d", action);
    }
}

void RequestProcess::processQueueMap()
{
    if (action == 0) {
        QueueValues weights;
        if (facade.getQueueWeights(weights) != 0) {
            reply.sendReply("error");
            return;
        }
        reply.sendReply(HttpReply::toJson(queueFields("queue", weights)));
    } else if (action == 1) {
        int result = facade.setQueueWeight(params.getValue("que_id"), params.getValue("usr_pri"));
        reply.sendReply(result == 0 ? "0" : "1");
    } else {
        logTrace("processQueueMap: unknown action %d", action);
    }
}

void RequestProcess::processQueueSize()
{
    // Only "0" selects the GMAC receive queues; anything else, the transmit queues.
    const bool gmacQueues = params.getValue("voq_dir") == "0";
    if (action == 0) {
        QueueValues sizes;
        int result = gmacQueues ? facade.getGmacQueueSizes(sizes) : facade.getTxQueueSizes(sizes);
        if (result != 0) {
            reply.sendReply("error");
            return;
        }
        reply.sendReply(HttpReply::toJson(queueFields("size", sizes)));
    } else if (action == 1) {
        std::string queue = params.getValue("voq_id");
        std::string size = params.getValue("voq_thresh");
        int result = gmacQueues ? facade.setGmacQueueSize(queue, size) : facade.setTxQueueSize(queue, size);
        reply.sendReply(result == 0 ? "0" : "1");
    } else {
        logTrace("processQueueSize: unknown action %d", action);
    }
}
