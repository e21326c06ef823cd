#include "util/process_hardening.h"

#include <sys/prctl.h>
#include <sys/resource.h>

#include <csignal>

namespace sealwise {

bool HardenProcess() noexcept {
    const struct rlimit noCore { 0, 0 };
    const bool coreOff = ::setrlimit(RLIMIT_CORE, &noCore) == 0;
    const bool notDumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    return coreOff && notDumpable;
}

void IgnoreFileSizeSignal() noexcept {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

}  // namespace sealwise
