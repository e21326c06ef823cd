#pragma once
// The choice of format on the encrypting commands (--format classic|modern with --level,
// --kdf-memory and --kdf-ops), the keys of the modern format, and the warning for passphrases
// that are easy to guess.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/passphrase_options.h"
#include "modern/modern_format.h"
#include "util/bytes.h"

namespace sealwise::cli {

struct FormatOptions {
    std::string format = "classic";
    int level = 3;
    uint64_t kdfMemoryMiB = modern::kDefaultKdfCost.memory >> 20;
    uint64_t kdfOps = modern::kDefaultKdfCost.ops;

    bool modern() const { return format == "modern"; }
    modern::KdfCost cost() const { return {kdfOps, kdfMemoryMiB << 20}; }
};

// withCompression: also --level (containers; texts are short).
void AddFormatOptions(CLI::App& app, FormatOptions& options, bool withCompression = true);
// Refuses key derivation costs outside what readers accept (prints the error, returns
// kUsage); warns about modern costs below the defaults; -1 when the run may go on.
int CheckFormatOptions(const FormatOptions& options, Io& io);

// The passphrase, or the 2 to 10 shared keys in key order, as typed (UTF-8). Throws SealError
// as ObtainKey does (114 for an empty passphrase, 386, 407, 409, 415, ...).
std::vector<std::string> ObtainSecrets(const KeyOptions& options, PassphraseUse use);

// Wipes every secret of the list when it goes out of scope.
class SecretsGuard {
  public:
    explicit SecretsGuard(std::vector<std::string>& secrets) : secrets_(secrets) {}
    ~SecretsGuard();
    SecretsGuard(const SecretsGuard&) = delete;
    SecretsGuard& operator=(const SecretsGuard&) = delete;

  private:
    std::vector<std::string>& secrets_;
};

// Prints a warning on stderr when the keys together are guessable in under about 10^10
// guesses. Never refuses.
void WarnIfGuessable(const std::vector<std::string>& secrets, Io& io);

// The 32 key bytes of the classic format for the secrets ObtainSecrets returned.
Bytes ClassicKeyOf(const std::vector<std::string>& secrets);

// For encrypting in the classic format: ObtainKey with the guessability warning.
Bytes ObtainKeyWithWarning(const KeyOptions& options, Io& io);

}  // namespace sealwise::cli
