// Login (1) and the password changes (19, 20) inside the simulated unit.

#include "e2e_support.h"

namespace {

std::string login(const char *code, const char *name)
{
    return jsonReply(std::string("{return_code:\"") + code + "\",username:\"" + name + "\"}");
}

using LoginTest = SimulatedUnitTest;

TEST_F(LoginTest, LoginComparesThePasswordOfTheNamedAccount)
{
    expectExchanges({
        {"cmd_id=1&username=admin&password=Adm1n", login("0", "admin")},
        {"cmd_id=1&username=user&password=guest", login("0", "user")},
        // Byte for byte, letter case included; no other account's password.
        {"cmd_id=1&username=admin&password=adm1n", login("2", "admin")},
        {"cmd_id=1&username=admin&password=Adm1n ", login("2", "admin")},
        {"cmd_id=1&username=user&password=Adm1n", login("2", "user")},
        // A missing password reads as empty: it opens only an account without one.
        {"cmd_id=1&username=tech", login("0", "tech")},
        {"cmd_id=1&username=admin", login("2", "admin")},
        // No account of that name; the name comes back undecoded.
        {"cmd_id=1&username=root&password=Adm1n", login("1", "root")},
        {"cmd_id=1&username=ad%6Din&password=Adm1n", login("1", "ad%6Din")},
        {"cmd_id=1&password=Adm1n", login("1", "")},
        {"cmd_id=1&action=7&username=admin&password=Adm1n", login("0", "admin")},
    });
}

TEST_F(LoginTest, PasswordChangeNeedsTheCurrentPasswordOfItsOwnAccount)
{
    const char *web = WEB_XML_PATH, *admin = "<admin>Adm1n</admin>", *user = "<user>guest</user>";
    expectExchanges({
        {"cmd_id=19&pwdold=Adm1n&pwdnew=s3cret", jsonReply("0"), {{web, admin, "<admin>s3cret</admin>"}}},
        {"cmd_id=20&pwdold=guest&pwdnew=n3w", jsonReply("0"), {{web, user, "<user>n3w</user>"}}},
        // An empty new password goes to the store as it is.
        {"cmd_id=19&pwdold=Adm1n", jsonReply("0"), {{web, admin, "<admin></admin>"}}},
        {"cmd_id=20&pwdold=guest&pwdnew=", jsonReply("0"), {{web, user, "<user></user>"}}},
        // The stored password again: accepted without rewriting the file.
        {"cmd_id=19&pwdold=Adm1n&pwdnew=Adm1n", jsonReply("0")},
        {"cmd_id=19&pwdold=adm1n&pwdnew=s3cret", jsonReply("1")},
        {"cmd_id=19&pwdnew=s3cret", jsonReply("1")},
        {"cmd_id=19&pwdold=guest&pwdnew=s3cret", jsonReply("1")},
        {"cmd_id=20&pwdold=Adm1n&pwdnew=s3cret", jsonReply("1")},
        // Without an admin element the current password reads as empty, so an
        // empty pwdold matches and the store then refuses the write.
        {"cmd_id=19&pwdold=&pwdnew=s3cret", jsonReply("2"), {}, {}, "", {{web, admin, ""}}},
        {"cmd_id=19&pwdold=guest&pwdnew=s3cret", jsonReply("1"), {}, {}, "", {{web, admin, ""}}},
    });
}

}  // namespace
