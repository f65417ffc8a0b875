// The request values that a command stores, hands to clish or a driver node,
// or sends back in a later reply, each with the rule it must obey. The
// dispatcher consults the table before a writing command runs: a request
// with a value that breaks its rule gets the command's failure reply and
// nothing is run, stored or sent. The pages check the same table.
#ifndef ONU_WEB_REQUEST_FIELDS_H
#define ONU_WEB_REQUEST_FIELDS_H

#include "web/request_params.h"

enum class ValueRule {
    TEXT,   // no control byte (below 0x20, or 0x7F), no '"', no '\'
    SHELL,  // TEXT, and none of the shell's blanks and special characters
};

struct RequestField {
    int cmdId;
    const char *key;
    ValueRule rule;
};

// The reply a command sends for a failed write: the success reply with
// `text` as its body when `status` is 0, else the error reply.
struct FailureReply {
    int cmdId;
    int status;
    const char *text;
};

bool valueObeys(const std::string &value, ValueRule rule);
// True when every value of the table's rows for the request's command obeys its rule.
bool requestValuesAllowed(const RequestParams &params);
// The failure reply of a command with table rows; none for other commands.
const FailureReply *failureReplyOf(int cmdId);

#endif
