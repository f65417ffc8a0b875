// The reply writer: every answer of the web layer goes through here, so the
// reply format lives in one place.
#ifndef ONU_WEB_HTTP_REPLY_H
#define ONU_WEB_HTTP_REPLY_H

#include <unistd.h>

#include <map>
#include <string>

// Reply map of a read command. std::map over std::string orders keys
// byte-wise, so "VlanInfo_mode" sorts before "admin_status".
using ReplyFields = std::map<std::string, std::string>;

class HttpReply {
public:
    // Replies go to the descriptor `out`; production uses standard output.
    explicit HttpReply(int out = STDOUT_FILENO);

    // Status 200 with a JSON content type and `body` followed by one LF.
    void sendReply(const std::string &body);
    // Status 200 with `contentType` and `body` unchanged (no LF added).
    void sendText(const std::string &contentType, const std::string &body);
    // Status 200 carrying `bytes` as a file to save under `fileName`.
    void sendAttachment(const std::string &fileName, const std::string &contentType, const std::string &bytes);
    // A header line (without its line end) that the next success reply also
    // carries, after its own header lines.
    void addHeader(const std::string &line);
    // "HTTP/1.1 <status> <message>" and a one-line HTML page.
    void sendError(int status, const std::string &message);
    // {key:"value",...} in key order, nothing escaped; "{}" when empty.
    static std::string toJson(const ReplyFields &fields);
    // One Content-Type line; an empty `type` becomes "text/html" first.
    void printContentType(std::string &type);

private:
    void send(const std::string &text);

    int out;
    std::string extraHeaders;
};

#endif
