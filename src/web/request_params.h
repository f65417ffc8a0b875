// The parsed web request: command number, action and the raw request text
// with its key lookup. Nothing is decoded.
#ifndef ONU_WEB_REQUEST_PARAMS_H
#define ONU_WEB_REQUEST_PARAMS_H

#include <string>

class RequestParams {
public:
    RequestParams() = default;
    explicit RequestParams(const std::string &text);

    // Stores a non-empty text and takes "cmd_id" and "action" from it; a key
    // that is missing or has an empty value leaves its number as it was.
    void parse(const std::string &text);
    // Value of the first occurrence of `key` anywhere in the text: it starts
    // one character after the key and runs to the next "&". Empty when the
    // key is empty or absent.
    std::string getValue(const std::string &key) const;

    int cmdId = 0;
    int action = 0;

private:
    std::string text;
};

#endif
