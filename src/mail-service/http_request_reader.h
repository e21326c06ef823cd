#pragma once
// Reads one HTTP/1.1 request from bytes as they arrive, within fixed bounds: the head, and the
// body whether it comes with a Content-Length or chunked. Nothing beyond the bounds is ever
// buffered, so a client cannot make the service hold more than one body's worth.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sealwise::mailservice {

struct HttpRequest {
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
    std::string body;  // decoded (without the chunk framing)

    // The value of the first header of that (lower-case) name, empty when there is none.
    std::string_view Header(std::string_view name) const;
};

struct HttpReadLimits {
    std::size_t maxHeadBytes = 16 * 1024;  // request line, headers and chunk trailers
    std::size_t maxBodyBytes = 1024 * 1024;
};

class HttpRequestReader {
  public:
    enum class State { kNeedMore, kComplete, kFailed };

    explicit HttpRequestReader(HttpReadLimits limits) : limits_(limits) {}

    // Takes the next bytes of the connection. Bytes after a complete request are ignored.
    State Feed(std::string_view bytes);

    State state() const { return state_; }
    const HttpRequest& request() const { return request_; }
    // For kFailed: the status to answer (400, 411, 413, 431, 501 or 505).
    int failureStatus() const { return failureStatus_; }
    // Bytes held now (head, body, partial lines): what this request costs in memory.
    std::size_t bufferedBytes() const { return line_.size() + request_.body.size(); }

  private:
    enum class Phase { kHead, kBody, kChunkSize, kChunkData, kChunkDataEnd, kTrailers, kDone };

    void Fail(int status);
    void ParseHead();
    std::size_t FeedHead(std::string_view bytes);
    std::size_t FeedLine(std::string_view bytes, std::size_t maxLine, bool& lineDone);
    void ChunkSizeLine();

    HttpReadLimits limits_;
    State state_ = State::kNeedMore;
    Phase phase_ = Phase::kHead;
    int failureStatus_ = 0;
    HttpRequest request_;
    std::string line_;               // the head while it comes in, then the current line
    std::size_t bodyRemaining_ = 0;  // of the Content-Length, or of the current chunk
    std::size_t trailerBytes_ = 0;
};

}  // namespace sealwise::mailservice
