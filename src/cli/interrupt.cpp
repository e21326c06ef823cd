#include "cli/interrupt.h"

namespace sealwise::cli {
namespace {

std::atomic<bool> interrupted{false};
std::atomic<int> interruptSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void OnSignal(int signal) {
    interruptSignal.store(signal);
    interrupted.store(true);
}

}  // namespace

InterruptFlag::InterruptFlag() {
    interrupted.store(false);
    interruptSignal.store(0);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
    sigaction(SIGHUP, &action, &oldHup_);
}

InterruptFlag::~InterruptFlag() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    sigaction(SIGHUP, &oldHup_, nullptr);
}

const std::atomic<bool>* InterruptFlag::flag() const noexcept { return &interrupted; }

int InterruptSignal() noexcept { return interruptSignal.load(); }

void ClearInterruptSignal() noexcept { interruptSignal.store(0); }

}  // namespace sealwise::cli
