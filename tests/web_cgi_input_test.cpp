#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "web/web_data_comm.h"

// Sets the CGI variables, unsetting those given as null.
static void setCgi(const char *method, const char *contentLength, const char *query, const char *contentType = nullptr)
{
    const std::pair<const char *, const char *> variables[] = {{"REQUEST_METHOD", method},
                                                               {"CONTENT_LENGTH", contentLength},
                                                               {"QUERY_STRING", query},
                                                               {"CONTENT_TYPE", contentType}};
    for (const auto &[name, value] : variables)
        value ? setenv(name, value, 1) : unsetenv(name);
}

// The query text for GET, CONTENT_LENGTH bytes of the body for POST (up to
// a NUL or the end of input), nothing for another method; the kind of body.
TEST(CgiInput, ReadRequestAndContentType)
{
    const std::tuple<const char *, const char *, const char *, std::string, int, const char *> cases[] = {
        // method, CONTENT_LENGTH, QUERY_STRING, body, result, text
        {"GET", nullptr, "cmd_id=2&action=0", "ignored", 0, "cmd_id=2&action=0"},
        {"GET", nullptr, nullptr, "", 0, ""},
        {"POST", "17", nullptr, "cmd_id=2&action=0", 0, "cmd_id=2&action=0"},
        {"POST", " 8abc", nullptr, "cmd_id=2&action=0", 0, "cmd_id=2"},
        {"POST", "100000", nullptr, "cmd_id=2&action=0", 0, "cmd_id=2&action=0"},
        {"POST", "junk", nullptr, "cmd_id=2", 0, ""},
        {"POST", "-1", nullptr, "cmd_id=2", 0, "cmd_id=2"},
        {"POST", "18", nullptr, std::string("cmd_id=2\0&action=1", 18), 0, "cmd_id=2"},
        {"get", "8", "a=1", "cmd_id=2", 0, "unchanged"},
        {nullptr, "8", "a=1", "cmd_id=2", -1, "unchanged"},
    };
    for (const auto &[method, contentLength, query, body, result, expected] : cases) {
        setCgi(method, contentLength, query);
        FILE *input = fmemopen(const_cast<char *>(body.data()), body.size() + 1, "r");
        std::string text = "unchanged";
        EXPECT_EQ(WebDataComm::getInstance()->readRequest(text, input), result);
        EXPECT_EQ(text, expected) << (method ? method : "unset") << " " << body;
        std::fclose(input);
    }

    // Only a type from "multipart/form-d" on is an upload.
    const ContentKind untouched = static_cast<ContentKind>(9);
    const std::tuple<const char *, int, ContentKind> types[] = {
        {nullptr, -1, untouched},
        {"multipart/form-dXYZ", 0, ContentKind::MULTIPART},
        {"multipart/form-", 0, ContentKind::OTHER},
        {"", 0, ContentKind::OTHER},
    };
    for (const auto &[contentType, result, expected] : types) {
        setCgi(nullptr, nullptr, nullptr, contentType);
        ContentKind kind = untouched;
        EXPECT_EQ(WebDataComm::getInstance()->getContentType(kind), result);
        EXPECT_EQ(kind, expected) << (contentType ? contentType : "unset");
    }
}
