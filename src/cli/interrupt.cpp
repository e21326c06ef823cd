#include "cli/interrupt.h"

namespace sealwise::cli {
namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnSignal(int) { interrupted.store(true); }

}  // namespace

InterruptFlag::InterruptFlag() {
    interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
}

InterruptFlag::~InterruptFlag() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

const std::atomic<bool>* InterruptFlag::flag() const noexcept { return &interrupted; }

}  // namespace sealwise::cli
