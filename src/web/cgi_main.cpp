// The CGI host: reads one request (storing an upload first when the body is
// multipart form data) and hands it to the dispatcher. Exit status is always 0.
#include <cstdlib>
#include <string>

#include "web/http_reply.h"
#include "web/request_process.h"
#include "web/web_data_comm.h"

int main()
{
    WebDataComm *input = WebDataComm::getInstance();
    std::string request;
    ContentKind kind = ContentKind::OTHER;
    if (input->getContentType(kind) == 0 && kind == ContentKind::MULTIPART) {
        if (input->saveUpload(UPLOAD_SAVE_PATH) != 0) {
            HttpReply().sendError(400, "upload could not be stored");
            return 0;
        }
        // The page names the command in the URL; the body was the file.
        const char *query = std::getenv("QUERY_STRING");
        request = query ? query : "";
    } else if (input->readRequest(request) != 0) {
        request.clear();
    }
    RequestProcess process;
    process.handleRequest(request);
    return 0;
}
