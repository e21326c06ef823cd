// Signals: a file job stopped by SIGINT, SIGTERM or SIGHUP runs its cancel path and exits with
// 128 + the signal, leaving nothing behind; a signal at the passphrase prompt always gives the
// terminal its echo back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/files/file_test_support.h"

extern char** environ;

namespace sealwise::cli {
namespace {

namespace fs = std::filesystem;
const std::string kCli = SEALWISE_CLI_PATH;

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kCli.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    EXPECT_EQ(::posix_spawn(&child, kCli.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    return child;
}

// Whether the child holds a file open inside dir: a staging file, or an unnamed file made
// there (its link reads "DIR/#N (deleted)"). Either way the job is writing.
bool Staging(pid_t child, const std::string& dir) {
    std::error_code ec;
    const std::string inside = fs::weakly_canonical(dir, ec).string() + "/";
    for (const auto& e : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", ec)) {
        const fs::path target = fs::read_symlink(e.path(), ec);
        if (!ec && target.string().rfind(inside, 0) == 0) return true;
    }
    return false;
}

// Sends signal once the job is writing: the child is stopped first, so the signal arrives in
// the middle of the job however fast the machine is.
int SignalWhileWriting(pid_t child, const std::string& watched, int signal) {
    int status = 0;
    for (int i = 0; i < 200'000 && !Staging(child, watched); ++i) {
        if (::waitpid(child, &status, WNOHANG) == child) return -1;  // ended before writing
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    ::kill(child, SIGSTOP);
    ::kill(child, signal);
    ::kill(child, SIGCONT);
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class CliSignals : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SW_SIGNAL_PW", "signal test", 1);
        setenv("SEALWISE_THREADS", "1", 1);
    }
    void TearDown() override { unsetenv("SEALWISE_THREADS"); }
    test::ScratchDir dir;
};

TEST_F(CliSignals, EncryptStoppedBySignalExitsWithItsStatusAndWritesNoContainer) {
    // Incompressible data, so the job takes a while.
    test::WriteFile(dir / "in/big.bin", test::PatternBytes(48u << 20, 7));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        fs::create_directories(dir / "out");
        const pid_t child = Spawn({"encrypt", "-q", "--passphrase-env", "SW_SIGNAL_PW", "-o",
                                   dir / "out/c.vesk", dir / "in/big.bin"});
        EXPECT_EQ(SignalWhileWriting(child, dir / "out", signal), 128 + signal) << signal;
        EXPECT_TRUE(test::FilesBelow(dir / "out").empty()) << signal;
    }
}

TEST_F(CliSignals, DecryptStoppedBySignalRemovesTheUnfinishedFile) {
    test::WriteFile(dir / "in/big.bin", test::PatternBytes(48u << 20, 9));
    ASSERT_EQ(std::system(("'" + kCli + "' encrypt -q --passphrase-env SW_SIGNAL_PW -o '" +
                           dir / "c.vesk" + "' '" + dir / "in/big.bin" + "'")
                              .c_str()),
              0);
    fs::create_directories(dir / "out");
    const pid_t child = Spawn(
        {"decrypt", "-q", "--passphrase-env", "SW_SIGNAL_PW", "-C", dir / "out", dir / "c.vesk"});
    EXPECT_EQ(SignalWhileWriting(child, dir / "out", SIGINT), 130);
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

// A pseudo terminal whose slave side a child uses as its controlling terminal.
struct Terminal {
    int master = -1;
    int slave = -1;  // the parent's own handle on the slave side, to read its mode
    ~Terminal() {
        close(master);
        close(slave);
    }
    bool EchoOn() const {
        termios mode{};
        tcgetattr(slave, &mode);
        return (mode.c_lflag & ECHO) != 0;
    }
};

// Starts "list" (which asks for the passphrase first) on a new pseudo terminal and waits until
// it shows the prompt with the echo off.
pid_t StartAtPrompt(Terminal& terminal) {
    char name[128] = {};
    const pid_t child = forkpty(&terminal.master, name, nullptr, nullptr);
    if (child == 0) {
        execl(kCli.c_str(), kCli.c_str(), "list", "/nonexistent/c.vesk",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    terminal.slave = open(name, O_RDWR | O_NOCTTY);
    const int master = terminal.master;
    std::string shown;
    for (int i = 0; i < 10'000; ++i) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 2) > 0) {
            char buffer[256];
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0) shown.append(buffer, static_cast<std::size_t>(n));
        }
        if (shown.find(':') != std::string::npos && !terminal.EchoOn()) break;
    }
    return child;
}

TEST_F(CliSignals, EverySignalAtThePromptRestoresTheEcho) {
    for (const int signal : {SIGINT, SIGTERM, SIGQUIT, SIGHUP}) {
        Terminal terminal;
        const pid_t child = StartAtPrompt(terminal);
        ASSERT_GT(child, 0);
        EXPECT_FALSE(terminal.EchoOn()) << signal;
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_TRUE(terminal.EchoOn()) << "echo left off after signal " << signal;
    }
}

}  // namespace
}  // namespace sealwise::cli
