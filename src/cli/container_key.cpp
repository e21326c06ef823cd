#include "cli/container_key.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <istream>
#include <ostream>
#include <vector>

#include "cli/common.h"
#include "cli/messages.h"
#include "crypto/keys.h"
#include "util/errors.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

void StripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

// One line typed on the terminal with echo switched off.
std::optional<std::string> PromptSecret(Io& io, const std::string& prompt) {
    io.err << prompt << std::flush;
    termios saved{};
    const bool canHide = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (canHide) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool got = static_cast<bool>(std::getline(io.in, line));
    if (canHide) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    io.err << "\n";
    if (!got) return std::nullopt;
    StripLineEnd(line);
    return line;
}

std::optional<std::string> ReadPassphrase(const KeyOptions& options, Io& io, bool confirm,
                                          int* status) {
    *status = kFailure;
    if (!options.passphraseFile.empty()) {
        std::ifstream file(options.passphraseFile, std::ios::binary);
        std::string line;
        if (!file || !std::getline(file, line)) {
            PrintError(io, "cannot read the passphrase file " + options.passphraseFile);
            return std::nullopt;
        }
        StripLineEnd(line);
        return line;
    }
    if (!options.passphraseEnv.empty()) {
        const char* value = std::getenv(options.passphraseEnv.c_str());
        if (!value) {
            PrintError(io, "the environment variable " + options.passphraseEnv + " is not set");
            return std::nullopt;
        }
        return std::string(value);
    }
    if (!io.stdinIsTerminal) {
        PrintError(io, "no passphrase given and no terminal to ask for one",
                   "use --passphrase-file FILE or --passphrase-env VAR");
        *status = kUsage;
        return std::nullopt;
    }
    auto first = PromptSecret(io, "Passphrase: ");
    if (!first) return std::nullopt;
    if (confirm) {
        auto second = PromptSecret(io, "Passphrase again: ");
        const bool same = second && *second == *first;
        if (second) SecureWipe(*second);
        if (!same) {
            SecureWipe(*first);
            PrintError(io, "the two passphrases differ");
            return std::nullopt;
        }
    }
    return first;
}

std::optional<Bytes> SharedKey(const KeyOptions& options, Io& io, int* status) {
    *status = kFailure;
    std::ifstream file(options.sharedKeyFile, std::ios::binary);
    if (!file) {
        PrintError(io, "cannot read the shared key file " + options.sharedKeyFile);
        return std::nullopt;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        StripLineEnd(line);
        lines.push_back(std::move(line));
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    SharedKeyStore store;
    for (std::size_t i = 0; i < lines.size() && i < store.slots.size(); ++i) {
        store.slots[i] = lines[i];
    }
    for (auto& line : lines) SecureWipe(line);
    store.countText = std::to_string(lines.size());
    store.keyShown = 1;
    store.passphraseBox = store.slots[0];
    try {
        Bytes key = CombineSharedKeys(store);
        store.Clear();
        return key;
    } catch (const SealError& error) {
        store.Clear();
        PrintError(io, MessageFor(error), "the shared key file holds one key per line, 2 to 10");
        return std::nullopt;
    }
}

}  // namespace

void KeyOptions::AddTo(CLI::App& app) {
    auto* file = app.add_option("--passphrase-file", passphraseFile,
                                "read the passphrase from the first line of FILE");
    auto* env = app.add_option("--passphrase-env", passphraseEnv,
                               "read the passphrase from the environment variable VAR");
    auto* shared = app.add_option("--shared-key-file", sharedKeyFile,
                                  "shared security: one key per line, 2 to 10 keys");
    file->excludes(env)->excludes(shared);
    env->excludes(shared);
}

std::optional<Bytes> ObtainKey(const KeyOptions& options, Io& io, bool confirm, int* status) {
    if (!options.sharedKeyFile.empty()) return SharedKey(options, io, status);
    std::optional<std::string> passphrase = ReadPassphrase(options, io, confirm, status);
    if (!passphrase) return std::nullopt;
    WipeOnExit<std::string> wipe(*passphrase);
    if (passphrase->empty()) {
        PrintError(io, MessageFor(SealError(114)), "the passphrase is empty");
        *status = kFailure;
        return std::nullopt;
    }
    return MakeKeyString(*passphrase);
}

}  // namespace sealwise::cli
