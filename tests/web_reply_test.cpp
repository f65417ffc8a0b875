// The reply bytes of every command are pinned end to end; here what no
// command shows: the text/html line, an empty map, texts left unescaped, and
// the numbers without a processor.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "web/http_reply.h"
#include "web/request_process.h"

namespace {

// Collects what a reply writer sends.
struct Output {
    FILE *file = std::tmpfile();
    int fd = fileno(file);
    ~Output() { std::fclose(file); }
    std::string text()
    {
        std::string sent(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
        EXPECT_EQ(pread(fd, sent.data(), sent.size(), 0), static_cast<ssize_t>(sent.size()));
        return sent;
    }
};

const char NOT_FOUND[] = "HTTP/1.1 404 processor is not find\nConnection:close\n\n"
                         "<HTML><BODY><p>Error:404 -- processor is not find</p></BODY></HTML>\n";

TEST(HttpReply, ContentTypeAndJson)
{
    Output out;
    std::string type;
    HttpReply(out.fd).printContentType(type);
    EXPECT_EQ(type, "text/html");
    EXPECT_EQ(out.text(), "Content-Type: text/html\r\n");
    EXPECT_EQ(HttpReply::toJson({}), "{}");
    EXPECT_EQ(HttpReply::toJson({{"q", "say \"hi\"\\\n"}, {"e", ""}}), "{e:\"\",q:\"say \"hi\"\\\n\"}");
}

// Only numbers that never get a processor are used here: a registered one
// would reach the device.
TEST(RequestProcess, UnknownCommandGetsNotFound)
{
    for (const char *request : {"", "cmd_id=0", "cmd_id=-1&action=1", "cmd_id=7", "cmd_id=9", "cmd_id=29", "cmd_id=34",
                                "cmd_id=abc", "cmd_id=99999999999", "x=1&cmd_id=+31zz"}) {
        Output out;
        RequestProcess(out.fd).handleRequest(request);
        EXPECT_EQ(out.text(), NOT_FOUND) << request;
    }
}

}  // namespace
