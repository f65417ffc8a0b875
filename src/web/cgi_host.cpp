// The CGI host: reads one request, lets the login gate decide on it, stores
// an upload (multipart form data) and hands the request to the dispatcher.
#include "web/cgi_host.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "config/resource_lock.h"
#include "web/firmware_image.h"
#include "web/http_reply.h"
#include "web/request_process.h"
#include "web/web_data_comm.h"
#include "web/web_gate.h"

namespace {

// A request body that is not an upload holds key=value pairs: anything
// larger is refused unread.
constexpr unsigned long MAX_REQUEST_BODY = 64 * 1024;
// The form fields and part headers around an uploaded file.
constexpr unsigned long long UPLOAD_OVERHEAD = 64 * 1024;
// Commands that consume the upload file.
constexpr int CONFIG_TRANSFER = 10;
constexpr int UPGRADE = 21;

}  // namespace

int runCgiHost()
{
    WebDataComm *input = WebDataComm::getInstance();
    ContentKind kind = ContentKind::OTHER;
    const bool upload = input->getContentType(kind) == 0 && kind == ContentKind::MULTIPART;
    unsigned long length = 0;
    RequestMethod method = RequestMethod::NONE;
    input->probeMethod(length, method);

    std::string request;
    if (upload) {
        // The page names the command in the URL; the body is the file.
        const char *query = std::getenv("QUERY_STRING");
        request = query ? query : "";
    } else if (method == RequestMethod::POST && length > MAX_REQUEST_BODY) {
        HttpReply().sendError(413, "request too large");
        return 0;
    } else if (input->readRequest(request) != 0) {
        request.clear();
    }

    WebGate gate;
    if (!gate.admit(request))
        return 0;
    // No file the unit takes is larger than its largest flash partition, and
    // no upload body larger than the input layer stores.
    const unsigned long long uploadLimit =
        std::min<unsigned long long>(largestFlashPartition() + UPLOAD_OVERHEAD, WebDataComm::MAX_UPLOAD_SIZE);
    if (upload && length > uploadLimit) {
        HttpReply().sendError(413, "request too large");
        return 0;
    }
    const int cmdId = RequestParams(request).cmdId;
    const bool takesFile = cmdId == CONFIG_TRANSFER || cmdId == UPGRADE;
    // Only the commands that consume the upload file have one stored.
    if (upload && !takesFile) {
        HttpReply().sendError(400, "upload not expected");
        return 0;
    }
    // One request at a time owns the upload file, from storing it to the
    // command that consumes it.
    std::unique_ptr<ResourceLock> uploadLock;
    if (takesFile)
        uploadLock = std::make_unique<ResourceLock>(UPLOAD_SAVE_PATH);
    if (upload && input->saveUpload(UPLOAD_SAVE_PATH) != 0) {
        HttpReply().sendError(400, "upload could not be stored");
        return 0;
    }
    RequestProcess process(STDOUT_FILENO, gate.enabled() ? &gate : nullptr);
    process.handleRequest(request);
    return 0;
}
