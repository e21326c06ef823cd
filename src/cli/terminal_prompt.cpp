#include "cli/terminal_prompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

// Signals that can reach the process while it waits at the prompt with echo off. Each one
// restores the terminal first: the ending ones then take their previous course, the stop
// (Ctrl+Z) suspends the process and switches the echo off again when it continues.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};
constexpr int kEndingCount = sizeof kEndingSignals / sizeof kEndingSignals[0];

// State for the signal handlers.
int gTtyFd = -1;
termios gSavedMode{};
termios gQuietMode{};
struct sigaction gOldEnding[kEndingCount] {};
struct sigaction gOldStop {};

void RestoreHandlers() {
    for (int i = 0; i < kEndingCount; ++i) sigaction(kEndingSignals[i], &gOldEnding[i], nullptr);
    sigaction(SIGTSTP, &gOldStop, nullptr);
}

void RestoreAndReraise(int signal) {
    tcsetattr(gTtyFd, TCSAFLUSH, &gSavedMode);
    RestoreHandlers();
    raise(signal);  // delivered with the previous disposition once this handler returns
}

void RestoreAndStop(int) {
    const int savedErrno = errno;
    tcsetattr(gTtyFd, TCSAFLUSH, &gSavedMode);
    struct sigaction stop {
    }, self{};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTSTP, &stop, &self);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(SIGTSTP);  // the process stops here until it is continued
    sigaction(SIGTSTP, &self, nullptr);
    tcsetattr(gTtyFd, TCSAFLUSH, &gQuietMode);
    errno = savedErrno;
}

void InstallHandlers() {
    struct sigaction restore {};
    restore.sa_handler = RestoreAndReraise;
    sigemptyset(&restore.sa_mask);
    for (int i = 0; i < kEndingCount; ++i) sigaction(kEndingSignals[i], &restore, &gOldEnding[i]);
    struct sigaction stop {};
    stop.sa_handler = RestoreAndStop;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTSTP, &stop, &gOldStop);
}

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::optional<std::string> PromptHidden(const std::string& prompt) {
    const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    termios mode{};
    if (tcgetattr(fd, &mode) != 0) {
        close(fd);
        return std::nullopt;
    }
    gTtyFd = fd;
    gSavedMode = mode;
    gQuietMode = mode;
    gQuietMode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    InstallHandlers();

    WriteAll(fd, prompt);
    tcsetattr(fd, TCSAFLUSH, &gQuietMode);

    std::string secret;
    secret.reserve(256);
    while (true) {
        char c;
        const ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || c == '\n') break;  // end of input counts as the end of the line
        AppendSecret(secret, c);
    }

    tcsetattr(fd, TCSAFLUSH, &mode);
    RestoreHandlers();
    WriteAll(fd, "\n");  // the Enter key was not echoed
    close(fd);
    gTtyFd = -1;
    if (!secret.empty() && secret.back() == '\r') secret.pop_back();
    return secret;
}

}  // namespace sealwise::cli
