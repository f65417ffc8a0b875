#include "web/request_process.h"

#include <algorithm>
#include <iterator>

#include "log/log.h"

// The command table, in command-number order. A processor is added by
// defining its member function (in its command family's file) and adding its
// row here; until a number has a row, it takes the 404 path.
const RequestProcess::Command RequestProcess::commandTable[] = {
    {1, &RequestProcess::processLogin},
    {2, &RequestProcess::processOnuInfo},
    {3, &RequestProcess::processOpticalInfo},
    {4, &RequestProcess::processPortList},
    {5, &RequestProcess::processPonSettings},
    {6, &RequestProcess::processIpSettings},
    {8, &RequestProcess::processPonCounters},
    {10, &RequestProcess::processConfigTransfer},
    {11, &RequestProcess::processReboot},
    {14, &RequestProcess::processLoopDetect},
    {16, &RequestProcess::processMtu},
    {17, &RequestProcess::processMulticastMode},
    {18, &RequestProcess::processRestoreDefaults},
    {19, &RequestProcess::processAdminPassword},
    {20, &RequestProcess::processUserPassword},
    {21, &RequestProcess::processUpgrade},
    {22, &RequestProcess::processVlan},
    {23, &RequestProcess::processPortConfig},
    {24, &RequestProcess::processPortIsolation},
    {25, &RequestProcess::processMacAging},
    {26, &RequestProcess::processSchedAlgorithm},
    {27, &RequestProcess::processQueueMap},
    {28, &RequestProcess::processQueueSize},
    {30, &RequestProcess::processStormControl},
    {33, &RequestProcess::processNewOnuFlag},
};

RequestProcess::RequestProcess(int out) : reply(out) {}

void RequestProcess::handleRequest(const std::string &request)
{
    requestText = request;
    params.parse(requestText);
    cmdId = params.cmdId;
    action = params.action;
    logTrace("RequestProcess:: request command is %d.", cmdId);

    const Command *row = std::find_if(std::begin(commandTable), std::end(commandTable),
                                      [this](const Command &command) { return command.cmdId == cmdId; });
    if (row == std::end(commandTable)) {
        logTrace("RequestProcess::command processor is not find");
        reply.sendError(404, "processor is not find");
        return;
    }
    (this->*(row->processor))();
}
