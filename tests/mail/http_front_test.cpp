#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "http_request_reader.h"
#include "rate_limiter.h"
#include "worker_pool.h"

namespace sealwise::mailservice {
namespace {

using State = HttpRequestReader::State;

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

std::string Post(const std::string& extraHeaders, const std::string& body) {
    return "POST /p HTTP/1.1\r\nHost: x\r\n" + extraHeaders + "\r\n" + body;
}

// Feeds raw in pieces of `step` bytes; returns "ok:BODY" or "fail:STATUS" or "more".
std::string Read(const std::string& raw, std::size_t step, std::size_t maxBody = 100) {
    HttpRequestReader reader({256, maxBody});
    for (std::size_t i = 0; i < raw.size() && reader.state() == State::kNeedMore; i += step) {
        reader.Feed(std::string_view(raw).substr(i, step));
    }
    switch (reader.state()) {
        case State::kComplete:
            return "ok:" + reader.request().body;
        case State::kFailed:
            return "fail:" + std::to_string(reader.failureStatus());
        default:
            return "more";
    }
}

TEST(HttpRequestReader, ReadsBodiesWhateverThePieces) {
    const struct {
        std::string raw, expected;
    } cases[] = {
        {Post("Content-Length: 5\r\n", "hello"), "ok:hello"},
        {Post("Content-Length: 5\r\n", "hello+pipelined"), "ok:hello"},
        {Post("Transfer-Encoding: chunked\r\n", "3\r\nabc\r\n2;ext=1\r\nde\r\n0\r\n\r\n"),
         "ok:abcde"},
        {Post("Transfer-Encoding: Chunked\r\n", "A\r\n0123456789\r\n0\r\nT: v\r\n\r\n"),
         "ok:0123456789"},
        {"GET /p HTTP/1.0\r\n\r\n", "ok:"},
        {Post("Content-Length: 0\r\n", ""), "ok:"},
        {Post("Content-Length: 5\r\n", "hel"), "more"},
    };
    for (const auto& c : cases) {
        for (std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{7}, c.raw.size()}) {
            EXPECT_EQ(Read(c.raw, step), c.expected) << c.raw << " in pieces of " << step;
        }
    }
}

TEST(HttpRequestReader, RefusesWithTheRightStatus) {
    const struct {
        std::string raw, expected;
    } cases[] = {
        {Post("Content-Length: 101\r\n", ""), "fail:413"},  // refused before any body byte
        {Post("Transfer-Encoding: chunked\r\n", "65\r\n"), "fail:413"},  // one chunk of 101
        {Post("Transfer-Encoding: chunked\r\n", "32\r\n" + std::string(50, 'a') + "\r\n33\r\n"),
         "fail:413"},  // 50 + 51 in two chunks
        {Post("X: " + std::string(300, 'x') + "\r\n", ""), "fail:431"},
        {Post("Transfer-Encoding: chunked\r\n", "0\r\n" + Repeat("T: 0123456789\r\n", 20)),
         "fail:431"},  // trailers beyond the head bound
        {Post("Content-Length: 1\r\nTransfer-Encoding: chunked\r\n", "0\r\n\r\n"), "fail:400"},
        {Post("Content-Length: 1\r\nContent-Length: 2\r\n", "ab"), "fail:400"},
        {Post("Content-Length: -1\r\n", ""), "fail:400"},
        {Post("Content-Length: 99999999999999999999\r\n", ""), "fail:400"},
        {Post("Transfer-Encoding: gzip\r\n", ""), "fail:501"},
        {Post("Transfer-Encoding: chunked\r\n", "zz\r\n"), "fail:400"},
        {Post("Transfer-Encoding: chunked\r\n", "1\r\nab\r\n"), "fail:400"},  // data overruns
        {Post("Transfer-Encoding: chunked\r\n", "1\nx"), "fail:400"},         // bare LF
        {Post("Transfer-Encoding: chunked\r\n", std::string(2000, '0')), "fail:400"},
        {Post("", ""), "fail:411"},
        {"POST /p HTTP/2.0\r\n\r\n", "fail:505"},
        {"POST p HTTP/1.1\r\n\r\n", "fail:400"},
        {"POST /a b HTTP/1.1\r\n\r\n", "fail:400"},
        {"POST /p HTTP/1.1\r\nBad Header: x\r\n\r\n", "fail:400"},
        {"POST /p HTTP/1.1\r\n folded: x\r\n\r\n", "fail:400"},
    };
    for (const auto& c : cases) {
        for (std::size_t step : {std::size_t{1}, c.raw.size()}) {
            EXPECT_EQ(Read(c.raw, step), c.expected) << c.raw << " in pieces of " << step;
        }
    }
}

TEST(HttpRequestReader, HoldsNoMoreThanItsBounds) {
    // 100 MB offered in 64 KiB pieces: refused after about the body limit, holding nothing.
    HttpRequestReader reader({16 * 1024, 1024 * 1024});
    reader.Feed("POST /p HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n");
    const std::string piece = "10000\r\n" + std::string(0x10000, 'x') + "\r\n";
    std::size_t fed = 0;
    while (reader.state() == State::kNeedMore && fed < 100'000'000) {
        reader.Feed(piece);
        fed += piece.size();
        EXPECT_LE(reader.bufferedBytes(), 1024u * 1024u + 64);
    }
    EXPECT_EQ(reader.state(), State::kFailed);
    EXPECT_EQ(reader.failureStatus(), 413);
    EXPECT_LT(fed, 1100u * 1024u);
    EXPECT_EQ(reader.bufferedBytes(), 0u);
}

TEST(HttpRequestReader, HeadersByLowerCaseName) {
    HttpRequestReader reader({});
    reader.Feed(
        Post("Content-Type: text/plain\r\nContent-Length: 0\r\nX-Forwarded-For:  a, b \r\n", ""));
    ASSERT_EQ(reader.state(), State::kComplete);
    EXPECT_EQ(reader.request().method, "POST");
    EXPECT_EQ(reader.request().target, "/p");
    EXPECT_EQ(reader.request().Header("content-type"), "text/plain");
    EXPECT_EQ(reader.request().Header("x-forwarded-for"), "a, b");
    EXPECT_EQ(reader.request().Header("accept"), "");
}

TEST(RateLimiter, SlidingWindowPerKey) {
    using namespace std::chrono_literals;
    RateLimiter limiter(2, std::chrono::seconds(10));
    const auto t0 = RateLimiter::Clock::time_point{} + 1000s;
    const struct {
        const char* key;
        std::chrono::seconds at;
        bool counted;
    } steps[] = {
        {"a", 0s, true},  {"a", 1s, true},   {"a", 2s, false},  // third within 10 s
        {"b", 2s, true},                                        // other keys are separate
        {"a", 9s, false}, {"a", 10s, true},                     // the first has left the window
        {"a", 11s, true}, {"a", 12s, false},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(limiter.TryCount(step.key, t0 + step.at), step.counted)
            << step.key << " at " << step.at.count();
    }
    RateLimiter unlimited(0, std::chrono::seconds(10));
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(unlimited.TryCount("a", t0));
}

TEST(RateLimiter, BoundedNumberOfKeys) {
    using namespace std::chrono_literals;
    RateLimiter limiter(1, std::chrono::seconds(10), 2);
    const auto t0 = RateLimiter::Clock::time_point{} + 1000s;
    EXPECT_TRUE(limiter.TryCount("a", t0));
    EXPECT_TRUE(limiter.TryCount("b", t0));
    EXPECT_FALSE(limiter.TryCount("c", t0 + 1s));  // table full of live keys
    EXPECT_TRUE(limiter.TryCount("c", t0 + 10s));  // a and b have expired
}

TEST(WorkerPool, RefusesBeyondItsQueueAndRunsWhatItTook) {
    std::mutex gate;
    std::unique_lock hold(gate);
    std::atomic<int> started{0}, ran{0};
    {
        WorkerPool pool(1, 2);
        auto job = [&] {
            ++started;
            std::lock_guard wait(gate);
            ++ran;
        };
        ASSERT_TRUE(pool.TryPost(job));
        while (started.load() == 0) std::this_thread::yield();  // the worker holds the first
        EXPECT_TRUE(pool.TryPost(job));
        EXPECT_TRUE(pool.TryPost(job));
        EXPECT_FALSE(pool.TryPost(job));  // two are waiting already
        hold.unlock();
    }  // the destructor lets every job taken run
    EXPECT_EQ(ran.load(), 3);
}

}  // namespace
}  // namespace sealwise::mailservice
