// The buffered secure random stream: small requests share one refill, yet no byte is handed
// out twice, not even across a fork (a child must not repeat what its parent draws next).
#include "util/secure_random.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

namespace sealwise {
namespace {

TEST(SecureRandom, AForkedChildDoesNotRepeatTheParentsBufferedBytes) {
    uint8_t prime[8];
    FillSecureRandom(prime, sizeof prime);  // the buffer now holds bytes not yet handed out
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        uint8_t drawn[32];
        FillSecureRandom(drawn, sizeof drawn);
        ::_exit(::write(pipeFds[1], drawn, sizeof drawn) == sizeof drawn ? 0 : 1);
    }
    uint8_t mine[32], theirs[32];
    FillSecureRandom(mine, sizeof mine);
    ASSERT_EQ(::read(pipeFds[0], theirs, sizeof theirs), static_cast<ssize_t>(sizeof theirs));
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    EXPECT_NE(Bytes(mine, mine + 32), Bytes(theirs, theirs + 32));
}

TEST(SecureRandom, SmallDrawsAcrossRefillsNeverRepeat) {
    // 2,000 draws of 16 bytes span several refills of the buffer.
    std::set<Bytes> seen;
    for (int i = 0; i < 2000; ++i) EXPECT_TRUE(seen.insert(SecureRandomBytes(16)).second);
}

}  // namespace
}  // namespace sealwise
