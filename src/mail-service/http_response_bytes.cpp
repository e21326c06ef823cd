#include "http_response_bytes.h"

namespace sealwise::mailservice {

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 411:
            return "Length Required";
        case 413:
            return "Content Too Large";
        case 415:
            return "Unsupported Media Type";
        case 429:
            return "Too Many Requests";
        case 431:
            return "Request Header Fields Too Large";
        case 501:
            return "Not Implemented";
        case 502:
            return "Bad Gateway";
        case 503:
            return "Service Unavailable";
        case 505:
            return "HTTP Version Not Supported";
        default:
            return "Error";
    }
}

std::string SerializeResponse(const HttpResponse& response) {
    return "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) +
           "\r\nContent-Type: text/plain; charset=windows-1252\r\nContent-Length: " +
           std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n" + response.body;
}

}  // namespace sealwise::mailservice
