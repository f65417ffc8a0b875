// Login (1) and the password changes (19, 20) inside the simulated unit.

#include "e2e_support.h"

static std::string loginReply(const char *code, const char *name)
{
    return jsonReply(std::string("{return_code:\"") + code + "\",username:\"" + name + "\"}");
}

using LoginTest = SimulatedUnitTest;

// Login compares the password of the named account; a password change needs
// the current password of its own account.
TEST_F(LoginTest, LoginAndPasswordChanges)
{
    const char *web = WEB_XML_PATH, *admin = "<admin>Adm1n</admin>";
    expectExchanges({
        {"cmd_id=1&username=admin&password=Adm1n", loginReply("0", "admin")},
        {"cmd_id=1&username=user&password=guest", loginReply("0", "user")},
        // Byte for byte, letter case included; no other account's password.
        {"cmd_id=1&username=admin&password=adm1n", loginReply("2", "admin")},
        {"cmd_id=1&username=admin&password=Adm1n ", loginReply("2", "admin")},
        {"cmd_id=1&username=user&password=Adm1n", loginReply("2", "user")},
        // A missing password reads as empty: it opens an account without one.
        {"cmd_id=1&username=tech", loginReply("0", "tech")},
        // No account of that name; the name comes back undecoded.
        {"cmd_id=1&username=ad%6Din&password=Adm1n", loginReply("1", "ad%6Din")},
        {"cmd_id=19&pwdold=Adm1n&pwdnew=s3cret", jsonReply("0"), {{web, admin, "<admin>s3cret</admin>"}}},
        {"cmd_id=20&pwdold=guest&pwdnew=n3w", jsonReply("0"), {{web, "<user>guest</user>", "<user>n3w</user>"}}},
        // A missing new password goes to the store as an empty one.
        {"cmd_id=19&pwdold=Adm1n", jsonReply("0"), {{web, admin, "<admin></admin>"}}},
        // The stored password again: accepted without rewriting the file.
        {"cmd_id=19&pwdold=Adm1n&pwdnew=Adm1n", jsonReply("0")},
        {"cmd_id=19&pwdold=adm1n&pwdnew=s3cret", jsonReply("1")},
        {"cmd_id=20&pwdold=Adm1n&pwdnew=s3cret", jsonReply("1")},
    });
}
