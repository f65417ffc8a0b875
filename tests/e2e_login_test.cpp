// Login (1) and the password changes (19, 20) inside the simulated unit: the
// replies, and the web configuration after each request.
#include <string>

#include "config/paths.h"
#include "e2e_support.h"

namespace {

const char ACCOUNTS[] =
    "<config>\n"
    "\t<account>\n"
    "\t\t<admin>Adm1n</admin>\n"
    "\t\t<user>guest</user>\n"
    "\t\t<tech></tech>\n"
    "\t</account>\n"
    "</config>";

class LoginTest : public SimulatedUnitTest {
protected:
    void SetUp() override
    {
        SimulatedUnitTest::SetUp();
        writeFile(WEB_XML_PATH, laidDown(ACCOUNTS));
    }
};

TEST_F(LoginTest, LoginAnswersWithReturnCodeAndTheUserNameAsReceived)
{
    struct Case {
        const char *query;
        const char *body;
    } cases[] = {
        {"cmd_id=1&username=admin&password=Adm1n", "{return_code:\"0\",username:\"admin\"}"},
        {"cmd_id=1&username=user&password=guest", "{return_code:\"0\",username:\"user\"}"},
        // Passwords are compared byte for byte, letter case included.
        {"cmd_id=1&username=admin&password=adm1n", "{return_code:\"2\",username:\"admin\"}"},
        {"cmd_id=1&username=admin&password=Adm1n ", "{return_code:\"2\",username:\"admin\"}"},
        {"cmd_id=1&username=user&password=Adm1n", "{return_code:\"2\",username:\"user\"}"},
        // A missing password reads as empty: it opens only an account without one.
        {"cmd_id=1&username=tech", "{return_code:\"0\",username:\"tech\"}"},
        {"cmd_id=1&username=admin", "{return_code:\"2\",username:\"admin\"}"},
        {"cmd_id=1&username=tech&password=x", "{return_code:\"2\",username:\"tech\"}"},
        // No account of that name; the name comes back undecoded.
        {"cmd_id=1&username=root&password=Adm1n", "{return_code:\"1\",username:\"root\"}"},
        {"cmd_id=1&username=ad%6Din&password=Adm1n", "{return_code:\"1\",username:\"ad%6Din\"}"},
        {"cmd_id=1&password=Adm1n", "{return_code:\"1\",username:\"\"}"},
        // action is not looked at.
        {"cmd_id=1&action=7&username=admin&password=Adm1n",
         "{return_code:\"0\",username:\"admin\"}"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(runCgi(c.query).output, jsonReply(c.body)) << c.query;
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(ACCOUNTS));
}

TEST_F(LoginTest, LoginWithoutConfigurationFindsNoAccount)
{
    runProgram(std::string("rm -f ") + WEB_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=1&username=admin&password=Adm1n").output,
              jsonReply("{return_code:\"1\",username:\"admin\"}"));
}

TEST_F(LoginTest, PasswordChangeNeedsTheCurrentPasswordOfItsOwnAccount)
{
    struct Case {
        const char *query;
        const char *body;
        const char *from;  // account line before and after, or none when untouched
        const char *to;
    } cases[] = {
        {"cmd_id=19&pwdold=Adm1n&pwdnew=s3cret", "0", "<admin>Adm1n</admin>",
         "<admin>s3cret</admin>"},
        {"cmd_id=20&pwdold=guest&pwdnew=n3w", "0", "<user>guest</user>", "<user>n3w</user>"},
        // An empty new password goes to the store as it is.
        {"cmd_id=19&pwdold=Adm1n", "0", "<admin>Adm1n</admin>", "<admin></admin>"},
        {"cmd_id=20&pwdold=guest&pwdnew=", "0", "<user>guest</user>", "<user></user>"},
        // The stored password again: accepted without rewriting the file.
        {"cmd_id=19&pwdold=Adm1n&pwdnew=Adm1n", "0", nullptr, nullptr},
        // A wrong old password, also one of the other account.
        {"cmd_id=19&pwdold=adm1n&pwdnew=s3cret", "1", nullptr, nullptr},
        {"cmd_id=19&pwdnew=s3cret", "1", nullptr, nullptr},
        {"cmd_id=19&pwdold=guest&pwdnew=s3cret", "1", nullptr, nullptr},
        {"cmd_id=20&pwdold=Adm1n&pwdnew=s3cret", "1", nullptr, nullptr},
    };
    for (const Case &c : cases) {
        writeFile(WEB_XML_PATH, laidDown(ACCOUNTS));
        EXPECT_EQ(runCgi(c.query).output, jsonReply(c.body)) << c.query;
        std::string expected = c.from ? replaced(ACCOUNTS, c.from, c.to) : laidDown(ACCOUNTS);
        EXPECT_EQ(readFile(WEB_XML_PATH), expected) << c.query;
    }
}

TEST_F(LoginTest, PasswordChangeRefusedByTheStoreAnswersTwo)
{
    // Without an admin element the current password reads as empty, so an
    // empty pwdold matches and the store then refuses the write.
    const std::string noAdmin = "<config><account><user>guest</user></account></config>";
    writeFile(WEB_XML_PATH, laidDown(noAdmin));
    EXPECT_EQ(runCgi("cmd_id=19&pwdold=&pwdnew=s3cret").output, jsonReply("2"));
    EXPECT_EQ(runCgi("cmd_id=19&pwdold=guest&pwdnew=s3cret").output, jsonReply("1"));
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(noAdmin));

    runProgram(std::string("rm -f ") + WEB_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=20&pwdnew=n3w").output, jsonReply("2"));
    EXPECT_EQ(runCgi("cmd_id=20&pwdold=guest&pwdnew=n3w").output, jsonReply("1"));
    EXPECT_FALSE(fileExists(WEB_XML_PATH));
}

}  // namespace
