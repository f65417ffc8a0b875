// cgi-bin/metrics of the served unit: who may scrape, the token's host requests and console routines,
// and what a scrape reports (checked by promtool) with the transceiver answering, changed, or gone.

#include <regex>

#include "e2e_support.h"
#include "web/metrics_token_store.h"

const char METRICS[] = "/cgi-bin/metrics";
const char TOKEN_API[] = "/cgi-bin/onu.cgi/metrics-token";

static std::vector<std::string> bearer(const std::string &token) { return {"Authorization: Bearer " + token}; }
static std::string diag(const std::string &routine, const std::string &input = "")
{
    return runProgram("echo '" + input + "' | " + programPath("onu-diag") + " " + routine).output;
}

using MetricsTest = ServedUnitTest;

TEST_F(MetricsTest, AnAdminSessionOrTheStoredBearerTokenMayScrape)
{
    const Login admin = login("admin", "admin"), user = login("user", "user");
    // A scrape counts as a poll: the session's last use stays where it was.
    const std::string sessionFile = std::string(SESSION_DIR) + "/" + admin.sid;
    const timespec used[2] = {{time(nullptr) - 300, 0}, {time(nullptr) - 300, 0}};
    utimensat(AT_FDCWD, sessionFile.c_str(), used, 0);
    EXPECT_EQ(http("GET", METRICS, "", admin.cookie()).status, 200);
    struct stat status;
    EXPECT_TRUE(stat(sessionFile.c_str(), &status) == 0 && status.st_mtime == used[1].tv_sec);

    // The token through the host: for the admin only, changed with the page's token.
    EXPECT_EQ(http("GET", TOKEN_API, "", user.cookie()).status, 403);
    EXPECT_EQ(http("GET", TOKEN_API, "", admin.cookie()).body, "{token:\"\"}\n");
    EXPECT_EQ(http("POST", TOKEN_API, "action=new", admin.cookie()).status, 403);
    const std::string created = http("POST", TOKEN_API, "action=new", admin.writing()).body;
    EXPECT_TRUE(std::regex_match(created, std::regex("\\{token:\"[0-9a-f]{64}\"\\}\n"))) << created;
    const std::string token = created.substr(8, 64);
    EXPECT_TRUE(stat(METRICS_TOKEN_PATH, &status) == 0 && (status.st_mode & 0777) == 0600);
    EXPECT_EQ(diag("metrics-token"), "metrics token = " + token + "\n");
    EXPECT_EQ(http("GET", METRICS, "", bearer(token)).status, 200);
    const std::pair<const char *, std::vector<std::string>> refused[] = {
        {"nothing", {}},
        {"user session", user.cookie()},
        {"basic credentials", {"Authorization: Basic " + token}},
        {"other token with an admin session", {bearer(token + "0")[0], admin.cookie()[0]}}};
    for (const auto &[what, headers] : refused)
        EXPECT_EQ(http("GET", METRICS, "", headers).raw, errorReply(401, "login required")) << what;
    EXPECT_EQ(http("GET", METRICS, "", {bearer(token)[0], "Host: unit.example"}).status, 403);
    EXPECT_EQ(runProgram("ONU_WEB_AUTH=off " + programPath("onu-metrics")).output.find("HTTP/1.0 200 OK\r\n"), 0u);
    EXPECT_EQ(http("POST", TOKEN_API, "action=clear", admin.writing()).body, "{token:\"\"}\n");
    EXPECT_EQ(http("GET", METRICS, "", bearer(token)).status, 401);  // none stored: bearer access is off

    // On the console a fleet-wide token comes on standard input.
    EXPECT_EQ(diag("set-metrics-token", "has blanks inside it"), "set metrics token error \n");
    EXPECT_EQ(diag("set-metrics-token", "fleet-token-0123456789"), "");
    EXPECT_EQ(diag("metrics-token"), "metrics token = fleet-token-0123456789\n");
    EXPECT_EQ(http("GET", METRICS, "", bearer("fleet-token-0123456789")).status, 200);
}

