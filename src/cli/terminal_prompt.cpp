#include "cli/terminal_prompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

// State for restoring the terminal from a signal handler.
int gTtyFd = -1;
termios gSavedMode{};
struct sigaction gOldInt {
}, gOldTerm{}, gOldHup{};

void RestoreAndReraise(int signal) {
    tcsetattr(gTtyFd, TCSAFLUSH, &gSavedMode);
    sigaction(SIGINT, &gOldInt, nullptr);
    sigaction(SIGTERM, &gOldTerm, nullptr);
    sigaction(SIGHUP, &gOldHup, nullptr);
    raise(signal);
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

// Appends without leaving unwiped copies behind when the buffer grows.
void AppendSecret(std::string& secret, char c) {
    if (secret.size() == secret.capacity()) {
        std::string bigger;
        bigger.reserve(secret.capacity() * 2);
        bigger = secret;
        SecureWipe(secret);
        secret.swap(bigger);
    }
    secret.push_back(c);
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
    struct sigaction restore {};
    restore.sa_handler = RestoreAndReraise;
    sigemptyset(&restore.sa_mask);
    sigaction(SIGINT, &restore, &gOldInt);
    sigaction(SIGTERM, &restore, &gOldTerm);
    sigaction(SIGHUP, &restore, &gOldHup);

    WriteAll(fd, prompt);
    termios quiet = mode;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(fd, TCSAFLUSH, &quiet);

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
    sigaction(SIGINT, &gOldInt, nullptr);
    sigaction(SIGTERM, &gOldTerm, nullptr);
    sigaction(SIGHUP, &gOldHup, nullptr);
    WriteAll(fd, "\n");  // the Enter key was not echoed
    close(fd);
    gTtyFd = -1;
    if (!secret.empty() && secret.back() == '\r') secret.pop_back();
    return secret;
}

}  // namespace sealwise::cli
