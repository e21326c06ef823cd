#pragma once
// Key bytes for the container commands: from --passphrase-file, --passphrase-env or
// --shared-key-file, else from a prompt on the terminal without echo.
#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "util/bytes.h"

namespace sealwise::cli {

struct KeyOptions {
    std::string passphraseFile;
    std::string passphraseEnv;
    std::string sharedKeyFile;

    void AddTo(CLI::App& app);
};

// The 32 key bytes, or nullopt after printing why there are none (the exit status is then
// *status). confirm: ask twice when prompting (encrypting).
std::optional<Bytes> ObtainKey(const KeyOptions& options, Io& io, bool confirm, int* status);

}  // namespace sealwise::cli