TEST_F(MetricsTest, AScrapeReadsTheTransceiverOnceAndPassesPromtool)
{
    const std::vector<std::string> admin = login("admin", "admin").cookie();
    auto expectScrape = [](const std::string &body, const std::vector<std::string> &lines) {
        for (const std::string &line : lines)
            EXPECT_NE(body.find("\n" + line + "\n"), std::string::npos) << line;
        writeFile(statePath("scratch/scrape"), body);
        EXPECT_EQ(runProgram("promtool check metrics <" + statePath("scratch/scrape") + " && echo ok").output, "ok\n");
    };
    const HttpReplyBytes scrape = http("GET", METRICS, "", admin);
    EXPECT_EQ(scrape.headers, "HTTP/1.0 200 OK\r\nContent-Type: text/plain; version=0.0.4\r\nConnection: close");
    expectScrape(scrape.body, {"onu_optics_present 1", "onu_optics_temperature_celsius 41.30078125",
                               "onu_optics_supply_voltage_volts 3.29", "onu_optics_tx_bias_current_amperes 0.0125",
                               "onu_optics_tx_power_watts 0.0018", "onu_optics_rx_power_watts 1.41e-05",
                               "onu_optics_rx_power_dbm -18.507809", "onu_epon_llid 1", "onu_uni_link_up 1",
                               "onu_optics_rx_power_threshold_watts{level=\"warning\",direction=\"low\"} 1.3e-06",
                               "onu_optics_temperature_threshold_celsius{level=\"alarm\",direction=\"low\"} -40",
                               "onu_optics_flag{quantity=\"rx_power\",level=\"alarm\",direction=\"low\"} 0",
                               "onu_epon_registered 1", "onu_epon_rx_data_frames_total 1523367",
                               "onu_info{software_version=\"V1.2.7\",model=\"EP-1001S\",mac=\"00:26:3E:50:11:A0\","
                               "serial=\"00263E5011A0\"} 1"});
    EXPECT_NE(scrape.body.find("\nonu_scrape_duration_seconds "), std::string::npos);
    const std::string i2cLog = standInLog("i2c");
    EXPECT_EQ(i2cLog.find("open /dev/i2c-0"), i2cLog.rfind("open /dev/i2c-0"));

    // The next scrape: no light, RX power low alarm, supply high warning, a model name to escape.
    runProgram(ONU_SOURCE_DIR "/sim/transceiver-set 68 00 00 00 00 00 00 00 00 00 40 00 00 20");
    replaceInFile(WEB_XML_PATH, "<model>EP-1001S<", "<model>EP \"1\" \\<");
    const std::string changed = http("GET", METRICS, "", admin).body;
    expectScrape(changed, {"onu_optics_flag{quantity=\"rx_power\",level=\"alarm\",direction=\"low\"} 1",
                           "onu_optics_rx_power_watts 0", "onu_optics_rx_power_dbm -Inf"});
    EXPECT_NE(changed.find("model=\"EP \\\"1\\\" \\\\\""), std::string::npos);
    const std::string console = diag("transceiver-thresholds");
    EXPECT_EQ(console.find("temperatureHighAlarm = 21760\ntemperatureLowAlarm = 55296\n"), 0u) << console;
    EXPECT_NE(console.find("\nrxReceivedPowerLowAlarmFlag = 1\nrxReceivedPowerHighWarningFlag = 0\n"), console.npos);

    // Without a module the rest still answers.
    runProgram("rm -r " + statePath("i2c-0"));
    const std::string without = http("GET", METRICS, "", admin).body;
    expectScrape(without, {"onu_optics_present 0", "onu_epon_registered 1"});
    EXPECT_EQ(without.find("onu_optics_", without.find("onu_optics_present 0") + 1), std::string::npos);
    EXPECT_EQ(diag("transceiver-thresholds"), "get transceiver thresholds error \n");
}

TEST(MonitoringRulesTest, PassPromtool)
{
    EXPECT_EQ(runProgram("cd " ONU_SOURCE_DIR "/monitoring && { promtool check rules onu-alerts.yml && promtool test "
                         "rules onu-alerts.test.yml && promtool check config --syntax-only prometheus-scrape.yml; } "
                         ">/dev/null && echo ok")
                  .output,
              "ok\n");
}
