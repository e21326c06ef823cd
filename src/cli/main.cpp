#include <unistd.h>

#include <iostream>

#include "app/strings.h"
#include "cli/commands.h"
#include "util/process_hardening.h"

int main(int argc, char** argv) {
    // Passphrases and keys pass through this process: never let them end up in a core dump.
    sealwise::HardenProcess();
    // A write beyond "ulimit -f" then fails and is reported; the staged file is cleaned up.
    sealwise::IgnoreFileSizeSignal();

    // Messages, help and the default notice line follow LANGUAGE and the locale, as GNU tools do.
    sealwise::SetLanguageOffset(sealwise::LanguageOffsetFromLangId(sealwise::LangIdForMessages()));

    std::ios::sync_with_stdio(false);
    sealwise::cli::Io io{std::cin, std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                         isatty(STDIN_FILENO) == 1};
    return sealwise::cli::Run(sealwise::cli::Args(argv + 1, argv + argc), io);
}
