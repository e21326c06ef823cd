#include "http_request_reader.h"

#include <algorithm>

namespace sealwise::mailservice {
namespace {

constexpr std::size_t kMaxChunkLine = 1024;  // size, extensions and CR LF

bool IsTokenCharacter(char c) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenCharacter);
}

bool IsTargetCharacter(char c) { return c > 0x20 && c < 0x7F; }

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A decimal number of at most 18 digits (no sign, no blanks); -1 for anything else.
long long ParseDecimal(std::string_view digits) {
    if (digits.empty() || digits.size() > 18) return -1;
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A chunk size in hexadecimal, at most 15 digits; -1 for anything else.
long long ParseChunkSize(std::string_view digits) {
    if (digits.empty() || digits.size() > 15) return -1;
    long long value = 0;
    for (char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

std::string_view HttpRequest::Header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (key == name) return value;
    }
    return {};
}

void HttpRequestReader::Fail(int status) {
    state_ = State::kFailed;
    failureStatus_ = status;
    line_.clear();
    line_.shrink_to_fit();
    request_.body.clear();
    request_.body.shrink_to_fit();
}

HttpRequestReader::State HttpRequestReader::Feed(std::string_view bytes) {
    while (state_ == State::kNeedMore && !bytes.empty()) {
        std::size_t used = 0;
        bool lineDone = false;
        switch (phase_) {
            case Phase::kHead:
                used = FeedHead(bytes);
                break;
            case Phase::kBody: {
                used = std::min(bodyRemaining_, bytes.size());
                request_.body.append(bytes.substr(0, used));
                bodyRemaining_ -= used;
                if (bodyRemaining_ == 0) phase_ = Phase::kDone;
                break;
            }
            case Phase::kChunkSize:
                used = FeedLine(bytes, kMaxChunkLine, lineDone);
                if (lineDone) ChunkSizeLine();
                break;
            case Phase::kChunkData:
                used = std::min(bodyRemaining_, bytes.size());
                request_.body.append(bytes.substr(0, used));
                bodyRemaining_ -= used;
                if (bodyRemaining_ == 0) phase_ = Phase::kChunkDataEnd;
                break;
            case Phase::kChunkDataEnd:
                used = FeedLine(bytes, 2, lineDone);
                if (lineDone && !line_.empty()) Fail(400);
                if (lineDone && state_ == State::kNeedMore) phase_ = Phase::kChunkSize;
                if (lineDone) line_.clear();
                break;
            case Phase::kTrailers:
                used = FeedLine(bytes, limits_.maxHeadBytes, lineDone);
                if (state_ != State::kNeedMore) break;
                trailerBytes_ += used;
                if (trailerBytes_ > limits_.maxHeadBytes) {
                    Fail(431);
                } else if (lineDone) {
                    if (line_.empty()) phase_ = Phase::kDone;
                    line_.clear();
                }
                break;
            case Phase::kDone:
                break;
        }
        if (state_ == State::kNeedMore && phase_ == Phase::kDone) state_ = State::kComplete;
        bytes.remove_prefix(std::min(used, bytes.size()));
    }
    return state_;
}

std::size_t HttpRequestReader::FeedHead(std::string_view bytes) {
    const std::size_t searchFrom = line_.size() >= 3 ? line_.size() - 3 : 0;
    const std::size_t room =
        limits_.maxHeadBytes + 4 - std::min(line_.size(), limits_.maxHeadBytes);
    const std::string_view taken = bytes.substr(0, room);
    line_.append(taken);
    const std::size_t end = line_.find("\r\n\r\n", searchFrom);
    if (end == std::string::npos) {
        if (line_.size() > limits_.maxHeadBytes) Fail(431);
        return taken.size();
    }
    const std::size_t beyond = line_.size() - (end + 4);
    line_.resize(end + 2);  // keep the CR LF of the last header line
    ParseHead();
    line_.clear();
    return taken.size() - beyond;
}

std::size_t HttpRequestReader::FeedLine(std::string_view bytes, std::size_t maxLine,
                                        bool& lineDone) {
    const std::size_t newline = bytes.find('\n');
    const std::size_t used = newline == std::string_view::npos ? bytes.size() : newline + 1;
    line_.append(bytes.substr(0, std::min(used, maxLine + 2)));
    if (line_.size() > maxLine + 1 && line_.back() != '\n') {
        Fail(400);
        return used;
    }
    if (newline == std::string_view::npos) return used;
    if (line_.size() < 2 || line_[line_.size() - 2] != '\r') {
        Fail(400);
        return used;
    }
    line_.resize(line_.size() - 2);
    lineDone = true;
    return used;
}

void HttpRequestReader::ChunkSizeLine() {
    const std::string_view line = line_;
    const long long size = ParseChunkSize(Trim(line.substr(0, line.find(';'))));
    line_.clear();
    if (size < 0) return Fail(400);
    if (size == 0) {
        phase_ = Phase::kTrailers;
        return;
    }
    if (static_cast<unsigned long long>(size) > limits_.maxBodyBytes - request_.body.size()) {
        return Fail(413);
    }
    bodyRemaining_ = static_cast<std::size_t>(size);
    phase_ = Phase::kChunkData;
}

void HttpRequestReader::ParseHead() {
    std::string_view head = line_;
    const std::size_t firstEnd = head.find("\r\n");
    const std::string_view requestLine = head.substr(0, firstEnd);
    head.remove_prefix(firstEnd + 2);

    const std::size_t space1 = requestLine.find(' ');
    const std::size_t space2 = requestLine.find(' ', space1 + 1);
    if (space1 == std::string_view::npos || space2 == std::string_view::npos) return Fail(400);
    const std::string_view method = requestLine.substr(0, space1);
    const std::string_view target = requestLine.substr(space1 + 1, space2 - space1 - 1);
    const std::string_view version = requestLine.substr(space2 + 1);
    if (!IsToken(method) || target.empty() || target.front() != '/' ||
        !std::all_of(target.begin(), target.end(), IsTargetCharacter)) {
        return Fail(400);
    }
    if (version != "HTTP/1.1" && version != "HTTP/1.0") {
        return Fail(version.substr(0, 5) == "HTTP/" ? 505 : 400);
    }
    request_.method = std::string(method);
    request_.target = std::string(target);

    long long contentLength = -1;
    bool chunked = false, otherCoding = false;
    while (!head.empty()) {
        const std::size_t end = head.find("\r\n");
        const std::string_view line = head.substr(0, end);
        head.remove_prefix(end + 2);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !IsToken(line.substr(0, colon))) return Fail(400);
        std::string name = Lower(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (name == "content-length") {
            const long long length = ParseDecimal(value);
            if (length < 0 || (contentLength >= 0 && length != contentLength)) return Fail(400);
            contentLength = length;
        } else if (name == "transfer-encoding") {
            (Lower(value) == "chunked" && !chunked ? chunked : otherCoding) = true;
        }
        request_.headers.emplace_back(std::move(name), std::string(value));
    }
    // A request with both framings could be read differently by a proxy in front: refuse it.
    if (otherCoding) return Fail(501);
    if (chunked && contentLength >= 0) return Fail(400);
    if (chunked) {
        phase_ = Phase::kChunkSize;
    } else if (contentLength > 0) {
        if (static_cast<unsigned long long>(contentLength) > limits_.maxBodyBytes) return Fail(413);
        bodyRemaining_ = static_cast<std::size_t>(contentLength);
        phase_ = Phase::kBody;
    } else if (contentLength < 0 && request_.method == "POST") {
        return Fail(411);
    } else {
        phase_ = Phase::kDone;
    }
}

}  // namespace sealwise::mailservice
