#include "web/request_process.h"

#include <algorithm>
#include <iterator>

#include "log/log.h"
#include "web/request_fields.h"

// The command table, in command-number order: the one list of command
// numbers, each row with its processor (defined in the family file named) and
// who may run it. A number without a row takes the 404 path.
const RequestProcess::Command RequestProcess::commandTable[] = {
    {1, &RequestProcess::processLogin, CommandAccess::LOGIN},                    // login_commands
    {2, &RequestProcess::processOnuInfo, CommandAccess::USER_READS},             // onu_info_commands
    {3, &RequestProcess::processOpticalInfo, CommandAccess::USER_READS},         // optical_commands
    {4, &RequestProcess::processPortList, CommandAccess::USER_READS},            // port_status_commands
    {5, &RequestProcess::processPonSettings, CommandAccess::ADMIN_READS},        // pon_settings_commands
    {6, &RequestProcess::processIpSettings, CommandAccess::USER_READS},          // ip_mtu_multicast_commands
    {8, &RequestProcess::processPonCounters, CommandAccess::USER_READS},         // pon_counters_commands
    {10, &RequestProcess::processConfigTransfer, CommandAccess::ADMIN_WRITES},   // maintenance_commands
    {11, &RequestProcess::processReboot, CommandAccess::ADMIN_WRITES},           // maintenance_commands
    {14, &RequestProcess::processLoopDetect, CommandAccess::USER_READS},         // port_status_commands
    {16, &RequestProcess::processMtu, CommandAccess::USER_READS},                // ip_mtu_multicast_commands
    {17, &RequestProcess::processMulticastMode, CommandAccess::USER_READS},      // ip_mtu_multicast_commands
    {18, &RequestProcess::processRestoreDefaults, CommandAccess::ADMIN_WRITES},  // maintenance_commands
    {19, &RequestProcess::processAdminPassword, CommandAccess::ADMIN_WRITES},    // login_commands
    {20, &RequestProcess::processUserPassword, CommandAccess::USER_WRITES},      // login_commands
    {21, &RequestProcess::processUpgrade, CommandAccess::ADMIN_WRITES},          // maintenance_commands
    {22, &RequestProcess::processVlan, CommandAccess::USER_READS},               // vlan_commands
    {23, &RequestProcess::processPortConfig, CommandAccess::USER_READS},         // port_config_commands
    {24, &RequestProcess::processPortIsolation, CommandAccess::USER_READS},      // port_config_commands
    {25, &RequestProcess::processMacAging, CommandAccess::USER_READS},           // mac_aging_commands
    {26, &RequestProcess::processSchedAlgorithm, CommandAccess::USER_READS},     // queue_commands
    {27, &RequestProcess::processQueueMap, CommandAccess::USER_READS},           // queue_commands
    {28, &RequestProcess::processQueueSize, CommandAccess::USER_READS},          // queue_commands
    {30, &RequestProcess::processStormControl, CommandAccess::USER_READS},       // storm_control_commands
    // Reports the first-use flag and sets it: the admin's first login asks for new passwords.
    {33, &RequestProcess::processNewOnuFlag, CommandAccess::ADMIN_READS},  // maintenance_commands
};

const RequestProcess::Command *RequestProcess::findCommand(int cmdId)
{
    const Command *row = std::find_if(std::begin(commandTable), std::end(commandTable),
                                      [cmdId](const Command &command) { return command.cmdId == cmdId; });
    return row == std::end(commandTable) ? nullptr : row;
}

CommandAccess RequestProcess::commandAccess(int cmdId)
{
    const Command *row = findCommand(cmdId);
    return row ? row->access : CommandAccess::ADMIN_READS;
}

RequestProcess::RequestProcess(int out, AccountEvents *events) : accountEvents(events), reply(out) {}

void RequestProcess::handleRequest(const std::string &request)
{
    requestText = request;
    params.parse(requestText);
    cmdId = params.cmdId;
    action = params.action;
    logTrace("RequestProcess:: request command is %d.", cmdId);

    const Command *row = findCommand(cmdId);
    if (row == nullptr) {
        logTrace("RequestProcess::command processor is not find");
        reply.sendError(404, "processor is not find");
        return;
    }
    // A writing command runs only with values that obey their rules.
    const bool writes =
        action == 1 || row->access == CommandAccess::ADMIN_WRITES || row->access == CommandAccess::USER_WRITES;
    if (writes && !requestValuesAllowed(params)) {
        logTrace("RequestProcess::command %d refused a value", cmdId);
        if (const FailureReply *failure = failureReplyOf(cmdId)) {
            if (failure->status == 0)
                reply.sendReply(failure->text);
            else
                reply.sendError(failure->status, failure->text);
        }
        return;
    }
    (this->*(row->processor))();
}
