// The login gate of the served unit, over HTTP: what a client without a
// session, without the page's token, from another site or with the user
// account can and cannot do, and the sessions' limits.

#include <chrono>

#include "e2e_support.h"

const std::string CGI = "/cgi-bin/onu.cgi";

static std::string deviceLogs()
{
    std::string logs;
    for (const char *name : {"system", "clish", "reboot", "flash", "fw_setenv", "export_xml", "upgrade"})
        logs += std::string(name) + ":" + standInLog(name) + "\n";
    return logs;
}

using GateTest = ServedUnitTest;

TEST_F(GateTest, WithoutASessionNothingIsReadOrRun)
{
    const std::string before = deviceLogs();
    writeFile(UPLOAD_SAVE_PATH, "earlier upload");
    for (const char *query : {"cmd_id=2&action=0", "cmd_id=5&action=0", "cmd_id=10&action=0", "cmd_id=11",
                              "cmd_id=19&pwdold=admin&pwdnew=x", "cmd_id=25&action=1&age_time=5", "cmd_id=7", ""}) {
        EXPECT_EQ(http("GET", CGI + "?" + query).raw, errorReply(401, "login required")) << query;
        EXPECT_EQ(http("POST", CGI, query).raw, errorReply(401, "login required")) << query;
    }
    EXPECT_EQ(http("POST", CGI + "?cmd_id=21&update_type=1",
                   "--b\r\nContent-Disposition: form-data; name=\"f\"; filename=\"u\"\r\n\r\nX\r\n--b--\r\n",
                   {"Content-Type: multipart/form-data; boundary=b"})
                  .status,
              401);
    EXPECT_EQ(readFile(UPLOAD_SAVE_PATH), "earlier upload");
    for (const char *path : {"/cgi-bin/onu.cgi/xml_config.tar", "/cgi-bin/onu.cgi/session", "/cgi-bin/onu.cgi/logout"})
        EXPECT_EQ(http("GET", path).status, 401) << path;
    EXPECT_EQ(deviceLogs(), before);
    // Neither the configuration nor an export lies under the web root.
    http("POST", CGI, "cmd_id=10&action=0", login("admin", "admin").writing());
    for (const char *path : {"/xml/vesk_xml_cfg_file.xml", "/xml_config.tar", "/var/vesk/website/www/xml_config.tar"})
        EXPECT_EQ(http("GET", path).status, 404) << path;
}

// A read through the gate is the command layer's reply, byte for byte; a write
// needs POST, the page's token and no other site, under an address, and the
// admin account.
TEST_F(GateTest, ALoggedInPageReadsAndWritesOnlyWithItsTokenAndRole)
{
    const Login admin = login("admin", "admin");
    ASSERT_FALSE(admin.sid.empty());
    EXPECT_EQ(http("GET", CGI + "?cmd_id=2&action=0", "", admin.cookie()).raw, runCgi("cmd_id=2&action=0").output);
    const std::string write = "cmd_id=25&action=1&age_time=77", before = deviceLogs();
    const std::tuple<const char *, const char *, std::vector<std::string>> refused[] = {
        {"no token", "POST", admin.cookie()},
        {"wrong token", "POST", {admin.cookie()[0], "X-ONU-CSRF: " + std::string(32, '0')}},
        {"by GET", "GET", admin.writing()},
        {"from another site", "POST", {admin.writing()[0], admin.writing()[1], "Origin: http://attacker.example"}},
        {"under a DNS name", "POST", {admin.writing()[0], admin.writing()[1], "Host: unit.example:80"}},
    };
    for (const auto &[what, method, headers] : refused)
        EXPECT_EQ(http(method, CGI + (*method == 'G' ? "?" + write : ""), write, headers).raw,
                  errorReply(403, "forbidden"))
            << what;
    EXPECT_EQ(deviceLogs(), before);
    EXPECT_EQ(http("POST", CGI, write, admin.writing()).body, " 0\n");
    EXPECT_EQ(clishScripts(), std::vector<std::string>{script("eoam", "port mac_aging_time 0 UNI_0 77")});

    // The user account reads but does not change the unit, its own password aside.
    const Login user = login("user", "user");
    ASSERT_FALSE(user.sid.empty());
    const std::string written = deviceLogs();
    EXPECT_EQ(http("GET", CGI + "?cmd_id=8", "", user.cookie()).status, 200);
    for (const char *query : {"cmd_id=5&action=0", "cmd_id=10&action=0", "cmd_id=11", "cmd_id=33",
                              "cmd_id=19&pwdold=admin&pwdnew=x", "cmd_id=25&action=1&age_time=5"})
        EXPECT_EQ(http("POST", CGI, query, user.writing()).raw, errorReply(403, "forbidden")) << query;
    EXPECT_EQ(http("GET", "/cgi-bin/onu.cgi/xml_config.tar", "", user.cookie()).status, 403);
    EXPECT_EQ(deviceLogs(), written);
    EXPECT_EQ(http("GET", "/cgi-bin/onu.cgi/session", "", user.cookie()).body, "{account:\"user\"}\n");
    EXPECT_EQ(http("POST", CGI, "cmd_id=20&pwdold=user&pwdnew=n3w", user.writing()).body, "0\n");
}

