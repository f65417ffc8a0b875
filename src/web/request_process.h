// The dispatcher: parses one request and calls the processor registered for
// its command number. Processors are members so they reach the request,
// the facade and the reply writer directly; each answers at most once.
#ifndef ONU_WEB_REQUEST_PROCESS_H
#define ONU_WEB_REQUEST_PROCESS_H

#include <string>

#include "config/config_facade.h"
#include "web/http_reply.h"
#include "web/request_params.h"

// What the CGI host's login gate learns from the account commands: a
// login's verdict, before its reply goes out (so that the reply can carry the
// session's cookies), and a password that was changed.
class AccountEvents {
public:
    virtual ~AccountEvents() = default;
    virtual void loginChecked(const std::string &account, bool accepted, HttpReply &reply) = 0;
    virtual void passwordChanged(const std::string &account) = 0;
};

// Error messages of the writing commands that answer a failed write with the
// error reply.
inline constexpr char SET_IP_FAIL[] = "set ip fail";
inline constexpr char SET_MTU_FAIL[] = "set mtu fail";
inline constexpr char SET_MULTICAST_FAIL[] = "set multicast mode fail";
// Failure replies of the port settings and MAC aging writes, blanks included.
inline constexpr char SET_PORT_FAIL_REPLY[] = "1  ";
inline constexpr char SET_AGING_FAIL_REPLY[] = " 1";

// Who may run a command, as the CGI host's gate checks it before dispatch:
// the user account may run USER_READS commands with action 0 and the
// USER_WRITES command; the admin account may run every command. *_WRITES
// commands change the unit whatever their action.
enum class CommandAccess { LOGIN, USER_READS, ADMIN_READS, ADMIN_WRITES, USER_WRITES };

class RequestProcess {
public:
    // Replies go to the descriptor `out`; production uses standard output.
    // `events`, when given, hears of logins and password changes.
    explicit RequestProcess(int out = STDOUT_FILENO, AccountEvents *events = nullptr);

    // Parses `request` and runs its command; unknown numbers get the 404 reply.
    void handleRequest(const std::string &request);
    // The access rule of a command number; ADMIN_READS for numbers without a row.
    static CommandAccess commandAccess(int cmdId);

private:
    void processLogin();
    void processOnuInfo();
    void processOpticalInfo();
    void processPortList();
    void processPonSettings();
    void processIpSettings();
    void processPonCounters();
    void processConfigTransfer();
    void processReboot();
    void processLoopDetect();
    void processMtu();
    void processMulticastMode();
    void processRestoreDefaults();
    void processAdminPassword();
    void processUserPassword();
    void processUpgrade();
    void processVlan();
    void processPortConfig();
    void processPortIsolation();
    void processMacAging();
    void processSchedAlgorithm();
    void processQueueMap();
    void processQueueSize();
    void processStormControl();
    void processNewOnuFlag();

    // Command number -> processor; numbers without a row get the 404 reply.
    // A constant array rather than a map: nothing to build at start-up.
    using Processor = void (RequestProcess::*)();
    struct Command {
        int cmdId;
        Processor processor;
        CommandAccess access;
    };
    static const Command commandTable[];
    static const Command *findCommand(int cmdId);

    AccountEvents *accountEvents;
    ConfigFacade facade;
    RequestParams params;
    HttpReply reply;
    int cmdId = 0;
    int action = 0;
    std::string requestText;
};

#endif
