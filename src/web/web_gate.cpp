#include "web/web_gate.h"

#include <arpa/inet.h>
#include <strings.h>

#include <charconv>
#include <cstdlib>

#include "config/paths.h"
#include "device/whole_file.h"
#include "log/log.h"
#include "web/metrics_token_store.h"
#include "web/request_params.h"

namespace {

constexpr char LOGIN_REQUIRED[] = "login required";
constexpr char FORBIDDEN[] = "forbidden";
constexpr char SESSION_COOKIE[] = "onu_sid";
constexpr char CSRF_COOKIE[] = "onu_csrf";
// The first delay after the free failed logins; the web server's setup may
// shorten it (tests) with ONU_LOGIN_DELAY_BASE_MS.
constexpr long LOGIN_DELAY_BASE_MS = 1000;
// Host requests, named by the path after the CGI program's own.
constexpr char LOGOUT_PATH[] = "/logout";
constexpr char SESSION_PATH[] = "/session";
constexpr char EXPORT_DOWNLOAD_PATH[] = "/xml_config.tar";
constexpr char METRICS_TOKEN_PATH_INFO[] = "/metrics-token";
// The scheme of the metrics token in an Authorization header.
constexpr char BEARER[] = "Bearer ";

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

long loginDelayBase()
{
    const std::string text = environment("ONU_LOGIN_DELAY_BASE_MS");
    long base = LOGIN_DELAY_BASE_MS;
    std::from_chars(text.data(), text.data() + text.size(), base);
    return base;
}

bool allDigits(const std::string &text) { return text.find_first_not_of("0123456789") == std::string::npos; }

// A Host header naming the unit by an IP address or "localhost", with an
// optional port: a page that reached the unit under another name (a DNS name
// rebound to it) is refused.
bool isLiteralHost(const std::string &header)
{
    std::string name = header, port;
    if (!name.empty() && name[0] == '[') {
        const std::size_t close = name.find(']');
        if (close == std::string::npos)
            return false;
        port = name.substr(close + 1);
        name = name.substr(1, close - 1);
        in6_addr address;
        if (inet_pton(AF_INET6, name.c_str(), &address) != 1 || (!port.empty() && port[0] != ':'))
            return false;
    } else {
        const std::size_t colon = name.find(':');
        if (colon != std::string::npos) {
            port = name.substr(colon);
            name.erase(colon);
        }
        in_addr address;
        if (name != "localhost" && inet_pton(AF_INET, name.c_str(), &address) != 1)
            return false;
    }
    return port.empty() || (port.size() >= 2 && port.size() <= 6 && allDigits(port.substr(1)));
}

// Compares in time that does not depend on where the texts differ.
bool sameSecret(const std::string &given, const std::string &expected)
{
    if (given.size() != expected.size() || expected.empty())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < given.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ expected[i]);
    return difference == 0;
}

}  // namespace

WebGate::WebGate()
    : on(environment("ONU_WEB_AUTH") != "off"), method(environment("REQUEST_METHOD")), host(environment("HTTP_HOST")),
      origin(environment("HTTP_ORIGIN")), cookieSid(cookieValue(environment("HTTP_COOKIE"), SESSION_COOKIE)),
      csrfHeader(environment("HTTP_X_ONU_CSRF")), remoteAddress(environment("REMOTE_ADDR")),
      poll(environment("HTTP_X_ONU_POLL") == "1"), sessions(SESSION_DIR)
{
}

bool WebGate::refuse(int status, const char *message)
{
    logTrace("WebGate: %d %s for %s", status, message, remoteAddress.c_str());
    reply.sendError(status, message);
    return false;
}

bool WebGate::hostAllowed() const { return isLiteralHost(host); }

// A page of another site may send requests to the unit, but its browser names
// that site in Origin.
bool WebGate::originAllowed() const
{
    if (origin.empty())
        return true;
    for (const char *scheme : {"http://", "https://"}) {
        const std::string prefix = scheme;
        if (origin.compare(0, prefix.size(), prefix) == 0)
            return origin.substr(prefix.size()) == host;
    }
    return false;
}

// Writes come from the unit's own pages: by POST, with the session's token,
// which another site's page cannot read.
bool WebGate::writeAllowed() const
{
    return method == "POST" && sameSecret(csrfHeader, session.csrfToken) && originAllowed();
}

bool WebGate::admit(const std::string &request)
{
    if (!on)
        return true;
    if (!hostAllowed())
        return refuse(403, FORBIDDEN);
    loggedIn = !cookieSid.empty() && sessions.find(cookieSid, !poll, session) == 0;
    const std::string pathInfo = environment("PATH_INFO");
    if (!pathInfo.empty())
        return admitHostRequest(pathInfo, request);

    const RequestParams params(request);
    const CommandAccess access = RequestProcess::commandAccess(params.cmdId);
    if (access == CommandAccess::LOGIN) {
        if (method != "POST" || !originAllowed())
            return refuse(403, FORBIDDEN);
        if (sessions.ready()) {
            throttle = std::make_unique<LoginThrottle>(SESSION_DIR, remoteAddress, loginDelayBase());
            throttle->wait();
        }
        return true;
    }
    if (!loggedIn)
        return refuse(401, LOGIN_REQUIRED);
    const bool userMay =
        access == CommandAccess::USER_WRITES || (access == CommandAccess::USER_READS && params.action == 0);
    if (session.account != "admin" && !userMay)
        return refuse(403, FORBIDDEN);
    const bool writes =
        params.action != 0 || access == CommandAccess::ADMIN_WRITES || access == CommandAccess::USER_WRITES;
    if (writes && !writeAllowed())
        return refuse(403, FORBIDDEN);
    return true;
}

