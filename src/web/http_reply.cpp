#include "web/http_reply.h"

// The success reply and the content type are written without printf: a read
// request that formats nothing keeps the C library's formatting code (and its
// pages) out of the process.

HttpReply::HttpReply(FILE *out) : out(out) {}

void HttpReply::writeContentType(const char *type)
{
    std::fputs("Content-Type: ", out);
    std::fputs(type, out);
    std::fputs("\r\n", out);
}

void HttpReply::sendReply(const std::string &body)
{
    std::fputs("HTTP/1.0 200 OK\r\n", out);
    writeContentType("application/json");
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
    // Sized once and filled in place: no temporaries, no regrowth.
    std::size_t size = 1;
    for (const auto &[key, value] : fields)
        size += key.size() + value.size() + 4;
    std::string json;
    json.reserve(size);
    json += '{';
    for (const auto &[key, value] : fields)
        json.append(key).append(":\"").append(value).append("\",");
    json.back() = '}';
    return json;
}

void HttpReply::printContentType(std::string &type)
{
    if (type.empty())
        type = "text/html";
    writeContentType(type.c_str());
    std::fflush(out);
}
