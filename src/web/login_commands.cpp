// Account commands: login (1) and the administrator (19) and user (20)
// password changes. Passwords are plain texts compared byte for byte.
#include <string>

#include "log/log.h"
#include "web/request_process.h"

namespace {

using PasswordGetter = int (ConfigFacade::*)(std::string &);
using PasswordSetter = int (ConfigFacade::*)(const std::string &);

// Body of a password change: "1" when "pwdold" is not the current password,
// else "0" or "2" for the store's verdict on "pwdnew".
std::string changePassword(ConfigFacade &facade, const RequestParams &params, PasswordGetter getPassword,
                           PasswordSetter setPassword)
{
    std::string current;
    (facade.*getPassword)(current);
    if (params.getValue("pwdold") != current)
        return "1";
    return (facade.*setPassword)(params.getValue("pwdnew")) == 0 ? "0" : "2";
}

}  // namespace

void RequestProcess::processLogin()
{
    std::string username = params.getValue("username");
    std::string password = params.getValue("password");
    std::string stored;
    // "1": no such account or no readable configuration; "2": wrong password.
    std::string returnCode;
    if (facade.getAccountPassword(username, stored) != 0)
        returnCode = "1";
    else
        returnCode = stored == password ? "0" : "2";
    logTrace("processLogin: user %s, return code %s", username.c_str(), returnCode.c_str());
    if (accountEvents)
        accountEvents->loginChecked(username, returnCode == "0", reply);

    ReplyFields fields;
    fields["return_code"] = returnCode;
    fields["username"] = username;
    reply.sendReply(HttpReply::toJson(fields));
}

void RequestProcess::processAdminPassword()
{
    const std::string result =
        changePassword(facade, params, &ConfigFacade::getAdminPassword, &ConfigFacade::setAdminPassword);
    if (result == "0" && accountEvents)
        accountEvents->passwordChanged("admin");
    reply.sendReply(result);
}

void RequestProcess::processUserPassword()
{
    const std::string result =
        changePassword(facade, params, &ConfigFacade::getUserPassword, &ConfigFacade::setUserPassword);
    if (result == "0" && accountEvents)
        accountEvents->passwordChanged("user");
    reply.sendReply(result);
}
