// The settings every program makes at start: no core dumps, not dumpable, and an oversized
// write that fails instead of killing the process. Each check runs in a child process so the
// test runner itself keeps its settings.
#include "util/process_hardening.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string>

namespace sealwise {
namespace {

// Runs body in a child; returns its exit status, or 128 + the signal that ended it.
int InChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ProcessHardening, NoCoreDumpAndNotDumpable) {
    EXPECT_EQ(InChild([] {
                  if (!HardenProcess()) return 1;
                  struct rlimit core {};
                  ::getrlimit(RLIMIT_CORE, &core);
                  if (core.rlim_cur != 0 || core.rlim_max != 0) return 2;
                  return ::prctl(PR_GET_DUMPABLE) == 0 ? 0 : 3;
              }),
              0);
}

TEST(ProcessHardening, WriteBeyondTheFileSizeLimitFailsWithEfbig) {
    char pattern[] = "/tmp/sealwise-fsize-XXXXXX";
    const int fd = ::mkstemp(pattern);
    ASSERT_GE(fd, 0);
    const auto writeBeyondLimit = [fd] {
        const struct rlimit small { 1024, 1024 };
        ::setrlimit(RLIMIT_FSIZE, &small);
        const std::string data(4096, 'x');
        const ssize_t put = ::write(fd, data.data(), data.size());  // 1024 bytes fit
        const ssize_t more = ::write(fd, data.data(), data.size());
        return put == 1024 && more < 0 && errno == EFBIG ? 0 : 1;
    };
    // Without the setting the signal ends the process; with it the write reports EFBIG.
    EXPECT_EQ(InChild(writeBeyondLimit), 128 + SIGXFSZ);
    ASSERT_EQ(::ftruncate(fd, 0), 0);
    ::lseek(fd, 0, SEEK_SET);
    EXPECT_EQ(InChild([&] {
                  IgnoreFileSizeSignal();
                  return writeBeyondLimit();
              }),
              0);
    ::close(fd);
    ::unlink(pattern);
}

}  // namespace
}  // namespace sealwise
