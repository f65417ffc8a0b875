// Feeds arbitrary bytes as a multipart POST body to the upload extraction,
// which stores the file part at a temporary path. What it stores is one run of
// the body's bytes, unchanged and in order; the reported file name is
// "/var/" and a NUL-terminated name that fits its buffer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "web/web_data_comm.h"

static std::string savePath;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    savePath = scratchFolder() + "/recFile";
    setenv("REQUEST_METHOD", "POST", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string body(reinterpret_cast<const char *>(data), size);
    setenv("CONTENT_LENGTH", std::to_string(size).c_str(), 1);
    FILE *input = fmemopen(const_cast<char *>(body.data()), size ? size : 1, "rb");

    WebDataComm *upload = WebDataComm::getInstance();
    std::memset(upload->uploadName, 'x', sizeof upload->uploadName);
    const int result = upload->saveUpload(savePath, input);
    std::fclose(input);

    if (size == 0) {
        if (result != -1)
            std::abort();
        return 0;
    }
    std::ostringstream stored;
    stored << std::ifstream(savePath, std::ios::binary).rdbuf();
    if (body.find(stored.str()) == std::string::npos)
        std::abort();
    if (upload->uploadName[0] != 'x' && (std::strncmp(upload->uploadName, "/var/", 5) != 0 ||
                                         memchr(upload->uploadName, '\0', sizeof upload->uploadName) == nullptr))
        std::abort();
    return 0;
}
