#pragma once
// Where a command gets its passphrase or shared keys: --passphrase-file, --passphrase-env,
// --shared-key-file, else a prompt on the terminal without echo. Shared by every command that
// encrypts or decrypts.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "crypto/keys.h"
#include "util/bytes.h"

namespace sealwise::cli {

struct KeyOptions {
    std::string passphraseFile;
    std::string passphraseEnv;
    int passphraseFd = -1;  // -1: not given
    std::string sharedKeyFile;
};

// Whether the passphrase is being chosen (asked twice at the prompt) or entered again.
enum class PassphraseUse { kEncrypt, kDecrypt };

// Adds --passphrase-file, --passphrase-fd and --passphrase-env (mutually exclusive).
void AddPassphraseOptions(CLI::App& app, KeyOptions& options);
// Adds --shared-key-file; when given it takes precedence over the passphrase options.
void AddSharedKeyOption(CLI::App& app, KeyOptions& options);

// The passphrase as UTF-8: the first line of the file or of the descriptor (line break
// removed), the variable's value, or what is typed at the terminal. A passphrase or key file
// that other users may read gets a warning on stderr. Throws SealError: 407 unreadable file,
// 745 unreadable descriptor, 408 unset variable, 410 no terminal, 406 the two entries differ,
// 415 not UTF-8. An empty passphrase is
// returned as it is; the caller decides (message 114). Wipe the result after use.
std::string ObtainPassphrase(const KeyOptions& options, PassphraseUse use);

// The 32 key bytes: combined from the shared-key file (one key per line, 2 to 10 lines; 409
// otherwise, 386 for an empty key) or derived from the passphrase (114 when it is empty).
// Every intermediate copy of the secrets is wiped. Wipe the result after use.
// Loads the keys of a shared-key file (one per line, 2 to 10, a leading byte-order mark and
// CR dropped, UTF-8 required) into store; a file that cannot be used leaves no key behind.
void LoadSharedKeysOrWipe(const std::string& path, SharedKeyStore& store);

Bytes ObtainKey(const KeyOptions& options, PassphraseUse use);

// For decrypting: the keys to try, best first (crypto/keys.h CandidateKeys and
// CandidateSharedKeys). Throws as ObtainKey does. Wipe the results after use.
std::vector<Bytes> ObtainCandidateKeys(const KeyOptions& options);

}  // namespace sealwise::cli
