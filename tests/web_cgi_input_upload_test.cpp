#include <unistd.h>

#include <cstdio>

#include "unit_support.h"
#include "web/web_data_comm.h"

const std::string BOUNDARY = "------WebKitFormBoundary7MA4YWxkTrZu0gW";
const std::size_t CHUNK = WebDataComm::CHUNK_SIZE;

// One file part followed by a form field, as a browser sends it.
static std::string multipart(const std::string &data, const std::string &boundary = BOUNDARY,
                             const std::string &filename = "fw.bin", const std::string &before = "")
{
    return boundary + "\r\n" + before + "Content-Disposition: form-data; name=\"file\"; filename=\"" + filename +
           "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + data + "\r\n" + boundary +
           "\r\nContent-Disposition: form-data; name=\"submit\"\r\n\r\nUpload\r\n" + boundary + "--\r\n";
}

// Bytes before the file data.
static std::size_t headerLength(const std::string &boundary = BOUNDARY)
{
    return multipart("", boundary).find("\r\n\r\n") + 4;
}

// File data without CR (NUL bytes included), so only the delimiter ends it.
static std::string filler(std::size_t length)
{
    std::string data(length, 'x');
    for (std::size_t i = 0; i < length; ++i)
        data[i] = static_cast<char>(i % 251 == 13 ? 0 : 'a' + i % 26);
    return data;
}

class Upload : public ::testing::Test {
protected:
    void SetUp() override { setenv("REQUEST_METHOD", "POST", 1); }
    void TearDown() override { std::remove(savePath.c_str()); }

    // Uploads `body` announcing `contentLength` (its size by default).
    int upload(const std::string &body, std::string contentLength = "")
    {
        if (contentLength.empty())
            contentLength = std::to_string(body.size());
        setenv("CONTENT_LENGTH", contentLength.c_str(), 1);
        FILE *input = fmemopen(const_cast<char *>(body.data()), body.size(), "r");
        const int result = WebDataComm::getInstance()->saveUpload(savePath, input);
        std::fclose(input);
        return result;
    }
    std::string saved() const { return readFile(savePath); }

    std::string savePath = testing::TempDir() + "upload_test_recFile";
};

// The delimiter (CR LF boundary), and data like its start (CR, CR LF, part of
// a delimiter) followed by more data or by the delimiter, begin at every
// offset from before a chunk end to just after it, for short, typical and
// longest boundary lines: the file holds its data exactly.
TEST_F(Upload, DelimiterAndLookAlikesAcrossChunkEnds)
{
    for (const std::string &boundary : {std::string("--b"), BOUNDARY, "--" + std::string(95, 'q')}) {
        const std::string decoys[] = {"",
                                      "\r",
                                      "\r\n",
                                      "\r\r\n",
                                      "\r\n\r\n",
                                      "\r\n-",
                                      "\r\n" + boundary.substr(0, boundary.size() / 2),
                                      "\r\n" + boundary.substr(0, boundary.size() - 1) + "X",
                                      "\r\r\n" + boundary.substr(1)};
        for (std::size_t end : {CHUNK, 2 * CHUNK}) {
            for (std::size_t offset = end - boundary.size() - 6; offset <= end + 2; ++offset) {
                for (const std::string &decoy : decoys) {
                    const std::string data = filler(offset - headerLength(boundary)) + decoy;
                    for (const std::string &sent : {data, data + filler(300)}) {
                        ASSERT_EQ(upload(multipart(sent, boundary)), 0);
                        EXPECT_EQ(saved(), sent)
                            << boundary.size() << "-byte boundary, " << decoy.size() << "-byte decoy at " << offset;
                    }
                }
            }
        }
    }
}

// A field before the file part is skipped; its length moves the header
// patterns across the first chunk end. The name is what follows the last '/'
// or '\\', under /var/.
TEST_F(Upload, FieldBeforeFilePart)
{
    for (std::size_t length = 700; length <= 1000; ++length) {
        const std::string field = "Content-Disposition: form-data; name=\"note\"\r\n\r\n" + std::string(length, 'v') +
                                  "\r\n" + BOUNDARY + "\r\n";
        ASSERT_EQ(upload(multipart("payload\r\nline two", BOUNDARY, "C:\\a.bin", field)), 0);
        EXPECT_EQ(saved(), "payload\r\nline two") << length;
        EXPECT_EQ(std::string(WebDataComm::getInstance()->uploadName), "/var/a.bin") << length;
    }
    ASSERT_EQ(upload(multipart("data", BOUNDARY, "C:\\" + std::string(300, 'm') + "/fw\\a.bin")), 0);
    EXPECT_EQ(std::string(WebDataComm::getInstance()->uploadName), "/var/a.bin");
}

// A body that ends within its announced length keeps the data before the
// end. A failed upload leaves no file behind, so that no part of one is taken
// for the whole: a body shorter than announced, a write or the final flush
// failing.
TEST_F(Upload, UnfinishedBodiesLimitsAndFailures)
{
    const std::string start = multipart("").substr(0, headerLength()), data = filler(2500);
    const std::size_t held = CHUNK - start.size() - 3;  // "\r\n-" ends the first chunk
    const std::pair<std::string, std::string> unfinished[] = {
        {start + data, data},
        {start + data.substr(0, held) + "\r\n-", data.substr(0, held)},  // held bytes are dropped
        {start + data + "\r\n" + BOUNDARY.substr(0, 9), data},
        {BOUNDARY + "\r\n", ""},
        {BOUNDARY + "\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n" + BOUNDARY + "--\r\n", ""},
    };
    for (const auto &[sent, file] : unfinished) {
        ASSERT_EQ(upload(sent), 0);
        EXPECT_EQ(saved(), file) << sent.size();
    }

    const std::string body = multipart(filler(3000));
    EXPECT_EQ(upload(body.substr(0, 2 * CHUNK + 100), std::to_string(body.size())), -1);
    EXPECT_NE(access(savePath.c_str(), F_OK), 0);
    const std::string padded = multipart("abc") + std::string(2000, 'e');
    EXPECT_EQ(upload(padded, std::to_string(padded.size() + 1)), -1);
    EXPECT_NE(access(savePath.c_str(), F_OK), 0);
    for (const std::size_t size : {700, 20000}) {
        const FileSizeLimit full(500);
        EXPECT_EQ(upload(multipart(filler(size))), -1) << size;
        EXPECT_NE(access(savePath.c_str(), F_OK), 0) << size;
    }

    const std::string longest = "--" + std::string(95, 'w');
    EXPECT_EQ(upload(multipart("abc", longest)), 0);
    EXPECT_EQ(upload(multipart("abc", longest + "w")), -1);
    EXPECT_EQ(upload(std::string(5000, '-')), -1);
    for (const char *length : {"0", "-5", "junk", "16777217"})
        EXPECT_EQ(upload(body, length), -1) << length;
    const std::string largest = filler(WebDataComm::MAX_UPLOAD_SIZE - multipart("").size());
    ASSERT_EQ(upload(multipart(largest)), 0);
    EXPECT_TRUE(saved() == largest);

    savePath = testing::TempDir() + "missing/recFile";
    EXPECT_EQ(upload(body), -1);
    unsetenv("REQUEST_METHOD");
    EXPECT_EQ(upload(body), -1);
}
