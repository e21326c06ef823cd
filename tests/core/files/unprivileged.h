#pragma once
// Root reads every file whatever its mode: tests of unreadable files and directories run their
// body in a child process that gives up root first.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace sealwise::test {

// Runs body without root (in a child when the tests run as root). Returns 0 when body returned
// true, 1 when false, -1 when root could not be given up here.
inline int RunUnprivileged(const std::function<bool()>& body) {
    if (::geteuid() != 0) return body() ? 0 : 1;
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(!dropped ? 2 : body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 2) return -1;
    return WEXITSTATUS(status);
}

}  // namespace sealwise::test