TEST_F(GateTest, SessionsEndByIdleTimeLifetimeLogoutPasswordChangeAndNumber)
{
    auto alive = [](const Login &page) { return http("GET", CGI + "?cmd_id=8", "", page.cookie()).status == 200; };
    auto sessionFile = [](const Login &page) { return std::string(SESSION_DIR) + "/" + page.sid; };
    auto age = [&](const Login &page, long seconds) {
        struct stat status;
        stat(sessionFile(page).c_str(), &status);
        const timespec times[2] = {{status.st_mtime - seconds, 0}, {status.st_mtime - seconds, 0}};
        utimensat(AT_FDCWD, sessionFile(page).c_str(), times, 0);
    };
    const Login idle = login("admin", "admin"), polled = login("admin", "admin"), old = login("admin", "admin");
    age(idle, 11 * 60);
    EXPECT_FALSE(alive(idle));
    // A timed refresh does not count as use; a page's own request does.
    age(polled, 9 * 60);
    http("GET", CGI + "?cmd_id=3", "", {polled.cookie()[0], "X-ONU-Poll: 1"});
    age(polled, 2 * 60);
    EXPECT_FALSE(alive(polled));
    const std::string text = readFile(sessionFile(old));
    const long long created = std::stoll(text.substr(text.rfind(' ') + 1));
    writeFile(sessionFile(old),
              text.substr(0, text.rfind(' ') + 1) + std::to_string(created - (12 * 3600 + 1) * 1000000000LL) + "\n");
    EXPECT_FALSE(alive(old));

    const Login first = login("admin", "admin"), second = login("admin", "admin"), user = login("user", "user");
    EXPECT_EQ(http("POST", "/cgi-bin/onu.cgi/logout", "", first.writing()).status, 200);
    EXPECT_FALSE(alive(first));
    // A password change ends the account's other sessions, not the changer's.
    const Login changer = login("admin", "admin");
    EXPECT_EQ(http("POST", CGI, "cmd_id=19&pwdold=admin&pwdnew=s3cret", changer.writing()).body, "0\n");
    EXPECT_FALSE(alive(second));
    EXPECT_TRUE(alive(changer));
    EXPECT_TRUE(alive(user));
    std::vector<Login> many;
    for (int i = 0; i < 8; ++i)
        many.push_back(login("admin", "s3cret"));
    EXPECT_FALSE(alive(user));  // the oldest of nine
    for (const Login &page : many)
        EXPECT_TRUE(alive(page));
}

// After five failures each attempt waits longer, measured, not assumed; a
// success clears the count. A failed login grants nothing; a login must be a POST.
TEST_F(GateTest, FailedLoginsFromOneAddressAreAnsweredEverLater)
{
    auto attempt = [](const char *password) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(http("POST", CGI, std::string("cmd_id=1&username=admin&password=") + password).status, 200);
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    };
    const std::string count = std::string(SESSION_DIR) + "/fail-127.0.0.1";
    for (int i = 0; i < 5; ++i)
        attempt("wrong");
    EXPECT_EQ(readFile(count), "5");
    EXPECT_GE(attempt("wrong"), LOGIN_DELAY_BASE_MS);
    EXPECT_GE(attempt("wrong"), 2 * LOGIN_DELAY_BASE_MS);
    EXPECT_GE(attempt("admin"), 4 * LOGIN_DELAY_BASE_MS);
    EXPECT_EQ(readFile(count), "0");
    EXPECT_EQ(http("POST", CGI, "cmd_id=1&username=admin&password=x").headers.find("Set-Cookie"), std::string::npos);
    EXPECT_EQ(http("GET", CGI + "?cmd_id=1&username=admin&password=admin").status, 403);
}
