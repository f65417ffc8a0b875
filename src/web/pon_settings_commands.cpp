// PON settings command (5): the PON identity and authentication. A write
// stores the values, pushes them to the PON stack and toggles a switch
// register so that the link registers again with the new identity.
#include "web/pon_settings_commands.h"

#include <unistd.h>

#include <algorithm>

#include "config/mac_address.h"
#include "config/paths.h"
#include "web/clish_bridge.h"
#include "web/request_process.h"

namespace {

const char FEC_DISABLE_COMMAND[] = "pon fec_mode disable";
const char FEC_ENABLE_COMMAND[] = "pon fec_mode enable";
const char RESET_AUTH_TABLE_COMMAND[] = "reset_table_data epon_auth";
// Writing 0 and then 1 to bit 0x20 of switch register 0x18124 drops and
// restores the PON port, which makes the link register again.
const char SWITCH_REGISTER_COMMAND[] = "echo -1 0x18124 0x20 ";

// Pause between steps that the PON stack must see in order.
const useconds_t STEP_PAUSE_US = 100;
const unsigned REREGISTER_PAUSE_S = 2;

void readPonSettings(ConfigFacade &facade, ReplyFields &fields)
{
    FecInfo fec;
    facade.getFecInfo(fec);
    fields["fec_mode"] = fec.fecMode;

    LoidInfo loid;
    facade.getLoid(loid);
    fields["loid"] = loid.loid;
    fields["password"] = loid.password;
    fields["ctc_switch"] = "1";

    std::string sn;
    facade.getOnuSn(sn);
    fields["sn"] = sn;

    IpInfo ip;
    facade.getIpInfo(ip);
    fields["cur_mac"] = ip.onuMac;

    std::string authMode;
    facade.getAuthMode(authMode);
    fields["auth_mode"] = authMode;

    LoidInfo gponLoid;
    facade.getCtcLoidAuth(gponLoid);
    fields["gpon_loid"] = gponLoid.loid;
    fields["gpon_password"] = gponLoid.password;

    std::string serialNum;
    std::string serialSrc;
    facade.getPonSerialNum(serialNum);
    facade.getPonSerialSrc(serialSrc);
    fields["ponSerialNum"] = serialSrc == "1" ? ponSerialFromMac(serialNum, ip.onuMac) : serialNum;

    std::string ponPassword;
    facade.getPonPasswd(ponPassword);
    fields["ponPassword"] = ponPassword;
}

// Stores the request's settings and applies them; returns the reply body,
// "1" as soon as a web configuration write fails or any file cannot be saved.
// The other stores' results are not consulted: a missing file or element
// there is no failure.
std::string writePonSettings(ConfigFacade &facade, const RequestParams &params)
{
    const int unsavedBefore = facade.unsavedWrites();
    auto unsaved = [&] { return facade.unsavedWrites() != unsavedBefore; };

    facade.setPonSerialNum(params.getValue("ponSerialNum"));
    facade.setPonPasswd(params.getValue("ponPassword"));
    facade.setCtcLoidAuth({params.getValue("gpon_loid"), params.getValue("gpon_password")});
    if (unsaved() || facade.setOnuSn(params.getValue("sn")) != 0)
        return "1";

    LoidInfo loid = {maskLoid(params.getValue("loid")), params.getValue("password")};
    if (facade.setLoid(loid) != 0)
        return "1";
    std::string loidCommand = "onu loid " + loid.loid + "  " + loid.password;

    OnuVendorInfo vendor = {params.getValue("vendor_id"), params.getValue("onu_model"), params.getValue("hard_ver"),
                            params.getValue("soft_ver")};
    std::string authMode = params.getValue("auth_mode");
    facade.setAuthMode(authMode);
    if (unsaved())
        return "1";
    if (authMode == "0") {
        // Mode 0 announces the factory identity: the default profile replaces
        // the live one, and what it holds overrides the request's values.
        runShell(std::string("cp -f ") + DEFAULT_ONU_PROFILE_XML_PATH + "  " + XML_PARAMS_DIR);
        usleep(STEP_PAUSE_US);
        facade.getVendorInfo(vendor);
    } else {
        facade.setVendorInfo(vendor);
    }

    std::string fecMode = params.getValue("fec_mode");
    if (unsaved() || facade.setFecMode(fecMode) != 0)
        return "1";
    std::string eponCommand = fecMode == "0" ? FEC_DISABLE_COMMAND : fecMode == "1" ? FEC_ENABLE_COMMAND : loidCommand;
    runClish(CLISH_EOAM, eponCommand);
    usleep(STEP_PAUSE_US);
    runClish(CLISH_MIDWARE, RESET_AUTH_TABLE_COMMAND);
    usleep(STEP_PAUSE_US);
    runClish(CLISH_MIDWARE, "update_entry onu_info index_key=0,vendor_id=" + vendor.vendor +
                                ",onu_model=" + vendor.model + ",hw_ver=" + vendor.hardwareVersion +
                                ",sw_ver=" + vendor.softwareVersion);
    usleep(STEP_PAUSE_US);

    runShell(SWITCH_REGISTER_COMMAND + std::string("0 > ") + SWITCH_REGISTER_PATH);
    sleep(REREGISTER_PAUSE_S);
    runShell(SWITCH_REGISTER_COMMAND + std::string("1 > ") + SWITCH_REGISTER_PATH);
    return "0";
}

}  // namespace

std::string maskLoid(const std::string &loid)
{
    std::string upper = loid;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    std::string masked = loid;
    size_t position = upper.find("ELO");
    if (position != std::string::npos)
        masked.replace(position, 3, "ABC");
    return masked;
}

std::string ponSerialFromMac(const std::string &serialNum, const std::string &mac)
{
    // The MAC's digits after its first two bytes ("00:50:43:02:00:00" gives
    // 43020000).
    if (mac.size() < 15)
        return serialNum;
    return serialNum.substr(0, 4) + macDigits(mac).substr(4);
}

void RequestProcess::processPonSettings()
{
    if (action == 0) {
        ReplyFields fields;
        readPonSettings(facade, fields);
        reply.sendReply(HttpReply::toJson(fields));
    } else if (action == 1) {
        reply.sendReply(writePonSettings(facade, params));
    }
}