bool WebGate::admitScrape()
{
    if (!on)
        return true;
    if (!hostAllowed())
        return refuse(403, FORBIDDEN);
    const std::string authorization = environment("HTTP_AUTHORIZATION");
    // Without a stored token no bearer matches.
    if (!authorization.empty())
        return (strncasecmp(authorization.c_str(), BEARER, sizeof BEARER - 1) == 0 &&
                sameSecret(authorization.substr(sizeof BEARER - 1), MetricsTokenStore().get())) ||
               refuse(401, LOGIN_REQUIRED);
    // A scrape counts as a poll: the session's idle time runs on.
    const bool admin =
        !cookieSid.empty() && sessions.find(cookieSid, false, session) == 0 && session.account == "admin";
    return admin || refuse(401, LOGIN_REQUIRED);
}

bool WebGate::admitHostRequest(const std::string &pathInfo, const std::string &request)
{
    if (pathInfo != LOGOUT_PATH && pathInfo != SESSION_PATH && pathInfo != EXPORT_DOWNLOAD_PATH &&
        pathInfo != METRICS_TOKEN_PATH_INFO) {
        reply.sendError(404, "not found");
        return false;
    }
    if (!loggedIn)
        return refuse(401, LOGIN_REQUIRED);
    if (pathInfo == METRICS_TOKEN_PATH_INFO)
        return answerMetricsToken(request);
    // The pages ask which account they serve, to show it read-only or not.
    if (pathInfo == SESSION_PATH) {
        ReplyFields fields;
        fields["account"] = session.account;
        reply.sendReply(HttpReply::toJson(fields));
        return false;
    }
    if (pathInfo == LOGOUT_PATH) {
        if (!writeAllowed())
            return refuse(403, FORBIDDEN);
        sessions.remove(session.id);
        logTrace("WebGate: logout of %s from %s", session.account.c_str(), remoteAddress.c_str());
        for (const char *cookie : {SESSION_COOKIE, CSRF_COOKIE})
            reply.addHeader(std::string("Set-Cookie: ") + cookie + "=; Path=/; Max-Age=0; SameSite=Strict");
        reply.sendReply("0");
        return false;
    }
    // The archive holds both accounts' passwords.
    if (session.account != "admin")
        return refuse(403, FORBIDDEN);
    std::string archive;
    if (readWholeFile(EXPORT_ARCHIVE_PATH, archive) != 0) {
        reply.sendError(404, "no exported configuration");
        return false;
    }
    reply.sendAttachment("xml_config.tar", "application/x-tar", archive);
    return false;
}

// The metrics bearer token, for the admin: a GET shows it; a POST with
// action=new replaces it with a random one, action=clear removes it (bearer
// access off). Both answer with the token then stored.
bool WebGate::answerMetricsToken(const std::string &request)
{
    if (session.account != "admin")
        return refuse(403, FORBIDDEN);
    MetricsTokenStore store;
    std::string token = store.get();
    if (method == "POST") {
        if (!writeAllowed())
            return refuse(403, FORBIDDEN);
        const std::string action = RequestParams(request).getValue("action");
        if (action != "new" && action != "clear") {
            reply.sendError(400, "unknown action");
            return false;
        }
        if (action == "new" ? store.renew(token) != 0 : store.clear() != 0) {
            reply.sendError(500, "metrics token not stored");
            return false;
        }
        if (action == "clear")
            token.clear();
        logTrace("WebGate: metrics token %s by %s", action.c_str(), remoteAddress.c_str());
    }
    ReplyFields fields;
    fields["token"] = token;
    reply.sendReply(HttpReply::toJson(fields));
    return false;
}

void WebGate::loginChecked(const std::string &account, bool accepted, HttpReply &loginReply)
{
    if (throttle)
        throttle->record(accepted);
    logTrace("WebGate: login of %s from %s %s", account.c_str(), remoteAddress.c_str(),
             accepted ? "accepted" : "refused");
    // Only the two accounts the pages know get a session.
    if (!accepted || (account != "admin" && account != "user"))
        return;
    Session created;
    if (sessions.create(account, created) != 0) {
        logTrace("WebGate: no session could be created for %s", account.c_str());
        return;
    }
    loginReply.addHeader(std::string("Set-Cookie: ") + SESSION_COOKIE + "=" + created.id +
                         "; Path=/; HttpOnly; SameSite=Strict");
    loginReply.addHeader(std::string("Set-Cookie: ") + CSRF_COOKIE + "=" + created.csrfToken +
                         "; Path=/; SameSite=Strict");
}

void WebGate::passwordChanged(const std::string &account)
{
    sessions.removeAccount(account, loggedIn ? session.id : "");
}
