// The request-parameter lookup and parse on arbitrary request texts. The input
// is a key, a NUL byte and the request text (without a NUL, the whole input is
// the text and the key is "cmd_id"). A value found is a piece of the text that
// holds no "&"; parsing the same text twice changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "web/request_params.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const size_t split = input.find('\0');
    const std::string key = split == std::string::npos ? "cmd_id" : input.substr(0, split);
    const std::string text = split == std::string::npos ? input : input.substr(split + 1);

    RequestParams params(text);
    const std::string value = params.getValue(key);
    if (value.find('&') != std::string::npos || (!value.empty() && text.find(value) == std::string::npos))
        std::abort();

    const int cmdId = params.cmdId;
    const int action = params.action;
    params.parse(text);
    if (params.cmdId != cmdId || params.action != action || params.getValue(key) != value)
        std::abort();
    return 0;
}
