#include "web/web_data_comm.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "log/log.h"

namespace {

// A request body is gathered in pieces, so a CONTENT_LENGTH larger than the
// body sent costs no memory up front.
constexpr std::size_t BODY_PIECE_SIZE = 65536;
// The longest boundary line whose delimiter (CR LF + line) fits the held
// bytes buffer with its terminating NUL.
constexpr std::size_t MAX_BOUNDARY_LENGTH = WebDataComm::BOUNDARY_BUFFER_SIZE - 3;
// "/var/" and the NUL leave this many characters of an uploaded file's name.
constexpr std::size_t MAX_NAME_LENGTH = WebDataComm::UPLOAD_NAME_SIZE - 6;
constexpr char UPLOAD_NAME_DIR[] = "/var/";
constexpr char FILENAME_KEY[] = "filename=";
constexpr char HEADER_END_MARK[] = "\r\n\r\n";

// Reads up to `length` bytes; the text stops at the first NUL.
int readBody(FILE *input, unsigned long length, std::string &body)
{
    try {
        std::vector<char> piece(BODY_PIECE_SIZE);
        unsigned long remaining = length;
        while (remaining > 0) {
            const std::size_t wanted = remaining < BODY_PIECE_SIZE ? remaining : BODY_PIECE_SIZE;
            const std::size_t got = std::fread(piece.data(), 1, wanted, input);
            const char *nul = static_cast<const char *>(std::memchr(piece.data(), '\0', got));
            if (nul != nullptr) {
                body.append(piece.data(), nul - piece.data());
                break;
            }
            body.append(piece.data(), got);
            if (got < wanted)
                break;
            remaining -= got;
        }
    } catch (const std::bad_alloc &) {
        return -1;
    } catch (const std::length_error &) {
        // On a 32-bit unit the text's size limit comes before memory runs out.
        return -1;
    }
    return 0;
}

// Picks the first file part out of a multipart body fed chunk by chunk.
// The header patterns are matched byte by byte, so they are found wherever
// the chunk ends fall; the closing delimiter is compared within the chunk
// and, near a chunk's end, through the held bytes.
class UploadExtractor {
public:
    UploadExtractor(FILE *file, char *uploadName)
        : file(file), uploadName(uploadName), boundary(WebDataComm::BOUNDARY_BUFFER_SIZE),
          held(WebDataComm::BOUNDARY_BUFFER_SIZE)
    {
    }

    // -1 when the boundary line does not fit its buffer or a write fails.
    int feed(const char *chunk, std::size_t count);

private:
    enum class State { BOUNDARY, FILENAME, NAME, NAME_END, HEADER_END, DATA, HELD, DRAIN };

    int collectBoundary(char byte);
    void collectName(char byte);
    bool isDelimiter(const char *bytes) const;
    // False when the file did not take all the bytes.
    bool store(const char *bytes, std::size_t count) { return std::fwrite(bytes, 1, count, file) == count; }

    FILE *file;
    char *uploadName;
    State state = State::BOUNDARY;
    std::vector<char> boundary;
    std::size_t boundaryLength = 0;
    std::vector<char> held;
    std::size_t heldLength = 0;
    std::size_t matched = 0;  // bytes of FILENAME_KEY or HEADER_END_MARK seen
    std::string name;
};

int UploadExtractor::collectBoundary(char byte)
{
    if (byte == '\n' && boundaryLength > 0 && boundary[boundaryLength - 1] == '\r') {
        --boundaryLength;
        state = State::FILENAME;
        return 0;
    }
    if (boundaryLength == MAX_BOUNDARY_LENGTH + 1)
        return -1;
    boundary[boundaryLength++] = byte;
    return 0;
}

void UploadExtractor::collectName(char byte)
{
    if (byte == '\r') {
        std::snprintf(uploadName, WebDataComm::UPLOAD_NAME_SIZE, "%s%s", UPLOAD_NAME_DIR, name.c_str());
        logTrace("upgrade file name : %s ", uploadName);
        state = State::NAME_END;
    } else if (byte == '\\' || byte == '/') {
        name.clear();
    } else if (byte != '"' && name.size() < MAX_NAME_LENGTH) {
        name += byte;
    }
}

// `bytes` holds at least boundaryLength + 2 bytes.
bool UploadExtractor::isDelimiter(const char *bytes) const
{
    return bytes[0] == '\r' && bytes[1] == '\n' && std::memcmp(bytes + 2, boundary.data(), boundaryLength) == 0;
}

int UploadExtractor::feed(const char *chunk, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const char byte = chunk[i];
        switch (state) {
        case State::BOUNDARY:
            if (collectBoundary(byte) != 0)
                return -1;
            break;
        case State::FILENAME:
            matched = byte == FILENAME_KEY[matched] ? matched + 1 : (byte == FILENAME_KEY[0] ? 1 : 0);
            if (matched == sizeof FILENAME_KEY - 1) {
                matched = 0;
                name.clear();
                state = State::NAME;
            }
            break;
        case State::NAME:
            collectName(byte);
            break;
        case State::NAME_END:
            state = State::HEADER_END;
            break;
        case State::HEADER_END:
            matched = byte == HEADER_END_MARK[matched] ? matched + 1 : (byte == '\r' ? 1 : 0);
            if (matched == sizeof HEADER_END_MARK - 1)
                state = State::DATA;
            break;
        case State::DATA: {
            if (byte != '\r') {
                // Write the whole run up to the next CR at once.
                const void *cr = std::memchr(chunk + i, '\r', count - i);
                const std::size_t run = cr ? static_cast<const char *>(cr) - (chunk + i) : count - i;
                if (!store(chunk + i, run))
                    return -1;
                i += run - 1;
            } else if (count - i < boundaryLength + 2) {
                held[0] = byte;
                heldLength = 1;
                state = State::HELD;
            } else if (isDelimiter(chunk + i)) {
                state = State::DRAIN;
            } else if (!store(&byte, 1)) {
                return -1;
            }
            break;
        }
        case State::HELD:
            if (byte == '\r') {
                if (!store(held.data(), heldLength))
                    return -1;
                heldLength = 1;
                break;
            }
            held[heldLength++] = byte;
            if (heldLength == boundaryLength + 2) {
                if (isDelimiter(held.data()))
                    state = State::DRAIN;
                else if (store(held.data(), heldLength))
                    state = State::DATA;
                else
                    return -1;
                heldLength = 0;
            }
            break;
        case State::DRAIN:
            return 0;
        }
    }
    return 0;
}

}  // namespace

