#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "web/http_reply.h"
#include "web/request_process.h"

namespace {

// Collects what a reply writer sends.
struct Output {
    char *buffer = nullptr;
    std::size_t size = 0;
    FILE *stream = open_memstream(&buffer, &size);
    ~Output()
    {
        std::fclose(stream);
        std::free(buffer);
    }
    std::string text()
    {
        std::fflush(stream);
        return std::string(buffer, size);
    }
};

const char NOT_FOUND[] = "HTTP/1.1 404 processor is not find\nConnection:close\n\n"
                         "<HTML><BODY><p>Error:404 -- processor is not find</p></BODY></HTML>\n";

TEST(HttpReply, ReplyBytes)
{
    const std::string headers = "HTTP/1.0 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n";
    for (const std::string &body : {std::string(), std::string(" 1"), std::string("a\0b", 3)}) {
        Output out;
        HttpReply(out.stream).sendReply(body);
        EXPECT_EQ(out.text(), headers + body + "\n");
    }
    Output out;
    HttpReply reply(out.stream);
    reply.sendError(404, "processor is not find");
    std::string type;
    reply.printContentType(type);
    EXPECT_EQ(type, "text/html");
    EXPECT_EQ(out.text(), NOT_FOUND + std::string("Content-Type: text/html\r\n"));
}

TEST(HttpReply, ToJson)
{
    const std::pair<ReplyFields, const char *> cases[] = {
        {{}, "{}"},
        {{{"k", "v"}}, "{k:\"v\"}"},
        {{{"b", "2"}, {"a", "1"}}, "{a:\"1\",b:\"2\"}"},
        // Byte-wise key order: upper case first, a prefix before its extensions.
        {{{"admin_status", "1"}, {"VlanInfo_serial", "x"}}, "{VlanInfo_serial:\"x\",admin_status:\"1\"}"},
        {{{"link_rate", "1000"}, {"link", "up"}}, "{link:\"up\",link_rate:\"1000\"}"},
        {{{"q", "say \"hi\"\\\n"}, {"e", ""}}, "{e:\"\",q:\"say \"hi\"\\\n\"}"},
    };
    for (const auto &[fields, json] : cases)
        EXPECT_EQ(HttpReply::toJson(fields), json);
}

// Only numbers that never get a processor are used here: a registered one
// would reach the device.
TEST(RequestProcess, UnknownCommandGetsNotFound)
{
    const char *requests[] = {
        "", "action=0", "cmd_id=0", "cmd_id=-1&action=1", "cmd_id=7", "cmd_id=9", "cmd_id=12", "cmd_id=13",
        "cmd_id=15", "cmd_id=29", "cmd_id=31", "cmd_id=32", "cmd_id=34", "cmd_idX7", "cmd_id=abc",
        "cmd_id=99999999999", "x=1&cmd_id=+31zz",
    };
    for (const char *request : requests) {
        Output out;
        RequestProcess(out.stream).handleRequest(request);
        EXPECT_EQ(out.text(), NOT_FOUND) << request;
    }
}

}  // namespace
