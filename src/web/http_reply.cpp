#include "web/http_reply.h"

HttpReply::HttpReply(FILE *out) : out(out) {}

void HttpReply::sendReply(const std::string &body)
{
    std::fputs("HTTP/1.0 200 OK\r\n", out);
    std::fprintf(out, "Content-Type: %s\r\n", "application/json");
    std::fputs("Connection: close\r\n\r\n", out);
    // fwrite, not fputs: a body is sent unchanged, NUL bytes included.
    std::fwrite(body.data(), 1, body.size(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

void HttpReply::sendError(int status, const std::string &message)
{
    std::fprintf(out, "HTTP/1.1 %d %s\n", status, message.c_str());
    std::fputs("Connection:close\n\n", out);
    std::fprintf(out, "<HTML><BODY><p>Error:%d -- %s</p></BODY></HTML>\n", status, message.c_str());
    std::fflush(out);
}

std::string HttpReply::toJson(const ReplyFields &fields)
{
    if (fields.empty())
        return "{}";
    std::string json = "{";
    for (const auto &[key, value] : fields)
        json += key + ":\"" + value + "\",";
    json.back() = '}';
    return json;
}

void HttpReply::printContentType(std::string &type)
{
    if (type.empty())
        type = "text/html";
    std::fprintf(out, "Content-Type: %s\r\n", type.c_str());
    std::fflush(out);
}
