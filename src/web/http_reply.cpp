#include "web/http_reply.h"

#include <cerrno>

// A reply is composed whole and sent with write(2): one system call, and no
// C stdio code or buffer in a process that only answers a read request.

HttpReply::HttpReply(int out) : out(out) {}

void HttpReply::send(const std::string &text)
{
    const char *next = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t sent = write(out, next, left);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return;  // The peer is gone; nobody is left to tell.
        next += sent;
        left -= static_cast<std::size_t>(sent);
    }
}

void HttpReply::sendReply(const std::string &body)
{
    // The body is sent unchanged, NUL bytes included.
    sendText("application/json", body + '\n');
}

void HttpReply::sendText(const std::string &contentType, const std::string &body)
{
    send("HTTP/1.0 200 OK\r\nContent-Type: " + contentType + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" +
         body);
}

void HttpReply::sendAttachment(const std::string &fileName, const std::string &contentType, const std::string &bytes)
{
    send("HTTP/1.0 200 OK\r\nContent-Type: " + contentType + "\r\nContent-Disposition: attachment; filename=\"" +
         fileName + "\"\r\nContent-Length: " + std::to_string(bytes.size()) + "\r\nConnection: close\r\n" +
         extraHeaders + "\r\n" + bytes);
}

void HttpReply::addHeader(const std::string &line) { extraHeaders += line + "\r\n"; }

void HttpReply::sendError(int status, const std::string &message)
{
    const std::string code = std::to_string(status);
    send("HTTP/1.1 " + code + ' ' + message + "\nConnection:close\n\n<HTML><BODY><p>Error:" + code + " -- " + message +
         "</p></BODY></HTML>\n");
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
    send("Content-Type: " + type + "\r\n");
}
