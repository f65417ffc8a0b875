#include "web/request_params.h"

#include "config/leading_int.h"

RequestParams::RequestParams(const std::string &text) { parse(text); }

void RequestParams::parse(const std::string &text)
{
    if (text.empty())
        return;
    this->text = text;
    const std::string cmdIdValue = getValue("cmd_id");
    if (!cmdIdValue.empty())
        cmdId = leadingInt(cmdIdValue);
    const std::string actionValue = getValue("action");
    if (!actionValue.empty())
        action = leadingInt(actionValue);
}

std::string RequestParams::getValue(const std::string &key) const
{
    if (key.empty())
        return "";
    const std::size_t found = text.find(key);
    if (found == std::string::npos)
        return "";
    // The character after the key (normally "=") is skipped unseen.
    const std::size_t start = found + key.size() + 1;
    if (start >= text.size())
        return "";
    const std::size_t end = text.find('&', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
