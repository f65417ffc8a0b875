// The CGI host's gate: before a request is read further, stored or run, it
// checks the session, the account's role and, for writes, the method, the
// CSRF token and the origin, and answers the refusals itself. It also handles
// the requests that belong to the host rather than to a command, named by
// the path after the program's own (PATH_INFO): /logout (POST, with the CSRF
// token), /session (the session's account), /xml_config.tar (the exported
// configuration, for the admin) and /metrics-token (the metrics bearer token,
// for the admin). The metrics program asks it about scrapes.
//
// The web server's own setup can switch it off (ONU_WEB_AUTH=off in the
// server's environment, which no client can set: request headers reach a CGI
// program only as HTTP_* names).
#ifndef ONU_WEB_WEB_GATE_H
#define ONU_WEB_WEB_GATE_H

#include <memory>
#include <string>

#include "web/http_reply.h"
#include "web/login_throttle.h"
#include "web/request_process.h"
#include "web/session_store.h"

class WebGate : public AccountEvents {
public:
    // Reads the switch and the request's headers from the environment.
    WebGate();

    bool enabled() const { return on; }
    // Decides on a request whose command text is `request` (the query text
    // of an upload). False when it goes no further: the gate has answered it.
    bool admit(const std::string &request);
    // Decides on a scrape of the metrics: an admin session, which the scrape
    // does not keep alive, or the stored bearer token. False when refused.
    bool admitScrape();

    void loginChecked(const std::string &account, bool accepted, HttpReply &reply) override;
    void passwordChanged(const std::string &account) override;

private:
    bool hostAllowed() const;
    bool originAllowed() const;
    bool writeAllowed() const;
    bool admitHostRequest(const std::string &pathInfo, const std::string &request);
    bool answerMetricsToken(const std::string &request);
    bool refuse(int status, const char *message);

    bool on;
    std::string method, host, origin, cookieSid, csrfHeader, remoteAddress;
    bool poll;
    SessionStore sessions;
    Session session;
    bool loggedIn = false;
    std::unique_ptr<LoginThrottle> throttle;
    HttpReply reply;
};

#endif
