// CGI input: request method and length from the environment, the request
// text (POST body or QUERY_STRING), the content kind, and the file part of a
// multipart upload. Every operation returns 0 on success and -1 on failure.
#ifndef ONU_WEB_WEB_DATA_COMM_H
#define ONU_WEB_WEB_DATA_COMM_H

#include <cstddef>
#include <cstdio>
#include <string>

#include "config/paths.h"

// Methods other than these leave the caller's variable unchanged.
enum class RequestMethod : unsigned char { NONE = 0, POST = 1, GET = 2 };

enum class ContentKind : int { OTHER = 1, MULTIPART = 2 };

class WebDataComm {
public:
    // Uploads must be 1 byte to 16 MiB long.
    static constexpr unsigned long MAX_UPLOAD_SIZE = 16777216;
    // Upload bodies are read in chunks of this size.
    static constexpr std::size_t CHUNK_SIZE = 1024;
    // Holds the boundary line, and the bytes held back while a delimiter is
    // compared; a boundary line may have at most 97 characters.
    static constexpr std::size_t BOUNDARY_BUFFER_SIZE = 100;
    static constexpr std::size_t UPLOAD_NAME_SIZE = 256;

    static WebDataComm *getInstance();

    // POST: length from CONTENT_LENGTH (unchanged when unset); GET: length of
    // QUERY_STRING. -1 when REQUEST_METHOD is unset.
    int probeMethod(unsigned long &length, RequestMethod &method);
    // The POST body from `input` (up to its first NUL) or the GET query text.
    int readRequest(std::string &text, FILE *input = stdin);
    int readRequestQuiet(std::string &text, FILE *input = stdin);
    // MULTIPART when CONTENT_TYPE starts like "multipart/form-data".
    int getContentType(ContentKind &kind);
    // Writes the first file part of the multipart body on `input` to
    // `savePath` and records its name (after "/var/") in uploadName.
    int saveUpload(const std::string &savePath, FILE *input = stdin);

    char uploadName[UPLOAD_NAME_SIZE];

private:
    WebDataComm() = default;
    int readRequestText(std::string &text, FILE *input, bool traced);
};

#endif