WebDataComm *WebDataComm::getInstance()
{
    static WebDataComm *instance = new WebDataComm();
    logTrace("WebDataComm  getInstance is starting !");
    return instance;
}

int WebDataComm::probeMethod(unsigned long &length, RequestMethod &method)
{
    const char *requestMethod = std::getenv("REQUEST_METHOD");
    if (requestMethod == nullptr) {
        logTrace("get REQUEST_METHOD is return NUll  ");
        return -1;
    }
    if (std::strcmp(requestMethod, "POST") == 0) {
        method = RequestMethod::POST;
        if (const char *contentLength = std::getenv("CONTENT_LENGTH"))
            length = static_cast<unsigned long>(std::strtol(contentLength, nullptr, 10));
    } else if (std::strcmp(requestMethod, "GET") == 0) {
        method = RequestMethod::GET;
        const char *query = std::getenv("QUERY_STRING");
        length = query ? std::strlen(query) : 0;
    }
    return 0;
}

int WebDataComm::readRequestText(std::string &text, FILE *input, bool traced)
{
    unsigned long length = 0;
    RequestMethod method = RequestMethod::NONE;
    if (probeMethod(length, method) != 0)
        return -1;
    if (method == RequestMethod::POST) {
        std::string body;
        if (readBody(input, length, body) != 0)
            return -1;
        text.swap(body);
        if (traced)
            logTrace("  method = post  ");
    } else if (method == RequestMethod::GET) {
        const char *query = std::getenv("QUERY_STRING");
        text = query ? query : "";
        if (traced)
            logTrace("  method = get  ");
    }
    return 0;
}

int WebDataComm::readRequest(std::string &text, FILE *input) { return readRequestText(text, input, true); }

int WebDataComm::readRequestQuiet(std::string &text, FILE *input) { return readRequestText(text, input, false); }

int WebDataComm::getContentType(ContentKind &kind)
{
    const char *contentType = std::getenv("CONTENT_TYPE");
    if (contentType == nullptr) {
        logTrace("content type is Null ");
        return -1;
    }
    // Only the first 16 characters count: "multipart/form-d".
    kind = std::strncmp(contentType, "multipart/form-data", 16) == 0 ? ContentKind::MULTIPART : ContentKind::OTHER;
    logTrace("content type is %d ", static_cast<int>(kind));
    return 0;
}

int WebDataComm::saveUpload(const std::string &savePath, FILE *input)
{
    unsigned long length = 0;
    RequestMethod method = RequestMethod::NONE;
    probeMethod(length, method);
    if (length == 0 || length > MAX_UPLOAD_SIZE)
        return -1;
    // Created or truncated, for the unit's own processes only; a link planted
    // at the save path is not followed.
    const int fd = open(savePath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    FILE *file = fdopen(fd, "w+");
    if (file == nullptr) {
        close(fd);
        unlink(savePath.c_str());
        return -1;
    }

    int result = 0;
    {
        UploadExtractor extractor(file, uploadName);
        std::vector<char> chunk(CHUNK_SIZE);
        unsigned long remaining = length;
        while (remaining > 0) {
            const std::size_t wanted = remaining < CHUNK_SIZE ? remaining : CHUNK_SIZE;
            if (std::fread(chunk.data(), 1, wanted, input) < wanted || extractor.feed(chunk.data(), wanted) != 0) {
                result = -1;
                break;
            }
            remaining -= wanted;
        }
    }
    // Only an upload that reached the disk whole is kept: a part of a
    // firmware image must never be taken for one.
    if (std::fflush(file) != 0 || fsync(fd) != 0)
        result = -1;
    if (std::fclose(file) != 0)
        result = -1;
    if (result != 0)
        unlink(savePath.c_str());
    return result;
}
