// The dispatcher: parses one request and calls the processor registered for
// its command number. Processors are members so they reach the request,
// the facade and the reply writer directly; each answers at most once.
#ifndef ONU_WEB_REQUEST_PROCESS_H
#define ONU_WEB_REQUEST_PROCESS_H

#include <string>

#include "config/config_facade.h"
#include "web/http_reply.h"
#include "web/request_params.h"

class RequestProcess {
public:
    // Replies go to the descriptor `out`; production uses standard output.
    explicit RequestProcess(int out = STDOUT_FILENO);

    // Parses `request` and runs its command; unknown numbers get the 404 reply.
    void handleRequest(const std::string &request);

private:
    void processLogin();            // 1
    void processOnuInfo();          // 2
    void processOpticalInfo();      // 3
    void processPortList();         // 4
    void processPonSettings();      // 5
    void processIpSettings();       // 6
    void processPonCounters();      // 8
    void processConfigTransfer();   // 10
    void processReboot();           // 11
    void processLoopDetect();       // 14
    void processMtu();              // 16
    void processMulticastMode();    // 17
    void processRestoreDefaults();  // 18
    void processAdminPassword();    // 19
    void processUserPassword();     // 20
    void processUpgrade();          // 21
    void processVlan();             // 22
    void processPortConfig();       // 23
    void processPortIsolation();    // 24
    void processMacAging();         // 25
    void processSchedAlgorithm();   // 26
    void processQueueMap();         // 27
    void processQueueSize();        // 28
    void processStormControl();     // 30
    void processNewOnuFlag();       // 33

    // Command number -> processor; numbers without a row get the 404 reply.
    // A constant array rather than a map: nothing to build at start-up.
    using Processor = void (RequestProcess::*)();
    struct Command {
        int cmdId;
        Processor processor;
    };
    static const Command commandTable[];

    ConfigFacade facade;
    RequestParams params;
    HttpReply reply;
    int cmdId = 0;
    int action = 0;
    std::string requestText;
};

#endif
