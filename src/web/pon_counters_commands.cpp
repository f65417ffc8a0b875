// PON counters command (8): the EPON frame counters, keyed by counter name.
// Counters that cannot be read are sent empty.
#include "web/request_process.h"

void RequestProcess::processPonCounters()
{
    EponCounters counters;
    facade.getEponCounters(counters);
    ReplyFields fields;
    for (const EponCounterField &counter : EPON_COUNTER_FIELDS)
        fields[counter.name] = counters.*counter.value;
    reply.sendReply(HttpReply::toJson(fields));
}
