#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "web/web_data_comm.h"

namespace {

// Sets the CGI variables, unsetting those given as null.
void setCgi(const char *method, const char *contentLength, const char *query, const char *contentType = nullptr)
{
    const std::pair<const char *, const char *> variables[] = {{"REQUEST_METHOD", method},
                                                               {"CONTENT_LENGTH", contentLength},
                                                               {"QUERY_STRING", query},
                                                               {"CONTENT_TYPE", contentType}};
    for (const auto &[name, value] : variables)
        value ? setenv(name, value, 1) : unsetenv(name);
}

// The query text for GET, CONTENT_LENGTH bytes of the body for POST (up to
// a NUL or the end of input), nothing for another method.
TEST(CgiInput, ReadRequest)
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
}

// An endless body of 'a' bytes that costs nothing to produce.
ssize_t readEndless(void *, char *buffer, size_t size)
{
    std::memset(buffer, 'a', size);
    return static_cast<ssize_t>(size);
}

TEST(CgiInput, BodyLargerThanMemoryFails)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address space limit does not suit the sanitizer";
#endif
    setCgi("POST", "4000000000", nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit = {256u << 20, 256u << 20};
        setrlimit(RLIMIT_AS, &limit);
        // User-mode emulation accepts the limit but leaves it to the host.
        rlimit applied = {};
        if (getrlimit(RLIMIT_AS, &applied) != 0 || applied.rlim_cur != limit.rlim_cur)
            _exit(2);
        FILE *input = fopencookie(nullptr, "r", cookie_io_functions_t{readEndless, nullptr, nullptr, nullptr});
        std::string text = "unchanged";
        const int result = WebDataComm::getInstance()->readRequest(text, input);
        _exit(result == -1 && text == "unchanged" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "the address space limit is not applied here";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST(CgiInput, ContentType)
{
    const ContentKind untouched = static_cast<ContentKind>(9);
    const std::tuple<const char *, int, ContentKind> cases[] = {
        {nullptr, -1, untouched},
        {"multipart/form-dXYZ", 0, ContentKind::MULTIPART},
        {"multipart/form-", 0, ContentKind::OTHER},
        {"", 0, ContentKind::OTHER},
    };
    for (const auto &[contentType, result, expected] : cases) {
        setCgi(nullptr, nullptr, nullptr, contentType);
        ContentKind kind = untouched;
        EXPECT_EQ(WebDataComm::getInstance()->getContentType(kind), result);
        EXPECT_EQ(kind, expected) << (contentType ? contentType : "unset");
    }
}

}  // namespace
