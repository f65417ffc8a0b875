#include "web/request_fields.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "web/request_process.h"

namespace {

const RequestField REQUEST_FIELDS[] = {
    {5, "ponSerialNum", ValueRule::TEXT},  {5, "ponPassword", ValueRule::TEXT}, {5, "gpon_loid", ValueRule::TEXT},
    {5, "gpon_password", ValueRule::TEXT}, {5, "sn", ValueRule::TEXT},          {5, "loid", ValueRule::TEXT},
    {5, "password", ValueRule::TEXT},      {5, "vendor_id", ValueRule::TEXT},   {5, "onu_model", ValueRule::TEXT},
    {5, "hard_ver", ValueRule::TEXT},      {5, "soft_ver", ValueRule::TEXT},    {5, "auth_mode", ValueRule::TEXT},
    {5, "fec_mode", ValueRule::TEXT},      {6, "ip", ValueRule::TEXT},          {6, "netmask", ValueRule::TEXT},
    {16, "ipv4DsMtu", ValueRule::TEXT},    {16, "ipv4UsMtu", ValueRule::TEXT},  {16, "ipv4pppoeUsMtu", ValueRule::TEXT},
    {17, "mc_mode", ValueRule::TEXT},      {19, "pwdnew", ValueRule::TEXT},     {20, "pwdnew", ValueRule::TEXT},
    {22, "portId", ValueRule::TEXT},       {22, "mode", ValueRule::TEXT},       {22, "def_vid", ValueRule::TEXT},
    {22, "vid_sum", ValueRule::TEXT},      {22, "vid_serial", ValueRule::TEXT}, {23, "port", ValueRule::TEXT},
    {23, "flow_control", ValueRule::TEXT}, {23, "auto", ValueRule::TEXT},       {23, "mode", ValueRule::TEXT},
    {25, "age_time", ValueRule::TEXT},     {26, "algo_mode", ValueRule::TEXT},  {27, "usr_pri", ValueRule::TEXT},
    {28, "voq_thresh", ValueRule::TEXT},   {30, "bs", ValueRule::TEXT},         {30, "bs_thresh", ValueRule::SHELL},
};

const FailureReply FAILURE_REPLIES[] = {
    {5, 0, "1"},
    {6, 405, SET_IP_FAIL},
    {16, 405, SET_MTU_FAIL},
    {17, 405, SET_MULTICAST_FAIL},
    {19, 0, "2"},
    {20, 0, "2"},
    {22, 0, "1"},
    {23, 0, SET_PORT_FAIL_REPLY},
    {25, 0, SET_AGING_FAIL_REPLY},
    // Scheduling has no failure reply of its own: "1", as its siblings send.
    {26, 0, "1"},
    {27, 0, "1"},
    {28, 0, "1"},
    {30, 0, "1"},
};

// What the shell reads as anything but a plain word.
constexpr char SHELL_SPECIAL[] = " ;&|$`<>()*?[]{}!#~'";

}  // namespace

bool valueObeys(const std::string &value, ValueRule rule)
{
    return std::none_of(
        value.begin(), value.end(),
        [rule](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7f || c == '"' || c == '\\' ||
                   (rule == ValueRule::SHELL && std::strchr(SHELL_SPECIAL, c) != nullptr);
        });
}

bool requestValuesAllowed(const RequestParams &params)
{
    return std::all_of(
        std::begin(REQUEST_FIELDS), std::end(REQUEST_FIELDS),
        [&params](const RequestField &field) {
            return field.cmdId != params.cmdId || valueObeys(params.getValue(field.key), field.rule);
        });
}

const FailureReply *failureReplyOf(int cmdId)
{
    const FailureReply *reply = std::find_if(std::begin(FAILURE_REPLIES), std::end(FAILURE_REPLIES),
                                             [cmdId](const FailureReply &row) { return row.cmdId == cmdId; });
    return reply == std::end(FAILURE_REPLIES) ? nullptr : reply;
}
